// The approach marking pass: after the reader, adds speed check points (type
// 12, speed 180) before signals near a slowdown's warning point, before and
// inside slowdowns and before the first signal after one. Records 11, 12 and
// 13 with their position and goes on; reads and writes only cells 0 to
// numero_celle.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace compattatore {

// The speed of every check point the pass adds.
inline constexpr std::int16_t velocita_abbattimento = 180;
// Cells before a warning point where signals are looked for.
inline constexpr int avviso_portata = 20;
// Cells after a slowdown's end searched for a signal.
inline constexpr int ricerca_segnale = 12;

// The smaller of x and y: y when x > y, otherwise x.
std::int32_t minimo(const std::int32_t& x, const std::int32_t& y);

void marca_abbattimenti(modello& m);

}  // namespace compattatore
