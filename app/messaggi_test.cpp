#include "app/messaggi.h"

#include <gtest/gtest.h>

namespace compattatore {
namespace {

modello con_errore(std::int32_t codice, std::int32_t posizione, luogo_errore luogo = {}) {
  modello m;
  m.registra_errore(codice, posizione);
  m.luogo = std::move(luogo);
  return m;
}

TEST(TestoErrore, FixedJob) {
  const struct {
    modello m;
    std::string numero;
    std::string atteso;
  } casi[] = {
      {modello{}, "1250", " Errore n. 1250"},
      {modello{}, "1251", " Errore n. 1251"},
      {con_errore(16, 17400), "16",
       " Errore n. 16\nPosizione: 17400 m\nsegnale su una cella gia' occupata"},
      {con_errore(101, 0), "101", " Errore n. 101\nfile della linea mancante"},
      {con_errore(25, 300, {"a_linea.txt", 7, "\"12abc\" non e' un numero"}), "25",
       " Errore n. 25\nerrore di lettura delle sorgenti: \"12abc\" non e' un numero"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_errore(c.m, c.numero), c.atteso) << c.numero;
}

TEST(TestoErrore, ForAnAuthorNamesFileAndLineOrCell) {
  modello guardia;
  guardia.dimensiona(1000);
  guardia.celle[1].dato_1 = 3;
  modello orario;
  orario.tabella_servizio[85].orario = 9;
  const struct {
    modello m;
    std::string numero;
    std::string atteso;
  } casi[] = {
      {con_errore(16, 17400, {"L_T-.txt", 42, ""}), "16",
       " Errore n. 16\nPosizione: 17400 m\nL_T-.txt:42: segnale su una cella gia' occupata"},
      {con_errore(12, 75050), "12",
       " Errore n. 12\nPosizione: 75050 m\ncella 1501 (75050 m): nessuna cella libera in un "
       "gruppo prima dell'inizio di un rallentamento"},
      {con_errore(101, 0, {"L_linea.txt", 0, ""}), "101",
       " Errore n. 101\nL_linea.txt: file della linea mancante"},
      {std::move(guardia), "1250",
       " Errore n. 1250\ncella 1: posti riservati del marchio gia' occupati"},
      {std::move(orario), "1251",
       " Errore n. 1251\nvoce 85: posti riservati del codice di controllo gia' occupati"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_errore(c.m, c.numero, true), c.atteso) << c.numero;
}

}  // namespace
}  // namespace compattatore
