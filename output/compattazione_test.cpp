// The whole compaction of the built-in scenario, in memory: what the three
// files carry for it.
#include "output/compattazione.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sources/fonte_memoria.h"
#include "sources/scenario.h"
#include "tests/dimensioni.h"

namespace compattatore {
namespace {

std::int16_t i16(const immagine& img, std::size_t a) {
  return static_cast<std::int16_t>(static_cast<std::uint8_t>(img[a]) |
                                   static_cast<std::uint8_t>(img[a + 1]) << 8);
}

class Incorporato : public ::testing::Test {
 protected:
  void SetUp() override {
    fonte_memoria fonte(testo_da_righe(righe_linea()), testo_da_righe(righe_treno()));
    m.nome_linea = "Quarve_Lentra";
    m.numero_treno = "58213";
    r = compatta(m, fonte, 1);
  }
  const cella& c(int k) const { return m.celle[static_cast<std::size_t>(k)]; }
  modello m;
  risultato_compattazione r;
};

TEST_F(Incorporato, CompactsWithNoErrorIntoThreeFilesOfTheRightSizes) {
  ASSERT_EQ(r.errore, 0) << m.errori.front().luogo.file << ":" << m.errori.front().luogo.riga << " "
                         << m.errori.front().luogo.dettaglio;
  EXPECT_EQ(m.codice_errore, 0);
  ASSERT_EQ(r.file.size(), 3u);
  EXPECT_EQ(r.file[0].nome, "Quarve_Lentra_linea.dat");
  EXPECT_EQ(r.file[0].contenuto().size(), prove::byte_tracciato_incorporato);
  EXPECT_EQ(r.file[1].nome, "Quarve_Lentra_58213.sim");
  std::size_t testi = 0;
  for (const voce_servizio& v : m.tabella_servizio) testi += v.testo.size();
  EXPECT_EQ(r.file[1].contenuto().size(), prove::byte_tabella_vuota + testi);
  EXPECT_EQ(r.file[2].nome, "Quarve_Lentra_58213.dat");
  EXPECT_EQ(r.file[2].contenuto().size(), prove::byte_celle_incorporate);
}

TEST_F(Incorporato, HeaderSlotsMarksAndCheckCodes) {
  const auto& t = m.tabella_servizio;
  EXPECT_EQ((std::array{t[84].valore_1, t[84].valore_2, t[84].valore_3}),
            (std::array{75, 106000, 11}));
  EXPECT_EQ((std::array{t[85].valore_1, t[85].valore_2, t[85].valore_3}),
            (std::array{4000, 1, 1000}));
  EXPECT_EQ(t[85].testo, "Quarve_Lentra");
  EXPECT_EQ(t[85].intero_1, 610);
  // "58213quarve_lentraaabbccd": the sum of its codes and the weighted sum.
  EXPECT_EQ(t[85].orario, 32654);
  EXPECT_EQ((std::array{t[86].valore_1, t[86].valore_2, t[86].valore_3}),
            (std::array{1000, 107500, 4}));
  EXPECT_EQ(t[86].testo, "58213");
  EXPECT_EQ(t[86].intero_1, 300);
  EXPECT_EQ((std::array{t[86].intero_3, t[86].intero_4, t[86].intero_5}),
            (std::array<std::int16_t, 3>{0, 54, 0}));
  EXPECT_EQ(c(1).dato_1, 5121);
  EXPECT_EQ(c(1).dato_2, 2348);
  // The same in the cell file's bytes: cell 1 starts at offset 15.
  const immagine celle = r.file[2].contenuto();
  EXPECT_EQ(i16(celle, 15 + 1), 5121);
  EXPECT_EQ(i16(celle, 15 + 3), 2348);
}

TEST_F(Incorporato, TheCellsOfTheQuotedRows) {
  struct atteso {
    int k;
    int tipo, d1, d2, d3, d4, tempo;
  };
  const atteso casi[] = {
      {349, cella_segnale, 32, 10, 0, 8, 0},               // segnale 17400
      {1195, cella_segnale, 22, 31, 0, 18, 255},           // segnale 59700
      {1477, cella_avviso_rallentamento, 50, 0, 0, 0, 0},  // rallentamento 75000
      {1501, cella_inizio_rallentamento, 50, 0, 1, 0, 0},
      {1503, cella_fine_rallentamento, 50, 0, 1, 0, 0},
      {308, cella_indicatore_v_max, 1500, 1700, 1700, 20, 0},  // indicatori_vmax 15350
      {17, cella_indicatore_v_max, 1500, 1500, 1500, 0, 0},    // indicatori_vmax 800
      {9, cella_fermata, 1, 0, 0, 0, 0},                       // QUARVE
  };
  for (const atteso& a : casi) {
    SCOPED_TRACE(a.k);
    EXPECT_EQ(c(a.k).tipo_cella, a.tipo);
    EXPECT_EQ((std::array<int, 5>{c(a.k).dato_1, c(a.k).dato_2, c(a.k).dato_3, c(a.k).dato_4,
                                  c(a.k).tempo_segnale}),
              (std::array<int, 5>{a.d1, a.d2, a.d3, a.d4, a.tempo}));
  }
  for (int k : {347, 345, 343, 341}) EXPECT_EQ(c(k).avviso, 81 + (347 - k) / 2) << k;
  for (int k = 5; k <= 8; ++k) EXPECT_EQ(c(k).avviso, 80 + 9 - k) << k;
  // montagna 3000-17600 type 11: type 1 over cells 60 to 351, a marker every
  // fourth cell where nothing else stands.
  for (int k = 60; k <= 351; ++k) EXPECT_EQ(c(k).tipo_montagna, 1) << k;
  EXPECT_EQ(c(59).tipo_montagna, 0);
  for (int k = 60; k <= 351; ++k) {
    if ((k - 60) % 4 == 3) {
      EXPECT_NE(c(k).tipo_cella, cella_vuota) << k;  // a marker, or an event placed after it
    } else {
      EXPECT_NE(c(k).tipo_cella, cella_montagna) << k;
    }
  }
  // The pass put its check points around the slowdown, all at 180 km/h.
  int punti = 0;
  for (int k = 1460; k <= 1520; ++k)
    if (c(k).tipo_cella == cella_abbattimento) {
      EXPECT_EQ(c(k).dato_1, 180) << k;
      ++punti;
    }
  EXPECT_GE(punti, 4);
}

// Beside every value, the record it came from: the line in its source, or
// the slowdown's line for a check point the pass added.
TEST_F(Incorporato, EveryValueKnowsItsRecord) {
  const auto o = [&](int k) { return m.origini[static_cast<std::size_t>(k)]; };
  const origine segnale_17400{fonte_origine::servizio, 57};
  EXPECT_EQ(o(349).evento, segnale_17400);
  for (int k : {347, 345, 343, 341}) EXPECT_EQ(o(k).avviso, segnale_17400) << k;
  EXPECT_EQ(o(9).evento, (origine{fonte_origine::servizio, 23}));  // QUARVE's stop
  EXPECT_EQ(o(0).velocita, (origine{fonte_origine::servizio, 12}));
  EXPECT_EQ(o(38).pendenza, (origine{fonte_origine::linea, 67}));  // "pendenza,  1900,   15"
  EXPECT_EQ(o(60).montagna, (origine{fonte_origine::linea, 84}));  // "montagna,   3000, ..."
  // Slowdown at line 48: start cell 1501, its first check point 5 cells before.
  EXPECT_EQ(o(1501).evento, (origine{fonte_origine::servizio, 48}));
  EXPECT_EQ(c(1496).tipo_cella, cella_abbattimento);
  EXPECT_EQ(o(1496).evento, (origine{fonte_origine::passata, 48}));
  EXPECT_EQ(m.luogo_di(o(1496).evento).file, "servizio.txt");
  // Cells beyond the last rows carry no origin.
  EXPECT_EQ(o(2260).velocita, origine{});
}

// A source that takes its time to hand over each file, so that the reading
// is by far the longest phase.
class fonte_lenta : public fonte_memoria {
 public:
  using fonte_memoria::fonte_memoria;
  std::string leggi(sorgente s) override {
    std::this_thread::sleep_for(attesa);
    return fonte_memoria::leggi(s);
  }
  static constexpr std::chrono::milliseconds attesa{20};
};

// Each phase is timed from the end of the one before: the phases add up to
// no more than the whole compaction, which a running total would exceed by
// the long reading counted again in every later phase. Nothing here depends
// on how fast the machine is.
TEST(Tempi, EachPhaseHasItsOwnTime) {
  fonte_lenta fonte(testo_da_righe(righe_linea()), testo_da_righe(righe_treno()));
  modello m;
  m.nome_linea = "Quarve_Lentra";
  m.numero_treno = "58213";
  registro_tempi tempi;
  const auto inizio = std::chrono::steady_clock::now();
  const risultato_compattazione r = compatta(m, fonte, 1, &tempi);
  const double totale =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  ASSERT_EQ(r.errore, 0);
  std::vector<std::string> fasi;
  double somma = 0;
  for (const tempo_fase& t : tempi) {
    fasi.push_back(t.fase);
    EXPECT_GE(t.secondi, 0) << t.fase;
    somma += t.secondi;
  }
  EXPECT_EQ(fasi, (std::vector<std::string>{"lettura", "marcatura", "codici"}));
  ASSERT_FALSE(tempi.empty());
  // Both sources were read in the first phase.
  EXPECT_GE(tempi[0].secondi, 2 * std::chrono::duration<double>(fonte_lenta::attesa).count());
  EXPECT_LE(somma, totale + 1e-6);
}

// The built-in scenario's events each stand on a cell of their own, and the
// marking pass finds the room it needs around the slowdown: its sources,
// compacted, give no error and replace nothing a record wrote. `problemi`
// names what a compaction objects to; the table of deliberately faulty rows
// below proves that each kind of fault shows there.
std::vector<std::string> problemi(const std::string& linea, const std::string& treno) {
  fonte_memoria fonte(linea, treno);
  modello m;
  m.nome_linea = "Quarve_Lentra";
  m.numero_treno = "58213";
  const risultato_compattazione r = compatta(m, fonte, 1);
  std::vector<std::string> p;
  for (const avviso& a : m.avvisi) p.push_back("riga " + std::to_string(a.riga) + ": " + a.testo);
  if (r.errore != 0) p.push_back("errore " + std::to_string(r.errore));
  for (const sostituzione& s : m.sostituzioni) {
    const char* gruppo = s.gruppo == gruppo_campi::evento   ? "evento"
                         : s.gruppo == gruppo_campi::avviso ? "avviso"
                                                            : "tratto di montagna";
    p.push_back(std::string(gruppo) + " sostituito nella cella " + std::to_string(s.cella));
  }
  return p;
}

TEST(ScenarioCollisioni, BuiltInScenarioPlacesEveryEventOnItsOwnCell) {
  for (const std::string& p :
       problemi(testo_da_righe(righe_linea()), testo_da_righe(righe_treno())))
    ADD_FAILURE() << p;
}

TEST(ScenarioCollisioni, EachKindOfFaultShows) {
  const std::string cartello = "indicatori_vmax,  ";
  const std::string velocita = ",  60,  60,  60,  0,  ,  ,  ,  0";
  const std::string stazione = ",  3,  600,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, NUOVA";
  const struct {
    std::vector<std::string> righe_linea, righe_treno;
    std::string_view atteso;
  } casi[] = {
      // A board on the distant signal after the slowdown.
      {{cartello + "75500" + velocita}, {}, "errore 16"},
      // A text board on the cell of the board at 800 m.
      {{"cartello_indicatore,  799,   (X)"}, {}, "errore 6"},
      {{cartello + "0" + velocita}, {}, "errore 1250"},
      {{cartello + "113000" + velocita}, {}, "errore 15"},
      // A station beyond the yard whose stop cell 2205 holds a board.
      {{cartello + "110200" + velocita},
       {"stazione,  110000" + stazione},
       "evento sostituito nella cella 2205"},
      {{}, {"stazione,  109100" + stazione}, "errore 22"},
      {{}, {"stazione,  110025" + stazione}, "errore 8"},
      // A distant signal just past TRAVEGNO's stop cell 719.
      {{},
       {"segnale,   36200,   1, 4, 0,  0, 0,    1,  3,0,0, 0"},
       "avviso sostituito nella cella"},
      // A mountain stretch over part of the first climb's.
      {{"montagna,  17000,  17600,  3"}, {}, "tratto di montagna sostituito nella cella 340"},
      {{},
       {"stazione,     -50,  3,  100,  0, 0, 0,  2,1,0,  2,1,1,    0,   0, 0, 0, X"},
       "errore 24"},
      // Around the slowdown at 75000: warning cell 1477, start 1501, end 1503.
      {{cartello + "72900" + velocita, cartello + "72950" + velocita},
       {"segnale,   73000,   1, 4, 0,  0, 0,    1,  3,0,0, 0"},
       "errore 11"},
      {{cartello + "74650" + velocita, cartello + "74700" + velocita,
        cartello + "74750" + velocita},
       {},
       "errore 12"},
      {{cartello + "75400" + velocita, cartello + "75450" + velocita}, {}, "errore 13"},
  };
  const auto con = [](std::string testo, const std::vector<std::string>& righe) {
    std::string aggiunte;
    for (const std::string& r : righe) aggiunte += r + "\r\n";
    return testo.insert(testo.rfind("[fine]"), aggiunte);
  };
  for (const auto& c : casi) {
    const std::vector<std::string> p = problemi(con(testo_da_righe(righe_linea()), c.righe_linea),
                                                con(testo_da_righe(righe_treno()), c.righe_treno));
    EXPECT_TRUE(std::any_of(p.begin(), p.end(),
                            [&](const std::string& x) { return x.starts_with(c.atteso); }))
        << "not reported: " << c.atteso;
  }
}

}  // namespace
}  // namespace compattatore
