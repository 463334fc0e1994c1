#include "ispezione/mostra.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "tests/compattazione_di_prova.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

using prove::compatta_incorporato;

// A line of the text form taken apart again: its head ("cella 349, 17450-17500
// m, segnale") and its fields by name, values as they are written.
struct fatti_riga {
  std::string testa;
  std::map<std::string, std::string> campi;
  bool operator==(const fatti_riga&) const = default;
};

std::vector<std::string> dividi(const std::string& t, const std::string& sep) {
  std::vector<std::string> parti;
  std::size_t da = 0;
  for (std::size_t p; (p = t.find(sep, da)) != std::string::npos; da = p + sep.size())
    parti.push_back(t.substr(da, p - da));
  parti.push_back(t.substr(da));
  return parti;
}

fatti_riga dal_testo(const std::string& riga) {
  fatti_riga f;
  const std::size_t due_punti = riga.find(": ");
  f.testa = riga.substr(0, due_punti);
  if (due_punti == std::string::npos) return f;
  // "nome valore [unita]": the value is the last word that is a number.
  static const std::regex campo(R"(^(.+) (-?[0-9][0-9.]*)( [^0-9 ].*)?$)");
  for (const std::string& gruppo : dividi(riga.substr(due_punti + 2), "; "))
    for (const std::string& c : dividi(gruppo, ", ")) {
      std::smatch m;
      EXPECT_TRUE(std::regex_match(c, m, campo)) << c << " in " << riga;
      f.campi[m[1]] = m[2];
    }
  return f;
}

// The same line built from the JSON: its head from oggetto, primo, ultimo,
// metri, genere and testo, its values written as the text writes them.
fatti_riga dal_json(const nlohmann::json& r, const nlohmann::json& unita) {
  fatti_riga f;
  const std::int64_t primo = r["primo"];
  const std::int64_t ultimo = r["ultimo"];
  f.testa = r["oggetto"].get<std::string>() + " " + std::to_string(primo);
  if (ultimo != primo) f.testa += "-" + std::to_string(ultimo);
  if (r.contains("metri"))
    f.testa += ", " + std::to_string(r["metri"][0].get<std::int64_t>()) + "-" +
               std::to_string(r["metri"][1].get<std::int64_t>()) + " m";
  if (r.contains("genere")) f.testa += ", " + r["genere"].get<std::string>();
  if (r.contains("testo")) f.testa += " \"" + r["testo"].get<std::string>() + "\"";
  for (const auto& [gruppo, campi] : r.items()) {
    if (!campi.is_object()) continue;
    for (const auto& [nome, v] : campi.items()) {
      std::string valore;
      if (v.is_number_integer()) {
        const std::int64_t i = v;
        valore = std::to_string(i);
        if (unita.value(nome, "") == "s") {
          char orario[32];
          std::snprintf(orario, sizeof orario, "%lld.%02lld.%02lld",
                        static_cast<long long>(i / 3600), static_cast<long long>(i / 60 % 60),
                        static_cast<long long>(i % 60));
          valore = orario;
        }
      } else {
        valore = std::to_string(v.get<double>());  // compared as numbers below
      }
      f.campi[nome] = valore;
    }
  }
  return f;
}

// Reals are written with a fixed number of decimals in the text and in full
// in the JSON: they agree to the last decimal written.
bool stessi_fatti(const fatti_riga& testo, const fatti_riga& json) {
  if (testo.testa != json.testa || testo.campi.size() != json.campi.size()) return false;
  for (const auto& [nome, v] : testo.campi) {
    const auto j = json.campi.find(nome);
    if (j == json.campi.end()) return false;
    if (v == j->second) continue;
    const std::size_t punto = v.find('.');
    if (punto == std::string::npos || std::count(v.begin(), v.end(), '.') != 1) return false;
    const double tolleranza = 0.5 * std::pow(10.0, -static_cast<int>(v.size() - punto - 1));
    if (std::fabs(std::stod(v) - std::stod(j->second)) > tolleranza * 1.0001) return false;
  }
  return true;
}

TEST(Mostra, JsonParsesBackToTheFactsOfTheText) {
  const prove::immagini_build b = compatta_incorporato();
  const std::vector<cella> celle = leggi_griglia(b.griglia);
  const tabella_letta tabella = leggi_tabella(b.tabella);
  const tracciato_letto tracciato = leggi_tracciato(b.tracciato);
  opzioni_mostra passo;
  passo.passo = 1000;
  for (const auto& file : std::vector<std::vector<file_mostrato>>{
           {mostra_griglia(celle, &tabella, {}), mostra_tabella(tabella, &celle)},
           {mostra_tabella(tabella, nullptr)},
           {mostra_tracciato(tracciato, {})},
           {mostra_tracciato(tracciato, passo)}}) {
    const nlohmann::json json = nlohmann::json::parse(json_mostrato(file));
    ASSERT_EQ(json.size(), file.size());
    std::vector<std::string> testo = prove::righe_uscita(testo_mostrato(file));
    for (std::size_t i = 0; i < json.size(); ++i) {
      const nlohmann::json& f = json[i];
      // The text's lines of this file: a file line when there are several,
      // the summary, the notes, then the rows.
      if (file.size() > 1) {
        ASSERT_EQ(testo.front(), "file " + f["file"].get<std::string>());
        testo.erase(testo.begin());
      }
      const fatti_riga sommario = dal_testo(testo.front());
      EXPECT_EQ(sommario.testa, f["genere"].get<std::string>());
      EXPECT_EQ(sommario.campi.size(), f["sommario"].size());
      testo.erase(testo.begin());
      for (const auto& nota : f["note"]) {
        EXPECT_EQ(testo.front(), "nota: " + nota.get<std::string>());
        testo.erase(testo.begin());
      }
      ASSERT_GE(testo.size(), f["righe"].size());
      for (const nlohmann::json& r : f["righe"]) {
        const fatti_riga dal_t = dal_testo(testo.front());
        const fatti_riga dal_j = dal_json(r, f["unita"]);
        EXPECT_TRUE(stessi_fatti(dal_t, dal_j)) << testo.front() << "\n" << r.dump();
        testo.erase(testo.begin());
      }
    }
    EXPECT_TRUE(testo.empty()) << testo.front();
  }
}

// Cells with an event, an approach code or a mark have their own line; runs
// of cells with the same stretch values fold into one; empty cells are left
// out; --tutte and --celle change that.
TEST(Mostra, GridFoldsRunsOfStretchValues) {
  std::vector<cella> celle(12);
  for (std::size_t k = 0; k < 9; ++k) {
    celle[k].velocita_linea = 15;
    celle[k].pendenza = 100;
    celle[k].aderenza = 110;
  }
  celle[1].dato_1 = 5121;
  celle[4].avviso = 81;
  celle[6].pendenza = 112;
  celle[7].pendenza = 112;
  celle[8].pendenza = 112;
  celle[8].tipo_cella = cella_segnale;
  celle[8].dato_4 = 8;
  celle[10].aderenza = 90;
  const std::string tratto = "velocita_linea 75 km/h, pendenza 0 per mille, aderenza 110 %";
  EXPECT_EQ(testo_mostrato({mostra_griglia(celle, nullptr, {})}),
            "griglia: celle 12, lunghezza 600 m\n"
            "cella 0, 0-50 m, vuota: avviso 0, tipo_montagna 0, " +
                tratto +
                "\n"
                "cella 1, 50-100 m, vuota: marca 5121, codice di controllo 0; avviso 0, "
                "tipo_montagna 0, " +
                tratto +
                "\n"
                "celle 2-3, 100-200 m, vuota: avviso 0, tipo_montagna 0, " +
                tratto +
                "\n"
                "cella 4, 200-250 m, vuota: avviso 81, tipo_montagna 0, " +
                tratto +
                "\n"
                "cella 5, 250-300 m, vuota: avviso 0, tipo_montagna 0, " +
                tratto +
                "\n"
                "celle 6-7, 300-400 m, vuota: avviso 0, tipo_montagna 0, velocita_linea 75 km/h, "
                "pendenza 12 per mille, aderenza 110 %\n"
                "cella 8, 400-450 m, segnale: sx 2, s1 0, s2 0, s3 0, rapp 0, dx 2, d1 0, d2 0, d3 "
                "0, tempo 0; avviso 0, tipo_montagna 0, velocita_linea 75 km/h, pendenza 12 per "
                "mille, aderenza 110 %\n"
                "cella 10, 500-550 m, vuota: avviso 0, tipo_montagna 0, velocita_linea 0 km/h, "
                "pendenza -100 per mille, aderenza 90 %\n");
  opzioni_mostra o;
  o.tutte = true;
  EXPECT_EQ(mostra_griglia(celle, nullptr, o).righe.size(), 12u);
  o.celle = {{2, 3}};
  EXPECT_EQ(mostra_griglia(celle, nullptr, o).righe.size(), 2u);
  o.tutte = false;
  o.celle = {{6, 100}};
  const file_mostrato parte = mostra_griglia(celle, nullptr, o);
  ASSERT_EQ(parte.righe.size(), 3u);
  EXPECT_EQ(parte.righe[0].primo, 6);
  EXPECT_EQ(parte.righe[2].primo, 10);
}

// Which slots hold board texts: the grid's text boards say it; alone, the
// table's top slots that hold a text and nothing else, with a note.
TEST(Mostra, TableRolesWithAndWithoutTheGrid) {
  tabella_letta t{};
  t[1].valore_3 = 100;
  t[1].testo = "A";
  t[78].testo = "SOLO NOME";  // a station with nothing but its name
  t[79].testo = "(B)";
  t[80].testo = "(C)";
  std::vector<cella> celle(20);
  celle[5].tipo_cella = cella_cartello;
  celle[5].dato_1 = 80;
  celle[7].tipo_cella = cella_cartello;
  celle[7].dato_1 = 79;
  celle[9].tipo_cella = cella_fermata;
  celle[9].dato_1 = 78;
  const auto ruoli = [](const file_mostrato& f) {
    std::string r;
    for (const riga_mostrata& x : f.righe) r += x.genere + "|";
    return r;
  };
  const file_mostrato con = mostra_tabella(t, &celle);
  EXPECT_EQ(ruoli(con),
            "stazione 1|stazione 78|testo del cartello in voce 79|testo del cartello in voce 80|");
  EXPECT_TRUE(con.note.empty());
  EXPECT_EQ(testo_riga(con.righe[1]).substr(testo_riga(con.righe[1]).rfind("; ")),
            "; cella di fermata 9");
  // Alone, slot 78 looks like a board text as well: the note says why.
  const file_mostrato senza = mostra_tabella(t, nullptr);
  EXPECT_EQ(ruoli(senza),
            "stazione 1|testo del cartello in voce 78|testo del cartello in voce 79|testo del "
            "cartello in voce 80|");
  ASSERT_EQ(senza.note.size(), 1u);
  EXPECT_NE(senza.note[0].find("da 78 a 80"), std::string::npos);

  // Texts are decoded from Windows-1252 and kept on one line.
  t[1].testo = std::string("CITT\xC0 \"\x80\"\n", 10);
  const std::string riga = testo_riga(mostra_tabella(t, &celle).righe[0]);
  EXPECT_EQ(riga.substr(0, riga.find(": ")), "voce 1, stazione 1 \"CITTÀ \\\"€\\\"\\x0A\"");
  // The five bytes the code page leaves undefined are read as the C1 control
  // characters of the same number, which a terminal would act upon.
  t[1].testo = "A\x81\x8D\x8F\x90\x9D\xA0";
  const std::string c1 = testo_riga(mostra_tabella(t, &celle).righe[0]);
  EXPECT_EQ(c1.substr(0, c1.find(": ")), "voce 1, stazione 1 \"A\\x81\\x8D\\x8F\\x90\\x9D\u00A0\"");
}

// The runs of a plotted track: straight, turned at the rate of the keyword,
// the side, and where the heading turns.
TEST(Mostra, TrackRuns) {
  tracciato_piano p(3000);
  p.origine();
  p.prolunga(1850, false, 0);
  p.prolunga(2150, true, 0.002);
  p.prolunga(2600, false, 0);
  p.prolunga(2900, true, -0.003);
  p.prolunga(2998, false, 0);
  const tracciato_letto t = leggi_tracciato(immagine_tracciato(p));
  std::string testo;
  for (const riga_mostrata& r : mostra_tracciato(t, {}).righe)
    testo += testo_riga(r).substr(0, testo_riga(r).find(", direzione uscita")) + "\n";
  EXPECT_EQ(testo,
            "metri 0-1, origine: direzione entrata 0.0000 gradi\n"
            "metri 2-1850, rettilineo: direzione entrata 0.0000 gradi\n"
            "metri 1851-2150, curva a destra: grado 5, curvatura 0.002 per metro, raggio 500 m, "
            "direzione entrata 0.0000 gradi\n"
            "metri 2151-2600, rettilineo: direzione entrata 34.3774 gradi\n"
            "metri 2601-2900, curva a sinistra: grado 6, curvatura 0.003 per metro, raggio 333 m, "
            "direzione entrata 34.3774 gradi\n"
            "metri 2901-2998, rettilineo: direzione entrata -17.1886 gradi\n"
            "metri 2999-3000, vuoto\n");
}

// A damaged track file: coordinates that are not finite, or so large that
// the turning overflows, make runs of their own with no rate nor radius.
TEST(Mostra, TrackRunsWithValuesThatAreNotFinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* nome;
    std::int32_t lunghezza;
    std::function<void(tracciato_piano&)> guasta;
    std::string tratti;  // each run's head
  } casi[] = {
      {"NaN", 8, [&](tracciato_piano& p) { p.imposta_reale(4, 0, nan); },
       "metri 0-1, origine|metri 2-3, rettilineo|metri 4-6, non finito|metri 7-8, rettilineo|"},
      {"infinito", 8, [&](tracciato_piano& p) { p.imposta_reale(4, 1, -inf); },
       "metri 0-1, origine|metri 2-3, rettilineo|metri 4-6, non finito|metri 7-8, rettilineo|"},
      // Finite points whose turning overflows to infinity.
      {"curvatura infinita", 2,
       [](tracciato_piano& p) {
         p.imposta_reale(1, 0, 1e200);
         p.imposta_reale(1, 1, 1e-300);
         p.imposta_reale(2, 0, 1e200);
         p.imposta_reale(2, 1, 1e200);
       },
       "metri 0-1, origine|metri 2, non finito|"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    tracciato_piano p(c.lunghezza);
    p.origine();
    p.prolunga(c.lunghezza, false, 0);
    c.guasta(p);
    const tracciato_letto t = leggi_tracciato(immagine_tracciato(p));
    std::string tratti;
    for (const riga_mostrata& r : mostra_tracciato(t, {}).righe) {
      const std::string riga = testo_riga(r);
      tratti += riga.substr(0, riga.find(':')) + "|";
      EXPECT_EQ(riga.find("raggio"), std::string::npos) << riga;
    }
    EXPECT_EQ(tratti, c.tratti);
  }
}

}  // namespace
}  // namespace compattatore
