// Failing file systems: whatever fails, the run says which file and why, ends
// with status 2, loses no previous file and leaves no temporary behind. The
// compacted files are one set: a failure on any of them leaves the whole
// previous set as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "app/piattaforma.h"
#include "tests/processo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;

struct modo {
  const char* nome;
  bool compatta;  // the authoring form instead of the fixed job
};

// What a run writes, in its order; the fixed job first writes its sources and
// documents.
const std::vector<std::string> file_compattati = {
    "Quarve_Lentra_linea.dat", "Quarve_Lentra_58213.sim", "Quarve_Lentra_58213.dat"};
const std::vector<std::string> file_di_testo = {
    "Quarve_Lentra_linea.txt", "Quarve_Lentra_58213-.txt", "Quarve_Lentra_58213_note.txt",
    "Quarve_Lentra_58213_rallentamenti.txt", "Quarve_Lentra_58213_scheda_treno.txt"};

// The prefix of a run with the failing system calls of
// guasti_sistema_preload.cpp, as `variabili` ("NAME=value ...") choose them.
std::string con_guasti(const std::string& variabili) {
  return "LD_PRELOAD='" + std::string(COMPATTATORE_GUASTI_SISTEMA) + "' " + variabili +
         " ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" ";
}

void PrintTo(const modo& m, std::ostream* os) {
  *os << m.nome;
}

class Guasti : public ::testing::TestWithParam<modo> {
 protected:
  Guasti() : dir_("guasti") {}

  void SetUp() override {
    fs::permissions(dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    fs::copy_file(COMPATTATORE_EXE, dir() / "compattatore");
    // compatta reads the built-in sources, exported beside it.
    if (GetParam().compatta) {
      ASSERT_EQ(esegui({"./compattatore", "esporta", dir().string()}, dir()).stato, 0);
    }
    // A first complete run leaves the files that must survive the failing one.
    const auto e = esegui(argomenti(), dir());
    ASSERT_EQ(e.stato, 0) << e.errori;
    prima_ = prove::contenuto_cartella(dir());
    for (const auto& [nome, contenuto] : prima_) dimensioni_[nome] = contenuto.size();
    // The fixed job's sources are gone by now: their sizes come from an export.
    cartella_temporanea esportati("esportati");
    ASSERT_EQ(esegui({COMPATTATORE_EXE, "esporta", esportati.percorso().string()}, dir()).stato, 0);
    for (const auto& [nome, contenuto] : prove::contenuto_cartella(esportati.percorso()))
      dimensioni_[nome] = contenuto.size();
  }

  // The bytes a run writes before it reaches half of `nome`.
  std::size_t byte_fino_a_meta_di(const std::string& nome) const {
    std::vector<std::string> ordine = file_compattati;
    if (!GetParam().compatta)
      ordine.insert(ordine.begin(), file_di_testo.begin(), file_di_testo.end());
    std::size_t byte = 0;
    for (const std::string& f : ordine) {
      if (f == nome) return byte + dimensioni_.at(f) / 2;
      byte += dimensioni_.at(f);
    }
    throw std::logic_error(nome + " is not written");
  }

  fs::path dir() const { return dir_.percorso(); }

  std::vector<std::string> argomenti() const {
    if (!GetParam().compatta) return {"./compattatore"};
    return {"./compattatore", "compatta", dir().string(), "Quarve_Lentra", "58213"};
  }
  void verifica_fallimento(const prove::esito_processo& e, const std::string& file) {
    EXPECT_EQ(e.stato, 2) << e.errori;
    EXPECT_NE(e.errori.find(file), std::string::npos) << e.errori;
    // Every file of the previous run is still there, byte for byte, and no
    // temporary is left behind.
    const auto dopo = prove::contenuto_cartella(dir());
    for (const auto& [nome, contenuto] : prima_) {
      const auto f = dopo.find(nome);
      EXPECT_TRUE(f != dopo.end() && f->second == contenuto) << nome << " changed or is gone";
    }
    EXPECT_EQ(dopo.size(), prima_.size());
    for (const auto& v : fs::directory_iterator(dir()))
      EXPECT_FALSE(v.path().filename().string().starts_with(piattaforma::prefisso_temporanei))
          << v.path();
  }

  cartella_temporanea dir_;
  std::map<std::string, std::string> prima_;
  std::map<std::string, std::size_t> dimensioni_;
};

TEST_P(Guasti, DirectoryThatCannotBeWritten) {
  fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::remove);
  const auto e = esegui(argomenti(), dir(), prove::come_utente_normale());
  fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::add);
  const std::string primo =
      GetParam().compatta ? "Quarve_Lentra_linea.dat" : "Quarve_Lentra_linea.txt";
  verifica_fallimento(e, (dir() / primo).string());
}

TEST_P(Guasti, FileSizeLimitInTheMiddleOfTheTrackFile) {
  // The track image is 2.2 MB; the sources and documents fit well below the
  // limit. The program ignores SIGXFSZ, so the write fails with EFBIG instead
  // of the signal killing the run.
  prove::scrivi_tutto(dir() / "Quarve_Lentra_linea.dat", "traccia precedente");
  prima_ = prove::contenuto_cartella(dir());
  const auto e = esegui(argomenti(), dir(), "ulimit -f 2000; ");
  verifica_fallimento(e, (dir() / "Quarve_Lentra_linea.dat").string());
}

// The disk fills, or a directory stands in the way, at a later file of the
// set: the files before it are ready by then, and must not replace theirs.
TEST_P(Guasti, FailureOnALaterCompactedFileKeepsTheWholePreviousSet) {
  const struct {
    const char* nome;
    std::string file;
    bool disco_pieno;  // otherwise a directory in its place
  } casi[] = {
      {"disk full in the second", file_compattati[1], true},
      {"disk full in the third", file_compattati[2], true},
      {"directory in place of the second", file_compattati[1], false},
      {"directory in place of the third", file_compattati[2], false},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    // A previous set unlike the new one, so that any replacement shows.
    for (const std::string& f : file_compattati) {
      fs::remove_all(dir() / f);
      prove::scrivi_tutto(dir() / f, "precedente " + f);
    }
    if (!c.disco_pieno) {
      fs::remove(dir() / c.file);
      fs::create_directory(dir() / c.file);
    }
    prima_ = prove::contenuto_cartella(dir());
    std::string prefisso;
    if (c.disco_pieno) {
      prefisso =
          con_guasti("COMPATTATORE_BYTE_LIBERI=" + std::to_string(byte_fino_a_meta_di(c.file)));
    }
    const auto e = esegui(argomenti(), dir(), prefisso);
    verifica_fallimento(e, (dir() / c.file).string());
    if (c.disco_pieno) {
      EXPECT_NE(e.errori.find(std::strerror(ENOSPC)), std::string::npos) << e.errori;
    } else {
      EXPECT_TRUE(fs::is_directory(dir() / c.file));
    }
  }
}

// The system refuses what the program asks of it: a source that opened well
// and cannot be read, a flush to disk that fails, temporary names that are
// all taken. The run says so with the system's reason, and, where it writes,
// loses nothing and leaves nothing; the tries at a temporary name have a
// limit.
TEST_P(Guasti, SystemCallsThatFail) {
  const bool compatta = GetParam().compatta;
  cartella_temporanea conta("tentativi");
  const fs::path tentativi = conta.percorso() / "tentativi";
  const struct {
    const char* guasto;
    int stato;
    std::string file;  // named in the message
    std::string motivo;
  } casi[] = {
      // A source that cannot be read is the scenario's error 25.
      {"lettura", 1, "Quarve_Lentra_linea.txt", std::strerror(EIO)},
      {"fsync", 2, compatta ? file_compattati[0] : file_di_testo[0], std::strerror(EIO)},
      {"nomi_presi", 2, compatta ? file_compattati[0] : file_di_testo[0], std::strerror(EEXIST)},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.guasto);
    const auto e = esegui(argomenti(), dir(),
                          con_guasti(std::string("COMPATTATORE_GUASTO=") + c.guasto +
                                     " COMPATTATORE_TENTATIVI='" + tentativi.string() + "'"));
    EXPECT_NE(e.errori.find(c.motivo), std::string::npos) << e.errori;
    if (c.stato == 2) {
      verifica_fallimento(e, (dir() / c.file).string());
    } else {
      EXPECT_EQ(e.stato, 1) << e.errori;
      EXPECT_NE(e.errori.find(" Errore n. 25\n"), std::string::npos) << e.errori;
      // The fixed job's message names no source line; an author's does.
      if (compatta) {
        EXPECT_NE(e.errori.find(c.file), std::string::npos) << e.errori;
      }
    }
    if (std::string(c.guasto) == "nomi_presi") {
      // One name and a hundred more, then the file is given up.
      EXPECT_EQ(prove::leggi_tutto(tentativi), "101\n");
    }
    // The fixed job rewrites its sources before it fails: put them back.
    for (const auto& [nome, contenuto] : prima_) prove::scrivi_tutto(dir() / nome, contenuto);
    for (const auto& v : fs::directory_iterator(dir()))
      if (!prima_.contains(v.path().filename().string())) fs::remove(v.path());
  }
}

TEST_P(Guasti, OutputPathThatIsADirectory) {
  fs::remove(dir() / "Quarve_Lentra_58213.sim");
  fs::create_directory(dir() / "Quarve_Lentra_58213.sim");
  prima_ = prove::contenuto_cartella(dir());
  const auto e = esegui(argomenti(), dir());
  verifica_fallimento(e, (dir() / "Quarve_Lentra_58213.sim").string());
  EXPECT_TRUE(fs::is_directory(dir() / "Quarve_Lentra_58213.sim"));
}

INSTANTIATE_TEST_SUITE_P(Modi, Guasti,
                         ::testing::Values(modo{"LavoroFisso", false}, modo{"Compatta", true}),
                         [](const auto& i) { return std::string(i.param.nome); });

TEST(GuastiEsporta, DirectoryThatCannotBeWritten) {
  prove::cartella_temporanea dir("esporta");
  fs::permissions(dir.percorso(), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const auto e = prove::esegui({COMPATTATORE_EXE, "esporta", dir.percorso().string()},
                               dir.percorso(), prove::come_utente_normale());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find((dir.percorso() / "Quarve_Lentra_linea.txt").string()), std::string::npos)
      << e.errori;
  EXPECT_TRUE(fs::is_empty(dir.percorso()));
}

}  // namespace
}  // namespace compattatore
