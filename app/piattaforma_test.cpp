#include "app/piattaforma.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace compattatore {
namespace {

namespace fs = std::filesystem;

class CartellaTemporanea : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("compattatore_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  std::string leggi(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> elenco() {
    std::vector<std::string> nomi;
    for (const auto& e : fs::directory_iterator(dir_)) nomi.push_back(e.path().filename().string());
    std::sort(nomi.begin(), nomi.end());
    return nomi;
  }
  fs::path dir_;
};

TEST_F(CartellaTemporanea, ReplaceLeavesNothingOfALongerOldFile) {
  const std::string f = piattaforma::percorso(dir_.string(), "a.txt");
  piattaforma::sostituisci_file(f, std::string(1000, 'x'));
  piattaforma::sostituisci_file(f, "corto\r\n");
  EXPECT_EQ(leggi(f), "corto\r\n");
  EXPECT_EQ(elenco(), std::vector<std::string>{"a.txt"});
}

TEST_F(CartellaTemporanea, ReplaceInPiecesJoinsThemAndAFailingProducerKeepsTheOldFile) {
  const std::string f = piattaforma::percorso(dir_.string(), "t.dat");
  piattaforma::sostituisci_file(f, [](const auto& scrivi) {
    scrivi("uno,");
    scrivi("");
    scrivi(std::string_view("d\0e", 3));
  });
  EXPECT_EQ(leggi(f), std::string("uno,d\0e", 7));
  EXPECT_THROW(piattaforma::sostituisci_file(f,
                                             [](const auto& scrivi) {
                                               scrivi("mezzo");
                                               throw std::runtime_error("interrotto");
                                             }),
               std::runtime_error);
  EXPECT_EQ(leggi(f), std::string("uno,d\0e", 7));
  EXPECT_EQ(elenco(), std::vector<std::string>{"t.dat"});
}

TEST_F(CartellaTemporanea, ReplaceOntoADirectoryFailsKeepingEverything) {
  fs::create_directory(dir_ / "occupato");
  const std::string f = piattaforma::percorso(dir_.string(), "occupato");
  try {
    piattaforma::sostituisci_file(f, "dati");
    FAIL() << "no failure";
  } catch (const piattaforma::errore_file& e) {
    EXPECT_EQ(e.file(), f);
    EXPECT_FALSE(e.motivo().empty());
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "occupato"));
  EXPECT_EQ(elenco(), std::vector<std::string>{"occupato"});
}

TEST_F(CartellaTemporanea, ReplaceInAMissingDirectoryFailsNamingTheFile) {
  const std::string f = piattaforma::percorso((dir_ / "manca").string(), "a.dat");
  EXPECT_THROW(piattaforma::sostituisci_file(f, "x"), piattaforma::errore_file);
  EXPECT_TRUE(elenco().empty());
}

TEST_F(CartellaTemporanea, NewFileGetsThePermissionsOfAPlainCreate) {
  const std::string f = piattaforma::percorso(dir_.string(), "p.dat");
  piattaforma::sostituisci_file(f, "x");
  std::ofstream((dir_ / "semplice").string()) << "x";
  EXPECT_EQ(fs::status(f).permissions(), fs::status(dir_ / "semplice").permissions());
}

TEST_F(CartellaTemporanea, ReadAndDelete) {
  const std::string f = piattaforma::percorso(dir_.string(), "l.txt");
  EXPECT_FALSE(piattaforma::leggi_file(f).has_value());
  EXPECT_FALSE(piattaforma::esiste_file(f));
  piattaforma::sostituisci_file(f, std::string("a\0b", 3));
  EXPECT_TRUE(piattaforma::esiste_file(f));
  EXPECT_EQ(piattaforma::leggi_file(f), std::string("a\0b", 3));
  piattaforma::elimina_file(f);
  EXPECT_FALSE(piattaforma::esiste_file(f));
  EXPECT_NO_THROW(piattaforma::elimina_file(f));  // already gone
}

}  // namespace
}  // namespace compattatore
