#include "model/errori.h"

#include <gtest/gtest.h>

#include <map>

namespace compattatore {
namespace {

// The enum is the list of numbers and the table describes them: each value
// has exactly one row, each row is a value, and no row is left without its
// description.
TEST(TabellaErrori, OneRowForEveryNumberAndNoOther) {
  std::map<std::int32_t, int> righe;
  for (const scheda_errore& s : tabella_errori()) {
    ++righe[s.codice];
    EXPECT_FALSE(s.descrizione.empty()) << s.codice;
  }
  for (std::int32_t n = -1; n <= 2000; ++n) {
    const int attese = codice_del_sistema(n) ? 1 : 0;
    EXPECT_EQ(righe.contains(n) ? righe[n] : 0, attese) << n;
    EXPECT_EQ(scheda_di(n) != nullptr, attese == 1) << n;
  }
}

}  // namespace
}  // namespace compattatore
