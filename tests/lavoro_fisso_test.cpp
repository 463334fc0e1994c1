// The fixed job end to end: the built program copied into a fresh directory
// and run there with no arguments.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/dimensioni.h"
#include "tests/processo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;

const std::vector<std::string> file_attesi = {"Quarve_Lentra_58213.dat",
                                              "Quarve_Lentra_58213.sim",
                                              "Quarve_Lentra_58213_note.txt",
                                              "Quarve_Lentra_58213_rallentamenti.txt",
                                              "Quarve_Lentra_58213_scheda_treno.txt",
                                              "Quarve_Lentra_linea.dat",
                                              "compattatore"};

std::vector<std::string> nomi(const std::map<std::string, std::string>& m) {
  std::vector<std::string> v;
  for (const auto& [k, _] : m) v.push_back(k);
  return v;
}

TEST(LavoroFisso, WritesItsFilesInTheProgramDirectoryAndEndsByItself) {
  cartella_temporanea programma("programma");
  cartella_temporanea altrove("altrove");
  fs::copy_file(COMPATTATORE_EXE, programma.percorso() / "compattatore");
  // Run from elsewhere: the files go beside the program, not into the
  // working directory.
  const auto primo =
      prove::esegui({(programma.percorso() / "compattatore").string()}, altrove.percorso());
  EXPECT_EQ(primo.stato, 0) << primo.errori;
  EXPECT_EQ(primo.errori, "Attendere\n");
  EXPECT_TRUE(fs::is_empty(altrove.percorso()));
  const auto dopo_primo = prove::contenuto_cartella(programma.percorso());
  EXPECT_EQ(nomi(dopo_primo), file_attesi);
  EXPECT_EQ(dopo_primo.at("Quarve_Lentra_linea.dat").size(), prove::byte_tracciato_incorporato);
  EXPECT_EQ(dopo_primo.at("Quarve_Lentra_58213.dat").size(), prove::byte_celle_incorporate);
  // 87 records of 34 bytes plus the texts: the two names, 24 stations, 4 boards.
  EXPECT_GT(dopo_primo.at("Quarve_Lentra_58213.sim").size(),
            prove::byte_tabella_vuota + 13 + 5 + 24 + 4);

  // A second run in the same directory replaces everything with the same bytes.
  prove::scrivi_tutto(programma.percorso() / "Quarve_Lentra_58213.dat", std::string(50000, 'x'));
  const auto secondo = prove::esegui({"./compattatore"}, programma.percorso());
  EXPECT_EQ(secondo.stato, 0) << secondo.errori;
  EXPECT_EQ(prove::contenuto_cartella(programma.percorso()), dopo_primo);
}

}  // namespace
}  // namespace compattatore
