// The authoring command line end to end: sources written by the test into a
// fresh directory, the program run on them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "tests/dimensioni.h"
#include "tests/processo.h"
#include "tests/scenario_piccolo.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;
using prove::linea_valida;
using prove::servizio_valido;

// Inserts `riga` before the first line that starts with `prima`.
std::string inserisci(std::string testo, const std::string& prima, const std::string& riga) {
  const std::size_t p = testo.find("\n" + prima);
  return testo.insert(p + 1, riga + "\r\n");
}

std::string sostituisci(std::string testo, const std::string& da, const std::string& a) {
  const std::size_t p = testo.find(da);
  return testo.replace(p, da.size(), a);
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> r;
  std::istringstream in(testo);
  for (std::string l; std::getline(in, l);) r.push_back(l);
  return r;
}

class Compatta : public ::testing::Test {
 protected:
  Compatta() : dir_("compatta") {}
  fs::path dir() const { return dir_.percorso(); }
  void scrivi(const std::string& linea, const std::string& servizio) {
    if (!linea.empty()) prove::scrivi_tutto(dir() / "L_linea.txt", linea);
    if (!servizio.empty()) prove::scrivi_tutto(dir() / "L_T-.txt", servizio);
  }
  prove::esito_processo compatta(std::vector<std::string> opzioni = {}) {
    std::vector<std::string> a = {COMPATTATORE_EXE, "compatta", dir().string(), "L", "T"};
    a.insert(a.end(), opzioni.begin(), opzioni.end());
    return esegui(a, dir());
  }
  cartella_temporanea dir_;
};

TEST_F(Compatta, ValidScenarioWritesThreeFilesAndLeavesTheSources) {
  scrivi(linea_valida, servizio_valido);
  const auto prima = prove::contenuto_cartella(dir());
  const auto e = compatta();
  ASSERT_EQ(e.stato, 0) << e.errori;
  EXPECT_EQ(e.errori, "");
  auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.txt"), prima.at("L_linea.txt"));
  EXPECT_EQ(dopo.at("L_T-.txt"), prima.at("L_T-.txt"));
  EXPECT_EQ(dopo.at("L_linea.dat").size(), prove::byte_tracciato_piccolo);
  EXPECT_EQ(dopo.at("L_T.dat").size(), prove::byte_celle_piccolo);
  EXPECT_EQ(dopo.at("L_T.sim").size(), prove::byte_tabella_vuota + 1 + 1 + 5 + 7);
  EXPECT_EQ(dopo.size(), 5u);
}

TEST_F(Compatta, WithoutTrackWritesTwoFilesAndLeavesAnOldTrackAlone) {
  scrivi(linea_valida, servizio_valido);
  prove::scrivi_tutto(dir() / "L_linea.dat", "vecchio");
  const auto e = compatta({"--senza-tracciato"});
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto dopo = prove::contenuto_cartella(dir());
  EXPECT_EQ(dopo.at("L_linea.dat"), "vecchio");
  EXPECT_TRUE(dopo.contains("L_T.sim"));
  EXPECT_TRUE(dopo.contains("L_T.dat"));
}

TEST_F(Compatta, BuiltInSourcesCompactToTheFixedJobsFiles) {
  cartella_temporanea fisso("fisso");
  fs::copy_file(COMPATTATORE_EXE, fisso.percorso() / "compattatore");
  ASSERT_EQ(esegui({"./compattatore"}, fisso.percorso()).stato, 0);
  const auto e = esegui({COMPATTATORE_EXE, "esporta", dir().string()}, dir());
  ASSERT_EQ(e.stato, 0) << e.errori;
  const auto esportati = prove::contenuto_cartella(dir());
  const auto c =
      esegui({COMPATTATORE_EXE, "compatta", dir().string(), "Quarve_Lentra", "58213"}, dir());
  ASSERT_EQ(c.stato, 0) << c.errori;
  const auto attesi = prove::contenuto_cartella(fisso.percorso());
  const auto ottenuti = prove::contenuto_cartella(dir());
  for (const char* f :
       {"Quarve_Lentra_linea.dat", "Quarve_Lentra_58213.sim", "Quarve_Lentra_58213.dat"})
    EXPECT_TRUE(ottenuti.at(f) == attesi.at(f)) << f;
  // esporta wrote the two sources and the three documents, nothing else.
  EXPECT_EQ(esportati.size(), 5u);
  for (const auto& [nome, testo] : esportati) EXPECT_EQ(ottenuti.at(nome), testo) << nome;
}

TEST_F(Compatta, ErrorsNameNumberPositionAndSourceLine) {
  struct caso {
    const char* nome;
    std::function<void(std::string& linea, std::string& servizio)> guasta;
    int stato;
    std::string prime_righe;  // the first one or two lines of the message
    std::string luogo;        // the start of the third (or second) line: FILE:LINE
  };
  // Each case runs in a directory of its own, always named the same way.
  cartella_temporanea d("errore");
  const std::string L = (d.percorso() / "L_linea.txt").string();
  const std::string S = (d.percorso() / "L_T-.txt").string();
  const caso casi[] = {
      {"collisione",
       [](std::string&, std::string& s) {
         s = inserisci(s, "[fine]", "segnale,    2710,   1, 4, 0,  0, 0,    1,  3,0,0, 0");
       },
       1, " Errore n. 16\nPosizione: 2710 m", S + ":17:"},
      {"fuori multiplo",
       [](std::string&, std::string& s) {
         s = sostituisci(s, "stazione,    9000", "stazione,    9010");
       },
       1, " Errore n. 8\nPosizione: 9010 m", S + ":13:"},
      {"distanza stazioni",
       [](std::string&, std::string& s) {
         s = sostituisci(s, "stazione,    9000", "stazione,     800");
       },
       1, " Errore n. 22\nPosizione: 800 m", S + ":13:"},
      {"troppe stazioni",
       [](std::string& l, std::string& s) {
         l = sostituisci(l, "lunghezza percorso,    10000", "lunghezza percorso,    100000");
         std::string molte;
         for (int i = 0; i < 80; ++i)
           molte += "stazione, " + std::to_string(12000 + i * 1000) +
                    ",  25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n";
         s = inserisci(s, "[segnali]", molte.substr(0, molte.size() - 2));
       },
       // Slots 1 to 79 are free with no board: the 79th station is one too many.
       1, " Errore n. 10", S + ":90:"},
      {"numero sbagliato",
       [](std::string&, std::string& s) { s = sostituisci(s, "sabbia,    300", "sabbia,    3x0"); },
       1, " Errore n. 25", S + ":5:"},
      {"manca generale",
       [](std::string& l, std::string&) { l = sostituisci(l, "[generale]", "[general]"); }, 1,
       " Errore n. 102", L + ":"},
      {"manca la linea", [](std::string& l, std::string&) { l.clear(); }, 1, " Errore n. 101",
       L + ":"},
      {"curva oltre la griglia",
       [](std::string& l, std::string&) { l = inserisci(l, "[pendenze]", "curvas2, 16800, 300"); },
       1, " Errore n. 25", L + ":12:"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    for (const auto& f : fs::directory_iterator(d.percorso())) fs::remove(f.path());
    std::string linea = linea_valida, servizio = servizio_valido;
    c.guasta(linea, servizio);
    if (!linea.empty()) prove::scrivi_tutto(d.percorso() / "L_linea.txt", linea);
    prove::scrivi_tutto(d.percorso() / "L_T-.txt", servizio);
    const auto prima = prove::contenuto_cartella(d.percorso());
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), "L", "T"}, d.percorso());
    EXPECT_EQ(e.stato, c.stato);
    EXPECT_TRUE(e.errori.starts_with(c.prime_righe + "\n")) << e.errori;
    EXPECT_NE(e.errori.find("\n" + c.luogo), std::string::npos) << e.errori;
    // Nothing written, nothing consumed.
    EXPECT_EQ(prove::contenuto_cartella(d.percorso()), prima);
  }
}

TEST_F(Compatta, MisspeltKeywordIsWarnedAboutWithItsLine) {
  scrivi(linea_valida, inserisci(servizio_valido, "[fine]",
                                 "segnlae,    4000,   1, 4, 0,  0, 0,    1,  3,0,0, 0"));
  const auto e = compatta();
  EXPECT_EQ(e.stato, 0) << e.errori;
  const auto r = righe(e.errori);
  ASSERT_FALSE(r.empty()) << e.errori;
  EXPECT_TRUE(r[0].starts_with((dir() / "L_T-.txt").string() + ":17: attenzione:")) << r[0];
}

TEST(RigaDiComando, UsageHelpAndVersion) {
  cartella_temporanea d("uso");
  const struct {
    std::vector<std::string> argomenti;
    int stato;
    bool su_uscita;  // help and version on standard output, the rest on error
  } casi[] = {
      {{"--help"}, 0, true},
      {{"--version"}, 0, true},
      {{"boh"}, 2, false},
      {{"compatta", d.percorso().string(), "L"}, 2, false},
      {{"compatta", (d.percorso() / "manca").string(), "L", "T"}, 2, false},
      {{"compatta", d.percorso().string(), "../L", "T"}, 2, false},
      {{"esporta"}, 2, false},
      {{"esporta", (d.percorso() / "manca").string()}, 2, false},
  };
  for (const auto& c : casi) {
    std::vector<std::string> a = {COMPATTATORE_EXE};
    a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
    const auto e = esegui(a, d.percorso());
    EXPECT_EQ(e.stato, c.stato) << c.argomenti[0];
    EXPECT_EQ(e.uscita.empty(), !c.su_uscita) << c.argomenti[0];
    EXPECT_EQ(e.errori.empty(), c.su_uscita) << c.argomenti[0];
  }
  EXPECT_TRUE(fs::is_empty(d.percorso()));
}

}  // namespace
}  // namespace compattatore
