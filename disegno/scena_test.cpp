#include "disegno/scena.h"

#include <gtest/gtest.h>

#include "model/collocazione.h"
#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/scenario_piccolo.h"

namespace compattatore {
namespace {

TEST(Scena, AltitudeChangesWhereTheGradientDoes) {
  std::vector<cella> celle(6);
  const int pendenze[] = {0, 10, 10, -4, -4, 0};
  for (std::size_t k = 0; k < celle.size(); ++k)
    celle[k].pendenza = static_cast<std::uint8_t>(pendenze[k] + 100);
  // 10 per mille over 50 m: 50 cm a cell.
  EXPECT_EQ(profilo_quote(celle),
            (std::vector<punto_quota>{{0, 0}, {50, 0}, {150, 100}, {250, 60}, {300, 60}}));
  EXPECT_TRUE(profilo_quote({}).empty());
}

TEST(Scena, StationsWithTheirStopCellsAndSlowdownsAsStretches) {
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "T";
  fonte_memoria fonte(prove::linea_valida, prove::servizio_valido);
  ASSERT_EQ(compatta(m, fonte, 1).errore, 0);
  ASSERT_FALSE(memo_rallentamento(m, 4000, 60, 500, 0, 0, 0, {}));
  ASSERT_FALSE(memo_rallentamento(m, 6000, 30, 10, 0, 0, 0, {}));  // start and end on one cell
  const scena s = leggi_scena(m);
  EXPECT_EQ(s.lunghezza_percorso, 10000);
  EXPECT_EQ(s.celle_in_griglia, 341);
  EXPECT_EQ(s.metri_griglia(), 17050);
  EXPECT_EQ(s.primo_cartello, 81);
  ASSERT_EQ(s.stazioni.size(), 2u);
  EXPECT_EQ(s.stazioni[0].nome, "PRIMA");
  EXPECT_EQ(s.stazioni[0].cella_fermata, 9);
  EXPECT_EQ(s.stazioni[1].nome, "SECONDA");
  EXPECT_EQ(
      (std::array{s.stazioni[1].posizione, s.stazioni[1].inizio_zona, s.stazioni[1].fine_zona}),
      (std::array{9000, 8700, 9300}));
  EXPECT_EQ(s.stazioni[1].cella_fermata, 185);
  ASSERT_EQ(s.rallentamenti.size(), 2u);
  EXPECT_EQ(
      (std::array{s.rallentamenti[0].inizio, s.rallentamenti[0].fine, s.rallentamenti[0].velocita}),
      (std::array{81, 91, 60}));
  EXPECT_EQ((std::array{s.rallentamenti[1].inizio, s.rallentamenti[1].fine}),
            (std::array{121, 121}));
}

TEST(Scena, NoGridNoStations) {
  modello m;
  const scena s = leggi_scena(m);
  EXPECT_EQ(s.celle_in_griglia, 0);
  EXPECT_TRUE(s.stazioni.empty());
  EXPECT_TRUE(s.rallentamenti.empty());
}

}  // namespace
}  // namespace compattatore
