#include "sources/tracciamento.h"

#include <algorithm>
#include <array>

#include "model/errori.h"

namespace compattatore {

namespace {

// Turning per metre by the degree digit of a curve keyword; the first digit
// found in this order decides.
struct grado_curva {
  char cifra;
  double curvatura;
};
constexpr std::array<grado_curva, 6> gradi_curva = {{
    {'1', 0.0001},
    {'2', 0.0002},
    {'3', 0.0004},
    {'4', 0.001},
    {'5', 0.002},
    {'6', 0.003},
}};

// The curves may not carry the track past this metre; the completion may.
constexpr std::int64_t metro_massimo_curve = 1000000;

// The last metre that may be plotted.
std::int64_t ultimo_metro(const modello& m) {
  return std::min<std::int64_t>(m.lunghezza_griglia, m.tracciato.ultimo_metro());
}

// Plots metres `metro` up to `fino`, each repeating the step between the two
// points before it, turned by c in a curve. With `controlla`, stops as soon as
// the next metre passes metro_massimo_curve and returns false. Kept in plain
// doubles in the order written, so that every build gives the same bytes.
bool avanza(tracciato_piano& t, std::int32_t& metro, std::int64_t fino, bool in_curva, double c,
            bool controlla) {
  if (metro > fino) return true;
  double x0 = t.valore(metro - 2, 0);
  double y0 = t.valore(metro - 2, 1);
  double x1 = t.valore(metro - 1, 0);
  double y1 = t.valore(metro - 1, 1);
  while (metro <= fino) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    double x;
    double y;
    if (in_curva) {
      x = (x1 + dx) + c * dy;
      y = (y1 + dy) - c * dx;
    } else {
      x = x1 + dx;
      y = y1 + dy;
    }
    t.imposta_reale(metro, 0, x);
    t.imposta_reale(metro, 1, y);
    x0 = x1;
    y0 = y1;
    x1 = x;
    y1 = y;
    ++metro;
    if (controlla && metro > metro_massimo_curve) return false;
  }
  return true;
}

}  // namespace

void tracciamento::inizia() {
  metro_ = 2;
  if (ultimo_metro(m_) < 1) return;
  m_.tracciato.imposta_intero(0, 0, 0);
  m_.tracciato.imposta_intero(0, 1, 0);
  m_.tracciato.imposta_intero(1, 0, 0);
  m_.tracciato.imposta_intero(1, 1, 1);
}

bool tracciamento::curva(std::string_view parola, std::int32_t a, std::int32_t b) {
  const auto grado = std::find_if(
      gradi_curva.begin(), gradi_curva.end(),
      [&](const grado_curva& g) { return parola.find(g.cifra) != std::string_view::npos; });
  if (grado == gradi_curva.end()) {
    m_.registra_errore(errore_curva);
    return false;
  }
  const double c =
      parola.find_first_of("sS") != std::string_view::npos ? -grado->curvatura : grado->curvatura;

  // The straight run reaches a, the curve a + b: refused whole if either
  // would leave the track.
  const std::int64_t fine_rettilineo = a;
  const std::int64_t fine_curva = std::int64_t{a} + b;
  if (std::max(fine_rettilineo, fine_curva) > ultimo_metro(m_))
    throw fallimento_lettura("curva oltre la fine del tracciato");

  if (!avanza(m_.tracciato, metro_, fine_rettilineo, false, 0, true) ||
      !avanza(m_.tracciato, metro_, fine_curva, true, c, true)) {
    m_.registra_errore(errore_curva);
    return false;
  }
  return true;
}

void tracciamento::completa() {
  avanza(m_.tracciato, metro_, ultimo_metro(m_) - 2, false, 0, false);
}

}  // namespace compattatore
