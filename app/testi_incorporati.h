// The five built-in texts of the scenario, in the order the fixed job writes
// them: the two sources, then the three driver documents. `esporta` writes
// the same table.
#pragma once

#include <span>
#include <string>

#include "sources/testi.h"

namespace compattatore {

struct testo_incorporato {
  std::string (*nome)(const std::string& linea, const std::string& treno);
  tabella_righe (*righe)();
};

enum class quale_testo { linea, treno, note, rallentamenti, scheda };

std::span<const testo_incorporato> testi_incorporati();
const testo_incorporato& testo(quale_testo q);

// The built-in scenario's names.
inline constexpr const char* linea_incorporata = "Quarve_Lentra";
inline constexpr const char* treno_incorporato = "58213";

// Writes one text into `directory`, replacing the file whole.
void scrivi_testo(const std::string& directory, const testo_incorporato& t,
                  const std::string& linea, const std::string& treno);

}  // namespace compattatore
