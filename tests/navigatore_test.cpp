// The route page in a real browser: Debian's chromium, headless. The page of
// the built-in scenario, as `disegna` writes it, must run its script without
// an error, draw the plan and the profile, show the cell under the pointer
// (set here by the page's ?metri= parameter, which takes the same path as the
// mouse), mark the profile's stretch on the plan and print on A4 landscape.
//
// The screenshot is kept in the build tree as pagina_incorporata.png: the
// guide's picture is a copy of it. The tests skip when chromium is missing,
// unless COMPATTATORE_RICHIEDI_WINE=1 (as in CI), where they fail.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "disegno/pagina.h"
#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/pagina_xml.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::pagina_letta;

constexpr int larghezza_finestra = 1280;
constexpr int altezza_finestra = 900;

struct rgb {
  int r, g, b;
};

struct schermata {
  int larghezza = 0;
  int altezza = 0;
  std::vector<unsigned char> pixel;  // RGB, row by row

  rgb at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(larghezza) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {pixel[i], pixel[i + 1], pixel[i + 2]};
  }
};

std::optional<schermata> leggi_png(const fs::path& file) {
  png_image immagine{};
  immagine.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&immagine, file.c_str()) == 0) return std::nullopt;
  immagine.format = PNG_FORMAT_RGB;
  schermata s;
  s.larghezza = static_cast<int>(immagine.width);
  s.altezza = static_cast<int>(immagine.height);
  s.pixel.resize(PNG_IMAGE_SIZE(immagine));
  if (png_image_finish_read(&immagine, nullptr, s.pixel.data(), 0, nullptr) == 0) {
    png_image_free(&immagine);
    return std::nullopt;
  }
  return s;
}

// A box of the page: left, top, width, height in CSS pixels.
struct riquadro {
  int x = 0, y = 0, l = 0, a = 0;
};
riquadro leggi_riquadro(const std::string& testo) {
  riquadro r;
  std::istringstream(testo) >> r.x >> r.y >> r.l >> r.a;
  return r;
}

// The pixels of a box (its border left out) within a small distance of a colour.
int conta_colore(const schermata& s, const riquadro& q, rgb colore) {
  int n = 0;
  for (int y = q.y + 4; y < q.y + q.a - 4 && y < s.altezza; ++y)
    for (int x = q.x + 4; x < q.x + q.l - 4 && x < s.larghezza; ++x) {
      const rgb p = s.at(x, y);
      n += std::abs(p.r - colore.r) + std::abs(p.g - colore.g) + std::abs(p.b - colore.b) < 40;
    }
  return n;
}

class Navigatore : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!prove::nel_path("chromium")) {
      mancante_ = "chromium is not installed";
      return;
    }
    lavoro_ = new cartella_temporanea("navigatore");
    const fs::path d = lavoro_->percorso();
    const auto e = prove::esegui({COMPATTATORE_EXE, "esporta", d.string()}, d);
    // DIR as an author would give it: the page names the sources by it.
    const auto g = prove::esegui({COMPATTATORE_EXE, "disegna", ".", "Quarve_Lentra", "58213"}, d);
    if (e.stato != 0 || g.stato != 0) guasto_ = "esporta/disegna failed: " + e.errori + g.errori;
  }
  static void TearDownTestSuite() {
    delete lavoro_;
    lavoro_ = nullptr;
  }

  void SetUp() override {
    if (!mancante_.empty()) {
      if (prove::strumenti_richiesti()) FAIL() << mancante_ << " (COMPATTATORE_RICHIEDI_WINE=1)";
      GTEST_SKIP() << mancante_;
    }
    ASSERT_EQ(guasto_, "");
  }

  static fs::path pagina_incorporata() { return lavoro_->percorso() / "Quarve_Lentra_58213.html"; }

  // One headless run, in a profile of its own; nothing reaches the network.
  static prove::esito_processo chromium(const std::vector<std::string>& opzioni,
                                        const std::string& domanda,
                                        const fs::path& pagina = pagina_incorporata()) {
    const cartella_temporanea profilo("chromium");
    std::vector<std::string> a = {"chromium",
                                  "--headless",
                                  "--no-sandbox",
                                  "--disable-gpu",
                                  "--no-first-run",
                                  "--disable-background-networking",
                                  "--disable-component-update",
                                  "--disable-sync",
                                  "--hide-scrollbars",
                                  "--user-data-dir=" + profilo.percorso().string(),
                                  "--window-size=" + std::to_string(larghezza_finestra) + "," +
                                      std::to_string(altezza_finestra)};
    a.insert(a.end(), opzioni.begin(), opzioni.end());
    a.push_back("file://" + pagina.string() + domanda);
    return prove::esegui(a, profilo.percorso(), "timeout -k 5 120");
  }

  // The page as the script left it.
  static pagina_letta dom(const std::string& domanda,
                          const fs::path& pagina = pagina_incorporata()) {
    const prove::esito_processo e = chromium({"--dump-dom"}, domanda, pagina);
    EXPECT_EQ(e.stato, 0) << e.errori;
    pagina_letta p = pagina_letta::da_html(e.uscita);
    EXPECT_TRUE(p.valida()) << e.uscita.substr(0, 500);
    if (p.valida()) {
      EXPECT_EQ(pagina_letta::attributo(p.radice(), "data-stato"), "pronto")
          << pagina_letta::attributo(p.radice(), "data-errore");
    }
    return p;
  }

  // The readout as pairs: its heading, then every field's name and value.
  static std::vector<std::string> lettura(const pagina_letta& p) {
    std::vector<std::string> r;
    for (const auto* n : p.cerca(p.per_id("lettura_testo"), "", "")) {
      const std::string classe = pagina_letta::attributo(n, "class");
      if (classe == "nome" || classe == "valore" || classe == "cella" || classe.starts_with("tipo"))
        r.push_back(pagina_letta::testo(n));
    }
    return r;
  }

  static inline std::string mancante_;
  static inline std::string guasto_;
  static inline cartella_temporanea* lavoro_ = nullptr;
};

TEST_F(Navigatore, BuiltInPageIsDrawnAndShowsTheCellUnderThePointer) {
  // The built-in signal "segnale, 17400, 2, 3, 1, 0, 0, 2, 2,0,0, 0" stands in
  // cell 349, from 17450 to 17500 m.
  const pagina_letta p = dom("?metri=17460");
  ASSERT_TRUE(p.valida());
  const std::vector<std::string> attesa = {"cella 349, da 17450 a 17500 m",
                                           "segnale",
                                           "sx",
                                           "2",
                                           "s1",
                                           "3",
                                           "s2",
                                           "1",
                                           "s3",
                                           "0",
                                           "rapp",
                                           "0",
                                           "dx",
                                           "2",
                                           "d1",
                                           "2",
                                           "d2",
                                           "0",
                                           "d3",
                                           "0",
                                           "tempo",
                                           "0",
                                           "avviso",
                                           "0",
                                           "tipo_montagna",
                                           "1",
                                           "velocita_linea",
                                           "75 km/h",
                                           "pendenza",
                                           "6 per mille",
                                           "aderenza",
                                           "110 %",
                                           "quota",
                                           "346,66 m"};
  EXPECT_EQ(lettura(p), attesa);
  // And the records that set it: the signal's line in the service source.
  std::vector<std::string> righe;
  for (const auto* n : p.cerca(p.per_id("lettura_testo"), "li", ""))
    righe.push_back(pagina_letta::testo(n));
  ASSERT_FALSE(righe.empty());
  EXPECT_EQ(righe[0], "./Quarve_Lentra_58213-.txt:57: segnale");
  // The pointer is marked on both drawings.
  EXPECT_NE(pagina_letta::attributo(p.per_id("cursore_pianta"), "d"), "");
  EXPECT_EQ(pagina_letta::attributo(p.per_id("cursore_profilo"), "style"), "");

  // A cell with nothing in it but its stretch values, in a station's zone.
  const pagina_letta vuota = dom("?metri=8080");
  const std::vector<std::string> l = lettura(vuota);
  ASSERT_GE(l.size(), 2u);
  EXPECT_EQ(l[0], "cella 161, da 8050 a 8100 m");
  EXPECT_EQ(l[1], "nessun evento");
  const auto zona = vuota.cerca(vuota.per_id("lettura_testo"), "p", "zona");
  ASSERT_EQ(zona.size(), 1u);
  EXPECT_EQ(pagina_letta::testo(zona[0]), "zona della stazione VALDRASCA (7550\u20138250 m)");

  // The screenshot: the plan's track and the profile's altitude and speed are
  // there, where the page says its two drawings stand.
  const riquadro pianta =
      leggi_riquadro(pagina_letta::attributo(p.radice(), "data-riquadro-pianta"));
  const riquadro profilo =
      leggi_riquadro(pagina_letta::attributo(p.radice(), "data-riquadro-profilo"));
  ASSERT_GT(pianta.l, 400);
  ASSERT_GT(profilo.l, 400);
  ASSERT_LE(profilo.y + profilo.a, altezza_finestra) << "both drawings fit a 1280x900 window";
  const fs::path png = fs::path(COMPATTATORE_CARTELLA_PROVE) / "pagina_incorporata.png";
  fs::remove(png);
  const prove::esito_processo e = chromium({"--screenshot=" + png.string()}, "?metri=17460");
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::optional<schermata> s = leggi_png(png);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->larghezza, larghezza_finestra);
  EXPECT_EQ(s->altezza, altezza_finestra);
  const struct {
    const char* cosa;
    riquadro dove;
    rgb colore;
    int almeno;
  } colori[] = {
      {"track", pianta, {0x22, 0x30, 0x3c}, 400},
      {"stations", pianta, {0x0b, 0x6e, 0x4f}, 200},
      {"altitude area", profilo, {0xef, 0xe6, 0xe2}, 20000},
      {"altitude line", profilo, {0x6d, 0x4c, 0x41}, 300},
      {"line speed", profilo, {0x15, 0x65, 0xc0}, 300},
  };
  for (const auto& c : colori) EXPECT_GE(conta_colore(*s, c.dove, c.colore), c.almeno) << c.cosa;
}

TEST_F(Navigatore, ProfileZoomedToAStretchIsMarkedOnThePlan) {
  const pagina_letta p = dom("?da=70000&a=80000&metri=75080");
  ASSERT_TRUE(p.valida());
  EXPECT_EQ(pagina_letta::testo(p.per_id("tratto_testo")), "da 70+000 a 80+000");
  const auto tratto =
      prove::punti_svg(pagina_letta::attributo(p.per_id("tratto_mostrato"), "points"));
  EXPECT_GE(tratto.size(), 2u);
  const std::vector<std::string> l = lettura(p);
  ASSERT_GE(l.size(), 8u);
  EXPECT_EQ(l[0], "cella 1501, da 75050 a 75100 m");
  EXPECT_EQ(l[1], "inizio rallentamento");
  EXPECT_EQ((std::vector<std::string>(l.begin() + 2, l.begin() + 8)),
            (std::vector<std::string>{"velocita", "50 km/h", "d_v", "0", "f_tt", "1"}));
  // The kilometre axis follows the zoom.
  const auto asse = p.cerca(p.per_id("asse_km"), "text", "");
  ASSERT_GE(asse.size(), 3u);
  EXPECT_EQ(pagina_letta::testo(asse[0]), "70");
}

// Every button pressed once after the script has run: none fails, also on a
// page whose plan is only the note that there is no track (a compaction that
// stopped in [generale], after the grid was sized).
TEST_F(Navigatore, EveryButtonWorksAlsoOnAPageWithoutAPlan) {
  modello m;
  m.nome_linea = "L";
  m.numero_treno = "T";
  fonte_memoria fonte(prove::con(prove::linea_valida, "1000,    9500", "1010,    9500"),
                      prove::servizio_valido);
  ASSERT_EQ(compatta(m, fonte, 1).errore, 3);
  const struct {
    const char* nome;
    std::string pagina;
    bool con_pianta;
  } casi[] = {
      {"incorporata", prove::leggi_tutto(pagina_incorporata()), true},
      {"senza_pianta", pagina_percorso(m, {}), false},
  };
  const std::string premi_tutti =
      "<script>//<![CDATA[\n"
      "Array.prototype.forEach.call(document.querySelectorAll('button[data-azione]'),\n"
      "                             function (b) { b.click(); });\n"
      "//]]></script>\n</body>";
  const cartella_temporanea cartella("bottoni");
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const fs::path file = cartella.percorso() / (std::string(c.nome) + ".html");
    prove::scrivi_tutto(file, prove::con(c.pagina, "</body>", premi_tutti));
    const pagina_letta p = dom("", file);
    ASSERT_TRUE(p.valida());
    EXPECT_EQ(p.per_id("pianta") != nullptr, c.con_pianta);
    EXPECT_NE(p.per_id("profilo"), nullptr);
  }
}

TEST_F(Navigatore, PrintsTheDrawingOnOneA4LandscapePageAndTheStationsOnTheNext) {
  const cartella_temporanea stampa("stampa");
  const fs::path pdf = stampa.percorso() / "pagina.pdf";
  const prove::esito_processo e =
      chromium({"--no-pdf-header-footer", "--print-to-pdf=" + pdf.string()}, "");
  ASSERT_EQ(e.stato, 0) << e.errori;
  const std::string testo = prove::leggi_tutto(pdf);
  std::vector<std::pair<double, double>> pagine;
  for (std::size_t i = testo.find("/MediaBox ["); i != std::string::npos;
       i = testo.find("/MediaBox [", i + 1)) {
    double x0, y0, x1, y1;
    std::istringstream(testo.substr(i + 11, 80)) >> x0 >> y0 >> x1 >> y1;
    pagine.emplace_back(x1 - x0, y1 - y0);
  }
  ASSERT_EQ(pagine.size(), 2u);
  for (const auto& [l, a] : pagine) {
    // A4 landscape: 297 x 210 mm in points.
    EXPECT_NEAR(l, 297 / 25.4 * 72, 2);
    EXPECT_NEAR(a, 210 / 25.4 * 72, 2);
  }
}

}  // namespace
}  // namespace compattatore
