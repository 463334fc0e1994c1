#include "model/tracciato.h"

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
  punto_piano prima{valori_[indice(primo - 2, 0)], valori_[indice(primo - 2, 1)]};
  punto_piano ultimo{valori_[indice(primo - 1, 0)], valori_[indice(primo - 1, 1)]};
  for (std::int32_t metro = primo; metro <= fino; ++metro) {
    const punto_piano p = passo(prima, ultimo, in_curva, c);
    imposta_reale(metro, 0, p.x);
    imposta_reale(metro, 1, p.y);
    prima = ultimo;
    ultimo = p;
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

}  // namespace compattatore
