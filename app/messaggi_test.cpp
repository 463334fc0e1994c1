#include "app/messaggi.h"

#include <gtest/gtest.h>

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
