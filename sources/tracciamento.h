// Plotting of the track from the curves of the line source: one coordinate
// pair per metre, straight between curves, turning at a constant rate inside.
// Arithmetic is plain IEEE double in the order written (no contraction), so
// that every build writes the same track file.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/modello.h"

namespace compattatore {

class tracciamento {
 public:
  explicit tracciamento(modello& m) : m_(m) {}

  // Metres 0 and 1 as 16-bit integers (0, 0) and (0, 1); the next metre is 2.
  void inizia();
  // One curve record: keyword item, start a, length b. Returns false with error
  // 103 recorded (no degree digit, or the track passing metre 1000000). A curve
  // whose end a + b lies beyond the track throws fallimento_lettura, with
  // nothing written.
  bool curva(std::string_view parola, std::int32_t a, std::int32_t b);
  // Straight on up to metre lunghezza_griglia - 2; the last two stay empty.
  void completa();

  // The next metre to compute.
  std::int32_t metro_tracciato() const { return m_.tracciato.metro_successivo(); }

 private:
  modello& m_;
};

}  // namespace compattatore
