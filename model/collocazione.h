// The placement routines: each puts one item read from a source onto the grid.
// They test the cells they occupy and record 16 to 21 when one is taken, or 15
// when one lies outside the grid; nothing is written outside `celle`.
// Each returns true when it accepted its record and false when it recorded an
// error, so that the reader never mistakes an earlier error for a refusal.
// A value that cannot be stored at all (a board speed code outside 16 bits, an
// 81st mountain stretch) throws fallimento_lettura.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace compattatore {

// `tipo` is changed in the caller's variable, as the reader passes it on.
bool memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);

bool memo_rallentamento(modello& m, std::int32_t x, std::int32_t v, std::int32_t l,
                        std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v);

// `tempo` between 1 and 100 becomes 101 in the caller's variable too.
bool memo_segnale(modello& m, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                  std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx,
                  std::int32_t d1, std::int32_t d2, std::int32_t d3, std::int32_t& tempo);

bool memo_indicatori_v_max(modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs,
                           std::int32_t vcs, std::int32_t strisces, std::int32_t vad,
                           std::int32_t vbd, std::int32_t vcd, std::int32_t strisced);

}  // namespace compattatore
