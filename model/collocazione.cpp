#include "model/collocazione.h"

namespace compattatore {

// Stubs until the placement routines land.
bool memo_montagna(modello&, std::int32_t, std::int32_t, std::int32_t&) {
  return true;
}
bool memo_rallentamento(modello&, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        std::int32_t, std::int32_t) {
  return true;
}
bool memo_segnale(modello&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                  std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                  std::int32_t&) {
  return true;
}
bool memo_indicatori_v_max(modello&, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                           std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
  return true;
}

}  // namespace compattatore
