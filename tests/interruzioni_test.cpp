// Runs interrupted, killed or overlapping on one directory, with a route of
// 1000 km whose track (20 MB) takes most of a run to write. Whatever happens,
// the compacted files are all of one run, and no temporary outlives the next
// run. The loops are bounded in count and in time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/piattaforma.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using orologio = std::chrono::steady_clock;

// In the order the set is replaced.
const std::array<std::string, 3> file_compattati = {"L_linea.dat", "L_T.sim", "L_T.dat"};

// Two versions of the scenario whose three files all differ.
std::string linea(int versione) {
  return prove::con(
      prove::linea_valida, "lunghezza percorso,    10000",
      versione == 0 ? "lunghezza percorso,    1000000" : "lunghezza percorso,    999950");
}
std::string servizio(int versione) {
  return prove::con(prove::servizio_valido, "PRIMA", versione == 0 ? "PRIMA" : "PRIMO");
}

class Interruzioni : public ::testing::Test {
 protected:
  Interruzioni() : dir_("interruzioni") {}

  // The set each version compacts to, and how long a whole run takes here.
  static void SetUpTestSuite() {
    for (int v = 0; v < 2; ++v) {
      prove::cartella_temporanea d("riferimento");
      scrivi_sorgenti(d.percorso(), v);
      const auto inizio = orologio::now();
      const auto e = prove::esegui(argomenti(d.percorso()), d.percorso());
      durata_ = orologio::now() - inizio;
      ASSERT_EQ(e.stato, 0) << e.errori;
      for (const std::string& f : file_compattati)
        insiemi_[v][f] = prove::leggi_tutto(d.percorso() / f);
    }
    for (const std::string& f : file_compattati) ASSERT_NE(insiemi_[0][f], insiemi_[1][f]) << f;
  }

  static void scrivi_sorgenti(const fs::path& d, int versione) {
    prove::sostituisci_tutto(d / "L_linea.txt", linea(versione));
    prove::sostituisci_tutto(d / "L_T-.txt", servizio(versione));
  }
  static std::vector<std::string> argomenti(const fs::path& d) {
    return {COMPATTATORE_EXE, "compatta", d.string(), "L", "T"};
  }

  fs::path dir() const { return dir_.percorso(); }
  std::vector<std::string> argomenti() const { return argomenti(dir()); }

  // For each compacted file, the version it belongs to; -1 for neither.
  std::array<int, 3> versioni() const {
    std::array<int, 3> v{};
    for (std::size_t i = 0; i < 3; ++i) {
      const std::string contenuto = prove::leggi_tutto(dir() / file_compattati[i]);
      v[i] = contenuto == insiemi_[0].at(file_compattati[i])   ? 0
             : contenuto == insiemi_[1].at(file_compattati[i]) ? 1
                                                               : -1;
    }
    return v;
  }

  std::vector<std::string> temporanei() const {
    std::vector<std::string> t;
    for (const auto& e : fs::directory_iterator(dir()))
      if (e.path().filename().string().starts_with(piattaforma::prefisso_temporanei))
        t.push_back(prove::leggi_tutto(e.path()));
    return t;
  }

  // Until the run has created its first temporary: it is writing the track.
  bool attendi_temporaneo() const {
    for (const auto fine = orologio::now() + 20s; orologio::now() < fine;
         std::this_thread::sleep_for(1ms)) {
      for (const auto& e : fs::directory_iterator(dir()))
        if (e.path().filename().string().starts_with(piattaforma::prefisso_temporanei)) return true;
    }
    return false;
  }

  void completa(int versione) {
    scrivi_sorgenti(dir(), versione);
    const auto e = prove::esegui(argomenti(), dir());
    ASSERT_EQ(e.stato, 0) << e.errori;
  }

  static inline std::array<std::map<std::string, std::string>, 2> insiemi_;
  static inline orologio::duration durata_{};
  prove::cartella_temporanea dir_;
};

TEST_F(Interruzioni, InterruptingSignalsLeaveTheOldSetNoTemporaryAndTheirStatus) {
  completa(0);
  scrivi_sorgenti(dir(), 1);
  for (const int segnale : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(::strsignal(segnale));
    prove::processo_avviato corsa(argomenti(), dir());
    ASSERT_TRUE(attendi_temporaneo());
    corsa.segnala(segnale);
    const int stato = corsa.attendi();
    EXPECT_TRUE(WIFSIGNALED(stato) && WTERMSIG(stato) == segnale) << stato;
    EXPECT_EQ(versioni(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_TRUE(temporanei().empty());
  }
}

// SIGKILL cannot be caught: the kill may leave temporaries, which the next
// run removes, but never a mixed set, unless it fell between two renames. A
// kill there is recognised by what it leaves: the new files not yet renamed
// are all there, whole, as temporaries, because the set was complete before
// the first rename.
TEST_F(Interruzioni, KillAtAnyMomentLeavesOneRunsSetAndTheNextRunClearsUp) {
  completa(0);
  const unsigned seme = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seme));
  std::mt19937 caso(seme);
  std::uniform_int_distribution<long long> ritardo_us(
      0, std::chrono::duration_cast<std::chrono::microseconds>(durata_ * 6 / 5).count());
  int uccisioni = 0, con_temporanei = 0, tra_le_sostituzioni = 0;
  const auto fine = orologio::now() + 40s;
  for (int i = 0; i < 30 && orologio::now() < fine; ++i, ++uccisioni) {
    const int vecchia = i % 2, nuova = 1 - vecchia;
    scrivi_sorgenti(dir(), nuova);
    {
      prove::processo_avviato corsa(argomenti(), dir());
      // The first kill surely falls while the track is being written.
      if (i == 0) {
        ASSERT_TRUE(attendi_temporaneo());
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(ritardo_us(caso)));
      }
      corsa.segnala(SIGKILL);
      corsa.attendi();
    }
    const std::array<int, 3> v = versioni();
    const std::vector<std::string> resti = temporanei();
    con_temporanei += !resti.empty();
    std::size_t nuovi = 0;
    while (nuovi < 3 && v[nuovi] == nuova) ++nuovi;
    std::size_t vecchi = nuovi;
    while (vecchi < 3 && v[vecchi] == vecchia) ++vecchi;
    ASSERT_EQ(vecchi, 3u) << "kill " << i << ": versions " << v[0] << v[1] << v[2];
    if (nuovi > 0 && nuovi < 3) {
      ++tra_le_sostituzioni;
      for (std::size_t k = nuovi; k < 3; ++k) {
        const std::string& atteso = insiemi_[nuova].at(file_compattati[k]);
        EXPECT_NE(std::find(resti.begin(), resti.end(), atteso), resti.end())
            << "kill " << i << ": the new " << file_compattati[k] << " was not ready";
      }
    }
    // The next run finds what this one left, and clears it.
    const auto e = prove::esegui(argomenti(), dir());
    ASSERT_EQ(e.stato, 0) << e.errori;
    ASSERT_EQ(versioni(), (std::array<int, 3>{nuova, nuova, nuova}));
    ASSERT_TRUE(temporanei().empty()) << "kill " << i;
  }
  EXPECT_GT(con_temporanei, 0);
  std::cout << uccisioni << " kills within " << durata_ / 1ms << " ms of a run: " << con_temporanei
            << " left temporaries, " << tra_le_sostituzioni << " fell between two renames\n";
}

// Two runs at once on one directory, the sources edited after the first has
// read them: each run's set is whole, so the directory holds one of them.
TEST_F(Interruzioni, TwoRunsAtOnceLeaveOneRunsSet) {
  const unsigned seme = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seme));
  std::mt19937 caso(seme);
  const long long durata_us =
      std::chrono::duration_cast<std::chrono::microseconds>(durata_).count();
  std::uniform_int_distribution<long long> ritardo_us(durata_us / 10, durata_us / 2);
  const auto fine = orologio::now() + 60s;
  for (int i = 0; i < 20 && orologio::now() < fine; ++i) {
    scrivi_sorgenti(dir(), i % 2);
    prove::processo_avviato primo(argomenti(), dir());
    std::this_thread::sleep_for(std::chrono::microseconds(ritardo_us(caso)));
    scrivi_sorgenti(dir(), 1 - i % 2);
    prove::processo_avviato secondo(argomenti(), dir());
    const int stato_primo = primo.attendi(), stato_secondo = secondo.attendi();
    ASSERT_TRUE(WIFEXITED(stato_primo) && WEXITSTATUS(stato_primo) == 0) << stato_primo;
    ASSERT_TRUE(WIFEXITED(stato_secondo) && WEXITSTATUS(stato_secondo) == 0) << stato_secondo;
    const std::array<int, 3> v = versioni();
    ASSERT_TRUE(v[0] != -1 && v[0] == v[1] && v[1] == v[2])
        << "pair " << i << ": versions " << v[0] << v[1] << v[2];
    ASSERT_TRUE(temporanei().empty());
  }
}

}  // namespace
}  // namespace compattatore
