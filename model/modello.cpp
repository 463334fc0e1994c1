#include "model/modello.h"

#include <cmath>

namespace compattatore {

tracciato_piano::tracciato_piano(std::int32_t lunghezza)
    : ultimo_metro_(lunghezza),
      tipi_(2 * (static_cast<std::size_t>(lunghezza) + 1), 0),
      valori_(2 * (static_cast<std::size_t>(lunghezza) + 1), 0.0) {}

void tracciato_piano::imposta_intero(std::int32_t metro, int componente, std::int16_t v) {
  const std::size_t i = indice(metro, componente);
  tipi_[i] = static_cast<std::uint8_t>(tipo_elemento::intero);
  valori_[i] = v;
}

void tracciato_piano::imposta_reale(std::int32_t metro, int componente, double v) {
  const std::size_t i = indice(metro, componente);
  tipi_[i] = static_cast<std::uint8_t>(tipo_elemento::reale);
  valori_[i] = v;
}

void modello::svuota_tabella() {
  for (voce_servizio& v : tabella_servizio) v = voce_servizio{};
}

void modello::dimensiona(std::int32_t lunghezza) {
  lunghezza_griglia = lunghezza + margine_griglia;
  numero_celle = static_cast<std::int32_t>(nearest(lunghezza_griglia / 50.0));
  celle.assign(static_cast<std::size_t>(numero_celle) + 1, cella{});
  tracciato = genera_linea != 0 ? tracciato_piano(lunghezza_griglia) : tracciato_piano();
}

std::int64_t nearest(double x) {
  // nearbyint rounds in the current mode, which is round-half-to-even unless
  // someone changed it; this program never does.
  return static_cast<std::int64_t>(std::nearbyint(x));
}

std::int64_t cella_di(double metri, double scarto) {
  return nearest(metri / 50.0 + scarto);
}

}  // namespace compattatore
