#include "model/collocazione.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "model/errori.h"
#include "tests/celle.h"

namespace compattatore {
namespace {

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32_min = std::numeric_limits<std::int32_t>::min();

// The built-in route: cells 0 to 2260.
modello griglia() {
  modello m;
  m.dimensiona(106000);
  return m;
}

std::string descrivi(const modello& m) {
  return prove::descrivi_celle(m);
}

constexpr origine da_linea{fonte_origine::linea, 7};
constexpr origine da_servizio{fonte_origine::servizio, 9};

// The routines' records written out, as the reader fills them.
codice_errore_numero segnale(modello& m, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                             std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx,
                             std::int32_t d1, std::int32_t d2, std::int32_t d3,
                             std::int32_t& tempo) {
  segnale_letto g{posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo};
  const codice_errore_numero e = memo_segnale(m, g, da_servizio).codice;
  tempo = g.tempo;
  return e;
}

codice_errore_numero indicatore(modello& m, std::int32_t posizione, std::int32_t vas,
                                std::int32_t vbs, std::int32_t vcs, std::int32_t strisces,
                                std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                                std::int32_t strisced) {
  return memo_indicatori_v_max(m, {posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced},
                               da_linea)
      .codice;
}

codice_errore_numero rallentamento(modello& m, std::int32_t x, std::int32_t v, std::int32_t l,
                                   std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v) {
  return memo_rallentamento(m, x, v, l, f_tt, f_ta, d_v, da_servizio).codice;
}

void montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
  memo_montagna(m, inizio, fine, tipo, da_linea);
}

struct cella_occupata {
  std::int32_t indice;
  std::uint8_t tipo;
};

void occupa(modello& m, const std::vector<cella_occupata>& occupate) {
  for (const cella_occupata& o : occupate)
    m.celle[static_cast<std::size_t>(o.indice)].tipo_cella = o.tipo;
}

// ---------------------------------------------------------------- signals

TEST(MemoSegnale, PacksValuesAndWritesApproachCodes) {
  const struct {
    const char* nome;
    std::int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
    std::string celle;
  } casi[] = {
      {"17400", 17400, 2, 3, 1, 0, 0, 2, 2, 0, 0, 0,
       "341: 0 [0 0 0 0] avviso 84\n"
       "343: 0 [0 0 0 0] avviso 83\n"
       "345: 0 [0 0 0 0] avviso 82\n"
       "347: 0 [0 0 0 0] avviso 81\n"
       "349: 1 [32 10 0 8]\n"},
      {"59700", 59700, 2, 2, 3, 0, 1, 2, 2, 1, 0, 255,
       "1187: 0 [0 0 0 0] avviso 84\n"
       "1189: 0 [0 0 0 0] avviso 83\n"
       "1191: 0 [0 0 0 0] avviso 82\n"
       "1193: 0 [0 0 0 0] avviso 81\n"
       "1195: 1 [22 31 0 18] tempo 255\n"},
      {"sx 1, dx 1", 1000, 1, 4, 5, 6, 0, 1, 7, 8, 9, 0,
       "13: 0 [0 0 0 0] avviso 44\n"
       "15: 0 [0 0 0 0] avviso 43\n"
       "17: 0 [0 0 0 0] avviso 42\n"
       "19: 0 [0 0 0 0] avviso 41\n"
       "21: 1 [47 58 69 4]\n"},
      // Values computed wide and stored as their low 16 or 8 bits.
      {"low bits", 1000, 9, 4000, int32_max, 0, 0, 9, 0, 0, 0, 0,
       "13: 0 [0 0 0 0] avviso 108\n"
       "15: 0 [0 0 0 0] avviso 107\n"
       "17: 0 [0 0 0 0] avviso 106\n"
       "19: 0 [0 0 0 0] avviso 105\n"
       "21: 1 [-25536 -10 0 36]\n"},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    std::int32_t tempo = c.tempo;
    EXPECT_EQ(
        segnale(m, c.posizione, c.sx, c.s1, c.s2, c.s3, c.rapp, c.dx, c.d1, c.d2, c.d3, tempo),
        errore_nessuno)
        << c.nome;
    EXPECT_EQ(descrivi(m), c.celle) << c.nome;
  }
}

TEST(MemoSegnale, TempoIsRaisedInTheCallerAndStoredOnlyWithSx2) {
  const struct {
    std::int32_t sx, tempo, tempo_dopo;
    std::uint8_t tempo_segnale;
  } casi[] = {
      {2, 50, 101, 101},  {1, 50, 101, 0},    {2, 1, 101, 101},
      {2, 100, 101, 101}, {2, 101, 101, 101}, {2, 0, 0, 0},
      {2, 300, 300, 44},  {2, -5, -5, 251},   {1, 300, 300, 0},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    std::int32_t tempo = c.tempo;
    ASSERT_EQ(segnale(m, 17400, c.sx, 3, 1, 0, 0, 2, 2, 0, 0, tempo), errore_nessuno);
    EXPECT_EQ(tempo, c.tempo_dopo) << "sx " << c.sx << " tempo " << c.tempo;
    EXPECT_EQ(m.celle[349].tempo_segnale, c.tempo_segnale) << "sx " << c.sx << " tempo " << c.tempo;
  }
}

TEST(MemoSegnale, LaterApproachCodeReplacesEarlierWhateverTheCellHolds) {
  modello m = griglia();
  std::int32_t tempo = 0;
  ASSERT_EQ(segnale(m, 17400, 2, 3, 1, 0, 0, 2, 2, 0, 0, tempo), errore_nessuno);  // cell 349
  ASSERT_EQ(segnale(m, 17300, 1, 3, 1, 0, 0, 1, 2, 0, 0, tempo), errore_nessuno);  // cell 347
  EXPECT_EQ(m.celle[347].tipo_cella, cella_segnale);
  EXPECT_EQ(m.celle[347].avviso, 81);  // its own code stays under the signal
  EXPECT_EQ(m.celle[345].avviso, 41);
  EXPECT_EQ(m.celle[343].avviso, 42);
  EXPECT_EQ(m.celle[341].avviso, 43);
  EXPECT_EQ(m.celle[339].avviso, 44);
}

TEST(MemoSegnale, ApproachCodesBeforeTheGridAreSkipped) {
  const struct {
    std::int32_t posizione;
    std::string celle;
  } casi[] = {
      {300,
       "1: 0 [0 0 0 0] avviso 83\n3: 0 [0 0 0 0] avviso 82\n5: 0 [0 0 0 0] avviso 81\n"
       "7: 1 [32 10 0 8]\n"},
      {100, "1: 0 [0 0 0 0] avviso 81\n3: 1 [32 10 0 8]\n"},
      {-50, "0: 1 [32 10 0 8]\n"},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    std::int32_t tempo = 0;
    EXPECT_EQ(segnale(m, c.posizione, 2, 3, 1, 0, 0, 2, 2, 0, 0, tempo), errore_nessuno)
        << c.posizione;
    EXPECT_EQ(descrivi(m), c.celle) << c.posizione;
  }
}

// ---------------------------------------------------------------- slowdowns

TEST(MemoRallentamento, PlacesItsCellsInTheOrderOfItsSteps) {
  // The built-in slowdown with its four pre-warning cells.
  const std::string con_preavviso =
      "1473: 5 [4 0 0 0]\n"
      "1474: 5 [3 0 0 0]\n"
      "1475: 5 [2 0 0 0]\n"
      "1476: 5 [1 0 0 0]\n"
      "1477: 4 [50 0 0 0]\n"
      "1501: 3 [50 0 1 0]\n"
      "1503: 2 [50 0 1 0]\n";
  const struct {
    const char* nome;
    std::int32_t x, v, l, f_tt, f_ta, d_v;
    std::vector<cella_occupata> occupate;
    std::int32_t codice;
    std::string celle;
  } casi[] = {
      {"75000",
       75000,
       50,
       100,
       1,
       0,
       0,
       {},
       0,
       "1477: 4 [50 0 0 0]\n"
       "1501: 3 [50 0 1 0]\n"
       "1503: 2 [50 0 1 0]\n"},
      {"75000 with f_ta", 75000, 50, 100, 1, 1, 0, {}, 0, con_preavviso},
      {"75000 with f_ta and d_v",
       75000,
       50,
       100,
       1,
       1,
       7,
       {},
       0,
       "1473: 5 [4 4 0 0]\n"
       "1474: 5 [3 3 0 0]\n"
       "1475: 5 [2 2 0 0]\n"
       "1476: 5 [1 1 0 0]\n"
       "1477: 4 [50 7 0 0]\n"
       "1501: 3 [50 7 1 0]\n"
       "1503: 2 [50 7 1 0]\n"},
      {"x 1500: no warning, no pre-warning",
       1500,
       30,
       100,
       0,
       1,
       0,
       {},
       0,
       "31: 3 [30 0 0 0]\n"
       "33: 2 [30 0 0 0]\n"},
      {"x 1550: both",
       1550,
       30,
       100,
       0,
       1,
       0,
       {},
       0,
       "4: 5 [4 0 0 0]\n"
       "5: 5 [3 0 0 0]\n"
       "6: 5 [2 0 0 0]\n"
       "7: 5 [1 0 0 0]\n"
       "8: 4 [30 0 0 0]\n"
       "32: 3 [30 0 0 0]\n"
       "34: 2 [30 0 0 0]\n"},
      {"length 0: one cell, a start",
       75000,
       50,
       0,
       1,
       0,
       0,
       {},
       0,
       "1477: 4 [50 0 0 0]\n"
       "1501: 3 [50 0 1 0]\n"},
      {"low 16 bits",
       75000,
       70000,
       0,
       -70000,
       0,
       65537,
       {},
       0,
       "1477: 4 [4464 1 0 0]\n"
       "1501: 3 [4464 1 -4464 0]\n"},
      {"x 1500 does not test its would-be warning cell",
       1500,
       30,
       100,
       0,
       0,
       0,
       {{7, cella_segnale}},
       0,
       "7: 1 [0 0 0 0]\n"
       "31: 3 [30 0 0 0]\n"
       "33: 2 [30 0 0 0]\n"},
      {"marker gives way",
       75000,
       50,
       100,
       1,
       0,
       0,
       {{1501, cella_montagna}},
       0,
       "1477: 4 [50 0 0 0]\n"
       "1501: 3 [50 0 1 0]\n"
       "1503: 2 [50 0 1 0]\n"},
      {"warning taken",
       75000,
       50,
       100,
       1,
       1,
       0,
       {{1477, cella_segnale}},
       17,
       "1477: 1 [0 0 0 0]\n"},
      {"start taken",
       75000,
       50,
       100,
       1,
       1,
       0,
       {{1501, cella_abbattimento}},
       18,
       "1501: 12 [0 0 0 0]\n"},
      {"end taken", 75000, 50, 100, 1, 1, 0, {{1503, cella_fermata}}, 19, "1503: 10 [0 0 0 0]\n"},
      {"warning tested before start",
       75000,
       50,
       100,
       1,
       0,
       0,
       {{1477, cella_segnale}, {1501, cella_segnale}},
       17,
       "1477: 1 [0 0 0 0]\n1501: 1 [0 0 0 0]\n"},
      // A refused slowdown leaves the grid as it was.
      {"pre-warning taken",
       75000,
       50,
       100,
       1,
       1,
       0,
       {{1474, cella_abbattimento}},
       20,
       "1474: 12 [0 0 0 0]\n"},
      {"pre-warning not tested without f_ta",
       75000,
       50,
       100,
       1,
       0,
       0,
       {{1474, cella_abbattimento}},
       0,
       "1474: 12 [0 0 0 0]\n"
       "1477: 4 [50 0 0 0]\n"
       "1501: 3 [50 0 1 0]\n"
       "1503: 2 [50 0 1 0]\n"},
      {"the fourth pre-warning cell taken",
       75000,
       50,
       100,
       1,
       1,
       0,
       {{1473, cella_segnale}},
       20,
       "1473: 1 [0 0 0 0]\n"},
      // Four pre-warning cells, no more: the one before them may be taken.
      {"the cell before the pre-warning taken",
       75000,
       50,
       100,
       1,
       1,
       0,
       {{1472, cella_segnale}},
       0,
       "1472: 1 [0 0 0 0]\n" + con_preavviso},
      // (1575 - 1200) / 50 = 7.5: the nearest pre-warning cell and the warning
      // cell are both 8, so the slowdown trips over its own warning point, as
      // if that had been written first.
      {"pre-warning on its own warning cell", 1575, 30, 100, 0, 1, 0, {}, 20, ""},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    occupa(m, c.occupate);
    EXPECT_EQ(rallentamento(m, c.x, c.v, c.l, c.f_tt, c.f_ta, c.d_v), c.codice) << c.nome;
    EXPECT_EQ(descrivi(m), c.celle) << c.nome;
  }
}

// ---------------------------------------------------------------- boards

TEST(MemoIndicatoriVMax, PacksSpeedCodesAndStripes) {
  const struct {
    const char* nome;
    std::int32_t vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
    std::string celle;
  } casi[] = {
      {"15350", 75, 85, 85, 2, 0, 0, 0, 0, "308: 6 [1500 1700 1700 20]\n"},
      {"d set", 75, 85, 85, 2, 5, 10, 15, 1, "308: 6 [1501 1702 1703 21]\n"},
      {"speeds not multiples of 5", 0, 0, 0, 0, 7, 8, -8, 0, "308: 6 [1 2 -2 0]\n"},
      {"codes at the 16-bit limits", 1638, -1638, 0, 0, 35, -40, 12, 0,
       "308: 6 [32767 -32768 2 0]\n"},
      {"stripes keep their low 16 bits", 0, 0, 0, 7000, 0, 0, 0, 0, "308: 6 [0 0 0 4464]\n"},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    EXPECT_EQ(
        indicatore(m, 15350, c.vas, c.vbs, c.vcs, c.strisces, c.vad, c.vbd, c.vcd, c.strisced),
        errore_nessuno)
        << c.nome;
    EXPECT_EQ(descrivi(m), c.celle) << c.nome;
  }
}

TEST(MemoIndicatoriVMax, SpeedCodeBeyond16BitsFailsTheReadingWithNothingWritten) {
  const struct {
    std::int32_t vs, vd;
  } casi[] = {{1638, 40}, {-1638, -45}, {1639, 0}, {int32_max, 0}, {int32_min, 0}, {0, int32_max}};
  for (const auto& c : casi) {
    for (int rango = 0; rango < 3; ++rango) {
      std::int32_t vs[3] = {75, 85, 85};
      std::int32_t vd[3] = {0, 0, 0};
      vs[rango] = c.vs;
      vd[rango] = c.vd;
      modello m = griglia();
      EXPECT_THROW(indicatore(m, 15350, vs[0], vs[1], vs[2], 2, vd[0], vd[1], vd[2], 0),
                   fallimento_lettura)
          << c.vs << ", " << c.vd << " in rank " << rango;
      EXPECT_EQ(descrivi(m), "") << c.vs << ", " << c.vd << " in rank " << rango;
    }
  }
}

// ---------------------------------------------------------------- shared rules

// One point event of each routine whose tested cell is `cella_provata`.
struct evento_puntuale {
  const char* nome;
  std::function<codice_errore_numero(modello&)> colloca;
  std::int32_t cella_provata;
  codice_errore_numero errore;
};

const std::vector<evento_puntuale>& eventi_puntuali() {
  static const std::vector<evento_puntuale> eventi = {
      {"signal",
       [](modello& m) {
         std::int32_t tempo = 50;
         const codice_errore_numero e = segnale(m, 17400, 2, 3, 1, 0, 0, 2, 2, 0, 0, tempo);
         EXPECT_EQ(tempo, e == errore_nessuno ? 101 : 50);
         return e;
       },
       349, errore_segnale},
      {"board", [](modello& m) { return indicatore(m, 15350, 75, 85, 85, 2, 0, 0, 0, 0); }, 308,
       errore_indicatore},
      {"slowdown warning", [](modello& m) { return rallentamento(m, 75000, 50, 100, 1, 1, 0); },
       1477, errore_avviso_rallentamento},
      {"slowdown start", [](modello& m) { return rallentamento(m, 75000, 50, 100, 1, 1, 0); }, 1501,
       errore_inizio_rallentamento},
      {"slowdown end", [](modello& m) { return rallentamento(m, 75000, 50, 100, 1, 1, 0); }, 1503,
       errore_fine_rallentamento},
  };
  return eventi;
}

TEST(CollocazionePuntuale, MarkerGivesWayAnyOtherEventRefusesWithNothingWritten) {
  for (const evento_puntuale& e : eventi_puntuali()) {
    for (int tipo = 1; tipo <= cella_cartello; ++tipo) {
      modello m = griglia();
      occupa(m, {{e.cella_provata, static_cast<std::uint8_t>(tipo)}});
      const std::string prima = descrivi(m);
      const codice_errore_numero esito = e.colloca(m);
      if (tipo == cella_montagna) {
        EXPECT_EQ(esito, errore_nessuno) << e.nome;
        EXPECT_NE(m.celle[static_cast<std::size_t>(e.cella_provata)].tipo_cella, cella_montagna);
      } else {
        EXPECT_EQ(esito, e.errore) << e.nome << " on type " << tipo;
        EXPECT_EQ(descrivi(m), prima) << e.nome << " on type " << tipo;
      }
    }
  }
}

TEST(CollocazionePuntuale, CellOutsideTheGridIsRefusedWith15AndNothingWritten) {
  // The grid of the built-in route ends at cell 2260 (112950 m + 1 cell).
  const struct {
    const char* nome;
    std::function<codice_errore_numero(modello&)> colloca;
    bool accettato;
  } casi[] = {
      {"signal on the last cell",
       [](modello& m) {
         std::int32_t t = 0;
         return segnale(m, 112950, 1, 1, 1, 1, 0, 1, 1, 1, 1, t);
       },
       true},
      {"signal past the last cell",
       [](modello& m) {
         std::int32_t t = 0;
         return segnale(m, 113000, 1, 1, 1, 1, 0, 1, 1, 1, 1, t);
       },
       false},
      {"signal before cell 0",
       [](modello& m) {
         std::int32_t t = 0;
         return segnale(m, -100, 1, 1, 1, 1, 0, 1, 1, 1, 1, t);
       },
       false},
      {"signal at the int32 limit",
       [](modello& m) {
         std::int32_t t = 0;
         return segnale(m, int32_max, 1, 1, 1, 1, 0, 1, 1, 1, 1, t);
       },
       false},
      {"board on the last cell",
       [](modello& m) { return indicatore(m, 112950, 75, 85, 85, 2, 0, 0, 0, 0); }, true},
      {"board past the last cell",
       [](modello& m) { return indicatore(m, 113000, 75, 85, 85, 2, 0, 0, 0, 0); }, false},
      {"board before cell 0",
       [](modello& m) { return indicatore(m, int32_min, 75, 85, 85, 2, 0, 0, 0, 0); }, false},
      {"slowdown ending on the last cell",
       [](modello& m) { return rallentamento(m, 112850, 50, 100, 1, 1, 0); }, true},
      {"slowdown ending past the last cell",
       [](modello& m) { return rallentamento(m, 112900, 50, 100, 1, 1, 0); }, false},
      {"slowdown whose end passes the int32 range",
       [](modello& m) { return rallentamento(m, 100000, 50, int32_max, 1, 1, 0); }, false},
      {"slowdown starting before cell 0",
       [](modello& m) { return rallentamento(m, -100, 50, 0, 1, 1, 0); }, false},
      {"slowdown whose warning lies past the grid",
       [](modello& m) { return rallentamento(m, int32_max, 50, 0, 1, 1, 0); }, false},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    const codice_errore_numero e = c.colloca(m);
    EXPECT_EQ(e, c.accettato ? errore_nessuno : errore_fuori_griglia) << c.nome;
    if (!c.accettato) {
      EXPECT_EQ(descrivi(m), "") << c.nome;
    }
  }
}

// ---------------------------------------------------------------- station stops

// The stop cell is nearest(end / 50 - 1): a zone ending at 100 m or less has
// none (error 24), one ending just past it has one; one beyond the grid is
// refused with 15. An approach code is written only where end / 50 - k - 1
// is past 1.
TEST(MemoFermata, AStopNearEitherEndOfTheGrid) {
  const struct {
    std::uint8_t tipo;
    std::int32_t fine_zona;
    codice_errore_numero codice;
    std::string celle;  // after memo_fermata, when accepted
  } casi[] = {
      {4, 100, errore_fermata_iniziale, ""},
      {5, 100, errore_fermata_iniziale, ""},
      {4, 101, errore_nessuno, "1: 10 [3 0 0 0]\n"},
      {4, 125, errore_nessuno, "2: 10 [3 0 0 0]\n"},
      {4, 149, errore_nessuno, "2: 10 [3 0 0 0]\n"},
      // 4.2 - 2 - 1 = 1.2 is past cell 1, so its code lands on cell 1.
      {24, 210, errore_nessuno,
       "1: 0 [0 0 0 0] avviso 82\n2: 0 [0 0 0 0] avviso 81\n3: 10 [3 0 0 0]\n"},
      // Types from 25 on have no stop at all.
      {25, 0, errore_nessuno, ""},
      // The grid of the built-in route ends at cell 2260.
      {4, 113050, errore_nessuno,
       "2256: 0 [0 0 0 0] avviso 84\n2257: 0 [0 0 0 0] avviso 83\n2258: 0 [0 0 0 0] avviso "
       "82\n2259: 0 [0 0 0 0] avviso 81\n2260: 10 [3 0 0 0]\n"},
      {4, 113100, errore_fuori_griglia, ""},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(std::to_string(c.tipo) + " ending at " + std::to_string(c.fine_zona));
    modello m = griglia();
    EXPECT_EQ(prova_fermata(m, c.tipo, c.fine_zona).codice, c.codice);
    if (c.codice == errore_nessuno) memo_fermata(m, 3, c.tipo, c.fine_zona, da_servizio);
    EXPECT_EQ(descrivi(m), c.celle);
  }
}

// ---------------------------------------------------------------- mountain stretches

TEST(MemoMontagna, BuiltInStretchSetsTypeAndMarkersOnEmptyCellsOnly) {
  modello m = griglia();
  occupa(m, {{67, cella_segnale}, {71, cella_montagna}, {64, cella_inizio_rallentamento}});
  std::int32_t tipo = 11;
  montagna(m, 3000, 17600, tipo);
  EXPECT_EQ(tipo, 1);
  EXPECT_EQ(m.numero_montagne, 1);
  EXPECT_EQ(m.inizi_montagne[1], 3000);
  EXPECT_EQ(m.fini_montagne[1], 17600);
  for (int k = 0; k <= m.numero_celle; ++k) {
    const cella& c = m.celle[static_cast<std::size_t>(k)];
    const bool dentro = k >= 60 && k <= 351;
    std::uint8_t tipo_atteso = dentro && (k - 59) % 4 == 0 ? cella_montagna : cella_vuota;
    if (k == 67) tipo_atteso = cella_segnale;
    if (k == 64) tipo_atteso = cella_inizio_rallentamento;
    EXPECT_EQ(c.tipo_montagna, dentro ? 1 : 0) << "cell " << k;
    EXPECT_EQ(c.tipo_cella, tipo_atteso) << "cell " << k;
  }
  EXPECT_EQ(m.celle[351].tipo_cella, cella_montagna);
}

TEST(MemoMontagna, CloseGapAfterThePreviouslyRecordedStretchGivesType3) {
  const struct {
    const char* nome;
    std::int32_t inizio_prima, fine_prima;
    std::int32_t inizio, fine, tipo, tipo_dopo;
    bool marcatori;
  } casi[] = {
      {"gap 100 with markers", 100, 1000, 1100, 2000, 11, 3, true},
      {"gap 100 without markers", 100, 1000, 1100, 2000, 2, 3, false},
      {"gap 150", 100, 1000, 1150, 2000, 12, 3, true},
      {"gap 151", 100, 1000, 1151, 2000, 12, 2, true},
      {"overlap", 100, 1000, 500, 2000, 1, 3, false},
      {"previous lies further on", 5000, 6000, 100, 1000, 1, 3, false},
      {"gap beyond the int32 range", int32_min, int32_min, 100, 1000, 1, 1, false},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    std::int32_t tipo_prima = 1;
    montagna(m, c.inizio_prima, c.fine_prima, tipo_prima);
    std::int32_t tipo = c.tipo;
    montagna(m, c.inizio, c.fine, tipo);
    EXPECT_EQ(tipo, c.tipo_dopo) << c.nome;
    const std::int64_t prima = cella_di(c.inizio);
    EXPECT_EQ(m.celle[static_cast<std::size_t>(prima + 3)].tipo_cella,
              c.marcatori ? cella_montagna : cella_vuota)
        << c.nome;
    EXPECT_EQ(m.celle[static_cast<std::size_t>(prima)].tipo_montagna, c.tipo_dopo) << c.nome;
  }
}

TEST(MemoMontagna, WritesOnlyTheCellsInsideTheGrid) {
  const struct {
    const char* nome;
    std::int32_t inizio, fine;
    std::int32_t da, a;  // cells that get the type; markers counted from `prima`
    std::int64_t prima;
  } casi[] = {
      {"starts before the grid", -100, 1000, 0, 19, -2},
      {"ends past the grid", 112000, 200000, 2240, 2260, 2240},
      {"wholly before the grid", -5000, -1000, 1, 0, -100},
      {"wholly past the grid", 120000, 130000, 1, 0, 2400},
      {"first cell past the last", 1000, 1000, 1, 0, 20},
      {"int32 range", int32_min, int32_max, 0, 2260, cella_di(int32_min)},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    std::int32_t tipo = 12;
    montagna(m, c.inizio, c.fine, tipo);
    EXPECT_EQ(m.numero_montagne, 1) << c.nome;
    for (int k = 0; k <= m.numero_celle; ++k) {
      const cella& cel = m.celle[static_cast<std::size_t>(k)];
      const bool dentro = k >= c.da && k <= c.a;
      const bool marcatore = dentro && (k - c.prima + 1) % 4 == 0;
      ASSERT_EQ(cel.tipo_montagna, dentro ? 2 : 0) << c.nome << ", cell " << k;
      ASSERT_EQ(cel.tipo_cella, marcatore ? cella_montagna : cella_vuota)
          << c.nome << ", cell " << k;
    }
  }
}

TEST(MemoMontagna, EightyFirstStretchFailsTheReadingWithNothingWritten) {
  modello m = griglia();
  for (int i = 1; i <= massimo_montagne; ++i) {
    std::int32_t tipo = 1;
    montagna(m, i * 1000, i * 1000 + 500, tipo);
  }
  ASSERT_EQ(m.numero_montagne, massimo_montagne);
  EXPECT_EQ(m.inizi_montagne[80], 80000);
  const modello prima = m;
  std::int32_t tipo = 11;
  EXPECT_THROW(montagna(m, 100000, 101000, tipo), fallimento_lettura);
  EXPECT_EQ(tipo, 11);
  EXPECT_EQ(m.numero_montagne, massimo_montagne);
  EXPECT_EQ(m.inizi_montagne, prima.inizi_montagne);
  EXPECT_EQ(m.fini_montagne, prima.fini_montagne);
  EXPECT_EQ(m.celle, prima.celle);
}

// ---------------------------------------------------------------- replaced values

// What a later record replaces is noted with both records; a marker giving
// way, or an approach code written again the same, is no loss.
TEST(Sostituzioni, ALaterRecordOverAnEarlierOneIsNoted) {
  const origine primo{fonte_origine::linea, 3};
  const origine secondo{fonte_origine::servizio, 4};
  const auto descrivi_sostituzioni = [](const modello& m) {
    std::string s;
    for (const sostituzione& x : m.sostituzioni)
      s += std::to_string(x.cella) + ":" + std::to_string(static_cast<int>(x.gruppo)) + " " +
           std::to_string(x.prima.riga) + ">" + std::to_string(x.dopo.riga) + "\n";
    return s;
  };
  const struct {
    const char* nome;
    std::function<void(modello&)> prima, dopo;
    std::string atteso;
  } casi[] = {
      {"stop over a board",
       [&](modello& m) {
         memo_indicatori_v_max(m, {900, 60, 60, 60, 0, 0, 0, 0, 0}, primo);
       },
       [&](modello& m) { memo_fermata(m, 2, 4, 1000, secondo); },
       // The board's cell 19 is the stop; the stop's approach codes 15..18
       // go on empty cells.
       "19:0 3>4\n"},
      {"approach code over another",
       [&](modello& m) {
         segnale_letto g{1000, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0};
         memo_segnale(m, g, primo);  // cell 21, codes 41..44 on 19, 17, 15, 13
       },
       [&](modello& m) { memo_fermata(m, 2, 4, 1000, secondo); },  // 81..84 on 18..15
       "17:1 3>4\n15:1 3>4\n"},
      {"same code again", [&](modello& m) { memo_fermata(m, 2, 4, 1000, primo); },
       [&](modello& m) { memo_fermata(m, 3, 4, 1000, secondo); }, "19:0 3>4\n"},
      {"mountain over mountain",
       [&](modello& m) {
         std::int32_t t = 1;
         memo_montagna(m, 1000, 1100, t, primo);
       },
       [&](modello& m) {
         std::int32_t t = 2;
         memo_montagna(m, 1050, 1200, t, secondo);
       },
       // The joined stretch becomes type 3 over cells 21..23, two of them the first's.
       "21:2 3>4\n"},
      {"marker gives way",
       [&](modello& m) {
         std::int32_t t = 11;
         memo_montagna(m, 0, 2000, t, primo);  // markers on 3, 7, 11, ...
       },
       [&](modello& m) {
         segnale_letto g{300, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0};
         memo_segnale(m, g, secondo);  // cell 7
       },
       ""},
  };
  for (const auto& c : casi) {
    modello m = griglia();
    c.prima(m);
    c.dopo(m);
    EXPECT_EQ(descrivi_sostituzioni(m), c.atteso) << c.nome;
  }
}

}  // namespace
}  // namespace compattatore
