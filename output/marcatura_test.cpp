#include "output/marcatura.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "model/errori.h"
#include "tests/celle.h"

namespace compattatore {
namespace {

struct evento {
  std::int32_t k;
  std::uint8_t tipo;
  std::int16_t dato_1 = 0;
};

// A 1000 m route: cells 0 to 160.
constexpr std::int32_t lunghezza_prova = 1000;
constexpr std::int32_t ultima_prova = 160;

modello griglia(const std::vector<evento>& eventi) {
  modello m;
  m.dimensiona(lunghezza_prova);
  for (const evento& e : eventi) {
    m.celle[static_cast<std::size_t>(e.k)].tipo_cella = e.tipo;
    m.celle[static_cast<std::size_t>(e.k)].dato_1 = e.dato_1;
  }
  return m;
}

// The cells the pass changed, with all their fields.
std::string cambiate(const modello& prima, const modello& dopo) {
  return prove::descrivi_celle(dopo, 0, ultima_prova, &prima);
}

// New check points at the given cells, in the form of `cambiate`; `resto` is
// what such a cell holds, its other fields as they were.
std::string segnati(std::initializer_list<std::int32_t> celle,
                    const std::string& resto = "12 [180 0 0 0]") {
  std::string s;
  for (std::int32_t k : celle) s += std::to_string(k) + ": " + resto + "\n";
  return s;
}

struct esito {
  std::string cambiate;
  std::int32_t codice = 0;
  std::int32_t posizione = 0;
};

esito passa(modello m) {
  const modello prima = m;
  marca_abbattimenti(m);
  return {cambiate(prima, m), m.codice_errore, m.posizione_errore};
}

void confronta(const esito& e, const esito& atteso, const std::string& caso) {
  EXPECT_EQ(e.cambiate, atteso.cambiate) << caso;
  EXPECT_EQ(e.codice, atteso.codice) << caso;
  EXPECT_EQ(e.posizione, atteso.posizione) << caso;
}

constexpr std::uint8_t S = cella_segnale;
constexpr std::uint8_t F = cella_fine_rallentamento;
constexpr std::uint8_t I = cella_inizio_rallentamento;
constexpr std::uint8_t A = cella_avviso_rallentamento;
constexpr std::uint8_t X = cella_cartello;  // two kinds of occupied cell
constexpr std::uint8_t O = cella_indicatore_v_max;
constexpr std::uint8_t K = cella_abbattimento;

TEST(Minimo, ReturnsTheSmaller) {
  const struct {
    std::int32_t x, y, atteso;
  } casi[] = {{180, 200, 180}, {180, 90, 90}, {180, 180, 180}, {180, -5, -5}};
  for (const auto& c : casi) EXPECT_EQ(minimo(c.x, c.y), c.atteso) << c.x << ", " << c.y;
}

TEST(MarcaAbbattimenti, WorkedExampleOnEmptyCellsAndOnMountainMarkers) {
  // Slowdown 100..130 at 60 km/h, next signal at 135, warning point at 76
  // with a signal at 66.
  const std::vector<evento> eventi = {
      {100, I, 60}, {130, F, 60}, {135, S, 11}, {76, A, 60}, {66, S, 11}};
  const esito atteso{segnati({65, 82, 89, 95, 108, 116, 124, 134})};

  confronta(passa(griglia(eventi)), atteso, "celle vuote");

  // Markers give way like empty cells; the stretch values and the other
  // fields of every cell stay as they were.
  modello m = griglia({});
  for (cella& c : m.celle) {
    c.tipo_cella = cella_montagna;
    c.tipo_montagna = 2;
    c.velocita_linea = 12;
    c.pendenza = 103;
    c.aderenza = 90;
    c.avviso = 7;
    c.dato_2 = 3;
  }
  for (const evento& e : eventi) {
    m.celle[static_cast<std::size_t>(e.k)].tipo_cella = e.tipo;
    m.celle[static_cast<std::size_t>(e.k)].dato_1 = e.dato_1;
  }
  confronta(passa(m),
            {segnati({65, 82, 89, 95, 108, 116, 124, 134}, "12 [180 3 0 0] avviso 7 montagna 2")},
            "marcatori di montagna");
}

TEST(MarcaAbbattimenti, SignalsNearAWarningPoint) {
  const struct {
    const char* caso;
    std::vector<evento> eventi;
    esito atteso;
  } casi[] = {
      {"segnale subito prima dell'avviso", {{50, A}, {49, S}}, {segnati({48})}},
      {"segnale 20 celle prima", {{50, A}, {30, S}}, {segnati({29})}},
      {"segnale 21 celle prima: fuori portata", {{50, A}, {29, S}}, {""}},
      {"ogni segnale trattato", {{76, A}, {66, S}, {70, S}}, {segnati({65, 69})}},
      {"cella prima occupata", {{50, A}, {40, S}, {39, X}}, {segnati({38})}},
      {"cella libera prima del limite", {{50, A}, {40, S}, {39, K, 200}}, {segnati({38})}},
      {"limite 200 -> 180 subito prima",
       {{50, A}, {40, S}, {39, K, 200}, {38, X}},
       {segnati({39})}},
      {"limite 90 resta", {{50, A}, {40, S}, {39, K, 90}, {38, X}}, {""}},
      {"limite due celle prima", {{50, A}, {40, S}, {39, X}, {38, K, 200}}, {segnati({38})}},
      {"solo la cella subito prima e' limitata",
       {{50, A}, {40, S}, {39, K, 90}, {38, K, 200}},
       {""}},
      {"nessun posto: errore 11", {{50, A}, {40, S}, {39, X}, {38, O}}, {"", 11, 2000}},
      {"avviso a 22: segnale a 3 trattato", {{22, A}, {3, S}}, {segnati({2})}},
      {"avviso a 22: segnale a 2 no", {{22, A}, {2, S}}, {""}},
      {"avviso a 10: segnale a 2 no", {{10, A}, {2, S}}, {""}},
  };
  for (const auto& c : casi) confronta(passa(griglia(c.eventi)), c.atteso, c.caso);
}

TEST(MarcaAbbattimenti, ThreeGroupsBeforeAStart) {
  // Fast slowdowns three cells long with no signal after them: only the
  // groups mark anything.
  const auto rallentamento = [](std::int32_t inizio, std::vector<evento> altri) {
    altri.push_back({inizio, I, 120});
    altri.push_back({inizio + 3, F, 120});
    return altri;
  };
  const struct {
    std::int32_t inizio;
    std::vector<evento> occupate;
    esito atteso;
  } casi[] = {
      {7, {}, {""}},
      {8, {}, {segnati({3})}},
      {13, {}, {segnati({8})}},
      {14, {}, {segnati({3, 9})}},
      {20, {}, {segnati({9, 15})}},
      {21, {}, {segnati({3, 10, 16})}},
      {60, {}, {segnati({42, 49, 55})}},
      {60, {{55, X}}, {segnati({42, 49, 54})}},
      {60, {{55, X}, {54, X}}, {segnati({42, 49, 53})}},
      {60, {{49, X}, {48, X}, {47, X}}, {segnati({42, 55}), 12, 3000}},
      {60, {{55, X}, {54, X}, {53, X}, {42, S}, {41, S}, {40, S}}, {segnati({49}), 12, 3000}},
  };
  for (const auto& c : casi)
    confronta(
        passa(griglia(rallentamento(c.inizio, c.occupate))), c.atteso,
        "inizio " + std::to_string(c.inizio) + ", occupate " + std::to_string(c.occupate.size()));
}

TEST(MarcaAbbattimenti, InsideAndAfterASlowdown) {
  // Start at 100; the groups always give 82, 89 and 95.
  const struct {
    const char* caso;
    std::int16_t velocita;
    std::vector<evento> eventi;
    esito atteso;
  } casi[] = {
      {"60 km/h", 60, {{130, F}, {135, S}}, {segnati({82, 89, 95, 108, 116, 124, 134})}},
      {"109 km/h", 109, {{130, F}, {135, S}}, {segnati({82, 89, 95, 108, 116, 124, 134})}},
      {"110 km/h: solo dopo la fine", 110, {{130, F}, {135, S}}, {segnati({82, 89, 95, 134})}},
      {"200 km/h", 200, {{130, F}, {135, S}}, {segnati({82, 89, 95, 134})}},
      {"velocita' negativa a 16 bit", -25536, {{130, F}}, {segnati({82, 89, 95, 108, 116, 124})}},
      {"cella stessa occupata: m = 1",
       60,
       {{130, F}, {108, X}},
       {segnati({82, 89, 95, 107, 115, 123})}},
      {"anche la precedente: m = -1",
       60,
       {{130, F}, {108, X}, {107, X}},
       {segnati({82, 89, 95, 109, 117, 125})}},
      {"tre occupate: errore 13, niente piu' punti, passo 5 fatto",
       60,
       {{130, F}, {135, S}, {107, X}, {108, X}, {109, X}},
       {segnati({82, 89, 95, 134}), 13, 5400}},
      {"punto al passo della fine", 60, {{108, F}, {112, S}}, {segnati({82, 89, 95, 107, 111})}},
      {"punto dopo la fine", 60, {{108, F}, {107, X}}, {segnati({82, 89, 95, 109})}},
      {"segnale 12 celle dopo la fine", 120, {{130, F}, {142, S}}, {segnati({82, 89, 95, 141})}},
      {"segnale 13 celle dopo la fine", 120, {{130, F}, {143, S}}, {segnati({82, 89, 95})}},
      {"solo il primo segnale", 120, {{130, F}, {133, S}, {137, S}}, {segnati({82, 89, 95, 132})}},
      {"segnale subito dopo la fine", 120, {{130, F}, {131, S}}, {segnati({82, 89, 95, 129})}},
      {"s occupata", 120, {{130, F}, {135, S}, {134, X}}, {segnati({82, 89, 95, 133})}},
      {"s e s-1 occupate: errore 13 alla fine",
       120,
       {{130, F}, {135, S}, {134, X}, {133, O}},
       {segnati({82, 89, 95}), 13, 6500}},
  };
  for (const auto& c : casi) {
    std::vector<evento> eventi = c.eventi;
    eventi.push_back({100, I, c.velocita});
    confronta(passa(griglia(eventi)), c.atteso, c.caso);
  }
}

TEST(MarcaAbbattimenti, LaterErrorsReplaceEarlierOnesAndThePassGoesOn) {
  const std::vector<evento> eventi = {
      // Slowdown at 60 with its first group blocked (12 at 3000) and the cells
      // before the signal after its end taken (13 at 3500).
      {60, I, 120},
      {55, X},
      {54, X},
      {53, X},
      {70, F},
      {75, S},
      {74, X},
      {73, X},
      // Then a warning point whose signal has no room (11 at 4500).
      {100, A},
      {90, S},
      {89, X},
      {88, X},
      // And a signal near it that is still served.
      {95, S},
  };
  confronta(passa(griglia(eventi)), {segnati({42, 49, 94}), 11, 4500}, "tre errori");
}

// Each case runs on the grid of its real size, where the sanitizers report a
// read past the last cell, and again with bait beyond numero_celle in the
// grid vector: an end cell, a signal and free cells that a pass looking past
// the last cell would use.
TEST(MarcaAbbattimenti, NeverLooksPastTheLastCell) {
  const auto con_esca = [](std::vector<evento> eventi) {
    modello m = griglia(eventi);
    m.celle.resize(static_cast<std::size_t>(ultima_prova) + 20);
    m.celle[ultima_prova + 3].tipo_cella = F;
    m.celle[ultima_prova + 6].tipo_cella = S;
    return m;
  };
  const struct {
    const char* caso;
    std::vector<evento> eventi;
    esito atteso;
  } casi[] = {
      {"nessuna fine: errore 13 all'ultima cella, niente passo 5",
       {{150, I, 60}},
       {segnati({132, 139, 145, 158}), 13, ultima_prova * 50}},
      {"nessuna fine, rallentamento veloce",
       {{150, I, 120}},
       {segnati({132, 139, 145}), 13, ultima_prova * 50}},
      {"ottavo passo sull'ultima cella, le due prima occupate",
       {{152, I, 60}, {160, X}, {159, X}},
       {segnati({134, 141, 147}), 13, ultima_prova * 50}},
      {"fine sull'ultima cella", {{150, I, 120}, {160, F}}, {segnati({132, 139, 145})}},
      {"avviso sulla penultima cella non visitato", {{159, A}, {150, S}}, {""}},
      {"avviso sulla terzultima visitato", {{158, A}, {150, S}}, {segnati({149})}},
      {"inizio sulla terzultima visitato, nessuna fine",
       {{158, I, 120}},
       {segnati({140, 147, 153}), 13, ultima_prova * 50}},
      {"inizio sulla penultima cella non visitato", {{159, I, 60}}, {""}},
  };
  for (const auto& c : casi) {
    confronta(passa(griglia(c.eventi)), c.atteso, c.caso);
    confronta(passa(con_esca(c.eventi)), c.atteso, std::string(c.caso) + ", con esca");
  }
}

TEST(MarcaAbbattimenti, TinyOrInconsistentGridsAreSafe) {
  // Every cell a slowdown start, a warning point or a signal: the rules reach
  // for every neighbour they can.
  for (int celle = 0; celle <= 25; ++celle) {
    for (std::int32_t numero : {celle - 1, celle + 50, INT_MIN, INT_MAX}) {
      modello m;
      m.numero_celle = numero;
      m.celle.assign(static_cast<std::size_t>(celle), cella{});
      for (int k = 0; k < celle; ++k) {
        m.celle[static_cast<std::size_t>(k)].tipo_cella =
            static_cast<std::uint8_t>(k % 3 == 0   ? I
                                      : k % 3 == 1 ? A
                                                   : S);
        m.celle[static_cast<std::size_t>(k)].dato_1 = 60;
      }
      marca_abbattimenti(m);
      EXPECT_EQ(m.celle.size(), static_cast<std::size_t>(celle));
      EXPECT_EQ(m.numero_celle, numero);
    }
  }
}

}  // namespace
}  // namespace compattatore
