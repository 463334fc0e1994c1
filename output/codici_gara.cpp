#include "output/codici_gara.h"

namespace compattatore {

// Stubs until the check codes land.
std::int32_t codice_gara_og(const modello&) {
  return 0;
}
std::int32_t codice_gara_st(const modello&) {
  return 0;
}
std::int32_t timbra_codici(modello&) {
  return 0;
}

}  // namespace compattatore
