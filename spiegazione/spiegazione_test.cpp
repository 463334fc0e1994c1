#include "spiegazione/spiegazione.h"

#include <gtest/gtest.h>

#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "sources/scenario.h"

namespace compattatore {
namespace {

// The built-in scenario explained at a few cells: each field and its record
// are those of the sources (lines of the service source 23 QUARVE, 48 the
// slowdown, 57 the signal at 17400; of the line source 84 the mountain
// stretch).
class Spiegazione : public ::testing::Test {
 protected:
  void SetUp() override {
    fonte_memoria fonte(testo_da_righe(righe_linea()), testo_da_righe(righe_treno()));
    fonte.conserva_file();
    m.nome_linea = "Quarve_Lentra";
    m.numero_treno = "58213";
    ASSERT_EQ(compatta(m, fonte, 1).errore, 0);
    righe = leggi_righe(fonte);
  }
  std::string spiega(std::int64_t cella, std::optional<std::int32_t> metro = {}) const {
    return spiega_cella(m, cella, metro, righe);
  }
  modello m;
  righe_sorgenti righe;
};

TEST_F(Spiegazione, ASignalWithItsRecord) {
  const std::string t = spiega(349, 17460);
  EXPECT_TRUE(t.starts_with("Quarve_Lentra 58213, 17460 m, cella 349, da 17450 a 17500 m\n")) << t;
  EXPECT_NE(t.find("evento: segnale, da servizio.txt:57 (segnale,   17400,   2, 3, 1,  0, 0,    "
                   "2,  2,0,0, 0)\n  sx 2 s1 3 s2 1 s3 0 rapp 0 dx 2 d1 2 d2 0 d3 0 tempo 0\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("tipo_montagna 1, da linea.txt:84 (montagna,   3000,  17600,  11)\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("sezione di segnale: dopo il segnale della cella 349 (17450 m, "
                   "servizio.txt:57), prima del segnale della cella 495"),
            std::string::npos)
      << t;
}

TEST_F(Spiegazione, AStationStopAndTheApproachCodesBeforeIt) {
  EXPECT_NE(spiega(9).find("evento: fermata, da servizio.txt:23 (stazione,       0,  4, 1000,  "
                           "0, 1, 0,  1,1,0,  4,1,1,    1,   0,55, 0, QUARVE)\n  stazione 1\n"),
            std::string::npos);
  const std::string codice = spiega(8, 420);
  EXPECT_NE(codice.find("avviso 81, da servizio.txt:23 (stazione,"), std::string::npos) << codice;
  EXPECT_NE(codice.find("zona di stazione: stazione 1 QUARVE, da -500 a 500 m\n"),
            std::string::npos)
      << codice;
}

TEST_F(Spiegazione, TheSlowdownsWarningCellAndACheckPointThePassAdded) {
  const std::string avviso = spiega(1477);
  EXPECT_NE(avviso.find("evento: avviso rallentamento, da servizio.txt:48 (rallentamento,   "
                        "75000,    50,  100, 1,  0,  0)\n  velocita 50 km/h d_v 0\n"),
            std::string::npos)
      << avviso;
  const std::string aggiunto = spiega(1496);
  EXPECT_NE(aggiunto.find("evento: abbattimento, aggiunto dal programma per il rallentamento di "
                          "servizio.txt:48 (rallentamento,"),
            std::string::npos)
      << aggiunto;
  EXPECT_NE(aggiunto.find("  velocita 180 km/h\n"), std::string::npos) << aggiunto;
}

// Cell 1 holds the mark and the check code the program writes at the end.
TEST_F(Spiegazione, TheMarkedCell) {
  const std::string t = spiega(1);
  EXPECT_NE(t.find("evento: nessuno\nmarchio: marca " + std::to_string(m.celle[1].dato_1) +
                   " codice di controllo " + std::to_string(m.celle[1].dato_2) +
                   ", scritti dal programma alla fine\n"),
            std::string::npos)
      << t;
  EXPECT_NE(m.celle[1].dato_1, 0);
}

TEST_F(Spiegazione, TheTrackAtTheMetre) {
  // Before the first curve the track runs straight along the second component.
  EXPECT_NE(spiega(20, 1000).find("tracciato al metro 1000: x 0.000 m, y 1000.000 m, direzione "
                                  "0.0000 gradi\n"),
            std::string::npos);
}

}  // namespace
}  // namespace compattatore
