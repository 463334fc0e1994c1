#include "disegno/pianta.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace compattatore {
namespace {

struct tratto_di_prova {
  std::int32_t fino;
  double c;  // 0: straight
};

tracciato_piano traccia(std::int32_t ultimo, const std::vector<tratto_di_prova>& tratti) {
  tracciato_piano t(ultimo + 2);
  t.origine();
  for (const tratto_di_prova& r : tratti) t.prolunga(r.fino, r.c != 0, r.c);
  t.prolunga(ultimo, false, 0);
  return t;
}

double distanza_dal_segmento(const punto_pianta& p, const punto_pianta& a, const punto_pianta& b) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  const double f = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0;
  return std::hypot(a.x + dx * f - p.x, a.y + dy * f - p.y);
}

// Every metre of the track against the drawn segment that covers it: within
// the tolerance. Consecutive drawn points: never closer than the tolerance.
TEST(Semplificazione, EveryMetreWithinTheToleranceAndNoTwoPointsCloser) {
  const struct {
    const char* nome;
    std::int32_t ultimo;
    std::vector<tratto_di_prova> tratti;
    double tolleranza;
    std::size_t massimo_punti;
  } casi[] = {
      {"straight", 20000, {}, 0.125, 2},
      {"right curve", 6000, {{2000, 0}, {2300, 0.002}}, 0.125, 60},
      {"left curve", 6000, {{2000, 0}, {2300, -0.002}}, 0.125, 60},
      {"flattest curve", 30000, {{1000, 0}, {21000, 0.0001}}, 0.125, 300},
      // More than a full turn: the track comes back past its own points.
      {"loop", 8000, {{1000, 0}, {4000, 0.003}}, 0.125, 400},
      {"coarse tolerance", 9000, {{1000, 0.003}, {3000, -0.002}, {5000, 0.001}}, 20, 30},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const tracciato_piano t = traccia(c.ultimo, c.tratti);
    const std::vector<punto_pianta> punti = semplifica_tracciato(t, c.ultimo, c.tolleranza);
    ASSERT_GE(punti.size(), 2u);
    EXPECT_LE(punti.size(), c.massimo_punti);
    EXPECT_EQ(punti.front(), (punto_pianta{0, 0, 0}));
    EXPECT_EQ(punti.back(),
              (punto_pianta{c.ultimo, t.valore(c.ultimo, 0), -t.valore(c.ultimo, 1)}));
    for (std::size_t i = 1; i < punti.size(); ++i) {
      ASSERT_LT(punti[i - 1].metro, punti[i].metro);
      if (i + 1 < punti.size()) {
        EXPECT_GE(std::hypot(punti[i].x - punti[i - 1].x, punti[i].y - punti[i - 1].y),
                  c.tolleranza)
            << "metre " << punti[i].metro;
      }
    }
    std::size_t segmento = 0;
    double peggiore = 0;
    for (std::int32_t m = 0; m <= c.ultimo; ++m) {
      while (punti[segmento + 1].metro < m) ++segmento;
      const punto_pianta p{m, t.valore(m, 0), -t.valore(m, 1)};
      peggiore = std::max(peggiore, distanza_dal_segmento(p, punti[segmento], punti[segmento + 1]));
    }
    EXPECT_LE(peggiore, c.tolleranza);
  }
}

TEST(Semplificazione, KeepsTheMetresAskedFor) {
  const tracciato_piano t = traccia(10000, {});
  const std::vector<punto_pianta> punti = semplifica_tracciato(t, 10000, 0.125, {2500, 7000});
  std::vector<std::int32_t> metri;
  for (const punto_pianta& p : punti) metri.push_back(p.metro);
  EXPECT_EQ(metri, (std::vector<std::int32_t>{0, 2500, 7000, 10000}));
  EXPECT_NEAR(punto_al_metro(punti, 5000).y, -5000, 1e-9);
  EXPECT_EQ(punto_al_metro(punti, -10).metro, 0);
  EXPECT_EQ(punto_al_metro(punti, 20000).metro, 10000);
}

// The plan zooms in to two pixels a metre, and never less than four times; the
// tolerance is a quarter of a pixel there.
TEST(Inquadratura, LargestZoomAndTolerance) {
  const struct {
    std::int32_t ultimo;
    double ingrandimento;
  } casi[] = {{100000, 2 / (altezza_pianta_px / (100000 * 1.1))}, {100, ingrandimento_minimo}};
  for (const auto& c : casi) {
    // A straight line up the plan: its height with the margins, centred.
    const inquadratura q = inquadra(traccia(c.ultimo, {}), c.ultimo);
    EXPECT_NEAR(q.altezza, c.ultimo * 1.1, 1e-6);
    EXPECT_NEAR(q.larghezza / q.altezza, larghezza_pianta_px / altezza_pianta_px, 1e-12);
    EXPECT_NEAR(q.x + q.larghezza / 2, 0, 1e-6);
    EXPECT_NEAR(q.y + q.altezza / 2, -c.ultimo / 2.0, 1e-6);
    EXPECT_NEAR(q.ingrandimento_massimo, c.ingrandimento, 1e-6);
    EXPECT_NEAR(q.tolleranza * q.pixel_per_metro * q.ingrandimento_massimo, frazione_di_pixel,
                1e-12);
  }
  EXPECT_FALSE(ultimo_metro_tracciato(tracciato_piano{}));
  EXPECT_EQ(ultimo_metro_tracciato(traccia(500, {})), 500);
}

}  // namespace
}  // namespace compattatore
