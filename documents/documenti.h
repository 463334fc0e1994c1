// The driver documents of the built-in train, as tables of lines closed by the
// end marker.
#pragma once

#include "sources/testi.h"

namespace compattatore {

tabella_righe righe_note();           // scenario notes, 14 lines
tabella_righe righe_rallentamenti();  // slowdown order, 46 lines
tabella_righe righe_scheda();         // train sheet, 51 lines

}  // namespace compattatore
