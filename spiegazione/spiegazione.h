// What the simulator will find at one place of a compacted scenario, in
// words: the cell with every field named, and for each where it came from
// (the record and its line, a fill, the marking pass); the plotted track
// there; the station zone and the signal section around it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/modello.h"
#include "sources/fonte.h"

namespace compattatore {

// The lines of the two sources as the author wrote them, to quote a record.
struct righe_sorgenti {
  std::vector<std::string> linea;
  std::vector<std::string> servizio;
};
// What can be read of the two sources; a file that cannot be read gives none.
righe_sorgenti leggi_righe(fonte_sorgenti& fonte);

// The explanation of cell `cella` (and of metre `metro` in it, when given:
// the track is told there, otherwise at the cell's first metre). The model is
// the one a compaction or a check left.
std::string spiega_cella(const modello& m, std::int64_t cella, std::optional<std::int32_t> metro,
                         const righe_sorgenti& righe);

}  // namespace compattatore
