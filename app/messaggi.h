// The texts the program shows when a run ends on an error, built from the
// model's error record.
#pragma once

#include <exception>
#include <string>

#include "model/modello.h"

namespace compattatore {

// What follows " Errore n. N" for the error `e`: a line "Posizione: P m" for
// the errors that carry a position, then a line that describes it. With
// `per_autore` that line starts with where the error points, "FILE:LINE: ",
// "cella N (P m): ", "cella 1: " or "voce 85: ", so that editors can jump
// to it. In the fixed job a guard's message is its number alone.
std::string dettagli_errore(const errore_registrato& e, bool per_autore);

// The whole message for the run's first error: " Errore n. " and its number,
// then its details.
std::string testo_errore(const modello& m, bool per_autore = false);

// The failure that no step handles: the file and the system's reason for a
// file operation, the failure's own text otherwise.
std::string testo_fallimento(const std::exception& e);

}  // namespace compattatore
