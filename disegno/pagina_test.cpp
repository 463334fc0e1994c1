// The route page read back as XML: what it draws must be what the model holds.
#include "disegno/pagina.h"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "disegno/pianta.h"
#include "model/descrizione_campi.h"
#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/pagina_xml.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

using prove::pagina_letta;
using prove::punti_svg;
using json = nlohmann::json;

struct compattato {
  modello m;
  risultato_compattazione r;
  std::string pagina;
};

// The model as `disegna` leaves it, and its page; `messaggi` are handed on.
compattato compatta_e_disegna(const std::optional<std::string>& linea,
                              const std::optional<std::string>& servizio,
                              contenuto_pagina contenuto = {}) {
  compattato c;
  c.m.nome_linea = "L";
  c.m.numero_treno = "T";
  fonte_memoria fonte(linea, servizio);
  c.r = compatta(c.m, fonte, 1);
  c.pagina = pagina_percorso(c.m, contenuto);
  return c;
}

pagina_letta leggi(const std::string& pagina) {
  pagina_letta p = pagina_letta::da_xml(pagina);
  EXPECT_TRUE(p.valida()) << p.errori();
  return p;
}

json dati(const pagina_letta& p) {
  return json::parse(pagina_letta::testo(p.per_id("dati")));
}

class PaginaIncorporata : public ::testing::Test {
 protected:
  // As disegna draws it: with the records of every cell.
  static void SetUpTestSuite() {
    c_ = new compattato();
    c_->m.nome_linea = "Quarve_Lentra";
    c_->m.numero_treno = "58213";
    fonte_memoria fonte(prove::linea_incorporata(), prove::servizio_incorporato());
    c_->r = compatta(c_->m, fonte, 1);
    ASSERT_EQ(c_->r.errore, 0);
    contenuto_pagina contenuto;
    contenuto.provenienza = [](std::int32_t k) { return origini_in_parole(c_->m, k); };
    c_->pagina = pagina_percorso(c_->m, contenuto);
  }
  static void TearDownTestSuite() {
    delete c_;
    c_ = nullptr;
  }
  static inline compattato* c_ = nullptr;
};

TEST_F(PaginaIncorporata, ReadsAsXmlWithOneMarkPerStationOfTheTable) {
  const pagina_letta p = leggi(c_->pagina);
  ASSERT_TRUE(p.valida());
  const auto righe = p.cerca(p.per_id("stazioni"), "tr", "riga_stazione");
  const auto segni = p.cerca(p.per_id("pianta"), "g", "stazione");
  const auto nomi_profilo = p.cerca(p.per_id("profilo"), "text", "nome_stazione");
  ASSERT_EQ(righe.size(), 24u);
  ASSERT_EQ(segni.size(), righe.size());
  ASSERT_EQ(nomi_profilo.size(), righe.size());
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const std::string nome = pagina_letta::testo(p.cerca(righe[i], "td", "")[1]);
    EXPECT_EQ(pagina_letta::testo(p.cerca(segni[i], "text", "")[0]), nome);
    EXPECT_EQ(pagina_letta::testo(nomi_profilo[i]), nome);
    EXPECT_EQ(pagina_letta::attributo(righe[i], "data-metri"),
              std::to_string(c_->m.tabella_servizio[i + 1].valore_3));
  }
  EXPECT_EQ(pagina_letta::testo(p.cerca(righe[0], "td", "")[1]), "QUARVE");
  // Station 1's stop cell and its time, as the table shows them.
  EXPECT_EQ(pagina_letta::testo(p.cerca(righe[0], "td", "")[5]), "9 (450 m)");
  EXPECT_EQ(pagina_letta::testo(p.cerca(righe[0], "td", "")[6]), "0:55:00");
  // Nothing to report: no list of messages.
  EXPECT_EQ(p.per_id("messaggi"), nullptr);
}

TEST_F(PaginaIncorporata, PlanStartsAndEndsOnTheTracksFirstAndLastCoordinates) {
  const pagina_letta p = leggi(c_->pagina);
  const auto linea = p.per_id("tracciato");
  ASSERT_NE(linea, nullptr);
  const auto punti = punti_svg(pagina_letta::attributo(linea, "points"));
  ASSERT_GE(punti.size(), 2u);
  // The track file's last coordinates are those of metre lunghezza_griglia - 2:
  // the last two metres stay empty.
  const tracciato_piano& t = c_->m.tracciato;
  const std::int32_t ultimo = c_->m.lunghezza_griglia - 2;
  ASSERT_EQ(t.tipo(ultimo, 0), tipo_elemento::reale);
  ASSERT_EQ(t.tipo(ultimo + 1, 0), tipo_elemento::vuoto);
  // The plan draws y turned (its y grows downwards), to a tenth of a metre.
  EXPECT_NEAR(punti.front().x, t.valore(0, 0), 0.05);
  EXPECT_NEAR(punti.front().y, -t.valore(0, 1), 0.05);
  EXPECT_NEAR(punti.back().x, t.valore(ultimo, 0), 0.05);
  EXPECT_NEAR(punti.back().y, -t.valore(ultimo, 1), 0.05);
  // A 113 km track with 54 curves needs few points, each with its metre.
  const std::string metri = pagina_letta::attributo(linea, "data-metri");
  EXPECT_LT(punti.size(), 3000u);
  EXPECT_EQ(metri.substr(0, 2), "0 ");
  EXPECT_TRUE(metri.ends_with(" " + std::to_string(ultimo)));
  // Beyond the route's end the track is drawn again, lighter, up to its end.
  const auto oltre = punti_svg(pagina_letta::attributo(p.per_id("oltre_fine"), "points"));
  ASSERT_FALSE(oltre.empty());
  EXPECT_NEAR(oltre.front().x, t.valore(106000, 0), 0.05);
  EXPECT_NEAR(oltre.back().x, punti.back().x, 1e-9);
}

TEST_F(PaginaIncorporata, ProfileAltitudeEndsAtTheSumOfTheGradients) {
  const pagina_letta p = leggi(c_->pagina);
  const auto punti = punti_svg(pagina_letta::attributo(p.per_id("quota"), "points"));
  ASSERT_GE(punti.size(), 2u);
  double somma = 0;
  for (const cella& c : c_->m.celle) somma += pendenza_per_mille(c.pendenza) * 50 / 1000.0;
  EXPECT_EQ(punti.front().x, 0);
  EXPECT_EQ(punti.front().y, 0);
  EXPECT_EQ(punti.back().x, static_cast<double>(c_->m.celle.size()) * 50);
  // The band's y grows downwards: altitude is -y.
  EXPECT_NEAR(-punti.back().y, somma, 0.005);
  EXPECT_NE(somma, 0);
}

// The readout is fed from the page's data: decoded again, it must give every
// cell's fields as model/descrizione_campi.h names them.
TEST_F(PaginaIncorporata, ReadoutDataGivesBackEveryCell) {
  const json d = dati(leggi(c_->pagina));
  const std::vector<cella>& celle = c_->m.celle;
  ASSERT_EQ(d["celle"], celle.size());
  const json& campi = d["tratto"]["campi"];
  for (std::size_t i = 0; i < campi.size(); ++i) {
    const json& serie = d["tratto"]["tratti"][i];
    std::size_t j = 0;
    for (std::size_t k = 0; k < celle.size(); ++k) {
      while (j + 2 < serie.size() && serie[j + 2] <= k) j += 2;
      const campo_descritto atteso = campi_tratto(celle[k])[i];
      ASSERT_EQ(campi[i][0], atteso.nome);
      ASSERT_EQ(serie[j + 1], atteso.valore) << atteso.nome << " in cell " << k;
    }
  }
  std::size_t con_evento = 0;
  for (const cella& c : celle) con_evento += c.tipo_cella != cella_vuota;
  ASSERT_EQ(d["eventi"].size(), con_evento);
  for (const json& e : d["eventi"]) {
    const cella& c = celle[e[0].get<std::size_t>()];
    const json& schema = d["schemi"][e[1].get<std::size_t>()];
    EXPECT_EQ(schema[0], nome_tipo_cella(c.tipo_cella));
    const std::vector<campo_descritto> attesi = campi_evento(c);
    ASSERT_EQ(schema[1].size(), attesi.size());
    for (std::size_t i = 0; i < attesi.size(); ++i) {
      EXPECT_EQ(schema[1][i][0], attesi[i].nome);
      EXPECT_EQ(e[2 + i], attesi[i].valore) << "cell " << e[0] << " " << attesi[i].nome;
    }
    // A board carries its text, a stop its station's name.
    if (c.tipo_cella == cella_cartello || c.tipo_cella == cella_fermata) {
      EXPECT_EQ(e[2 + attesi.size()], c_->m.tabella_servizio[c.dato_1].testo);
    }
  }
  // Every cell's records, from their runs.
  const json& testi = d["provenienza"]["testi"];
  const json& tratti = d["provenienza"]["tratti"];
  std::size_t j = 0;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    while (j + 2 < tratti.size() && tratti[j + 2] <= k) j += 2;
    std::vector<std::string> lette;
    for (const json& i : tratti[j + 1]) lette.push_back(testi[i.get<std::size_t>()]);
    ASSERT_EQ(lette, origini_in_parole(c_->m, static_cast<std::int64_t>(k))) << "cell " << k;
  }
}

// A straight start, a right curve, a straight, a left curve of the same
// degree and length, a straight end: the plan turns right, then back left to
// the first heading.
TEST(Pagina, CurvesLeftAndRightTurnThePlanEachWay) {
  const std::string linea = prove::con(prove::linea_valida, "curvad5,  1850,  300",
                                       "curvad4,  2000,  400\r\ncurvas4,  5000,  400");
  const compattato c = compatta_e_disegna(linea, prove::servizio_valido);
  ASSERT_EQ(c.r.errore, 0);
  const pagina_letta p = leggi(c.pagina);
  const auto punti = punti_svg(pagina_letta::attributo(p.per_id("tracciato"), "points"));
  std::vector<double> metri;
  std::istringstream in(pagina_letta::attributo(p.per_id("tracciato"), "data-metri"));
  for (double m; in >> m;) metri.push_back(m);
  ASSERT_EQ(metri.size(), punti.size());
  // The heading of the drawn line at metre m, as a unit vector.
  const auto direzione = [&](double m) {
    std::size_t i = 0;
    while (i + 2 < metri.size() && metri[i + 1] <= m) ++i;
    const double dx = punti[i + 1].x - punti[i].x, dy = punti[i + 1].y - punti[i].y;
    const double l = std::hypot(dx, dy);
    return punto_pianta{0, dx / l, dy / l};
  };
  const auto svolta = [](const punto_pianta& a, const punto_pianta& b) {
    return a.x * b.y - a.y * b.x;  // > 0: clockwise on the screen, a right turn
  };
  const punto_pianta partenza = direzione(1000), dopo_destra = direzione(3500),
                     arrivo = direzione(8000);
  // Up the screen at the start: the track's first step is along y, drawn turned.
  EXPECT_NEAR(partenza.x, 0, 1e-3);
  EXPECT_NEAR(partenza.y, -1, 1e-3);
  // 400 m at 0.001 a metre: about 0.4 radians each way.
  EXPECT_NEAR(svolta(partenza, dopo_destra), std::sin(0.4), 0.01);
  EXPECT_NEAR(svolta(dopo_destra, arrivo), -std::sin(0.4), 0.01);
  EXPECT_NEAR(svolta(partenza, arrivo), 0, 1e-3);
  EXPECT_GT(dopo_destra.x, 0) << "a right curve heads right of the start";
}

TEST(Pagina, ScenarioWithAnErrorIsDrawnAsFarAsReadWithItsMessagesOnTop) {
  // A second signal in a cell the first one holds: error 16 at 2710 m, after
  // the stations were read.
  const std::string servizio =
      prove::con(prove::servizio_valido, "[fine]",
                 "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[fine]");
  contenuto_pagina contenuto;
  contenuto.messaggi = {{"L_T-.txt", 5, "parola chiave sconosciuta \"segnlae\"", false},
                        {"", 0, " Errore n. 16\nPosizione: 2710 m", true}};
  const compattato c = compatta_e_disegna(prove::linea_valida, servizio, contenuto);
  ASSERT_EQ(c.r.errore, 16);
  const pagina_letta p = leggi(c.pagina);
  const auto messaggi = p.cerca(p.per_id("messaggi"), "li", "");
  ASSERT_EQ(messaggi.size(), 2u);
  EXPECT_EQ(pagina_letta::attributo(messaggi[0], "class"), "avviso");
  EXPECT_EQ(pagina_letta::testo(messaggi[0]), "L_T-.txt:5: parola chiave sconosciuta \"segnlae\"");
  EXPECT_EQ(pagina_letta::attributo(messaggi[1], "class"), "errore");
  EXPECT_EQ(pagina_letta::testo(messaggi[1]), " Errore n. 16\nPosizione: 2710 m");
  EXPECT_NE(
      pagina_letta::testo(p.cerca(p.per_id("messaggi"), "h2", "")[0]).find("1 errore, 1 avviso"),
      std::string::npos);
  // What was read is drawn: both stations, the signals before the refused one.
  EXPECT_EQ(p.cerca(p.per_id("stazioni"), "tr", "riga_stazione").size(), 2u);
  EXPECT_EQ(p.cerca(p.per_id("pianta"), "g", "stazione").size(), 2u);
  EXPECT_NE(p.per_id("quota"), nullptr);
  // And where the error was found is marked on both drawings.
  const auto errore = p.cerca(p.per_id("pianta"), "g", "errore");
  ASSERT_EQ(errore.size(), 1u);
  EXPECT_EQ(pagina_letta::testo(errore[0]), "errore 16");
  EXPECT_EQ(p.cerca(p.per_id("profilo"), "path", "errore_profilo").size(), 1u);
  // No provenance was given: the readout says it has none.
  EXPECT_TRUE(dati(p)["provenienza"].is_null());
}

TEST(Pagina, NothingReadStillGivesAPageWithTheError) {
  const compattato c = compatta_e_disegna(std::nullopt, prove::servizio_valido,
                                          {{{"", 0, " Errore n. 101", true}}, {}});
  ASSERT_EQ(c.r.errore, 101);
  const pagina_letta p = leggi(c.pagina);
  EXPECT_EQ(p.per_id("pianta"), nullptr);
  EXPECT_EQ(p.per_id("profilo"), nullptr);
  EXPECT_EQ(p.cerca(p.per_id("stazioni"), "tr", "riga_stazione").size(), 0u);
  EXPECT_EQ(pagina_letta::testo(p.cerca(p.per_id("messaggi"), "li", "errore").at(0)),
            " Errore n. 101");
  EXPECT_EQ(dati(p)["celle"], 0);
}

// Names are Windows-1252 bytes and may hold anything but a comma: the page is
// UTF-8 and still reads as XML.
TEST(Pagina, TextsAreWrittenAsUtf8AndEscaped) {
  const std::string nome =
      "S.MAR\xCD"
      "A & <FIUME> \"\x80\"";
  const std::string atteso =
      "S.MAR\xC3\x8D"
      "A & <FIUME> \"\xE2\x82\xAC\"";
  const std::string servizio = prove::con(prove::servizio_valido, "SECONDA", nome);
  contenuto_pagina contenuto;
  contenuto.messaggi = {{"L_T-.txt", 3, "parola \"</script>\" \x81", false}};
  const compattato c = compatta_e_disegna(prove::linea_valida, servizio, contenuto);
  ASSERT_EQ(c.r.errore, 0);
  const pagina_letta p = leggi(c.pagina);
  ASSERT_TRUE(p.valida());
  const auto righe = p.cerca(p.per_id("stazioni"), "tr", "riga_stazione");
  ASSERT_EQ(righe.size(), 2u);
  EXPECT_EQ(pagina_letta::testo(p.cerca(righe[1], "td", "")[1]), atteso);
  EXPECT_EQ(pagina_letta::testo(p.cerca(p.per_id("pianta"), "text", "nome")[3]), atteso);
  EXPECT_EQ(dati(p)["stazioni"][1][0], atteso);
  // A byte with no character in the code page becomes U+FFFD.
  EXPECT_EQ(pagina_letta::testo(p.cerca(p.per_id("messaggi"), "li", "")[0]),
            "L_T-.txt:3: parola \"</script>\" \xEF\xBF\xBD");
  // Nothing in the data can close its script element early.
  const std::string& pagina = c.pagina;
  const std::size_t dati_inizio = pagina.find("id=\"dati\">");
  const std::size_t dati_fine = pagina.find("</script>", dati_inizio);
  EXPECT_EQ(pagina.substr(dati_inizio, dati_fine - dati_inizio).find_first_of("<&"),
            std::string::npos);
}

// File names, and the line and the train that name them, are the system's
// text, here UTF-8: onto the page as they are, only escaped, where the
// scenario's own names are read as Windows-1252.
TEST(Pagina, FileNamesAndTheLineAreTheSystemsText) {
  const std::string sostituto = "\xEF\xBF\xBD";
  const struct {
    std::string nome;
    std::string atteso;
  } casi[] = {
      {"x_\xC3\xA0", "x_\xC3\xA0"},
      {"\xE2\x82\xAC\xF0\x9F\x9A\x82 a&<b>\"", "\xE2\x82\xAC\xF0\x9F\x9A\x82 a&<b>\""},
      // Not UTF-8: a byte of another code page, a sequence cut short, an
      // overlong form, half of a UTF-16 pair; and a control character.
      {"x_\xE0", "x_" + sostituto},
      {"x\xC3", "x" + sostituto},
      {"\xC0\xAF", sostituto + sostituto},
      {"\xED\xA0\x80", sostituto + sostituto + sostituto},
      {"a\x01\x7F\xC2\x85", "a" + sostituto + sostituto + sostituto},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.atteso);
    modello m;
    m.nome_linea = c.nome;
    m.numero_treno = "T";
    fonte_memoria fonte(prove::linea_valida, prove::servizio_valido);
    ASSERT_EQ(compatta(m, fonte, 1).errore, 0);
    contenuto_pagina contenuto;
    contenuto.messaggi = {{c.nome + "/L_T-.txt", 3, "parola in " + c.nome, false}};
    contenuto.provenienza = [&c](std::int32_t) {
      return std::vector<std::string>{c.nome + "/L_T-.txt:16: segnale"};
    };
    const pagina_letta p = leggi(pagina_percorso(m, contenuto));
    ASSERT_TRUE(p.valida());
    EXPECT_EQ(pagina_letta::testo(p.cerca(p.radice(), "h1", "").at(0)),
              c.atteso + " \u00b7 treno T");
    EXPECT_EQ(pagina_letta::testo(p.cerca(p.per_id("messaggi"), "li", "").at(0)),
              c.atteso + "/L_T-.txt:3: parola in " + c.atteso);
    EXPECT_EQ(dati(p)["provenienza"]["testi"], json({c.atteso + "/L_T-.txt:16: segnale"}));
  }
}

TEST(Pagina, ProvenanceOfTheCellsGoesToTheReadout) {
  contenuto_pagina contenuto;
  contenuto.provenienza = [](std::int32_t cella) -> std::vector<std::string> {
    if (cella == 32) return {"L_T-.txt:17 segnale, 1550", "L_linea.txt:13 pendenza, 1900"};
    return {};
  };
  const compattato c = compatta_e_disegna(prove::linea_valida, prove::servizio_valido, contenuto);
  const json righe = dati(leggi(c.pagina))["provenienza"];
  ASSERT_TRUE(righe.is_object());
  // Each text once; the cells in runs that share their texts.
  EXPECT_EQ(righe["testi"], json({"L_T-.txt:17 segnale, 1550", "L_linea.txt:13 pendenza, 1900"}));
  EXPECT_EQ(righe["tratti"], json::parse("[0, [], 32, [0, 1], 33, []]"));
}

// The longest route the reader takes, winding all the way, with a signal
// every kilometre: the page stays small, because the plan keeps only the
// points a drawing needs.
TEST(Pagina, LongestWindingRouteGivesASmallPage) {
  std::string linea = prove::con(prove::linea_valida, "lunghezza percorso,    10000",
                                 "lunghezza percorso,    1000000");
  std::string curve;
  for (int inizio = 1000, k = 0; inizio < 998000; inizio += 700, ++k)
    curve += std::string(k % 2 == 0 ? "curvad" : "curvas") + std::to_string(1 + k % 6) + ",  " +
             std::to_string(inizio) + ",  300\r\n";
  linea = prove::con(linea, "curvad5,  1850,  300\r\n", curve);
  std::string segnali;
  for (int posizione = 4000; posizione < 998000; posizione += 1000)
    segnali +=
        "segnale,    " + std::to_string(posizione) + ",   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n";
  std::string servizio = prove::con(
      prove::servizio_valido, "segnale,    2700,   2, 4, 0,  0, 0,    2,  2,0,0, 0\r\n", segnali);
  const compattato c = compatta_e_disegna(linea, servizio);
  ASSERT_EQ(c.r.errore, 0);
  EXPECT_LE(c.pagina.size(), 2u * 1024 * 1024);
  const pagina_letta p = leggi(c.pagina);
  const auto punti = punti_svg(pagina_letta::attributo(p.per_id("tracciato"), "points"));
  EXPECT_LT(punti.size(), 100000u) << "of 1007000 metres";
  EXPECT_EQ(p.cerca(p.per_id("profilo"), "path", "segnali_profilo").size(), 1u);
}

}  // namespace
}  // namespace compattatore
