// The sizes the binary layouts give, worked out by hand once for the tests:
// 34 bytes a slot plus its text, 15 a cell, 20 × L − 36 a track of L metres.
#pragma once

#include <cstddef>

namespace compattatore::prove {

inline constexpr std::size_t byte_tabella_vuota = 2958;  // 87 slots × 34 bytes

// The built-in route: 106000 m, a grid of cells 0 to 2260, a track of 113000 m.
inline constexpr std::size_t byte_celle_incorporate = 33915;        // 15 × 2261
inline constexpr std::size_t byte_tracciato_incorporato = 2259964;  // 20 × 113000 − 36

// The tests' small scenario (tests/scenario_piccolo.h): 10000 m, cells 0 to
// 340, a track of 17000 m.
inline constexpr std::size_t byte_celle_piccolo = 5115;        // 15 × 341
inline constexpr std::size_t byte_tracciato_piccolo = 339964;  // 20 × 17000 − 36

}  // namespace compattatore::prove
