// A short text of a stretch of the grid, so that a test compares many cell
// fields at once and a failure shows the difference.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "model/modello.h"

namespace compattatore::prove {

// Cells da..a that hold anything besides the stretch values, one per line:
// "k: tipo [dato_1 dato_2 dato_3 dato_4]", then " tempo N", " avviso N",
// " montagna N" where those are set. With `prima`, only the cells that differ
// from it (the stretch values too, as " tratto velocita pendenza aderenza").
inline std::string descrivi_celle(const modello& m, std::int64_t da = 0,
                                  std::int64_t a = std::numeric_limits<std::int32_t>::max(),
                                  const modello* prima = nullptr) {
  std::string s;
  for (std::int64_t k = std::max<std::int64_t>(da, 0);
       k <= a && k < static_cast<std::int64_t>(m.celle.size()); ++k) {
    const cella& c = m.celle[static_cast<std::size_t>(k)];
    cella vuota;
    if (prima == nullptr) {
      vuota.velocita_linea = c.velocita_linea;
      vuota.pendenza = c.pendenza;
      vuota.aderenza = c.aderenza;
    } else if (static_cast<std::size_t>(k) < prima->celle.size()) {
      vuota = prima->celle[static_cast<std::size_t>(k)];
    }
    if (c == vuota) continue;
    s += std::to_string(k) + ": " + std::to_string(c.tipo_cella) + " [" + std::to_string(c.dato_1) +
         " " + std::to_string(c.dato_2) + " " + std::to_string(c.dato_3) + " " +
         std::to_string(c.dato_4) + "]";
    if (c.tempo_segnale != 0) s += " tempo " + std::to_string(c.tempo_segnale);
    if (c.avviso != 0) s += " avviso " + std::to_string(c.avviso);
    if (c.tipo_montagna != 0) s += " montagna " + std::to_string(c.tipo_montagna);
    if (prima != nullptr && (c.velocita_linea != vuota.velocita_linea ||
                             c.pendenza != vuota.pendenza || c.aderenza != vuota.aderenza))
      s += " tratto " + std::to_string(c.velocita_linea) + " " + std::to_string(c.pendenza) + " " +
           std::to_string(c.aderenza);
    s += "\n";
  }
  return s;
}

}  // namespace compattatore::prove
