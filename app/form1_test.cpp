#include "app/form1.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/processo.h"
#include "tests/scenario_piccolo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> nomi(const fs::path& d) {
  std::vector<std::string> v;
  for (const auto& [k, _] : prove::contenuto_cartella(d)) v.push_back(k);
  return v;
}

// The fixed job's compaction on sources placed where dati_linea and
// dati_treno would have written them.
class Compattazione : public ::testing::Test {
 protected:
  Compattazione() : dir_("form1"), form_(dir_.percorso().string()) {
    form_.dati().nome_linea = "L";
    form_.dati().numero_treno = "T";
  }
  void sorgenti(const std::string& linea, const std::string& servizio) {
    prove::scrivi_tutto(dir_.percorso() / "L_linea.txt", linea);
    prove::scrivi_tutto(dir_.percorso() / "L_T-.txt", servizio);
  }
  // Runs memorizza_percorso(1); returns the exit status it ended with (0 if
  // it returned) and the message it showed.
  std::pair<int, std::string> compatta() {
    ::testing::internal::CaptureStderr();
    int stato = 0;
    try {
      std::int32_t j = 1;
      form_.memorizza_percorso(j);
    } catch (const fine_esecuzione& f) {
      stato = f.stato;
    }
    return {stato, ::testing::internal::GetCapturedStderr()};
  }
  prove::cartella_temporanea dir_;
  Form1 form_;
};

TEST_F(Compattazione, ConsumesTheSourcesAndWritesThreeFiles) {
  sorgenti(prove::linea_valida, prove::servizio_valido);
  const auto [stato, messaggio] = compatta();
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(messaggio, "");
  EXPECT_EQ(nomi(dir_.percorso()), (std::vector<std::string>{"L_T.dat", "L_T.sim", "L_linea.dat"}));
}

TEST_F(Compattazione, RecordedErrorIsShownAndNothingIsWritten) {
  std::string servizio = prove::servizio_valido;
  servizio.insert(servizio.find("[fine]"),
                  "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n");
  sorgenti(prove::linea_valida, servizio);
  prove::scrivi_tutto(dir_.percorso() / "L_T_note.txt", "note");
  const auto [stato, messaggio] = compatta();
  EXPECT_EQ(stato, 1);
  EXPECT_EQ(messaggio, " Errore n. 16\nPosizione: 2710 m\nsegnale su una cella gia' occupata\n");
  // The line source is consumed, the service source too (its reading ended on
  // the error); the documents stay; no compacted file.
  EXPECT_EQ(nomi(dir_.percorso()), std::vector<std::string>{"L_T_note.txt"});
}

TEST_F(Compattazione, GuardStopsTheRunBeforeAnyFile) {
  // A board at 50 m lands on cell nearest(50/50 + 1) = 2; one at 0 m on cell 1
  // leaves its slot number in dato_1.
  std::string linea = prove::linea_valida;
  linea.insert(linea.find("[fine]"), "cartello_indicatore,  0,   (PRIMA)\r\n");
  sorgenti(linea, prove::servizio_valido);
  const auto [stato, messaggio] = compatta();
  EXPECT_EQ(stato, 1);
  EXPECT_EQ(messaggio, " Errore n. 1250\n");
  EXPECT_TRUE(nomi(dir_.percorso()).empty());
}

TEST_F(Compattazione, MissingLineSourceIsError101) {
  prove::scrivi_tutto(dir_.percorso() / "L_T-.txt", prove::servizio_valido);
  const auto [stato, messaggio] = compatta();
  EXPECT_EQ(stato, 1);
  EXPECT_EQ(messaggio, " Errore n. 101\nfile della linea mancante\n");
  // Nothing was read, so the service source stays.
  EXPECT_EQ(nomi(dir_.percorso()), std::vector<std::string>{"L_T-.txt"});
}

}  // namespace
}  // namespace compattatore
