// The source reader `memorizza_dati`: reads the line source, then the service
// source, and fills the whole route model. On return the model's error record
// holds every error found (the first one ends the reading of its file, as the
// format requires) and its warnings list what an author wrote that the model
// leaves out.
#pragma once

#include "model/modello.h"
#include "sources/fonte.h"

namespace compattatore {

void memorizza_dati(modello& m, fonte_sorgenti& fonte);

// The same reading as a check: after a refused record it goes on as if the
// record were absent. The first error it records is the one memorizza_dati
// records; `modello::interruzione` says why, if it had to stop.
void controlla_dati(modello& m, fonte_sorgenti& fonte);

}  // namespace compattatore
