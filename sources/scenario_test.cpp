#include "sources/scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"
#include "tests/righe.h"

namespace compattatore {
namespace {

using prove::righe_di;

// ---------------------------------------------------------------------------
// A plain reading of the written sources: lines, sections, comma items.

std::string senza_bordi(std::string_view s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

std::optional<std::int64_t> numero(const std::string& s) {
  std::int64_t n = 0;
  const auto [fine, errore] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (s.empty() || errore != std::errc() || fine != s.data() + s.size()) return std::nullopt;
  return n;
}

struct riga_fonte {
  std::string testo;
  std::vector<std::string> voci;  // comma items, blanks trimmed; voci[0] is the keyword

  std::int64_t campo(std::size_t i) const {
    const auto n = i < voci.size() ? numero(voci[i]) : std::nullopt;
    EXPECT_TRUE(n.has_value()) << "field " << i << " is not a number in: " << testo;
    return n.value_or(0);
  }
};

struct sezione {
  std::string titolo;  // "[curve]" ...; empty for the lines before the first header
  std::vector<riga_fonte> righe;
};

std::vector<sezione> sezioni_di(const std::string& testo) {
  std::vector<sezione> sezioni(1);
  for (const std::string& r : righe_di(testo)) {
    if (r.starts_with('[')) {
      sezioni.push_back({r, {}});
      continue;
    }
    riga_fonte riga{r, {}};
    std::size_t inizio = 0;
    for (;;) {
      const std::size_t virgola = r.find(',', inizio);
      riga.voci.push_back(senza_bordi(std::string_view(r).substr(inizio, virgola - inizio)));
      if (virgola == std::string::npos) break;
      inizio = virgola + 1;
    }
    sezioni.back().righe.push_back(std::move(riga));
  }
  return sezioni;
}

const sezione& trova(const std::vector<sezione>& sezioni, std::string_view titolo) {
  for (const sezione& s : sezioni)
    if (s.titolo == titolo) return s;
  static const sezione vuota;
  ADD_FAILURE() << "no section " << titolo;
  return vuota;
}

std::string linea() {
  return testo_da_righe(righe_linea());
}
std::string treno() {
  return testo_da_righe(righe_treno());
}

// ---------------------------------------------------------------------------
// Shape of the two files.

TEST(ScenarioFonti, FilesHaveTheirLinesAndSectionsInOrder) {
  using sezioni_attese = std::vector<std::pair<std::string, std::size_t>>;  // title, rows
  const struct {
    std::string testo;
    std::size_t righe;
    sezioni_attese sezioni;  // "" = the lines before the first header
  } casi[] = {
      {linea(),
       135,
       {{"", 0},
        {"[generale]", 8},
        {"[curve]", 54},
        {"[pendenze]", 17},
        {"[montagne]", 13},
        {"[cartelli]", 32},
        {"[indicazioni]", 4},
        {"[fine]", 0}}},
      {treno(),
       94,
       {{"", 1},
        {"[generale]", 4},
        {"[aderenze]", 3},
        {"[vel_limite]", 10},
        {"[stazioni]", 24},
        {"[rallentamenti]", 1},
        {"[segnali]", 43},
        {"[codici]", 0},
        {"[fine]", 0}}},
  };
  for (const auto& c : casi) {
    const std::vector<std::string> righe = righe_di(c.testo);
    EXPECT_EQ(righe.size(), c.righe);
    EXPECT_EQ(righe.back(), "[fine]");
    EXPECT_EQ(c.testo.find(marca_fine), std::string::npos);
    for (const std::string& r : righe)
      for (const unsigned char ch : r) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << "not plain: " << r;
    sezioni_attese trovate;
    for (const sezione& s : sezioni_di(c.testo)) trovate.emplace_back(s.titolo, s.righe.size());
    EXPECT_EQ(trovate, c.sezioni);
  }
  EXPECT_EQ(righe_di(treno()).front(), ".");
}

// Rows written out word for word: each in its section, at its index (-1 is
// the last row, nullopt anywhere in the section).
TEST(ScenarioFonti, FixedRowsStandWhereTheyBelong) {
  struct caso {
    bool di_linea;
    std::string_view sezione;
    std::optional<int> indice;
    std::string_view riga;
  };
  const caso casi[] = {
      {true, "[generale]", 0, "lunghezza percorso,    106000"},
      {true, "[generale]", 1, "progressiva chilometrica uno,    1000,    0,    0"},
      {true, "[generale]", 2, "progressiva chilometrica due,    0,    0,    0"},
      {true, "[generale]", 3, "progressiva chilometrica tre,    0,    0,    0"},
      {true, "[generale]", 4, "sfondo uno,    4000"},
      {true, "[generale]", 5, "sfondo due,    1000"},
      {true, "[generale]", 6, "sfondo tre,    1"},
      {true, "[generale]", 7, "ripetizione segnali 4 codici,    1000,    107500"},
      {true, "[curve]", 0, "curvad5,  1850,  300"},
      {true, "[curve]", std::nullopt, "curvas4,  72750,  450"},
      {true, "[curve]", std::nullopt, "curvas1,  89450,  150"},
      {true, "[pendenze]", 0, "pendenza,  0,   0"},
      {true, "[pendenze]", 1, "pendenza,  1900,   15"},
      {true, "[pendenze]", std::nullopt, "pendenza,  19000,   -30"},
      {true, "[pendenze]", -1, "pendenza,  100850,   0"},
      {true, "[montagne]", 0, "montagna,   3000,  17600,  11"},
      {true, "[montagne]", std::nullopt, "montagna,   32850,  33500,  12"},
      {true, "[cartelli]", 0, "indicatori_vmax,  800,  75,  75,  75,  0,  ,  ,  ,  0"},
      {true, "[cartelli]", std::nullopt, "indicatori_vmax,  15350,  75,  85,  85,  2,  ,  ,  ,  0"},
      {true, "[cartelli]", std::nullopt, "indicatori_vmax,  15850,  75,  85,  85,  1,  ,  ,  ,  0"},
      {true, "[cartelli]", std::nullopt, "indicatori_vmax,  16350,  75,  85,  85,  0,  ,  ,  ,  0"},
      {true, "[cartelli]", -1, "indicatori_vmax,  106050,  30,  30,  30,  0,  ,  ,  ,  0"},
      {false, "[generale]", 0, "numero vetture,    11"},
      {false, "[generale]", 1, "percentuale massa frenata,    75"},
      {false, "[generale]", 2, "sabbia,    300"},
      {false, "[generale]", 3, "orologio,    0               54            0 "},
      {false, "[aderenze]", 0, "aderenza,       0,   110"},
      {false, "[aderenze]", 1, "aderenza,   18000,    90"},
      {false, "[aderenze]", 2, "aderenza,   49500,   100"},
      {false, "[vel_limite]", 0, "velocita,       0,    75"},
      {false, "[vel_limite]", -1, "velocita,  107000,    30"},
      {false, "[stazioni]", 0,
       "stazione,       0,  4, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,   0,55, 0, QUARVE"},
      {false, "[rallentamenti]", 0, "rallentamento,   75000,    50,  100, 1,  0,  0"},
      {false, "[segnali]", 0, "segnale,    1550,   1, 4, 0,  0, 0,    1,  3,0,0, 0"},
      {false, "[segnali]", 1, "segnale,    2700,   2, 4, 0,  0, 0,    2,  2,0,0, 0"},
      {false, "[segnali]", std::nullopt, "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0"},
      {false, "[segnali]", std::nullopt, "segnale,   59700,   2, 2, 3,  0, 1,    2,  2,1,0, 255"},
  };
  const std::vector<sezione> sl = sezioni_di(linea()), st = sezioni_di(treno());
  for (const caso& c : casi) {
    const std::vector<riga_fonte>& righe = trova(c.di_linea ? sl : st, c.sezione).righe;
    std::vector<std::string> testi;
    for (const riga_fonte& r : righe) testi.push_back(r.testo);
    if (!c.indice) {
      EXPECT_NE(std::find(testi.begin(), testi.end(), c.riga), testi.end()) << c.riga;
      continue;
    }
    const int i = *c.indice < 0 ? static_cast<int>(testi.size()) + *c.indice : *c.indice;
    ASSERT_TRUE(i >= 0 && i < static_cast<int>(testi.size())) << c.riga;
    EXPECT_EQ(testi[static_cast<std::size_t>(i)], c.riga);
  }
}

// ---------------------------------------------------------------------------
// Structure, counts and value ranges of every section with records.

enum class tipo_vincolo {
  intervallo,  // every value within [valori[0], valori[1]]
  insieme,     // the values met are exactly these, each at least once
  vuoto,       // nothing but blanks between the commas
  didascalia,  // "(CAPTION IN CAPITALS)" written after three blanks
  nome,        // capitals, blanks and full stops
};

struct vincolo {
  std::size_t da, a;  // fields da..a (1-based, after the keyword)
  tipo_vincolo tipo;
  std::vector<std::int64_t> valori;
};

struct regola_sezione {
  bool di_linea;
  std::string_view titolo;
  std::size_t righe;
  std::string_view parola;     // the keyword, or its beginning for the curves
  std::size_t campi;           // items after the keyword
  std::int64_t prima, ultima;  // positions (field 1) of the first and the last row
  std::vector<vincolo> vincoli;
};

bool maiuscole(std::string_view s, std::string_view ammessi) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [&](char c) {
    return (c >= 'A' && c <= 'Z') || ammessi.find(c) != std::string_view::npos;
  });
}

TEST(ScenarioFonti, SectionsKeepTheirCountsFieldsAndRanges) {
  using enum tipo_vincolo;
  const regola_sezione regole[] = {
      {true, "[curve]", 54, "curva", 2, 1850, 99800, {{2, 2, insieme, {150, 250, 300, 450}}}},
      {true, "[pendenze]", 17, "pendenza", 2, 0, 100850, {{2, 2, intervallo, {-30, 28}}}},
      {true,
       "[montagne]",
       13,
       "montagna",
       3,
       3000,
       67000,
       {{1, 2, intervallo, {3000, 69850}}, {3, 3, insieme, {11, 12}}}},
      {true,
       "[cartelli]",
       32,
       "indicatori_vmax",
       9,
       800,
       106050,
       {{2, 4, intervallo, {30, 155}},
        {5, 5, insieme, {0, 1, 2}},
        {6, 8, vuoto, {}},
        {9, 9, insieme, {0}}}},
      {true, "[indicazioni]", 4, "cartello_indicatore", 2, 2800, 11100, {{2, 2, didascalia, {}}}},
      {false, "[aderenze]", 3, "aderenza", 2, 0, 49500, {}},
      {false, "[vel_limite]", 10, "velocita", 2, 0, 107000, {{2, 2, intervallo, {30, 100}}}},
      {false,
       "[stazioni]",
       24,
       "stazione",
       17,
       0,
       108000,
       {{1, 1, intervallo, {0, 108000}},
        {2, 2, insieme, {3, 4, 6, 12, 22, 25, 28}},
        {3, 3, insieme, {400, 500, 600, 700, 800, 1000}},
        {4, 5, insieme, {0, 1}},
        {6, 6, insieme, {0}},
        {7, 7, insieme, {0, 1, 2, 4}},
        {8, 9, insieme, {0, 1}},
        {10, 10, insieme, {0, 2, 4}},
        {11, 11, insieme, {0, 1, 2, 4}},
        {12, 12, insieme, {0, 1, 2}},
        {13, 13, insieme, {0, 1, 30, 60, 110}},
        {14, 14, insieme, {0, 1, 2, 11}},
        {15, 15, insieme, {0, 2, 16, 19, 30, 36, 55}},
        {16, 16, insieme, {0}},
        {17, 17, nome, {}}}},
      {false, "[rallentamenti]", 1, "rallentamento", 6, 75000, 75000, {}},
      {false,
       "[segnali]",
       43,
       "segnale",
       11,
       1550,
       106150,
       {{2, 2, insieme, {1, 2}}, {11, 11, insieme, {0, 255}}}},
  };
  const std::vector<sezione> sl = sezioni_di(linea()), st = sezioni_di(treno());
  for (const regola_sezione& r : regole) {
    SCOPED_TRACE(r.titolo);
    const std::vector<riga_fonte>& righe = trova(r.di_linea ? sl : st, r.titolo).righe;
    ASSERT_EQ(righe.size(), r.righe);
    std::int64_t precedente = -1;
    for (const riga_fonte& riga : righe) {
      EXPECT_TRUE(riga.voci[0].starts_with(r.parola)) << riga.testo;
      ASSERT_EQ(riga.voci.size(), r.campi + 1) << riga.testo;
      EXPECT_GT(riga.campo(1), precedente) << "positions must ascend: " << riga.testo;
      precedente = riga.campo(1);
    }
    EXPECT_EQ(righe.front().campo(1), r.prima);
    EXPECT_EQ(righe.back().campo(1), r.ultima);
    for (const vincolo& v : r.vincoli) {
      for (std::size_t campo = v.da; campo <= v.a; ++campo) {
        std::set<std::int64_t> visti;
        for (const riga_fonte& riga : righe) {
          const std::string& voce = riga.voci[campo];
          switch (v.tipo) {
            case intervallo:
              EXPECT_TRUE(riga.campo(campo) >= v.valori[0] && riga.campo(campo) <= v.valori[1])
                  << "field " << campo << ": " << riga.testo;
              break;
            case insieme:
              visti.insert(riga.campo(campo));
              break;
            case vuoto:
              EXPECT_EQ(voce, "") << riga.testo;
              break;
            case didascalia:
              EXPECT_TRUE(voce.size() > 2 && voce.front() == '(' && voce.back() == ')' &&
                          maiuscole(voce.substr(1, voce.size() - 2), " ."))
                  << riga.testo;
              EXPECT_NE(riga.testo.find(",   " + voce), std::string::npos) << riga.testo;
              break;
            case nome:
              EXPECT_TRUE(maiuscole(voce, " .")) << riga.testo;
              break;
          }
        }
        if (v.tipo == insieme) {
          EXPECT_EQ(visti, std::set<std::int64_t>(v.valori.begin(), v.valori.end()))
              << "values of field " << campo;
        }
      }
    }
  }
}

TEST(ScenarioFonti, CurvesTurnBothWaysWithoutOverlapping) {
  const std::vector<sezione> sezioni = sezioni_di(linea());
  const std::vector<riga_fonte>& curve = trova(sezioni, "[curve]").righe;
  std::map<std::string, int> parole;
  std::map<std::int64_t, int> lunghezze;
  int sinistre = 0, destre = 0;
  for (std::size_t i = 0; i < curve.size(); ++i) {
    const std::string& k = curve[i].voci[0];
    ASSERT_EQ(k.size(), 7u) << k;
    EXPECT_TRUE(k[6] >= '1' && k[6] <= '6') << k;
    sinistre += k.starts_with("curvas");
    destre += k.starts_with("curvad");
    ++parole[k];
    ++lunghezze[curve[i].campo(2)];
    if (i > 0) {
      EXPECT_LT(curve[i - 1].campo(1) + curve[i - 1].campo(2), curve[i].campo(1))
          << "a curve begins before the previous one ends: " << curve[i].testo;
    }
  }
  EXPECT_EQ(sinistre, 29);
  EXPECT_EQ(destre, 25);
  EXPECT_EQ(parole.size(), 12u);
  EXPECT_EQ(lunghezze, (std::map<std::int64_t, int>{{150, 1}, {250, 1}, {300, 51}, {450, 1}}));
}

TEST(ScenarioFonti, MountainStretchesDoNotOverlap) {
  const std::vector<sezione> sezioni = sezioni_di(linea());
  const std::vector<riga_fonte>& montagne = trova(sezioni, "[montagne]").righe;
  int tipo_11 = 0, tipo_12 = 0;
  for (std::size_t i = 0; i < montagne.size(); ++i) {
    const riga_fonte& m = montagne[i];
    EXPECT_LT(m.campo(1), m.campo(2)) << m.testo;
    if (i > 0) {
      EXPECT_LT(montagne[i - 1].campo(2), m.campo(1)) << m.testo;
    }
    tipo_11 += m.campo(3) == 11;
    tipo_12 += m.campo(3) == 12;
  }
  EXPECT_EQ(montagne.back().campo(2), 69850);
  EXPECT_EQ(tipo_11, 7);
  EXPECT_EQ(tipo_12, 6);
}

// Boards stand alone with no stripes, or in threes with 2, 1, 0 stripes: the
// warnings before a lower speed, all three showing the speeds to come.
TEST(ScenarioFonti, SpeedBoardsStandAloneOrInWarningGroups) {
  const std::vector<sezione> sezioni = sezioni_di(linea());
  const std::vector<riga_fonte>& cartelli = trova(sezioni, "[cartelli]").righe;
  int singoli = 0, gruppi = 0;
  for (std::size_t i = 0; i < cartelli.size();) {
    const riga_fonte& c = cartelli[i];
    EXPECT_TRUE(c.campo(2) <= c.campo(3) && c.campo(3) <= c.campo(4)) << c.testo;
    if (c.campo(5) == 0) {
      ++singoli;
      ++i;
      continue;
    }
    ASSERT_LE(i + 3, cartelli.size()) << c.testo;
    ++gruppi;
    for (std::size_t k = 0; k < 3; ++k) {
      const riga_fonte& g = cartelli[i + k];
      EXPECT_EQ(g.campo(5), static_cast<std::int64_t>(2 - k)) << g.testo;
      for (std::size_t v = 2; v <= 4; ++v) EXPECT_EQ(g.campo(v), c.campo(v)) << g.testo;
      if (k > 0) {
        const std::int64_t passo = g.campo(1) - cartelli[i + k - 1].campo(1);
        EXPECT_TRUE(passo >= 230 && passo <= 500) << g.testo;
      }
    }
    i += 3;
  }
  EXPECT_EQ(singoli, 8);
  EXPECT_EQ(gruppi, 8);
}

// Distant signal (1), then its home signal (2) 1100 to 2050 m further on;
// one home signal stands alone at the end.
TEST(ScenarioFonti, SignalsComeInPairsAndOneCarriesTheLongTime) {
  const std::vector<sezione> sezioni = sezioni_di(treno());
  const std::vector<riga_fonte>& segnali = trova(sezioni, "[segnali]").righe;
  ASSERT_EQ(segnali.size(), 43u);
  for (std::size_t i = 0; i + 1 < segnali.size(); i += 2) {
    EXPECT_EQ(segnali[i].campo(2), 1) << segnali[i].testo;
    EXPECT_EQ(segnali[i + 1].campo(2), 2) << segnali[i + 1].testo;
    const std::int64_t distanza = segnali[i + 1].campo(1) - segnali[i].campo(1);
    EXPECT_TRUE(distanza >= 1100 && distanza <= 2050) << segnali[i + 1].testo;
  }
  EXPECT_EQ(segnali.back().campo(2), 2);
  EXPECT_EQ(std::count_if(segnali.begin(), segnali.end(),
                          [](const riga_fonte& s) { return s.campo(11) == 255; }),
            1);
}

}  // namespace
}  // namespace compattatore
