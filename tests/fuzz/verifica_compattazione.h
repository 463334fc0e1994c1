// Runs arbitrary bytes through the whole compaction in memory and aborts on a
// broken invariant (an unknown error number, files written with an error,
// file images of the wrong size, a check whose first error is not the
// compaction's).
#pragma once

#include <cstddef>
#include <cstdint>

namespace compattatore::prove {

void verifica_compattazione(const std::uint8_t* dati, std::size_t n);

}  // namespace compattatore::prove
