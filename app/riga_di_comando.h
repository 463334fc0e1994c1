// The authors' command line: `esporta`, `compatta` and the other commands,
// each with its own --help.
#pragma once

#include <string>
#include <vector>

namespace compattatore {

// Runs the command line `argomenti` (without the program name) and returns the
// exit status: 0 done, 1 an error in the scenario, 2 a usage error or a
// failure no step handles (a file that cannot be written, standard output
// included). Messages go to standard error, help and version to standard
// output.
int esegui_comando(const std::vector<std::string>& argomenti);

}  // namespace compattatore
