// The authoring command line end to end: sources written by the test into a
// fresh directory, the program run on them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include "tests/dimensioni.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;
using prove::linea_valida;
using prove::servizio_valido;

// Inserts `riga` before the first line that starts with `prima`.
std::string inserisci(std::string testo, const std::string& prima, const std::string& riga) {
  const std::size_t p = testo.find("\n" + prima);
  return testo.insert(p + 1, riga + "\r\n");
}

std::string sostituisci(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t p = testo.find(da);
  return testo.replace(p, da.size(), a);
}

using prove::righe_uscita;

class Compatta : public ::testing::Test {
 protected:
  Compatta() : dir_("compatta") {}
  fs::path dir() const { return dir_.percorso(); }
  void scrivi(const std::string& linea, const std::string& servizio) {
    if (!linea.empty()) prove::scrivi_tutto(dir() / "L_linea.txt", linea);
    if (!servizio.empty()) prove::scrivi_tutto(dir() / "L_T-.txt", servizio);
  }
  prove::esito_processo compatta(std::vector<std::string> opzioni = {}) {
    std::vector<std::string> a = {COMPATTATORE_EXE, "compatta", dir().string(), "L", "T"};
    a.insert(a.end(), opzioni.begin(), opzioni.end());
    return esegui(a, dir());
  }
  cartella_temporanea dir_;
};

TEST_F(Compatta, ValidScenarioWritesThreeFilesAndLeavesTheSources) {
  scrivi(linea_valida, servizio_valido);
  const auto prima = prove::contenuto_cartella(dir());
  const auto e = compatta();
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.txt"), prima.at("L_linea.txt"));
  EXPECT_EQ(dopo.at("L_T-.txt"), prima.at("L_T-.txt"));
  EXPECT_EQ(dopo.at("L_linea.dat").size(), prove::byte_tracciato_piccolo);
  EXPECT_EQ(dopo.at("L_T.dat").size(), prove::byte_celle_piccolo);
  EXPECT_EQ(dopo.at("L_T.sim").size(), prove::byte_tabella_vuota + 1 + 1 + 5 + 7);
  EXPECT_EQ(dopo.size(), 5u);
}

TEST_F(Compatta, WithoutTrackWritesTwoFilesAndLeavesAnOldTrackAlone) {
  scrivi(linea_valida, servizio_valido);
  prove::scrivi_tutto(dir() / "L_linea.dat", "vecchio");
  const auto e = compatta({"--senza-tracciato"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.dat"), "vecchio");
  EXPECT_TRUE(dopo.contains("L_T.sim"));
  EXPECT_TRUE(dopo.contains("L_T.dat"));
}

TEST_F(Compatta, BuiltInSourcesCompactToTheFixedJobsFiles) {
  cartella_temporanea fisso("fisso");
  fs::copy_file(COMPATTATORE_EXE, fisso.percorso() / "compattatore");
  ASSERT_EQ(esegui({"./compattatore"}, fisso.percorso()).stato, 0);
  const auto e = esegui({COMPATTATORE_EXE, "esporta", dir().string()}, dir());
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto esportati = prove::contenuto_cartella(dir());
  const auto c =
      esegui({COMPATTATORE_EXE, "compatta", dir().string(), "Quarve_Lentra", "58213"}, dir());
  ASSERT_EQ(c.stato, 0) << c.errori;
  const auto attesi = prove::contenuto_cartella(fisso.percorso());
  const auto ottenuti = prove::contenuto_cartella(dir());
  for (const char* f :
       {"Quarve_Lentra_linea.dat", "Quarve_Lentra_58213.sim", "Quarve_Lentra_58213.dat"})
    EXPECT_TRUE(ottenuti.at(f) == attesi.at(f)) << f;
  // esporta wrote the two sources and the three documents, nothing else.
  EXPECT_EQ(esportati.size(), 5u);
  for (const auto& [nome, testo] : esportati) EXPECT_EQ(ottenuti.at(nome), testo) << nome;
}

TEST_F(Compatta, ErrorsNameNumberPositionAndSourceLine) {
  struct caso {
    const char* nome;
    std::function<void(std::string& linea, std::string& servizio)> guasta;
    int stato;
    std::string prime_righe;  // the first one or two lines of the message
    std::string luogo;        // the start of the third (or second) line: FILE:LINE
  };
  // Each case runs in a directory of its own, always named the same way.
  cartella_temporanea d("errore");
  const std::string L = (d.percorso() / "L_linea.txt").string();
  const std::string S = (d.percorso() / "L_T-.txt").string();
  const caso casi[] = {
      {"collisione",
       [](std::string&, std::string& s) {
         s = inserisci(s, "[fine]", "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0");
       },
       1, " Errore n. 16\nPosizione: 2710 m", S + ":17:"},
      {"fuori multiplo",
       [](std::string&, std::string& s) {
         s = sostituisci(s, "stazione,    9000", "stazione,    9010");
       },
       1, " Errore n. 8\nPosizione: 9010 m", S + ":13:"},
      {"distanza stazioni",
       [](std::string&, std::string& s) {
         s = sostituisci(s, "stazione,    9000", "stazione,     800");
       },
       1, " Errore n. 22\nPosizione: 800 m", S + ":13:"},
      {"troppe stazioni",
       [](std::string& l, std::string& s) {
         l = sostituisci(l, "lunghezza percorso,    10000", "lunghezza percorso,    100000");
         std::string molte;
         for (int i = 0; i < 80; ++i)
           molte += "stazione, " + std::to_string(12000 + i * 1000) +
                    ",  25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n";
         s = inserisci(s, "[segnali]", molte.substr(0, molte.size() - 2));
       },
       // Slots 1 to 79 are free with no board: the 79th station is one too many.
       1, " Errore n. 10", S + ":90:"},
      {"numero sbagliato",
       [](std::string&, std::string& s) { s = sostituisci(s, "sabbia,    300", "sabbia,    3x0"); },
       1, " Errore n. 25", S + ":5:"},
      {"manca generale",
       [](std::string& l, std::string&) { l = sostituisci(l, "[generale]", "[general]"); }, 1,
       " Errore n. 102", L + ":"},
      {"manca la linea", [](std::string& l, std::string&) { l.clear(); }, 1, " Errore n. 101",
       L + ":"},
      {"curva oltre la griglia",
       [](std::string& l, std::string&) { l = inserisci(l, "[pendenze]", "curvas2, 16800, 300"); },
       1, " Errore n. 25", L + ":12:"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    for (const auto& f : fs::directory_iterator(d.percorso())) fs::remove(f.path());
    std::string linea = linea_valida, servizio = servizio_valido;
    c.guasta(linea, servizio);
    if (!linea.empty()) prove::scrivi_tutto(d.percorso() / "L_linea.txt", linea);
    prove::scrivi_tutto(d.percorso() / "L_T-.txt", servizio);
    const auto prima = prove::contenuto_cartella(d.percorso());
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), "L", "T"}, d.percorso());
    EXPECT_EQ(e.stato, c.stato);
    EXPECT_TRUE(e.errori.starts_with(c.prime_righe + "\n")) << e.errori;
    EXPECT_NE(e.errori.find("\n" + c.luogo), std::string::npos) << e.errori;
    // Nothing written, nothing consumed.
    EXPECT_EQ(prove::contenuto_cartella(d.percorso()), prima);
  }
}

TEST_F(Compatta, MisspeltKeywordIsWarnedAboutWithItsLine) {
  scrivi(linea_valida, inserisci(servizio_valido, "[fine]",
                                 "segnlae,    4000,   1, 4, 0,  0, 0,    1,  3,0,0, 0"));
  const auto e = compatta();
  EXPECT_EQ(e.stato, 0) << e.errori;
  const auto r = righe_uscita(e.errori);
  ASSERT_FALSE(r.empty()) << e.errori;
  EXPECT_TRUE(r[0].starts_with((dir() / "L_T-.txt").string() + ":17: attenzione:")) << r[0];
}

// A source that is not a sane file is refused at once, with error 25 and the
// reason, and nothing is written. A hang would end in `timeout`'s status.
TEST(SorgentiOstili, AreRefusedAtOnceSayingWhy) {
  const std::string lunga(250, 'x');  // its sources' names pass 255 bytes
  const struct {
    const char* nome;
    std::string linea = "L";
    bool servizio = false;  // the service source instead of the line source
    std::function<void(const fs::path& sorgente)> prepara;
    std::string motivo;
    bool utente_normale = false;
  } casi[] = {
      {"a FIFO", "L", false, [](const fs::path& f) { ::mkfifo(f.c_str(), 0644); },
       "e' una FIFO (pipe con nome), non un file"},
      {"a FIFO as service source", "L", true, [](const fs::path& f) { ::mkfifo(f.c_str(), 0644); },
       "e' una FIFO (pipe con nome), non un file"},
      {"a directory", "L", false, [](const fs::path& f) { fs::create_directory(f); },
       "e' una cartella, non un file"},
      {"a link to /dev/zero", "L", false,
       [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
       "e' un dispositivo a caratteri, non un file"},
      {"a file over the limit", "L", false,
       [](const fs::path& f) {
         prove::scrivi_tutto(f, linea_valida);
         fs::resize_file(f, (16u << 20) + 1);  // sparse: costs no disk
       },
       "il file supera il limite di 16777216 byte"},
      {"a file that cannot be read", "L", false,
       [](const fs::path& f) {
         prove::scrivi_tutto(f, linea_valida);
         fs::permissions(f, fs::perms::none);
       },
       std::strerror(EACCES), true},
      {"a name the file system cannot hold", lunga, false, [](const fs::path&) {},
       std::strerror(ENAMETOOLONG)},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    cartella_temporanea d("ostili");
    fs::permissions(d.percorso(),
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const fs::path linea = d.percorso() / (c.linea + "_linea.txt");
    const fs::path servizio = d.percorso() / (c.linea + "_T-.txt");
    if (c.linea.size() < 200)
      prove::scrivi_tutto(c.servizio ? linea : servizio,
                          c.servizio ? linea_valida : servizio_valido);
    c.prepara(c.servizio ? servizio : linea);
    const auto prima = prove::contenuto_cartella(d.percorso());
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), c.linea, "T"}, d.percorso(),
               "timeout 20 " + (c.utente_normale ? prove::come_utente_normale() : ""));
    EXPECT_EQ(e.stato, 1) << e.errori;
    EXPECT_TRUE(e.errori.starts_with(" Errore n. 25\n")) << e.errori;
    EXPECT_NE(e.errori.find((c.servizio ? servizio : linea).string() +
                            ": errore di lettura delle sorgenti: impossibile leggere il file: " +
                            c.motivo + "\n"),
              std::string::npos)
        << e.errori;
    EXPECT_EQ(prove::contenuto_cartella(d.percorso()), prima);
  }
}

// Any name the file system holds works: a temporary never makes it longer.
TEST(NomiLunghi, CompactWhereverTheFileSystemHoldsTheNames) {
  cartella_temporanea base("lunghi");
  // Directories of up to 200 characters, down to an absolute path of 4064.
  std::string profonda = base.percorso().string();
  while (profonda.size() < 4064) {
    const std::size_t resto = 4064 - profonda.size();
    const std::size_t n = resto <= 201 ? resto - 1 : resto == 202 ? 199 : 200;
    profonda += "/" + std::string(n, 'd');
  }
  fs::create_directories(profonda);
  const struct {
    const char* nome;
    fs::path dir;
    std::string linea, treno;
  } casi[] = {
      {"LINEA of 235 characters", base.percorso(), std::string(235, 'l'), "T"},
      {"DIR of 4064 characters", profonda, "Quarve_Lentra", "58213"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prove::scrivi_tutto(c.dir / (c.linea + "_linea.txt"), linea_valida);
    prove::scrivi_tutto(c.dir / (c.linea + "_" + c.treno + "-.txt"), servizio_valido);
    const auto e = esegui({COMPATTATORE_EXE, "compatta", c.dir.string(), c.linea, c.treno}, c.dir);
    EXPECT_EQ(e.stato, 0) << e.errori;
    std::vector<std::string> nomi;
    for (const auto& f : fs::directory_iterator(c.dir))
      if (f.is_regular_file()) nomi.push_back(f.path().filename().string());
    std::sort(nomi.begin(), nomi.end());
    const std::string lt = c.linea + "_" + c.treno;
    EXPECT_EQ(nomi, (std::vector<std::string>{lt + "-.txt", lt + ".dat", lt + ".sim",
                                              c.linea + "_linea.dat", c.linea + "_linea.txt"}));
  }
}

TEST(RigaDiComando, UsageHelpAndVersion) {
  cartella_temporanea d("uso");
  const struct {
    std::vector<std::string> argomenti;
    int stato;
    bool su_uscita;  // help and version on standard output, the rest on error
  } casi[] = {
      {{"--help"}, 0, true},
      {{"--version"}, 0, true},
      {{"boh"}, 2, false},
      {{"compatta", d.percorso().string(), "L"}, 2, false},
      {{"compatta", (d.percorso() / "manca").string(), "L", "T"}, 2, false},
      {{"compatta", d.percorso().string(), "../L", "T"}, 2, false},
      {{"esporta"}, 2, false},
      {{"esporta", (d.percorso() / "manca").string()}, 2, false},
  };
  for (const auto& c : casi) {
    std::vector<std::string> a = {COMPATTATORE_EXE};
    a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
    const auto e = esegui(a, d.percorso());
    EXPECT_EQ(e.stato, c.stato) << c.argomenti[0];
    EXPECT_EQ(e.uscita.empty(), !c.su_uscita) << c.argomenti[0];
    EXPECT_EQ(e.errori.empty(), c.su_uscita) << c.argomenti[0];
  }
  EXPECT_TRUE(fs::is_empty(d.percorso()));
}

// A usage error is one line that names the problem and points to the help of
// the command; help asked after arguments helps; output that cannot be
// written is a failure.
TEST(RigaDiComando, UsageErrorsAreOneLineAndHelpComesFromAnywhere) {
  cartella_temporanea d("uso");
  const std::string dir = d.percorso().string();
  const struct {
    std::vector<std::string> argomenti;
    std::string errore;
  } casi[] = {
      {{"compatta", dir, "L"},
       "compattatore compatta: manca TRENO (vedere 'compattatore compatta --help')\n"},
      {{"compatta", dir, "L", "T", "X"},
       "compattatore compatta: argomento in piu': X (vedere 'compattatore compatta --help')\n"},
      {{"compatta", dir, "L", "T", "--boh"},
       "compattatore compatta: opzione sconosciuta: --boh (vedere 'compattatore compatta "
       "--help')\n"},
      {{"compatta", dir + "/manca", "L", "T"},
       "compattatore compatta: DIR non e' una cartella esistente: " + dir +
           "/manca (vedere 'compattatore compatta --help')\n"},
      {{"boh"}, "compattatore: comando sconosciuto: boh (vedere 'compattatore --help')\n"},
      {{"esporta"}, "compattatore esporta: manca DIR (vedere 'compattatore esporta --help')\n"},
  };
  for (const auto& c : casi) {
    std::vector<std::string> a = {COMPATTATORE_EXE};
    a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
    const auto e = esegui(a, d.percorso());
    EXPECT_EQ(e.stato, 2) << c.errore;
    EXPECT_EQ(e.errori, c.errore);
    EXPECT_EQ(e.uscita, "");
  }
  const auto aiuto = esegui({COMPATTATORE_EXE, "compatta", dir, "L", "T", "--help"}, d.percorso());
  EXPECT_EQ(aiuto.stato, 0);
  EXPECT_TRUE(aiuto.uscita.starts_with("compatta le sorgenti di un autore")) << aiuto.uscita;
  EXPECT_TRUE(fs::is_empty(d.percorso()));
  for (const char* opzione : {"--help", "--version"}) {
    const auto pieno =
        esegui({COMPATTATORE_EXE, opzione}, d.percorso(), "sh -c 'exec \"$0\" \"$@\" >/dev/full'");
    EXPECT_EQ(pieno.stato, 2) << opzione;
    EXPECT_EQ(pieno.errori, "compattatore: impossibile scrivere sullo standard output\n");
  }
}

}  // namespace
}  // namespace compattatore
