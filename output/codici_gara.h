// The two check codes tie the files of one scenario to its names: sums of the
// Windows-1252 codes of the first 25 characters of the train number, the
// route name (lower case) and a filler.
#pragma once

#include <cstdint>

#include "model/modello.h"

namespace compattatore {

// Sum of the 25 codes (at most 6375).
std::int32_t codice_gara_og(const modello& m);
// Sum of position (1 to 25) times code (at most 82875).
std::int32_t codice_gara_st(const modello& m);

// Checks that the reserved places of slot 85 and cell 1 are still zero and
// stamps the marks 610 and 5121 and the two check codes. When a guard fails it
// records 1250 or 1251, pointing at the place that was taken (and at the
// record that set cell 1), stops there and returns false. A grid without a
// cell 1 gives 1250 with nothing written.
bool timbra_codici(modello& m);

}  // namespace compattatore
