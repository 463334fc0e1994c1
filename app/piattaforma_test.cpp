#include "app/piattaforma.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

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

// Whatever fails before the set is confirmed, every previous file stays as it
// was and no temporary is left.
TEST_F(CartellaTemporanea, SetFailingBeforeItsReplacementKeepsEveryFile) {
  const struct {
    const char* nome;
    int guasto;     // index of the file that fails
    bool cartella;  // a directory in its place; otherwise its producer throws
  } casi[] = {
      {"producer of the second throws", 1, false},
      {"producer of the third throws", 2, false},
      {"directory in place of the second", 1, true},
      {"directory in place of the third", 2, true},
  };
  const char* nomi[] = {"a.dat", "b.sim", "c.dat"};
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* n : nomi) std::ofstream(dir_ / n) << "vecchio " << n;
    if (c.cartella) {
      fs::remove(dir_ / nomi[c.guasto]);
      fs::create_directory(dir_ / nomi[c.guasto]);
    }
    const auto prima = elenco();
    try {
      piattaforma::insieme_file insieme(dir_.string());
      for (int i = 0; i < 3; ++i)
        insieme.prepara(nomi[i], [&](const auto& scrivi) {
          scrivi("nuovo ");
          scrivi(nomi[i]);
          if (i == c.guasto) throw std::runtime_error("interrotto");
        });
      insieme.conferma();
      ADD_FAILURE() << "no failure";
    } catch (const piattaforma::errore_file& e) {
      EXPECT_TRUE(c.cartella) << e.what();
      EXPECT_EQ(e.file(), (dir_ / nomi[c.guasto]).string());
    } catch (const std::runtime_error& e) {
      EXPECT_FALSE(c.cartella) << e.what();
    }
    EXPECT_EQ(elenco(), prima);
    for (int i = 0; i < 3; ++i) {
      if (!c.cartella || i != c.guasto) {
        EXPECT_EQ(leggi(dir_ / nomi[i]), std::string("vecchio ") + nomi[i]);
      }
    }
  }
}

TEST_F(CartellaTemporanea, SetReplacesAllItsFilesJoiningThePieces) {
  std::ofstream(dir_ / "b.sim") << "vecchio";
  {
    piattaforma::insieme_file insieme(dir_.string());
    insieme.prepara("a.dat", [](const auto& scrivi) {
      scrivi("uno,");
      scrivi("");
      scrivi(std::string_view("d\0e", 3));
    });
    insieme.prepara("b.sim", [](const auto& scrivi) { scrivi("nuovo"); });
    // Ready but not yet in place: the targets are untouched, and the
    // temporaries have short names of their own.
    EXPECT_FALSE(fs::exists(dir_ / "a.dat"));
    EXPECT_EQ(leggi(dir_ / "b.sim"), "vecchio");
    for (const std::string& n : elenco()) {
      if (n == "b.sim") continue;
      EXPECT_TRUE(n.starts_with(piattaforma::prefisso_temporanei)) << n;
      EXPECT_EQ(n.size(), piattaforma::prefisso_temporanei.size() + 8) << n;
    }
    insieme.conferma();
  }
  EXPECT_EQ(leggi(dir_ / "a.dat"), std::string("uno,d\0e", 7));
  EXPECT_EQ(leggi(dir_ / "b.sim"), "nuovo");
  EXPECT_EQ(elenco(), (std::vector<std::string>{"a.dat", "b.sim"}));
}

// A rename can still fail once the set is ready (here a directory appears in
// a target's place meanwhile): the message tells which files are new.
TEST_F(CartellaTemporanea, ReplacementFailingHalfwayNamesTheFilesAlreadyReplaced) {
  piattaforma::insieme_file insieme(dir_.string());
  for (const char* n : {"a.dat", "b.sim", "c.dat"})
    insieme.prepara(n, [](const auto& scrivi) { scrivi("nuovo"); });
  fs::create_directory(dir_ / "c.dat");
  fs::create_directory(dir_ / "c.dat" / "occupata");
  try {
    insieme.conferma();
    FAIL() << "no failure";
  } catch (const piattaforma::errore_file& e) {
    EXPECT_EQ(e.file(), (dir_ / "c.dat").string());
    EXPECT_NE(e.motivo().find("gia' sostituiti con i nuovi: a.dat, b.sim"), std::string::npos)
        << e.motivo();
  }
  EXPECT_EQ(elenco(), (std::vector<std::string>{"a.dat", "b.sim", "c.dat"}));
}

// Names up to the file system's limit work: the temporary's name never
// grows with its target's.
TEST_F(CartellaTemporanea, ReplaceWorksForTheLongestName) {
  const std::string nome(255, 'n');
  piattaforma::sostituisci_file(piattaforma::percorso(dir_.string(), nome), "x");
  EXPECT_EQ(elenco(), std::vector<std::string>{nome});
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
  EXPECT_THROW(piattaforma::leggi_file(f, 100), piattaforma::errore_file);
  EXPECT_FALSE(piattaforma::presente(f));
  piattaforma::sostituisci_file(f, std::string("a\0b", 3));
  EXPECT_TRUE(piattaforma::presente(f));
  EXPECT_EQ(piattaforma::leggi_file(f, 3), std::string("a\0b", 3));
  piattaforma::elimina_file(f);
  EXPECT_FALSE(piattaforma::presente(f));
  EXPECT_NO_THROW(piattaforma::elimina_file(f));  // already gone
}

// Only a regular file within the limit is read, and anything else is refused
// at once with its reason: nothing blocks, nothing fills the memory.
TEST_F(CartellaTemporanea, ReadRefusesWhatIsNotASaneFileSayingWhy) {
  std::ofstream(dir_ / "dieci") << "0123456789";
  std::ofstream(dir_ / "undici") << "0123456789A";
  fs::create_directory(dir_ / "cartella");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir_ / "zero");
  const std::string troppo_lungo(300, 'x');
  const struct {
    std::string nome;
    std::string motivo;  // empty: read
    bool presente = true;
  } casi[] = {
      {"dieci", ""},
      {"undici", "il file supera il limite di 10 byte"},
      {"cartella", "e' una cartella, non un file"},
      {"fifo", "e' una FIFO (pipe con nome), non un file"},
      {"zero", "e' un dispositivo a caratteri, non un file"},
      {"manca", std::strerror(ENOENT), false},
      {troppo_lungo, std::strerror(ENAMETOOLONG)},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome.substr(0, 10));
    const std::string f = piattaforma::percorso(dir_.string(), c.nome);
    EXPECT_EQ(piattaforma::presente(f), c.presente);
    try {
      EXPECT_EQ(piattaforma::leggi_file(f, 10), "0123456789");
      EXPECT_EQ(c.motivo, "");
    } catch (const piattaforma::errore_file& e) {
      EXPECT_EQ(e.file(), f);
      EXPECT_EQ(e.motivo(), c.motivo);
    }
  }
}

// Runs `corpo` in a child process and returns its wait status.
template <class funzione>
int in_un_figlio(funzione corpo) {
  const pid_t figlio = ::fork();
  if (figlio == 0) {
    corpo();
    ::_exit(0);
  }
  int stato = -1;
  ::waitpid(figlio, &stato, 0);
  return stato;
}

TEST_F(CartellaTemporanea, InterruptingSignalRemovesTheTemporariesAndEndsTheProcess) {
  for (const int segnale : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(::strsignal(segnale));
    std::ofstream(dir_ / "a.dat") << "vecchio";
    const int stato = in_un_figlio([&] {
      piattaforma::insieme_file insieme(dir_.string());
      insieme.prepara("b.sim", [](const auto& scrivi) { scrivi("pronto"); });
      insieme.prepara("a.dat", [&](const auto& scrivi) {
        scrivi("a meta'");
        ::raise(segnale);
        scrivi("mai");
      });
      insieme.conferma();
    });
    EXPECT_TRUE(WIFSIGNALED(stato) && WTERMSIG(stato) == segnale) << stato;
    EXPECT_EQ(elenco(), std::vector<std::string>{"a.dat"});
    EXPECT_EQ(leggi(dir_ / "a.dat"), "vecchio");
  }
}

// A file-size limit is a write failure like a full disk, not a signal that
// ends the process leaving its temporary.
TEST_F(CartellaTemporanea, FileSizeLimitIsAnOrdinaryWriteFailure) {
  const std::string f = piattaforma::percorso(dir_.string(), "grande.dat");
  const int stato = in_un_figlio([&] {
    const rlimit limite = {1000, 1000};
    ::setrlimit(RLIMIT_FSIZE, &limite);
    try {
      piattaforma::sostituisci_file(f, std::string(5000, 'x'));
    } catch (const piattaforma::errore_file& e) {
      ::_exit(e.file() == f && e.motivo() == std::strerror(EFBIG) ? 3 : 4);
    }
  });
  EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 3) << stato;
  EXPECT_TRUE(elenco().empty());
}

// The lock keeps a second holder waiting, and only the holder removes the
// temporaries found in the directory: while the first lives they are its own.
TEST_F(CartellaTemporanea, LockWaitsForItsHolderThenRemovesAbandonedTemporaries) {
  const std::string abbandonato = std::string(piattaforma::prefisso_temporanei) + "abcd1234";
  std::ofstream(dir_ / abbandonato) << "di una corsa uccisa";
  std::ofstream(dir_ / "L.compattatore-1") << "dell'autore";
  std::optional<piattaforma::lucchetto_cartella> primo;
  primo.emplace(dir_.string());
  EXPECT_EQ(elenco(), std::vector<std::string>{"L.compattatore-1"});

  const std::string vivo = std::string(piattaforma::prefisso_temporanei) + "vivo0000";
  std::ofstream(dir_ / vivo) << "del primo";
  std::atomic<bool> in_attesa = false, preso = false, vivo_in_attesa = false;
  std::thread secondo([&] {
    const piattaforma::lucchetto_cartella l(dir_.string(), [&] {
      vivo_in_attesa = fs::exists(dir_ / vivo);
      in_attesa = true;
    });
    preso = true;
  });
  while (!in_attesa && !preso) std::this_thread::yield();
  EXPECT_TRUE(in_attesa);
  EXPECT_FALSE(preso);
  primo.reset();
  secondo.join();
  EXPECT_TRUE(vivo_in_attesa);
  EXPECT_EQ(elenco(), std::vector<std::string>{"L.compattatore-1"});
}

}  // namespace
}  // namespace compattatore
