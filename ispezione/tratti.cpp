#include "ispezione/tratti.h"

#include <cmath>
#include <numbers>

namespace compattatore {

namespace {

// Rates closer than this are one rate: the rounding of a million metres of
// plotting stays far below it, and the keywords' rates differ by 1e-4.
constexpr double tolleranza = 1e-7;
// Shown rates are rounded to the tolerance: times this, rounded, divided back.
constexpr double per_tolleranza = 1e7;

double x(const tracciato_letto& t, std::int32_t m) {
  return t.x[static_cast<std::size_t>(m)].valore;
}
double y(const tracciato_letto& t, std::int32_t m) {
  return t.y[static_cast<std::size_t>(m)].valore;
}

// The turning at metre m, which needs points at m - 2, m - 1 and m.
double curvatura_in(const tracciato_letto& t, std::int32_t m) {
  const double dx1 = x(t, m - 1) - x(t, m - 2);
  const double dy1 = y(t, m - 1) - y(t, m - 2);
  const double dx2 = x(t, m) - x(t, m - 1);
  const double dy2 = y(t, m) - y(t, m - 1);
  const double prodotto = dx1 * dx2 + dy1 * dy2;
  if (prodotto == 0) return 0;
  return -(dx1 * dy2 - dy1 * dx2) / prodotto;
}

// The direction of the step from metre m - 1 to metre m (both with a point).
double direzione(const tracciato_letto& t, std::int32_t metro) {
  const double gradi = std::atan2(x(t, metro) - x(t, metro - 1), y(t, metro) - y(t, metro - 1)) *
                       180 / std::numbers::pi;
  return gradi == -180 ? 180 : gradi;
}

struct metro_classificato {
  genere_tratto genere;
  double curvatura;
};

metro_classificato classifica(const tracciato_letto& t, std::int32_t m) {
  if (!t.ha_punto(m)) return {genere_tratto::vuoto, 0};
  if (m < 2 || !t.ha_punto(m - 1) || !t.ha_punto(m - 2)) return {genere_tratto::origine, 0};
  const double c = curvatura_in(t, m);
  if (!std::isfinite(c)) return {genere_tratto::non_finito, 0};
  if (stessa_curvatura(c, 0)) return {genere_tratto::rettilineo, 0};
  return {genere_tratto::curva, c};
}

}  // namespace

int grado_curva(double curvatura) {
  for (std::size_t g = 0; g < curvature_gradi.size(); ++g)
    if (stessa_curvatura(std::fabs(curvatura), curvature_gradi[g])) return static_cast<int>(g) + 1;
  return 0;
}

bool stessa_curvatura(double a, double b) {
  return std::fabs(a - b) <= tolleranza;
}

double curvatura_mostrata(double curvatura) {
  return std::round(std::fabs(curvatura) * per_tolleranza) / per_tolleranza;
}

const char* nome_tratto(const tratto_letto& t) {
  switch (t.genere) {
    case genere_tratto::origine:
      return "origine";
    case genere_tratto::rettilineo:
      return "rettilineo";
    case genere_tratto::curva:
      return t.curvatura > 0 ? "curva a destra" : "curva a sinistra";
    case genere_tratto::non_finito:
      return "non finito";
    case genere_tratto::vuoto:
      return "vuoto";
  }
  return "";
}

std::vector<tratto_letto> tratti(const tracciato_letto& t) {
  std::vector<tratto_letto> out;
  for (std::int32_t m = 0; m <= t.ultimo_metro; ++m) {
    const metro_classificato k = classifica(t, m);
    if (!out.empty()) {
      tratto_letto& ultimo = out.back();
      if (ultimo.genere == k.genere && ultimo.ultimo == m - 1 &&
          stessa_curvatura(ultimo.curvatura, k.curvatura)) {
        ultimo.ultimo = m;
        continue;
      }
    }
    tratto_letto nuovo;
    nuovo.primo = nuovo.ultimo = m;
    nuovo.genere = k.genere;
    nuovo.curvatura = k.curvatura;
    out.push_back(nuovo);
  }
  // Headings and end points, now that each run's extent is known.
  for (tratto_letto& r : out) {
    if (r.genere == genere_tratto::vuoto) continue;
    const bool entrata_nota = r.primo >= 2 && t.ha_punto(r.primo - 1) && t.ha_punto(r.primo - 2);
    const bool uscita_nota = r.ultimo >= 1 && t.ha_punto(r.ultimo - 1);
    if (uscita_nota) r.direzione_uscita = direzione(t, r.ultimo);
    if (entrata_nota)
      r.direzione_entrata = direzione(t, r.primo - 1);
    else if (r.primo < r.ultimo)
      r.direzione_entrata = direzione(t, r.primo + 1);
    if (!uscita_nota) r.direzione_uscita = r.direzione_entrata;
    r.x_fine = x(t, r.ultimo);
    r.y_fine = y(t, r.ultimo);
  }
  return out;
}

}  // namespace compattatore
