#include "sources/tracciamento.h"

#include <algorithm>
#include <array>

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

// Plots the metres from the next one up to `fino`. With `controlla`, stops
// once a metre past metro_massimo_curve would follow and returns false.
bool avanza(tracciato_piano& t, std::int64_t fino, bool in_curva, double c, bool controlla) {
  if (t.metro_successivo() > fino) return true;
  bool riuscito = true;
  if (controlla && fino >= metro_massimo_curve) {
    fino = std::max<std::int64_t>(t.metro_successivo(), metro_massimo_curve);
    riuscito = false;
  }
  t.prolunga(static_cast<std::int32_t>(fino), in_curva, c);
  return riuscito;
}

}  // namespace

void inizia_tracciato(tracciato_piano& t) {
  t.origine();
}

codice_errore_numero traccia_curva(tracciato_piano& t, std::string_view parola, std::int32_t a,
                                   std::int32_t b) {
  const auto grado = std::find_if(
      gradi_curva.begin(), gradi_curva.end(),
      [&](const grado_curva& g) { return parola.find(g.cifra) != std::string_view::npos; });
  if (grado == gradi_curva.end()) return errore_curva;
  const double c =
      parola.find_first_of("sS") != std::string_view::npos ? -grado->curvatura : grado->curvatura;

  // The straight run reaches a, the curve a + b: refused whole if either
  // would leave the track.
  const std::int64_t fine_rettilineo = a;
  const std::int64_t fine_curva = std::int64_t{a} + b;
  if (std::max(fine_rettilineo, fine_curva) > t.ultimo_metro())
    throw fallimento_lettura("curva oltre la fine del tracciato");

  if (!avanza(t, fine_rettilineo, false, 0, true) || !avanza(t, fine_curva, true, c, true))
    return errore_curva;
  return errore_nessuno;
}

void completa_tracciato(tracciato_piano& t) {
  avanza(t, std::int64_t{t.ultimo_metro()} - 2, false, 0, false);
}

}  // namespace compattatore
