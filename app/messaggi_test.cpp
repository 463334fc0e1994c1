#include "app/messaggi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "tests/processo.h"

namespace compattatore {
namespace {

modello con_errore(codice_errore_numero codice, std::optional<std::int32_t> posizione,
                   luogo_errore luogo = {}) {
  modello m;
  m.registra_errore(codice, posizione, std::move(luogo));
  return m;
}

TEST(TestoErrore, FixedJob) {
  const struct {
    modello m;
    std::string atteso;
  } casi[] = {
      {con_errore(errore_marca_linea, std::nullopt), " Errore n. 1250"},
      {con_errore(errore_codice_gara, std::nullopt, {"", 0, "", "", true}), " Errore n. 1251"},
      {con_errore(errore_segnale, 17400),
       " Errore n. 16\nPosizione: 17400 m\nsegnale su una cella gia' occupata"},
      {con_errore(errore_manca_linea, std::nullopt), " Errore n. 101\nfile della linea mancante"},
      {con_errore(errore_lettura, std::nullopt,
                  {"a_linea.txt", 7, "\"12abc\" non e' un numero", "", false}),
       " Errore n. 25\nerrore di lettura delle sorgenti: \"12abc\" non e' un numero"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_errore(c.m), c.atteso) << c.atteso;
}

TEST(TestoErrore, ForAnAuthorNamesFileAndLineOrCell) {
  const struct {
    modello m;
    std::string atteso;
  } casi[] = {
      {con_errore(errore_segnale, 17400, {"L_T-.txt", 42, "", "", false}),
       " Errore n. 16\nPosizione: 17400 m\nL_T-.txt:42: segnale su una cella gia' occupata"},
      {con_errore(errore_gruppo_inizio, 75050),
       " Errore n. 12\nPosizione: 75050 m\ncella 1501 (75050 m): nessuna cella libera in un "
       "gruppo prima dell'inizio di un rallentamento"},
      {con_errore(errore_manca_linea, std::nullopt, {"L_linea.txt", 0, "", "", false}),
       " Errore n. 101\nL_linea.txt: file della linea mancante"},
      {con_errore(errore_marca_linea, std::nullopt),
       " Errore n. 1250\ncella 1: posti riservati del marchio gia' occupati"},
      {con_errore(errore_codice_gara, std::nullopt, {"", 0, "", "", true}),
       " Errore n. 1251\nvoce 85: posti riservati del codice di controllo gia' occupati"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_errore(c.m, true), c.atteso) << c.atteso;
}

// The authors' guide lists every error in one table (section "Gli errori"):
// number, whether the message has a position, the message's text. The rows
// by number, each with its "Pos." and "Messaggio" columns.
struct riga_guida {
  std::string posizione;
  std::string messaggio;
  int volte = 0;
};

std::map<std::int32_t, riga_guida> errori_della_guida() {
  const std::string guida =
      prove::leggi_tutto(std::filesystem::path(COMPATTATORE_SORGENTI) / "docs" / "guida_autori.md");
  const std::size_t inizio = guida.find("\n## 10. Gli errori\n");
  if (inizio == std::string::npos) {
    ADD_FAILURE() << "the guide has no section \"Gli errori\"";
    return {};
  }
  const std::size_t fine = guida.find("\n## ", inizio + 1);
  std::map<std::int32_t, riga_guida> righe;
  std::istringstream sezione(guida.substr(inizio, fine - inizio));
  for (std::string r; std::getline(sezione, r);) {
    // "| N | Pos. | `messaggio` | ... |"
    if (r.size() < 3 || r[0] != '|' || r[2] < '0' || r[2] > '9') continue;
    std::vector<std::string> colonne;
    for (std::size_t a = 2, b; (b = r.find(" | ", a)) != std::string::npos; a = b + 3)
      colonne.push_back(r.substr(a, b - a));
    if (colonne.size() < 3) {
      ADD_FAILURE() << "guide row with fewer columns: " << r;
      continue;
    }
    riga_guida& g = righe[std::stoi(colonne[0])];
    g.posizione = colonne[1];
    g.messaggio = colonne[2];
    if (g.messaggio.size() >= 2 && g.messaggio.front() == '`' && g.messaggio.back() == '`')
      g.messaggio = g.messaggio.substr(1, g.messaggio.size() - 2);
    ++g.volte;
  }
  return righe;
}

// Every error number: whether it carries a position, where the author's
// message points, and its text as the guide lists it, in both messages. A
// number missing from the guide, a guide row the program does not have, or
// a text that differs fails here.
TEST(TestoErrore, EveryNumberAsTheAuthorsGuideListsIt) {
  constexpr bool si = true;
  constexpr bool no = false;
  constexpr punta_a riga = punta_a::riga_sorgente;
  constexpr punta_a cella = punta_a::cella;
  constexpr punta_a marchio = punta_a::marchio;
  const struct {
    codice_errore_numero codice;
    bool posizione;
    punta_a luogo;
  } casi[] = {
      {errore_lunghezza_percorso, no, riga},
      {errore_progressiva, no, riga},
      {errore_ripetizione_inizio, no, riga},
      {errore_ripetizione_fine, no, riga},
      {errore_ripetizione_codici, no, riga},
      {errore_cartello, si, riga},
      {errore_abbattimento, si, riga},
      {errore_stazione_posizione, si, riga},
      {errore_stazione_lunghezza, si, riga},
      {errore_troppe_stazioni, no, riga},
      {errore_segnale_avviso, si, cella},
      {errore_gruppo_inizio, si, cella},
      {errore_abbattimento_interno, si, cella},
      {errore_fuori_griglia, si, riga},
      {errore_segnale, si, riga},
      {errore_avviso_rallentamento, si, riga},
      {errore_inizio_rallentamento, si, riga},
      {errore_fine_rallentamento, si, riga},
      {errore_preavviso, si, riga},
      {errore_indicatore, si, riga},
      {errore_distanza_stazioni, si, riga},
      {errore_fermata_iniziale, no, riga},
      {errore_lettura, no, riga},
      {errore_manca_linea, no, riga},
      {errore_manca_generale, no, riga},
      {errore_curva, no, riga},
      {errore_marca_linea, no, marchio},
      {errore_codice_gara, no, marchio},
  };
  const std::map<std::int32_t, riga_guida> guida = errori_della_guida();
  std::map<std::int32_t, int> nei_casi;
  for (const auto& c : casi) {
    const std::string n = std::to_string(c.codice);
    SCOPED_TRACE("errore " + n);
    ++nei_casi[c.codice];
    const scheda_errore* s = scheda_di(c.codice);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->con_posizione, c.posizione);
    EXPECT_EQ(s->luogo, c.luogo);
    const auto g = guida.find(c.codice);
    ASSERT_NE(g, guida.end()) << "not in the guide";
    EXPECT_EQ(g->second.posizione != "—", c.posizione) << g->second.posizione;

    // A record on line 1; for an error found on the grid, 2750 m from the origin.
    const std::optional<std::int32_t> posizione =
        c.posizione ? std::optional<std::int32_t>(2750) : std::nullopt;
    const modello m = con_errore(c.codice, posizione, {"F.txt", 1, "", "", false});
    const std::string testa = " Errore n. " + n + (c.posizione ? "\nPosizione: 2750 m" : "");
    // The record's line first, then for an error found on the grid its cell.
    const std::string dove = c.luogo == riga    ? "F.txt:1: "
                             : c.luogo == cella ? "F.txt:1: cella 55 (2750 m): "
                                                : "F.txt:1: cella 1: ";
    EXPECT_EQ(testo_errore(m, true), testa + "\n" + dove + g->second.messaggio);
    // The fixed job shows a guard's number alone.
    EXPECT_EQ(testo_errore(m, false),
              c.luogo == marchio ? testa : testa + "\n" + g->second.messaggio);
  }
  // One case, and one guide row, for every number of the table and no other.
  for (const scheda_errore& s : tabella_errori())
    EXPECT_EQ(nei_casi[s.codice], 1) << "no case for error " << s.codice;
  for (const auto& [n, g] : guida) {
    EXPECT_TRUE(codice_del_sistema(n)) << "the guide lists error " << n;
    EXPECT_EQ(g.volte, 1) << "the guide lists error " << n << " " << g.volte << " times";
  }
}

// The run reports its first error: what follows may only be its consequence.
TEST(TestoErrore, TheFirstErrorOfTheRunIsTheOneTold) {
  modello m;
  m.registra_errore(errore_segnale, 17400, {"L_T-.txt", 42, "", "", false});
  m.registra_errore(errore_gruppo_inizio, 75050);
  EXPECT_EQ(m.codice_errore, errore_gruppo_inizio);
  EXPECT_EQ(testo_errore(m),
            " Errore n. 16\nPosizione: 17400 m\nsegnale su una cella gia' occupata");
}

}  // namespace
}  // namespace compattatore
