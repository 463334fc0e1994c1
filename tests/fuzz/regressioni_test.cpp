// Every saved input of the fuzz target (its seeds and the inputs that once
// broke an invariant) replayed through the same checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fuzz/verifica_compattazione.h"
#include "tests/processo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressioni, SavedInputsKeepEveryInvariant) {
  int letti = 0;
  for (const char* cartella : {"semi", "regressioni"}) {
    const fs::path d = fs::path(COMPATTATORE_SORGENTI) / "tests" / "fuzz" / cartella;
    if (!fs::exists(d)) continue;
    for (const auto& f : fs::directory_iterator(d)) {
      SCOPED_TRACE(f.path().string());
      const std::string dati = prove::leggi_tutto(f.path());
      prove::verifica_compattazione(reinterpret_cast<const std::uint8_t*>(dati.data()),
                                    dati.size());
      ++letti;
    }
  }
  EXPECT_GT(letti, 0);
}

}  // namespace
}  // namespace compattatore
