// Editing source texts and reading output in the tests.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "sources/scenario.h"

namespace compattatore::prove {

// The built-in sources, as an author's copy starts.
inline const std::string& linea_incorporata() {
  static const std::string t = testo_da_righe(righe_linea());
  return t;
}
inline const std::string& servizio_incorporato() {
  static const std::string t = testo_da_righe(righe_treno());
  return t;
}

// `testo` with its first `da` replaced by `a`; the test fails if there is none.
inline std::string con(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t p = testo.find(da);
  EXPECT_NE(p, std::string::npos) << da;
  if (p == std::string::npos) return testo;
  return testo.replace(p, da.size(), a);
}

// The lines of a program's output.
inline std::vector<std::string> righe_uscita(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string l; std::getline(in, l);) r.push_back(l);
  return r;
}

}  // namespace compattatore::prove
