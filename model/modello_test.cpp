#include "model/modello.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

namespace compattatore {
namespace {

TEST(Nearest, HalvesGoToTheEvenNeighbour) {
  const struct {
    double x;
    std::int64_t atteso;
  } casi[] = {{2.5, 2},  {3.5, 4},   {7.5, 8},    {38.5, 38},  {39.5, 40}, {280.5, 280},  {0.5, 0},
              {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e6, 1000000}};
  for (const auto& c : casi) EXPECT_EQ(nearest(c.x), c.atteso) << "x = " << c.x;
}

TEST(Nearest, CellIndexTakesNearestOfTheWholeExpression) {
  // 75 m: 1.5 + 1 = 2.5 -> 2, while nearest(1.5) + 1 would be 3.
  EXPECT_EQ(cella_di(75, 1), 2);
  EXPECT_EQ(cella_di(17400, 1), 349);
  EXPECT_EQ(cella_di(75000 - 1200, 1), 1477);
}

TEST(Dimensiona, SizesGridAndTrackFromTheRouteLength) {
  const struct {
    std::int32_t lunghezza;
    std::int32_t griglia;
    std::int32_t celle;
  } casi[] = {
      {106000, 113000, 2260}, {7025, 14025, 280}, {0, 7000, 140}, {1000000, 1007000, 20140}};
  for (const auto& c : casi) {
    modello m;
    m.genera_linea = 1;
    m.dimensiona(c.lunghezza);
    EXPECT_EQ(m.lunghezza_griglia, c.griglia);
    EXPECT_EQ(m.numero_celle, c.celle);
    EXPECT_EQ(m.celle.size(), static_cast<std::size_t>(c.celle) + 1);
    EXPECT_EQ(m.tracciato.ultimo_metro(), c.griglia);
    EXPECT_EQ(m.tracciato.numero_elementi(), 2 * (static_cast<std::size_t>(c.griglia) + 1));
    EXPECT_EQ(m.tracciato.tipo(c.griglia, 1), tipo_elemento::vuoto);
  }
}

TEST(Dimensiona, SecondSizingDiscardsTheFirstAndNoTrackWithoutTheFlag) {
  modello m;
  m.dimensiona(106000);
  m.celle[5].tipo_cella = cella_segnale;
  EXPECT_TRUE(m.tracciato.vuoto());
  m.dimensiona(7025);
  EXPECT_EQ(m.celle.size(), 281u);
  EXPECT_EQ(m.celle[5], cella{});
}

TEST(Tabella, ClearingEmptiesEverySlot) {
  modello m;
  m.tabella_servizio[0].testo = "x";
  m.tabella_servizio[86].orario = 5;
  m.tabella_servizio[40].codice_5 = 1;
  m.svuota_tabella();
  for (const voce_servizio& v : m.tabella_servizio) EXPECT_EQ(v, voce_servizio{});
}

TEST(CellaLibera, OnlyEmptyAndMountainMarkerAreFree) {
  for (int t = 0; t <= 14; ++t) {
    cella c;
    c.tipo_cella = static_cast<std::uint8_t>(t);
    EXPECT_EQ(cella_libera(c), t == cella_vuota || t == cella_montagna) << "tipo " << t;
  }
}

using elementi = std::vector<std::pair<tipo_elemento, double>>;

elementi in_ordine(const tracciato_piano& t) {
  elementi v;
  t.in_ordine([&v](tipo_elemento tipo, double valore) { v.emplace_back(tipo, valore); });
  return v;
}

// The walk metre by metre, as (metro, x, y).
std::vector<std::tuple<std::int32_t, double, double>> per_metro(const tracciato_piano& t) {
  std::vector<std::tuple<std::int32_t, double, double>> v;
  t.per_metro([&v](std::int32_t metro, punto_piano p) { v.emplace_back(metro, p.x, p.y); });
  return v;
}

void traccia(tracciato_piano& t, int dopo_quanti_tratti_chiedi) {
  t.origine();
  const struct {
    std::int32_t fino;
    bool in_curva;
    double c;
  } tratti[] = {{10, false, 0}, {30, true, 0.002}, {40, true, -0.003}, {58, false, 0}};
  int n = 0;
  for (const auto& r : tratti) {
    if (n++ == dopo_quanti_tratti_chiedi) (void)t.tipo(0, 0);
    t.prolunga(r.fino, r.in_curva, r.c);
  }
}

// The runs are computed again when written and stored when a metre is asked
// for: both ways, and storing at any point of the plotting, give the same
// elements, and the same points metre by metre.
TEST(TracciatoPiano, ReplayedAndStoredRunsGiveTheSameElements) {
  tracciato_piano rifatto(60);
  traccia(rifatto, -1);
  const elementi attesi = in_ordine(rifatto);
  ASSERT_EQ(attesi.size(), 2u * 61);
  EXPECT_EQ(attesi[1], std::make_pair(tipo_elemento::intero, 0.0));
  EXPECT_EQ(attesi[61 + 1], std::make_pair(tipo_elemento::intero, 1.0));
  EXPECT_EQ(attesi[58].first, tipo_elemento::reale);
  EXPECT_EQ(attesi[59].first, tipo_elemento::vuoto);
  EXPECT_EQ(attesi[2 * 61 - 1].first, tipo_elemento::vuoto);
  const auto punti = per_metro(rifatto);
  ASSERT_EQ(punti.size(), 59u);
  for (std::int32_t m = 0; m <= 58; ++m)
    EXPECT_EQ(punti[static_cast<std::size_t>(m)],
              std::make_tuple(m, attesi[static_cast<std::size_t>(m)].second,
                              attesi[static_cast<std::size_t>(61 + m)].second));
  EXPECT_TRUE(rifatto.ha_origine());
  tracciato_piano senza_origine(60);
  EXPECT_FALSE(senza_origine.ha_origine());
  (void)senza_origine.tipo(0, 0);
  EXPECT_FALSE(senza_origine.ha_origine()) << "stored";
  EXPECT_TRUE(per_metro(senza_origine).empty());
  for (int quando = 0; quando <= 4; ++quando) {
    tracciato_piano t(60);
    traccia(t, quando);
    EXPECT_EQ(in_ordine(t), attesi) << "stored after " << quando << " runs";
    EXPECT_EQ(t.valore(58, 1), attesi[61 + 58].second);
    EXPECT_TRUE(t.ha_origine());
    EXPECT_EQ(per_metro(t), punti) << "stored after " << quando << " runs";
  }
}

}  // namespace
}  // namespace compattatore
