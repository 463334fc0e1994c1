// mostra and confronta end to end, on the built-in scenario's files as
// `esporta` and `compatta` leave them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "tests/dimensioni.h"
#include "tests/processo.h"
#include "tests/righe.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;

const std::string griglia = "Quarve_Lentra_58213.dat";
const std::string tabella = "Quarve_Lentra_58213.sim";
const std::string tracciato = "Quarve_Lentra_linea.dat";

// A source record's items, blanks around them dropped.
std::vector<std::string> voci(const std::string& riga) {
  std::vector<std::string> v;
  std::istringstream in(riga);
  for (std::string x; std::getline(in, x, ',');) {
    const std::size_t a = x.find_first_not_of(' ');
    const std::size_t b = x.find_last_not_of(' ');
    v.push_back(a == std::string::npos ? "" : x.substr(a, b - a + 1));
  }
  return v;
}

int n(const std::string& s) {
  return s.empty() ? 0 : std::stoi(s);
}

// The cell of an event at p metres: nearest(p/50 + 1), halves to even.
int cella_evento(const std::string& p) {
  return static_cast<int>(std::nearbyint(n(p) / 50.0 + 1));
}

class Ispezione : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new cartella_temporanea("ispezione");
    const auto e = esegui({COMPATTATORE_EXE, "esporta", dir().string()}, dir());
    const auto c =
        esegui({COMPATTATORE_EXE, "compatta", dir().string(), "Quarve_Lentra", "58213"}, dir());
    ASSERT_EQ(e.stato + c.stato, 0) << e.errori << c.errori;
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static fs::path dir() { return dir_->percorso(); }
  static prove::esito_processo compattatore(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), COMPATTATORE_EXE);
    return esegui(argomenti, dir());
  }
  static inline cartella_temporanea* dir_ = nullptr;
};

// What mostra prints for the grid and the table, against the sources: every
// station at its slot and stop cell, every signal, board and text board at
// its cell, the slowdown's cells and the check points the pass put before
// it.
TEST_F(Ispezione, ShownGridAndTableAgreeWithTheSources) {
  const auto e = compattatore({"mostra", griglia, tabella});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::vector<std::string> uscita = prove::righe_uscita(e.uscita);
  // The line of cell k, or of slot k.
  const auto riga = [&](const std::string& oggetto, int k) -> std::string {
    for (const std::string& r : uscita)
      if (r.starts_with(oggetto + " " + std::to_string(k) + ",")) return r;
    return "";
  };
  const auto contiene = [](const std::string& r, const std::string& parte) {
    return r.find(parte) != std::string::npos;
  };
  int controllati = 0;  // records of the sources matched, to catch a parser that reads none

  int stazione = 0;
  for (const std::string& l :
       prove::righe_di(prove::leggi_tutto(dir() / "Quarve_Lentra_58213-.txt"))) {
    const std::vector<std::string> v = voci(l);
    if (v[0] == "stazione") {
      ++stazione;
      const int p = n(v[1]), tipo = n(v[2]), zona = n(v[3]), codice_4 = n(v[6]);
      const std::string orario = v[14] + "." + (v[15].size() < 2 ? "0" : "") + v[15] + "." +
                                 (v[16].size() < 2 ? "0" : "") + v[16];
      const std::string t = riga("voce", stazione);
      EXPECT_TRUE(contiene(t, "stazione " + std::to_string(stazione) + " \"" + v[17] + "\": tipo " +
                                  std::to_string(tipo)))
          << t;
      EXPECT_TRUE(contiene(t, "posizione " + std::to_string(p) + " m,")) << t;
      EXPECT_TRUE(contiene(t, "orario " + orario)) << t;
      if (tipo >= 25) continue;
      // The stop is the cell before the end of the station's zone.
      const int fine = tipo == 5 || tipo == 6 ? p + 150 : p + zona / 2 + (codice_4 != 0 ? 50 : 0);
      const int fermata = fine / 50 - 1;
      EXPECT_TRUE(contiene(t, "cella di fermata " + std::to_string(fermata))) << t;
      EXPECT_TRUE(contiene(riga("cella", fermata),
                           "fermata \"" + v[17] + "\": stazione " + std::to_string(stazione) + ";"))
          << riga("cella", fermata);
      ++controllati;
    } else if (v[0] == "segnale") {
      const int sx = n(v[2]), tempo = n(v[11]);
      const int tempo_scritto = sx != 2 ? 0 : tempo >= 1 && tempo <= 100 ? 101 : tempo % 256;
      const std::string r = riga("cella", cella_evento(v[1]));
      EXPECT_TRUE(contiene(r, "segnale: sx " + v[2] + ", s1 " + v[3] + ", s2 " + v[4] + ", s3 " +
                                  v[5] + ", rapp " + v[6] + ", dx " + v[7] + ", d1 " + v[8] +
                                  ", d2 " + v[9] + ", d3 " + v[10] + ", tempo " +
                                  std::to_string(tempo_scritto) + ";"))
          << l << "\n"
          << r;
      ++controllati;
    } else if (v[0] == "abbattimento") {
      EXPECT_TRUE(
          contiene(riga("cella", n(v[1]) / 50), "abbattimento: velocita " + v[2] + " km/h"));
      ++controllati;
    } else if (v[0] == "rallentamento") {
      const int x = n(v[1]), l_ = n(v[3]);
      const std::string v_ = "velocita " + v[2] + " km/h";
      const int inizio = x / 50 + 1;
      EXPECT_TRUE(contiene(riga("cella", (x - 1200) / 50 + 1), "avviso rallentamento: " + v_));
      EXPECT_TRUE(contiene(riga("cella", inizio), "inizio rallentamento: " + v_));
      EXPECT_TRUE(contiene(riga("cella", (x + l_) / 50 + 1), "fine rallentamento: " + v_));
      // One check point of the marking pass in each of the three groups
      // before the start.
      for (const int g : {5, 11, 18}) {
        int abbattimenti = 0;
        for (int k = inizio - g - 2; k <= inizio - g; ++k)
          abbattimenti += contiene(riga("cella", k), "abbattimento: velocita 180 km/h") ? 1 : 0;
        EXPECT_EQ(abbattimenti, 1) << "group " << g;
      }
      ++controllati;
    }
  }
  for (const std::string& l :
       prove::righe_di(prove::leggi_tutto(dir() / "Quarve_Lentra_linea.txt"))) {
    const std::vector<std::string> v = voci(l);
    if (v[0] == "indicatori_vmax") {
      const std::string r = riga("cella", cella_evento(v[1]));
      EXPECT_TRUE(contiene(r, "indicatore velocita' massima: vas " + v[2] + " km/h, vbs " + v[3] +
                                  " km/h, vcs " + v[4] + " km/h, strisces " + v[5] + ","))
          << l << "\n"
          << r;
      ++controllati;
    } else if (v[0] == "cartello_indicatore") {
      const std::string r = riga("cella", cella_evento(v[1]));
      EXPECT_TRUE(contiene(r, "cartello indicatore \"" + v[2] + "\": voce del testo ")) << r;
      const int voce = std::stoi(r.substr(r.find("voce del testo ") + 15));
      EXPECT_TRUE(contiene(riga("voce", voce), "testo del cartello in voce " +
                                                   std::to_string(voce) + " \"" + v[2] +
                                                   "\": cella del cartello"))
          << riga("voce", voce);
      ++controllati;
    }
  }
  EXPECT_GT(stazione, 20);
  EXPECT_GT(controllati, 60);
}

TEST_F(Ispezione, ExitStatusesAndRefusals) {
  cartella_temporanea guasti("guasti");
  const std::string g = prove::leggi_tutto(dir() / griglia);
  const std::size_t ultima_cella = prove::byte_celle_incorporate - 15;
  const fs::path tagliata = guasti.percorso() / griglia;
  prove::scrivi_tutto(tagliata, g.substr(0, g.size() - 1));
  const fs::path modificata = guasti.percorso() / "altra.dat";
  std::string altra = g;
  altra[15 * 349] = 0;  // the signal at 17400 (cell 349) taken away
  prove::scrivi_tutto(modificata, altra);

  const struct {
    std::vector<std::string> argomenti;
    int stato;
    std::string uscita;  // start of standard output
    std::string errori;  // start of standard error
  } casi[] = {
      {{"mostra", tracciato}, 0, "tracciato: ultimo metro 113000, elementi 226002\n", ""},
      {{"mostra", tagliata.string()},
       1,
       "",
       tagliata.string() + ": byte " + std::to_string(ultima_cella) +
           ": atteso: una cella intera di 15 byte"},
      // Two files: each under its name.
      {{"mostra", tabella, (dir() / griglia).string()}, 0, "file ", ""},
      {{"mostra", "manca.dat"}, 2, "", "compattatore: Errore sul file manca.dat"},
      {{"mostra", griglia, "--celle", "10-2"}, 2, "", "compattatore mostra: --celle"},
      {{"confronta", ".", ".", "Quarve_Lentra", "58213"}, 0, "", ""},
      {{"confronta", griglia, modificata.string()},
       1,
       "17400 m: segnale tolto (sx 2, s1 3, s2 1, s3 0, rapp 0, dx 2, d1 2, d2 0, d3 0, tempo 0)\n",
       ""},
      {{"confronta", griglia, tagliata.string()},
       2,
       "",
       tagliata.string() + ": byte " + std::to_string(ultima_cella) + ": "},
      {{"confronta", griglia, tabella},
       2,
       "",
       "compattatore confronta: A e B non sono dello stesso tipo"},
      {{"confronta", ".", guasti.percorso().string(), "Quarve_Lentra", "58213"},
       2,
       "",
       "compattatore: Errore sul file "},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.argomenti[0] + " " + c.argomenti[1]);
    const auto e = compattatore(c.argomenti);
    EXPECT_EQ(e.stato, c.stato) << e.errori;
    EXPECT_TRUE(e.uscita.starts_with(c.uscita)) << e.uscita.substr(0, 300);
    EXPECT_TRUE(e.errori.starts_with(c.errori)) << e.errori;
    EXPECT_EQ(e.errori.empty(), c.errori.empty()) << e.errori;
  }
  // The grid and the track of a build must agree with its table.
  prove::scrivi_tutto(guasti.percorso() / tabella, prove::leggi_tutto(dir() / tabella));
  const auto e =
      compattatore({"mostra", tagliata.string(), (guasti.percorso() / tabella).string()});
  EXPECT_EQ(e.stato, 1);
}

}  // namespace
}  // namespace compattatore
