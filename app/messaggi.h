// The texts the program shows when a run ends on an error.
#pragma once

#include <exception>
#include <string>

#include "model/modello.h"

namespace compattatore {

// " Errore n. " followed by `numero`; when `numero` is the error recorded in
// the model, a line "Posizione: P m" for the errors that carry a position and
// a line that describes the condition. With `per_autore` that line has the
// form "FILE:LINE: description" (or names the cell or slot concerned), so that
// editors can jump to it.
std::string testo_errore(const modello& m, const std::string& numero, bool per_autore = false);

// A warning of the reader as an author reads it: "FILE:LINE: attenzione: ...".
std::string testo_avviso(const std::string& file, std::int32_t riga, const std::string& testo);

// The failure that no step handles: the file and the system's reason for a
// file operation, the failure's own text otherwise.
std::string testo_fallimento(const std::exception& e);

}  // namespace compattatore
