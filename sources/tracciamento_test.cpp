#include "sources/tracciamento.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "model/errori.h"
#include "model/modello.h"

namespace compattatore {
namespace {

constexpr std::int32_t int32_max = std::numeric_limits<std::int32_t>::max();

// The track of a route of 3000 m: metres 0 to 10000.
tracciato_piano con_tracciato(std::int32_t lunghezza = 3000) {
  return tracciato_piano(lunghezza + margine_griglia);
}

double x(const tracciato_piano& t, std::int32_t metro) {
  return t.valore(metro, 0);
}
double y(const tracciato_piano& t, std::int32_t metro) {
  return t.valore(metro, 1);
}
tipo_elemento tipo(const tracciato_piano& t, std::int32_t metro) {
  EXPECT_EQ(t.tipo(metro, 0), t.tipo(metro, 1)) << "metre " << metro;
  return t.tipo(metro, 0);
}

// Heading of the step that ends at `metro`, in radians from the second
// component towards the first (a right turn is positive).
double direzione(const tracciato_piano& t, std::int32_t metro) {
  return std::atan2(x(t, metro) - x(t, metro - 1), y(t, metro) - y(t, metro - 1));
}

bool stesso_tracciato(const tracciato_piano& a, const tracciato_piano& b) {
  if (a.numero_elementi() != b.numero_elementi()) return false;
  for (std::size_t i = 0; i < a.numero_elementi(); ++i)
    if (a.tipo_in_ordine(i) != b.tipo_in_ordine(i) ||
        a.valore_in_ordine(i) != b.valore_in_ordine(i))
      return false;
  return true;
}

TEST(Tracciamento, StartsWithTwoIntegerMetresAlongTheSecondComponent) {
  tracciato_piano t = con_tracciato();
  inizia_tracciato(t);
  EXPECT_EQ(t.metro_successivo(), 2);
  EXPECT_EQ(tipo(t, 0), tipo_elemento::intero);
  EXPECT_EQ(tipo(t, 1), tipo_elemento::intero);
  EXPECT_EQ(x(t, 0), 0);
  EXPECT_EQ(y(t, 0), 0);
  EXPECT_EQ(x(t, 1), 0);
  EXPECT_EQ(y(t, 1), 1);
  EXPECT_EQ(tipo(t, 2), tipo_elemento::vuoto);
}

TEST(Tracciamento, WithoutCurvesOneStraightLineToTheLastButTwoMetres) {
  tracciato_piano t = con_tracciato();
  inizia_tracciato(t);
  completa_tracciato(t);
  EXPECT_EQ(t.metro_successivo(), 9999);
  for (std::int32_t metro = 2; metro <= 9998; ++metro) {
    ASSERT_EQ(tipo(t, metro), tipo_elemento::reale) << metro;
    ASSERT_EQ(x(t, metro), 0) << metro;
    ASSERT_EQ(y(t, metro), metro) << metro;
  }
  EXPECT_EQ(tipo(t, 9999), tipo_elemento::vuoto);
  EXPECT_EQ(tipo(t, 10000), tipo_elemento::vuoto);
}

TEST(Tracciamento, FirstCurveTurnsRightAfterAStraightLine) {
  tracciato_piano t = con_tracciato();
  inizia_tracciato(t);
  ASSERT_EQ(traccia_curva(t, "curvad5", 1850, 300), errore_nessuno);
  EXPECT_EQ(t.metro_successivo(), 2151);
  for (std::int32_t metro = 2; metro <= 1850; ++metro) {
    ASSERT_EQ(x(t, metro), 0) << metro;
    ASSERT_EQ(y(t, metro), metro) << metro;
  }
  // The first two metres of the curve, worked out by hand from the straight step (0, 1).
  const double c = 0.002;
  EXPECT_EQ(x(t, 1851), c);
  EXPECT_EQ(y(t, 1851), 1851);
  EXPECT_EQ(x(t, 1852), (c + c) + c * 1);
  EXPECT_EQ(y(t, 1852), (1851.0 + 1) - c * c);
  EXPECT_NEAR(direzione(t, 2150), 300 * std::atan(c), 1e-9);
  EXPECT_EQ(tipo(t, 2151), tipo_elemento::vuoto);

  // Exact values from a separate evaluation of the same arithmetic: any change
  // in the order of the operations changes their last bits.
  completa_tracciato(t);
  const struct {
    std::int32_t metro;
    double x, y;
  } attesi[] = {
      {2150, 0x1.5e98daf5ebaa8p+6, 0x1.0a8a1e27a4c50p+11},
      {2151, 0x1.60db6542d34e7p+6, 0x1.0aa48b5da6296p+11},
      {9998, 0x1.1a99e2824c6e0p+12, 0x1.0d2b877094691p+13},
  };
  for (const auto& a : attesi) {
    EXPECT_EQ(x(t, a.metro), a.x) << a.metro;
    EXPECT_EQ(y(t, a.metro), a.y) << a.metro;
  }
  EXPECT_NEAR(direzione(t, 9998), 300 * std::atan(c), 1e-9);
  EXPECT_EQ(tipo(t, 9999), tipo_elemento::vuoto);
}

TEST(Tracciamento, KeywordGivesDegreeAndSide) {
  const struct {
    const char* parola;
    double curvatura;
  } casi[] = {
      {"curvad1", 0.0001},  {"curvad2", 0.0002},   {"curvad3", 0.0004},  {"curvad4", 0.001},
      {"curvad5", 0.002},   {"curvad6", 0.003},    {"curvas1", -0.0001}, {"curvas6", -0.003},
      {"CURVAD5", 0.002},   {"CURVAS5", -0.002},   {"curvaS5", -0.002},  {"curvad65", 0.002},
      {"curvad51", 0.0001}, {" curvad 4 ", 0.001}, {"segno 3", -0.0004},
  };
  for (const auto& c : casi) {
    tracciato_piano t = con_tracciato();
    inizia_tracciato(t);
    // One curve metre right after a unit step along the second component: x is c itself.
    ASSERT_EQ(traccia_curva(t, c.parola, 10, 1), errore_nessuno) << c.parola;
    EXPECT_EQ(x(t, 11), c.curvatura) << c.parola;
    EXPECT_EQ(y(t, 11), 11) << c.parola;
    EXPECT_EQ(t.metro_successivo(), 12) << c.parola;
  }
}

TEST(Tracciamento, KeywordWithoutDegreeDigitIs103WithNothingPlotted) {
  for (const char* parola : {"curvas", "CURVAD", "curvad0", "curvad7", "curvad9", ""}) {
    tracciato_piano t = con_tracciato();
    inizia_tracciato(t);
    EXPECT_EQ(traccia_curva(t, parola, 1850, 300), errore_curva) << parola;
    EXPECT_EQ(t.metro_successivo(), 2) << parola;
    EXPECT_EQ(tipo(t, 2), tipo_elemento::vuoto) << parola;
  }
}

TEST(Tracciamento, CurveOutOfOrderHasNoStraightRun) {
  tracciato_piano t = con_tracciato();
  inizia_tracciato(t);
  ASSERT_EQ(traccia_curva(t, "curvad5", 1850, 300), errore_nessuno);
  // Starts at 2000, inside the last curve: turns left from metre 2151 to 2400.
  ASSERT_EQ(traccia_curva(t, "curvas5", 2000, 400), errore_nessuno);
  EXPECT_EQ(t.metro_successivo(), 2401);
  // Ends before the track: nothing to plot.
  ASSERT_EQ(traccia_curva(t, "curvad5", 2000, 100), errore_nessuno);
  EXPECT_EQ(t.metro_successivo(), 2401);
  EXPECT_EQ(x(t, 2151), 0x1.60d9b4499bebep+6);
  EXPECT_EQ(y(t, 2151), 0x1.0aa4949f59917p+11);
  EXPECT_EQ(x(t, 2400), 0x1.58a2e708935e4p+7);
  EXPECT_EQ(y(t, 2400), 0x1.27a02abf1b73fp+11);
  EXPECT_NEAR(direzione(t, 2400), 50 * std::atan(0.002), 1e-9);
  completa_tracciato(t);
  EXPECT_EQ(x(t, 9998), 0x1.d1d7d8d45c340p+9);
  EXPECT_EQ(y(t, 9998), 0x1.366af0c979039p+13);
}

TEST(Tracciamento, CurveBeyondTheTrackFailsTheReadingWithNothingWritten) {
  const struct {
    std::int32_t a, b;
    bool accettata;
  } casi[] = {
      {9990, 10, true},      // ends on the last metre
      {9990, 11, false},     // one metre beyond
      {10001, -100, false},  // its straight run would pass the end
      {int32_max, int32_max, false},
      {5000, int32_max, false},  // a + b beyond the 32-bit range
  };
  for (const auto& c : casi) {
    tracciato_piano t = con_tracciato();
    inizia_tracciato(t);
    ASSERT_EQ(traccia_curva(t, "curvad5", 1850, 300), errore_nessuno);
    const tracciato_piano prima = t;
    if (c.accettata) {
      EXPECT_EQ(traccia_curva(t, "curvad5", c.a, c.b), errore_nessuno) << c.a << ", " << c.b;
      EXPECT_EQ(tipo(t, 10000), tipo_elemento::reale);
    } else {
      EXPECT_THROW(traccia_curva(t, "curvad5", c.a, c.b), fallimento_lettura) << c.a << ", " << c.b;
      EXPECT_EQ(t.metro_successivo(), 2151) << c.a << ", " << c.b;
      EXPECT_TRUE(stesso_tracciato(t, prima)) << c.a << ", " << c.b;
    }
  }
}

TEST(Tracciamento, CurvesMayNotReachMetre1000000ButTheCompletionMay) {
  const struct {
    const char* nome;
    std::int32_t a, b;
    bool accettata;
    std::int32_t ultimo_scritto;
  } casi[] = {
      {"curve ending at 999999", 999000, 999, true, 999999},
      // Refused whole: nothing of the curve, nor of its straight run, plotted.
      {"curve ending at 1000000", 999000, 1000, false, 1},
      {"curve ending past it", 999000, 5000, false, 1},
      {"straight run past it", 1000005, 0, false, 1},
  };
  for (const auto& c : casi) {
    tracciato_piano t = con_tracciato(1000000);  // track to metre 1007000
    inizia_tracciato(t);
    EXPECT_EQ(traccia_curva(t, "curvad1", c.a, c.b), c.accettata ? errore_nessuno : errore_curva)
        << c.nome;
    EXPECT_EQ(t.metro_successivo(), c.ultimo_scritto + 1) << c.nome;
    EXPECT_EQ(tipo(t, c.ultimo_scritto + 1), tipo_elemento::vuoto) << c.nome;
    if (c.accettata) {
      completa_tracciato(t);
      EXPECT_EQ(tipo(t, 1006998), tipo_elemento::reale) << c.nome;
      EXPECT_EQ(tipo(t, 1006999), tipo_elemento::vuoto) << c.nome;
      EXPECT_EQ(tipo(t, 1007000), tipo_elemento::vuoto) << c.nome;
    }
  }
}

}  // namespace
}  // namespace compattatore
