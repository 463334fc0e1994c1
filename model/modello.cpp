#include "model/modello.h"

#include <cmath>

namespace compattatore {

void tracciato_piano::origine() {
  if (ultimo_metro_ < 1) return;
  origine_ = true;
  metro_successivo_ = 2;
  tratti_.clear();
  if (materializzato_) {
    for (int k = 0; k < 2; ++k) {
      imposta_intero(0, k, 0);
      imposta_intero(1, k, static_cast<std::int16_t>(k));
    }
  }
}

void tracciato_piano::prolunga(std::int32_t fino, bool in_curva, double c) {
  if (fino < metro_successivo_) return;
  const std::int32_t primo = metro_successivo_;
  tratti_.push_back({fino, in_curva, c});
  metro_successivo_ = fino + 1;
  if (!materializzato_) return;
  // Stored already: go on from the stored metres, as the runs would.
  double x0 = valori_[indice(primo - 2, 0)], y0 = valori_[indice(primo - 2, 1)];
  double x1 = valori_[indice(primo - 1, 0)], y1 = valori_[indice(primo - 1, 1)];
  for (std::int32_t metro = primo; metro <= fino; ++metro) {
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
    imposta_reale(metro, 0, x);
    imposta_reale(metro, 1, y);
    x0 = x1;
    y0 = y1;
    x1 = x;
    y1 = y;
  }
}

void tracciato_piano::materializza() const {
  if (materializzato_) return;
  std::vector<std::uint8_t> tipi;
  std::vector<double> valori;
  tipi.reserve(numero_elementi());
  valori.reserve(numero_elementi());
  in_ordine([&](tipo_elemento t, double v) {
    tipi.push_back(static_cast<std::uint8_t>(t));
    valori.push_back(v);
  });
  tipi_ = std::move(tipi);
  valori_ = std::move(valori);
  materializzato_ = true;
}

void tracciato_piano::imposta_intero(std::int32_t metro, int componente, std::int16_t v) {
  materializza();
  const std::size_t i = indice(metro, componente);
  tipi_[i] = static_cast<std::uint8_t>(tipo_elemento::intero);
  valori_[i] = v;
}

void tracciato_piano::imposta_reale(std::int32_t metro, int componente, double v) {
  materializza();
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
