#include "disegno/pianta.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace compattatore {

namespace {

double vettoriale(double ax, double ay, double bx, double by) {
  return ax * by - ay * bx;
}

// Drops points as long as one straight line from the last kept point can
// still pass within the tolerance of every point since: each point narrows
// the cone of the directions such a line may take, and the first point that
// falls outside the cone makes the one before it the next kept point. Only
// square roots, no angles: every build keeps the same points.
class semplificatore {
 public:
  semplificatore(double tolleranza, std::vector<punto_pianta>& uscita)
      : tolleranza_(tolleranza), uscita_(uscita) {}

  void aggiungi(const punto_pianta& p, bool obbligato) {
    if (uscita_.empty()) {
      tieni(p);
      return;
    }
    if (!nel_cono(p)) {
      tieni(precedente_);
    }
    restringi(p);
    precedente_ = p;
    if (obbligato && !(uscita_.back() == p)) tieni(p);
  }

  void fine() {
    if (!uscita_.empty() && !(uscita_.back() == precedente_)) uscita_.push_back(precedente_);
  }

 private:
  void tieni(const punto_pianta& p) {
    uscita_.push_back(p);
    precedente_ = p;
    cono_ = false;
    distanza_massima_ = 0;
  }

  // Whether the line from the last kept point towards p passes close enough
  // to every point since; a track that turns back on itself leaves the cone
  // too, since a line can only go forwards.
  bool nel_cono(const punto_pianta& p) const {
    if (!cono_) return true;
    const punto_pianta& a = uscita_.back();
    const double vx = p.x - a.x;
    const double vy = p.y - a.y;
    const double d = std::sqrt(vx * vx + vy * vy);
    if (d < distanza_massima_ - tolleranza_) return false;
    if (d <= tolleranza_) return true;
    return vettoriale(basso_x_, basso_y_, vx, vy) >= 0 && vettoriale(vx, vy, alto_x_, alto_y_) >= 0;
  }

  void restringi(const punto_pianta& p) {
    const punto_pianta& a = uscita_.back();
    const double vx = p.x - a.x;
    const double vy = p.y - a.y;
    const double d = std::sqrt(vx * vx + vy * vy);
    if (d <= tolleranza_) return;
    distanza_massima_ = std::max(distanza_massima_, d);
    // The two directions that pass at exactly the tolerance from p.
    const double ux = vx / d;
    const double uy = vy / d;
    const double seno = tolleranza_ / d;
    const double coseno = std::sqrt(1 - seno * seno);
    const double bx = ux * coseno + uy * seno;  // turned clockwise
    const double by = uy * coseno - ux * seno;
    const double hx = ux * coseno - uy * seno;  // turned counter-clockwise
    const double hy = uy * coseno + ux * seno;
    if (!cono_) {
      basso_x_ = bx, basso_y_ = by, alto_x_ = hx, alto_y_ = hy;
      cono_ = true;
      return;
    }
    if (vettoriale(basso_x_, basso_y_, bx, by) > 0) basso_x_ = bx, basso_y_ = by;
    if (vettoriale(hx, hy, alto_x_, alto_y_) > 0) alto_x_ = hx, alto_y_ = hy;
  }

  double tolleranza_;
  std::vector<punto_pianta>& uscita_;
  punto_pianta precedente_;
  bool cono_ = false;
  double basso_x_ = 0, basso_y_ = 0, alto_x_ = 0, alto_y_ = 0;
  double distanza_massima_ = 0;
};

// Every plotted metre from 0 to `ultimo`, in order: f(metro, x, y).
template <class F>
void per_ogni_metro(const tracciato_piano& t, std::int32_t ultimo, F&& f) {
  t.per_metro([&](std::int32_t metro, punto_piano p) {
    if (metro <= ultimo) f(metro, p.x, p.y);
  });
}

}  // namespace

std::optional<std::int32_t> ultimo_metro_tracciato(const tracciato_piano& t) {
  if (t.vuoto() || t.ultimo_metro() < 1 || !t.ha_origine()) return {};
  return std::min(t.metro_successivo() - 1, t.ultimo_metro());
}

std::vector<punto_pianta> semplifica_tracciato(const tracciato_piano& t, std::int32_t ultimo,
                                               double tolleranza,
                                               const std::vector<std::int32_t>& obbligati) {
  std::vector<punto_pianta> punti;
  semplificatore s(tolleranza, punti);
  std::vector<std::int32_t> fissi = obbligati;
  std::sort(fissi.begin(), fissi.end());
  auto prossimo_fisso = fissi.begin();
  per_ogni_metro(t, ultimo, [&](std::int32_t metro, double x, double y) {
    while (prossimo_fisso != fissi.end() && *prossimo_fisso < metro) ++prossimo_fisso;
    const bool obbligato = prossimo_fisso != fissi.end() && *prossimo_fisso == metro;
    s.aggiungi({metro, x, -y}, obbligato);
  });
  s.fine();
  return punti;
}

inquadratura inquadra(const tracciato_piano& t, std::int32_t ultimo) {
  double x_min = std::numeric_limits<double>::max(), x_max = -x_min;
  double y_min = x_min, y_max = -x_min;
  per_ogni_metro(t, ultimo, [&](std::int32_t, double x, double y) {
    x_min = std::min(x_min, x);
    x_max = std::max(x_max, x);
    y_min = std::min(y_min, -y);
    y_max = std::max(y_max, -y);
  });
  inquadratura q;
  // A margin of a twentieth of the longer side, and never a side of zero
  // (a straight route is a line); then the shorter side widened to the
  // plan's own proportions, so that the drawing fills its box and a printed
  // page, narrower, scales it as a whole.
  const double lato = std::max({x_max - x_min, y_max - y_min, 1.0});
  const double margine = lato / 20;
  const double larghezza = x_max - x_min + 2 * margine;
  const double altezza = y_max - y_min + 2 * margine;
  q.pixel_per_metro = std::min(larghezza_pianta_px / larghezza, altezza_pianta_px / altezza);
  q.larghezza = larghezza_pianta_px / q.pixel_per_metro;
  q.altezza = altezza_pianta_px / q.pixel_per_metro;
  q.x = (x_min + x_max - q.larghezza) / 2;
  q.y = (y_min + y_max - q.altezza) / 2;
  q.ingrandimento_massimo =
      std::max(ingrandimento_minimo, pixel_per_metro_massimi / q.pixel_per_metro);
  q.tolleranza = frazione_di_pixel / (q.pixel_per_metro * q.ingrandimento_massimo);
  return q;
}

punto_pianta punto_al_metro(const std::vector<punto_pianta>& punti, double metro) {
  if (punti.empty()) return {};
  const auto dopo = std::upper_bound(punti.begin(), punti.end(), metro,
                                     [](double m, const punto_pianta& p) { return m < p.metro; });
  if (dopo == punti.begin()) return punti.front();
  if (dopo == punti.end()) return punti.back();
  const punto_pianta& a = *(dopo - 1);
  const punto_pianta& b = *dopo;
  const double f = (metro - a.metro) / (b.metro - a.metro);
  return {static_cast<std::int32_t>(metro), a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
}

}  // namespace compattatore
