#include "sources/tracciamento.h"

#include <algorithm>

namespace compattatore {

namespace {

// The curves may not carry the track past this metre; the completion may.
constexpr std::int64_t metro_massimo_curve = 1000000;

// Plots the metres from the next one up to `fino`, if any.
void avanza(tracciato_piano& t, std::int64_t fino, bool in_curva, double c) {
  if (t.metro_successivo() > fino) return;
  t.prolunga(static_cast<std::int32_t>(fino), in_curva, c);
}

}  // namespace

void inizia_tracciato(tracciato_piano& t) {
  t.origine();
}

std::optional<lettura_curva> leggi_parola_curva(std::string_view parola) {
  for (int grado = 1; grado <= static_cast<int>(curvature_gradi.size()); ++grado)
    if (parola.find(static_cast<char>('0' + grado)) != std::string_view::npos)
      return lettura_curva{grado, parola.find_first_of("sS") != std::string_view::npos};
  return std::nullopt;
}

codice_errore_numero traccia_curva(tracciato_piano& t, std::string_view parola, std::int32_t a,
                                   std::int32_t b) {
  const std::optional<lettura_curva> letta = leggi_parola_curva(parola);
  if (!letta) return errore_curva;
  const double curvatura = curvature_gradi[static_cast<std::size_t>(letta->grado - 1)];
  const double c = letta->sinistra ? -curvatura : curvatura;

  // The straight run reaches a, the curve a + b: refused whole if either
  // would leave the track.
  const std::int64_t fine_rettilineo = a;
  const std::int64_t fine_curva = std::int64_t{a} + b;
  if (std::max(fine_rettilineo, fine_curva) > t.ultimo_metro())
    throw fallimento_lettura("curva oltre la fine del tracciato");

  // A run that would plot a metre from metro_massimo_curve on refuses the
  // curve before anything of it is plotted.
  const std::int64_t dopo_rettilineo =
      std::max<std::int64_t>(t.metro_successivo(), fine_rettilineo + 1);
  if ((t.metro_successivo() <= fine_rettilineo && fine_rettilineo >= metro_massimo_curve) ||
      (dopo_rettilineo <= fine_curva && fine_curva >= metro_massimo_curve))
    return errore_curva;
  avanza(t, fine_rettilineo, false, 0);
  avanza(t, fine_curva, true, c);
  return errore_nessuno;
}

void completa_tracciato(tracciato_piano& t) {
  avanza(t, std::int64_t{t.ultimo_metro()} - 2, false, 0);
}

}  // namespace compattatore
