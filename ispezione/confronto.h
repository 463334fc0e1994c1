// Two builds, or two files of one kind, compared in railway terms: one line
// per edit. What an edit brings with it is told with the edit, not apart: a
// signal's approach codes and the check points the marking pass puts beside
// it, a slowdown's cells and check points, a station's stop cell and codes,
// the mountain markers an event takes the place of, a track that differs
// from a curve on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ispezione/lettura_file.h"

namespace compattatore {

// What one side has: a whole build, or one file of it.
struct insieme_letto {
  std::optional<std::vector<cella>> celle;
  std::optional<tabella_letta> tabella;
  std::optional<tracciato_letto> tracciato;
};

// The differences from `a` to `b`, in order: the scenario's general values,
// then along the route, then the track. Empty when they are the same.
std::vector<std::string> confronta(const insieme_letto& a, const insieme_letto& b);

}  // namespace compattatore
