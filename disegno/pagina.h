// The route page: one self-contained HTML file with the plan of the track, the
// profile along the chainage, what every cell holds under the pointer, the
// table of the stations and the messages of the compaction. Nothing in it is
// fetched: the styles, the drawing and the script are all inside.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/modello.h"

namespace compattatore {

// One error or warning to list at the top. `file` may be empty (the text then
// says where itself), `riga` 0 when there is no line.
struct messaggio_pagina {
  std::string file;
  std::int32_t riga = 0;
  std::string testo;  // Windows-1252, may hold several lines
  bool errore = false;
};

// The records that set a cell, as "FILE:LINE what" texts (Windows-1252); an
// empty list when none is known.
using provenienza_celle = std::function<std::vector<std::string>(std::int32_t cella)>;

struct contenuto_pagina {
  std::vector<messaggio_pagina> messaggi;
  provenienza_celle provenienza;  // may be empty
};

// The page of the model as it stands: a model that stopped on an error is
// drawn as far as it was read.
std::string pagina_percorso(const modello& m, const contenuto_pagina& contenuto);

}  // namespace compattatore
