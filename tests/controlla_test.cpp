// `controlla`: every error and warning of a scenario in one run, in the order
// of the sources, with the first error always the one `compatta` reports.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/processo.h"
#include "tests/righe.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

const std::string& linea_incorporata = prove::linea_incorporata();
const std::string& servizio_incorporato = prove::servizio_incorporato();
using prove::con;
using prove::righe_di;

// The check of the two sources, in the directory of `d`.
prove::esito_processo controlla_in(const prove::scenario_in_cartella& d, const std::string& linea,
                                   const std::string& servizio) {
  d.scrivi(linea, servizio);
  return d.comando("controlla");
}

// One mistake in each part: a bad number in the line source, a station too
// close to the one before, a signal on a taken cell, a slowdown whose start
// falls on a board. Each is listed at its line, in order, and nothing else.
TEST(Controlla, EveryMistakeAtItsLineInOrder) {
  const prove::scenario_in_cartella d("controlla", "V", "2");
  const std::string segnale = "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0";
  const std::string linea = con(
      con(linea_incorporata, "pendenza,  19000,   -30", "pendenza,  19000,   -3O"), "[indicazioni]",
      "indicatori_vmax,  75000,  60,  60,  60,  0,  ,  ,  ,  0\r\n[indicazioni]");
  const std::string servizio =
      con(con(servizio_incorporato, "stazione,    3400,", "stazione,     700,"), segnale,
          segnale + "\r\nsegnale,   17410,   1, 3, 1,  0, 0,    1,  2,0,0, 0");
  const auto e = controlla_in(d, linea, servizio);
  const std::string L = (d.dir() / "V_linea.txt").string();
  const std::string S = (d.dir() / "V_2-.txt").string();
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(e.uscita,
            L +
                ":72: errore 25: errore di lettura delle sorgenti: voce \"-3O\" non e' un numero "
                "intero per il campo pendenza (intero a 32 bit con segno, da -2147483648 a "
                "2147483647)\n" +
                S +
                ":24: errore 22, posizione 700 m: zona di stazione a meno di 350 m dalla "
                "fine della precedente: la zona comincia a 400 m, e quella della stazione "
                "precedente (QUARVE) finisce a 500 m\n" +
                S +
                ":48: errore 18, posizione 75000 m: inizio di rallentamento su una cella "
                "gia' occupata: cella 1501 (75050 m) gia' occupata dall'indicatore "
                "velocita' massima di " +
                L + ":130\n" + S +
                ":58: errore 16, posizione 17410 m: segnale su una cella gia' occupata: cella "
                "349 (17450 m) gia' occupata dal segnale di " +
                S + ":57\n4 errori, 0 avvisi\n");
  // compatta reports the first of them.
  const auto c = d.comando("compatta");
  EXPECT_EQ(c.stato, 1);
  EXPECT_NE(c.errori.find(" Errore n. 25\n" + L + ":72: "), std::string::npos) << c.errori;
}

// What only follows from an earlier error is not listed: without a usable
// route length there is no grid, and the check says so and stops.
TEST(Controlla, AnUnusableRouteLengthListsOneErrorAndStops) {
  const prove::scenario_in_cartella d("cascata", "V", "2");
  const auto e = controlla_in(
      d, con(linea_incorporata, "lunghezza percorso,    106000", "lunghezza percorso,    2000000"),
      servizio_incorporato);
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.uscita, (d.dir() / "V_linea.txt").string() +
                          ":2: errore 1: lunghezza del percorso superiore a 1000000 m\n"
                          "compattatore: la verifica si ferma qui: senza una lunghezza del "
                          "percorso utilizzabile non c'e' una griglia su cui verificare il resto\n"
                          "1 errore, 0 avvisi\n");
}

TEST(Controlla, ASoundScenarioListsNothing) {
  const prove::scenario_in_cartella d("sano", "V", "2");
  const auto e = controlla_in(d, linea_incorporata, servizio_incorporato);
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.uscita, "0 errori, 0 avvisi\n");
  EXPECT_EQ(prove::contenuto_cartella(d.dir()).size(), 2u) << "nothing written";
}

// Speeds whose fifth does not fit a byte, on rows before cell 1: those rows
// write nothing, so their values are first tried by the row after them. Each
// is listed once, the later first (where compatta stops), and the check goes on.
TEST(Controlla, SpeedsThatCannotBeWrittenBeforeTheFirstCellAreEachListedOnce) {
  modello m;
  m.nome_linea = "V";
  m.numero_treno = "2";
  fonte_memoria f(linea_incorporata,
                  con(servizio_incorporato, "velocita,       0,    75",
                      "velocita,       0,    75\r\nvelocita, 0, 9000\r\nvelocita, 0, 9500"));
  f.conserva_file();
  controlla(m, f, 1);
  ASSERT_EQ(m.numero_errori, 2u);
  EXPECT_EQ(m.errori[0].codice, 25);
  EXPECT_EQ(m.errori[1].codice, 25);
  EXPECT_EQ(m.errori[0].luogo.riga, m.errori[1].luogo.riga + 1);
  EXPECT_NE(m.errori[0].luogo.dettaglio.find("9500"), std::string::npos)
      << m.errori[0].luogo.dettaglio;
  EXPECT_TRUE(m.interruzione.empty()) << m.interruzione;
}

// A record refused in a check leaves the slot it writes as if the record
// were absent, whether a value was refused or an item could not be read.
TEST(Controlla, ARefusedRecordLeavesItsSlotAsWithoutIt) {
  const std::string riga = "ripetizione segnali 4 codici,    1000,    107500";
  const auto slot_86 = [&](const std::string& linea) {
    modello m;
    fonte_memoria f(linea, servizio_incorporato);
    f.conserva_file();
    controlla(m, f, 1);
    const voce_servizio& v = m.tabella_servizio[slot_generale];
    return std::to_string(v.valore_1) + "," + std::to_string(v.valore_2) + "," +
           std::to_string(v.valore_3);
  };
  const std::string senza = slot_86(con(linea_incorporata, riga + "\r\n", ""));
  for (const std::string& rifiutata :
       {std::string("ripetizione segnali 4 codici,    1010,    107500"),
        std::string("ripetizione segnali 4 codici,    1000,    1O7500")})
    EXPECT_EQ(slot_86(con(linea_incorporata, riga, rifiutata)), senza) << rifiutata;
}

// ---------------------------------------------------------------------------
// The contract: on any scenario, the first error listed is the one compatta
// reports, and a scenario compatta accepts lists no error. Scenarios are the
// built-in sources with a few faults from a table, at random places (seeded).

struct scenario_generato {
  std::string linea;
  std::string servizio;
  std::string descrizione;
};

std::string unisci(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += r + "\r\n";
  return t;
}

scenario_generato genera(std::uint32_t seme) {
  std::mt19937 caso(seme);
  const auto tra = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(caso); };
  std::vector<std::string> l = righe_di(linea_incorporata);
  std::vector<std::string> s = righe_di(servizio_incorporato);
  std::string descrizione;
  // A place along the route, on a cell boundary or not.
  const auto posizione = [&] {
    const int p = tra(-200, 114000);
    return std::to_string(tra(0, 3) == 0 ? p : p / 50 * 50);
  };
  const auto aggiungi = [&](std::vector<std::string>& righe, const std::string& riga) {
    righe.insert(righe.end() - 1, riga);  // before [fine]
    descrizione += riga + "; ";
  };
  for (int guasti = tra(1, 3); guasti > 0; --guasti) {
    switch (tra(0, 12)) {
      case 0:
        aggiungi(s, "segnale, " + posizione() + ", 1, 4, 0, 0, 0, 1, 3, 0, 0, 0");
        break;
      case 1:
        aggiungi(s, "stazione, " + posizione() + ", " + std::to_string(tra(0, 30)) + ", " +
                        std::to_string(tra(1, 10) * 100) + ", 0,0,0, 1,1,0, 2,1,1, 0, 0,0,0, X");
        break;
      case 2:
        aggiungi(s, "rallentamento, " + posizione() + ", " + std::to_string(tra(20, 150)) + ", " +
                        std::to_string(tra(-100, 3000)) + ", 1, " + std::to_string(tra(0, 1)) +
                        ", 0");
        break;
      case 3:
        aggiungi(l, "indicatori_vmax, " + posizione() + ", 60, 60, 60, 0, , , , 0");
        break;
      case 4:
        aggiungi(l, "cartello_indicatore, " + posizione() + ", (X)");
        break;
      case 5:
        aggiungi(s, "abbattimento, " + posizione() + ", " + std::to_string(tra(-10, 200)));
        break;
      case 6: {  // a digit turned into a letter
        std::vector<std::string>& righe = tra(0, 1) == 0 ? l : s;
        std::string& r =
            righe[static_cast<std::size_t>(tra(1, static_cast<int>(righe.size()) - 2))];
        const std::size_t cifra =
            r.find_first_of("0123456789", static_cast<std::size_t>(tra(0, 20)));
        if (cifra != std::string::npos) r[cifra] = 'x';
        descrizione += "lettera in: " + r + "; ";
        break;
      }
      case 7: {  // a line lost
        std::vector<std::string>& righe = tra(0, 1) == 0 ? l : s;
        const auto k = static_cast<std::size_t>(tra(1, static_cast<int>(righe.size()) - 2));
        descrizione += "tolta: " + righe[k] + "; ";
        righe.erase(righe.begin() + static_cast<std::ptrdiff_t>(k));
        break;
      }
      case 8:
        aggiungi(l, "curva" + std::string(tra(0, 1) == 0 ? "d" : "s") + std::to_string(tra(0, 7)) +
                        ", " + posizione() + ", " + std::to_string(tra(-100, 2000)));
        break;
      case 9:
        aggiungi(
            l, "montagna, " + posizione() + ", " + posizione() + ", " + std::to_string(tra(0, 13)));
        break;
      case 10:
        aggiungi(s, "velocita, " + posizione() + ", " + std::to_string(tra(0, 1400)));
        break;
      case 11:
        l[1] = "lunghezza percorso, " + std::to_string(tra(0, 120000));
        descrizione += l[1] + "; ";
        break;
      default:
        aggiungi(s, "stazione, " + posizione() + ", 4, 650, 0,0,0, 1,1,0, 2,1,1, 0, 0,0,0, Y");
        break;
    }
  }
  return {unisci(l), unisci(s), descrizione};
}

TEST(Controlla, TheFirstErrorIsAlwaysTheOneCompattaReports) {
  const auto fino = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int provati = 0;
  int con_errore = 0;
  for (std::uint32_t seme = 0; seme < 3000 && std::chrono::steady_clock::now() < fino; ++seme) {
    const scenario_generato g = genera(seme);
    SCOPED_TRACE("seed " + std::to_string(seme) + ": " + g.descrizione);
    modello a;
    modello b;
    for (modello* m : {&a, &b}) {
      m->nome_linea = "V";
      m->numero_treno = "2";
    }
    fonte_memoria fa(g.linea, g.servizio);
    fonte_memoria fb(g.linea, g.servizio);
    fa.conserva_file();
    fb.conserva_file();
    const risultato_compattazione r = compatta(a, fa, 1);
    controlla(b, fb, 1);
    ++provati;
    if (r.errore == 0) {
      EXPECT_EQ(b.numero_errori, 0u);
      EXPECT_TRUE(b.interruzione.empty()) << b.interruzione;
      continue;
    }
    ++con_errore;
    ASSERT_FALSE(b.errori.empty());
    const errore_registrato& x = *a.primo_errore();
    const errore_registrato& y = b.errori.front();
    EXPECT_EQ(y.codice, x.codice);
    EXPECT_EQ(y.posizione, x.posizione);
    EXPECT_EQ(y.luogo.file, x.luogo.file);
    EXPECT_EQ(y.luogo.riga, x.luogo.riga);
    EXPECT_EQ(y.luogo.dettaglio, x.luogo.dettaglio);
  }
  // The generator must reach both kinds of scenario to prove anything.
  EXPECT_GT(con_errore, provati / 4) << provati;
  EXPECT_LT(con_errore, provati) << provati;
}

}  // namespace
}  // namespace compattatore
