// What the two implementations of the platform layer share: the temporaries'
// names and the texts of their refusals. Included by them alone.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "app/piattaforma.h"

namespace compattatore::piattaforma {

// The prefix and eight random characters: short whatever the target's name,
// and unlikely to meet another run's in the same directory (that would only
// cost another draw).
inline std::string nome_temporaneo() {
  static std::mt19937_64 caso{std::random_device{}()};
  static constexpr char cifre[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string nome(prefisso_temporanei);
  for (int i = 0; i < 8; ++i) nome += cifre[caso() % (sizeof cifre - 1)];
  return nome;
}

inline constexpr const char* testo_cartella_al_posto = "al posto del file c'e' una cartella";
// A source that is a directory.
inline constexpr const char* testo_cartella_sorgente = "e' una cartella, non un file";

inline std::string testo_oltre_limite(std::size_t limite) {
  return "il file supera il limite di " + std::to_string(limite) + " byte";
}

// A replacement that failed after others of its set had succeeded.
inline std::string motivo_con_sostituiti(std::string motivo,
                                         const std::vector<std::string>& sostituiti) {
  for (std::size_t i = 0; i < sostituiti.size(); ++i)
    motivo += (i == 0 ? "; gia' sostituiti con i nuovi: " : ", ") + sostituiti[i];
  return motivo;
}

}  // namespace compattatore::piattaforma
