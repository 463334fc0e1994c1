#include "model/descrizione_campi.h"

#include <gtest/gtest.h>

#include "model/collocazione.h"
#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/scenario_piccolo.h"

namespace compattatore {
namespace {

std::string testo(const std::vector<campo_descritto>& campi) {
  std::string t;
  for (const campo_descritto& c : campi)
    t += std::string(c.nome) + "=" + std::to_string(c.valore) + " ";
  return t;
}

// Each event placed as the reader places it, then taken apart again: the
// values read back are the ones the record gave.
TEST(DescrizioneCampi, PlacedEventsReadBackAsTheirRecords) {
  modello m;
  m.dimensiona(20000);
  segnale_letto segnale{17400, 2, 3, 1, 0, 1, 2, 2, 0, 4, 255};
  ASSERT_FALSE(memo_segnale(m, segnale, {}));
  ASSERT_FALSE(memo_indicatori_v_max(m, {15350, 75, 85, 90, 2, 30, 0, 155, 1}, {}));
  ASSERT_FALSE(memo_rallentamento(m, 5000, 50, 100, 1, 1, 7, {}));
  const struct {
    std::size_t cella;
    std::string tipo;
    std::string campi;
  } casi[] = {
      {349, "segnale", "sx=2 s1=3 s2=1 s3=0 rapp=1 dx=2 d1=2 d2=0 d3=4 tempo=255 "},
      {308, "indicatore velocita' massima",
       "vas=75 vbs=85 vcs=90 strisces=2 vad=30 vbd=0 vcd=155 strisced=1 "},
      {101, "inizio rallentamento", "velocita=50 d_v=7 f_tt=1 "},
      {77, "avviso rallentamento", "velocita=50 d_v=7 "},
      {73, "preavviso rallentamento", "ordine=4 d_v=4 "},
      {10, "vuota", ""},
  };
  for (const auto& c : casi) {
    EXPECT_EQ(nome_tipo_cella(m.celle[c.cella].tipo_cella), c.tipo) << c.cella;
    EXPECT_EQ(testo(campi_evento(m.celle[c.cella])), c.campi) << c.cella;
  }
  EXPECT_EQ(nome_tipo_cella(8), "tipo 8");
}

TEST(DescrizioneCampi, StretchValuesInAuthorsUnits) {
  cella c;
  c.velocita_linea = 15;
  c.pendenza = 70;
  c.aderenza = 110;
  c.avviso = 81;
  EXPECT_EQ(testo(campi_tratto(c)),
            "avviso=81 tipo_montagna=0 velocita_linea=75 pendenza=-30 aderenza=110 ");
}

TEST(DescrizioneCampi, SlotRoles) {
  EXPECT_EQ(ruolo_voce(1, 77), "stazione 1");
  EXPECT_EQ(ruolo_voce(76, 77), "stazione 76");
  EXPECT_EQ(ruolo_voce(77, 77), "testo del cartello in voce 77");
  EXPECT_EQ(ruolo_voce(80, 81), "stazione 80");
  EXPECT_EQ(ruolo_voce(83, 77), "progressiva uno");
  EXPECT_EQ(ruolo_voce(86, 77), "generale");
  EXPECT_TRUE(campi_voce(78, 77, voce_servizio{}).empty());
}

// The small scenario with a slowdown: each line names the record that set
// its group of fields, the marking pass's check points their slowdown's.
TEST(DescrizioneCampi, OriginsOfACellInWords) {
  std::string servizio = prove::servizio_valido;
  servizio.replace(servizio.find("[segnali]"), 9,
                   "rallentamento,   6000,    50,  400, 1,  0,  0\r\n[segnali]");
  modello m;
  fonte_memoria fonte(prove::linea_valida, servizio);
  ASSERT_EQ(compatta(m, fonte, 1).errore, 0);
  // The signal of line 16 in cell 32, at the speed of line 10, on the level
  // stretch of line 13 (the gradient of line 14 starts at 1900 m) and at the
  // adhesion of line 8.
  EXPECT_EQ(origini_in_parole(m, 32),
            (std::vector<std::string>{"servizio.txt:16: segnale", "servizio.txt:10: velocita_linea",
                                      "linea.txt:13: pendenza", "servizio.txt:8: aderenza"}));
  // Rule B's first check point before the start at cell 121: cell 116.
  ASSERT_EQ(m.celle[116].tipo_cella, cella_abbattimento);
  EXPECT_EQ(origini_in_parole(m, 116).front(),
            "servizio.txt:14: abbattimento, aggiunto dal programma per il rallentamento di questa "
            "riga");
  EXPECT_TRUE(origini_in_parole(m, -1).empty());
  EXPECT_TRUE(origini_in_parole(m, static_cast<std::int64_t>(m.celle.size())).empty());
}

}  // namespace
}  // namespace compattatore
