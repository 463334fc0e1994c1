// `disegna` end to end: the page beside an author's sources, which it never
// touches, and no compacted file.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/pagina_xml.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;
using prove::pagina_letta;

class Disegna : public ::testing::Test, protected prove::scenario_in_cartella {
 protected:
  Disegna() : scenario_in_cartella("disegna", "L", "T") {}
  prove::esito_processo disegna(const std::vector<std::string>& opzioni = {}) const {
    return comando("disegna", opzioni);
  }
};

TEST_F(Disegna, WritesThePageBesideTheSourcesAndNothingElse) {
  scrivi(prove::linea_valida, prove::servizio_valido);
  const auto prima = prove::contenuto_cartella(dir());
  const auto e = disegna();
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(e.uscita,
            "L T: 10000 m, 2 stazioni, 2 segnali, 0 rallentamenti, 0 abbattimenti aggiunti; "
            "scritta L_T.html\n");
  EXPECT_EQ(disegna({"-q"}).uscita, "");
  auto dopo = prove::contenuto_cartella(dir());
  ASSERT_TRUE(dopo.contains("L_T.html"));
  const pagina_letta p = pagina_letta::da_xml(dopo.at("L_T.html"));
  ASSERT_TRUE(p.valida()) << p.errori();
  EXPECT_EQ(p.cerca(p.per_id("stazioni"), "tr", "riga_stazione").size(), 2u);
  dopo.erase("L_T.html");
  EXPECT_EQ(dopo, prima);
}

TEST_F(Disegna, OutputOptionChoosesTheFileButNeverASourceOrACompactedFile) {
  scrivi(prove::linea_valida, prove::servizio_valido);
  cartella_temporanea altrove("altrove");
  const fs::path pagina = altrove.percorso() / "pagina.html";
  const auto e = disegna({"-o", pagina.string()});
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_TRUE(fs::exists(pagina));
  EXPECT_FALSE(fs::exists(dir() / "L_T.html"));

  // Compacted files exist here only when the author made them.
  ASSERT_EQ(comando("compatta").stato, 0);
  const auto prima = prove::contenuto_cartella(dir());
  for (const char* bersaglio : {"L_linea.txt", "L_T-.txt", "L_linea.dat", "L_T.sim", "L_T.dat"}) {
    SCOPED_TRACE(bersaglio);
    // Written another way, through the directory's own name.
    const fs::path altro_nome = dir() / ".." / dir().filename() / bersaglio;
    const auto r = disegna({"-o", altro_nome.string()});
    EXPECT_EQ(r.stato, 2);
    EXPECT_NE(r.errori.find(std::string("e' ") + bersaglio + " dello scenario"), std::string::npos)
        << r.errori;
    EXPECT_EQ(prove::contenuto_cartella(dir()), prima);
  }
}

// compatta stops at the first error and says it; the page shows what a check
// reads past it: every error, and the records after the refused one.
TEST_F(Disegna, ScenarioWithErrorsStillGetsItsPageWithEveryErrorAndStatusOne) {
  const std::string servizio =
      prove::con(prove::con(prove::servizio_valido, "[fine]",
                            "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n"
                            "segnale,    5000,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n"
                            "segnale,    5010,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[fine]"),
                 "[segnali]", "segnlae,    7000,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[segnali]");
  scrivi(prove::linea_valida, servizio);
  const auto e = disegna();
  EXPECT_EQ(e.stato, 1);
  EXPECT_EQ(e.uscita, "");
  const std::string s = (dir() / "L_T-.txt").string();
  const std::string avviso = s + ":14: parola chiave sconosciuta \"segnlae\", record ignorato";
  EXPECT_EQ(e.errori,
            s +
                ":14: attenzione: parola chiave sconosciuta \"segnlae\", record ignorato\n"
                " Errore n. 16\nPosizione: 2710 m\n" +
                s +
                ":18: segnale su una cella gia' occupata: cella 55 (2750 m) gia' "
                "occupata dal segnale di " +
                s + ":17\n");
  const pagina_letta p = pagina_letta::da_xml(prove::leggi_tutto(dir() / "L_T.html"));
  ASSERT_TRUE(p.valida()) << p.errori();
  std::vector<std::string> messaggi;
  for (const auto* li : p.cerca(p.per_id("messaggi"), "li", ""))
    messaggi.push_back(pagina_letta::attributo(li, "class") + " " + pagina_letta::testo(li));
  EXPECT_EQ(messaggi, (std::vector<std::string>{
                          "avviso " + avviso,
                          "errore " + s +
                              ":18: errore 16, posizione 2710 m: segnale su una cella gia' "
                              "occupata: cella 55 (2750 m) gia' occupata dal segnale di " +
                              s + ":17",
                          "errore " + s +
                              ":20: errore 16, posizione 5010 m: segnale su una cella gia' "
                              "occupata: cella 101 (5050 m) gia' occupata dal segnale di " +
                              s + ":19",
                      }));
  // The signal at 5000 m, after the first refused record, is drawn.
  const auto segni = p.cerca(p.per_id("profilo"), "text", "testo_errore");
  EXPECT_EQ(segni.size(), 2u);
  const nlohmann::json dati = nlohmann::json::parse(pagina_letta::testo(p.per_id("dati")));
  bool segnale_101 = false;
  for (const auto& evento : dati["eventi"]) segnale_101 = segnale_101 || evento[0] == 101;
  EXPECT_TRUE(segnale_101);
  EXPECT_FALSE(fs::exists(dir() / "L_T.dat"));
}

TEST_F(Disegna, UsageErrors) {
  scrivi(prove::linea_valida, prove::servizio_valido);
  const struct {
    std::vector<std::string> argomenti;
    std::string messaggio;
  } casi[] = {
      {{"disegna", "/non/esiste", "L", "T"}, "DIR non e' una cartella esistente"},
      {{"disegna", "DIR", "../L", "T"}, "LINEA non puo' contenere separatori"},
      {{"disegna", "DIR", "L"}, "manca TRENO"},
      {{"disegna", "DIR", "L", "T", "-o"}, "l'opzione --uscita vuole un valore"},
      {{"disegna", "DIR", "L", "T", "--tempi"}, "opzione sconosciuta: --tempi"},
      {{"disegna", "DIR", "L", "T", "-o", "/non/esiste/p.html"}, "Errore sul file /non/esiste/"},
  };
  for (const auto& c : casi) {
    std::vector<std::string> a = {COMPATTATORE_EXE};
    for (const std::string& x : c.argomenti) a.push_back(x == "DIR" ? dir().string() : x);
    const auto e = esegui(a, dir());
    EXPECT_EQ(e.stato, 2) << c.messaggio;
    EXPECT_NE(e.errori.find(c.messaggio), std::string::npos) << e.errori;
  }
  EXPECT_FALSE(fs::exists(dir() / "L_T.html"));
}

}  // namespace
}  // namespace compattatore
