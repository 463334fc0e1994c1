#include "app/fonte_disco.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sources/lettore.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

std::size_t descrittori_aperti() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& d : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// Whatever the outcome, the reader holds no file when it returns (Windows
// would refuse to delete an open file), and it consumes exactly the files
// that the outcome says.
TEST(FonteDisco, EveryOutcomeClosesItsFilesAndConsumesWhatItShould) {
  const struct {
    const char* nome;
    std::string linea;  // empty: no line source
    std::string servizio;
    std::int32_t errore;
    bool resta_linea, resta_servizio;
  } casi[] = {
      {"riuscita", prove::linea_valida, prove::servizio_valido, 0, false, false},
      {"segnale occupato", prove::linea_valida,
       prove::servizio_valido + "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[fine]\r\n",
       16, false, false},
      {"numero sbagliato", prove::linea_valida, ".\r\n[generale]\r\nsabbia, 3x0\r\n[fine]\r\n", 25,
       false, false},
      {"errore nella linea", "[generale]\r\nlunghezza percorso, 2000000\r\n[curve]\r\n",
       prove::servizio_valido, 1, false, true},
      {"manca la linea", "", prove::servizio_valido, 101, false, true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    prove::cartella_temporanea dir("fonte");
    if (!c.linea.empty()) prove::scrivi_tutto(dir.percorso() / "L_linea.txt", c.linea);
    prove::scrivi_tutto(dir.percorso() / "L_T-.txt", c.servizio);
    fonte_disco fonte(dir.percorso().string(), "L", "T", /*consuma=*/true);
    modello m;
    m.nome_linea = "L";
    m.numero_treno = "T";
    const std::size_t prima = descrittori_aperti();
    memorizza_dati(m, fonte);
    EXPECT_EQ(descrittori_aperti(), prima);
    EXPECT_EQ(m.codice_errore, c.errore);
    EXPECT_EQ(fs::exists(dir.percorso() / "L_linea.txt"), c.resta_linea);
    EXPECT_EQ(fs::exists(dir.percorso() / "L_T-.txt"), c.resta_servizio);
  }
}

TEST(FonteDisco, AnAuthorsFilesAreNeverConsumed) {
  prove::cartella_temporanea dir("autore");
  prove::scrivi_tutto(dir.percorso() / "L_linea.txt", prove::linea_valida);
  prove::scrivi_tutto(dir.percorso() / "L_T-.txt", ".\r\n[generale]\r\nsabbia, 3x0\r\n[fine]\r\n");
  fonte_disco fonte(dir.percorso().string(), "L", "T", /*consuma=*/false);
  modello m;
  memorizza_dati(m, fonte);
  EXPECT_EQ(m.codice_errore, 25);
  EXPECT_EQ(prove::leggi_tutto(dir.percorso() / "L_linea.txt"), prove::linea_valida);
  EXPECT_EQ(prove::leggi_tutto(dir.percorso() / "L_T-.txt"),
            ".\r\n[generale]\r\nsabbia, 3x0\r\n[fine]\r\n");
}

}  // namespace
}  // namespace compattatore
