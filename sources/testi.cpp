#include "sources/testi.h"

namespace compattatore {

std::string testo_da_righe(tabella_righe righe) {
  std::string testo;
  for (std::string_view r : righe) {
    if (r == marca_fine) break;
    testo.append(r);
    testo.append("\r\n");
  }
  return testo;
}

}  // namespace compattatore
