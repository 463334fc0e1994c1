// The route page: one self-contained HTML file with the plan of the track, the
// profile along the chainage, what every cell holds under the pointer, the
// table of the stations and the messages of the compaction. Nothing in it is
// fetched: the styles, the drawing and the script are all inside.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace compattatore {

// One error or warning to list at the top. `file` may be empty (the text then
// says where itself), `riga` 0 when there is no line. Both texts are the
// system's, like the file names they hold (see utf8_di_sistema): the words
// a message quotes from a source come escaped to ASCII.
struct messaggio_pagina {
  std::string file;
  std::int32_t riga = 0;
  std::string testo;  // may hold several lines
  bool errore = false;
};

// The records that set a cell, as "FILE:LINE what" texts in the system's
// text, like the file names; an empty list when none is known.
using provenienza_celle = std::function<std::vector<std::string>(std::int32_t cella)>;

struct contenuto_pagina {
  std::vector<messaggio_pagina> messaggi;
  provenienza_celle provenienza;  // may be empty
};

// The page of the model as it stands: a model that stopped on an error is
// drawn as far as it was read.
std::string pagina_percorso(const modello& m, const contenuto_pagina& contenuto);

// File names, and the line and the train that name them, as UTF-8. They are
// the system's text, not the scenario's: UTF-8 already on Linux (a byte that
// is not, and a control character, becomes U+FFFD, so that the page stays
// UTF-8 and XML); on Windows bytes of the ANSI code page, which the program
// reads as Windows-1252 like all its texts. The scenario's own texts (names
// of stations, texts of boards) are Windows-1252 everywhere: utf8_da_1252.
std::string utf8_di_sistema(std::string_view testo);

}  // namespace compattatore
