// Splitting a written text into its lines, for the tests of the built-in texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace compattatore::prove {

// The lines of a written text. Every line must end in CR LF.
inline std::vector<std::string> righe_di(const std::string& testo) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < testo.size()) {
    const std::size_t fine = testo.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << "text ends without CR LF after: " << testo.substr(inizio);
      break;
    }
    const std::string riga = testo.substr(inizio, fine - inizio);
    EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << "bare CR or LF in: " << riga;
    righe.push_back(riga);
    inizio = fine + 2;
  }
  return righe;
}

}  // namespace compattatore::prove
