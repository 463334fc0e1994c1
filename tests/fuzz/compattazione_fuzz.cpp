// libFuzzer entry: arbitrary bytes as the two sources of a compaction.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/verifica_compattazione.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  compattatore::prove::verifica_compattazione(dati, n);
  return 0;
}
