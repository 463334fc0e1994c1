// Failing file systems: whatever fails, the run says which file and why, ends
// with status 2, loses no previous file and leaves no temporary behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/processo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;

// Permission bits do not stop root: where they must bite, the child runs as
// an unprivileged user.
std::string come_utente_normale() {
  if (::geteuid() != 0) return "";
  return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

struct modo {
  const char* nome;
  bool compatta;  // the authoring form instead of the fixed job
};

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
    EXPECT_EQ(prove::contenuto_cartella(dir()), prima_);
    for (const auto& v : fs::directory_iterator(dir()))
      EXPECT_EQ(v.path().filename().string().find(".tmp"), std::string::npos) << v.path();
  }

  cartella_temporanea dir_;
  std::map<std::string, std::string> prima_;
};

TEST_P(Guasti, DirectoryThatCannotBeWritten) {
  fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::remove);
  const auto e = esegui(argomenti(), dir(), come_utente_normale());
  fs::permissions(dir(), fs::perms::owner_write, fs::perm_options::add);
  const std::string primo =
      GetParam().compatta ? "Quarve_Lentra_linea.dat" : "Quarve_Lentra_linea.txt";
  verifica_fallimento(e, (dir() / primo).string());
}

TEST_P(Guasti, DiskFullInTheMiddleOfTheTrackFile) {
  // The track image is 2.2 MB; the sources and documents fit well below the
  // limit. With SIGXFSZ ignored the write fails with EFBIG instead of killing.
  prove::scrivi_tutto(dir() / "Quarve_Lentra_linea.dat", "traccia precedente");
  prima_ = prove::contenuto_cartella(dir());
  const auto e = esegui(argomenti(), dir(), "trap '' XFSZ; ulimit -f 2000; ");
  verifica_fallimento(e, (dir() / "Quarve_Lentra_linea.dat").string());
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
                               dir.percorso(), come_utente_normale());
  EXPECT_EQ(e.stato, 2);
  EXPECT_NE(e.errori.find((dir.percorso() / "Quarve_Lentra_linea.txt").string()), std::string::npos)
      << e.errori;
  EXPECT_TRUE(fs::is_empty(dir.percorso()));
}

}  // namespace
}  // namespace compattatore
