#include "sources/scenario.h"

#include <array>
#include <string_view>

namespace compattatore {

namespace {
// Stub until the built-in scenario lands.
constexpr std::array<std::string_view, 1> vuoto{marca_fine};
}  // namespace

tabella_righe righe_linea() {
  return vuoto;
}
tabella_righe righe_treno() {
  return vuoto;
}

}  // namespace compattatore
