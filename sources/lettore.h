// The source reader `memorizza_dati`: reads the line source, then the service
// source, and fills the whole route model. On return `codice_errore` is 0 or
// the number of the failure, and `luogo` says where in the sources it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/modello.h"
#include "sources/fonte.h"

namespace compattatore {

// Told about every keyword item of a data part that matches no record and is
// not a section header: file, 1-based line, the item as read.
using avviso_lettura =
    std::function<void(const std::string& file, std::int32_t riga, const std::string& parola)>;

// `avvisa` may be empty: the fixed job warns about nothing.
void memorizza_dati(modello& m, fonte_sorgenti& fonte, const avviso_lettura& avvisa = {});

}  // namespace compattatore
