// The built-in scenario: the line source and the service source of the route
// Quarve-Lentra with train 58213, as tables of lines closed by the end marker.
#pragma once

#include "sources/testi.h"

namespace compattatore {

tabella_righe righe_linea();  // 135 lines
tabella_righe righe_treno();  // 94 lines

}  // namespace compattatore
