// The authoring forms of the command line: `esporta` writes the built-in
// sources and documents into a directory; `compatta` compacts an author's own
// sources, which it only reads.
#pragma once

#include <string>
#include <vector>

namespace compattatore {

// Runs the command line `argomenti` (without the program name) and returns the
// exit status: 0 done, 1 a scenario error reported, 2 a usage error or a
// failure no step handles. Messages go to standard error, help and version to
// standard output.
int esegui_comando(const std::vector<std::string>& argomenti);

}  // namespace compattatore
