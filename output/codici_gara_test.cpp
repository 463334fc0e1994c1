#include "output/codici_gara.h"

#include <gtest/gtest.h>

#include <string>

#include "model/errori.h"

namespace compattatore {
namespace {

modello con_nomi(const std::string& treno, const std::string& linea) {
  modello m;
  m.tabella_servizio[slot_generale].testo = treno;
  m.tabella_servizio[slot_linea].testo = linea;
  return m;
}

TEST(CodiciGara, SumsOverTheFirst25LowerCaseCodes) {
  const struct {
    std::string treno, linea;
    std::int32_t og, st;
  } casi[] = {
      {"1", "abc", 2486, 33517},
      {"A", "B", 2557, 33957},
      {"a", "b", 2557, 33957},
      {"", "", 2583, 34355},
      {"58213", "Quarve_Lentra", 2348, 32654},
      {"58213", "QUARVE_LENTRA", 2348, 32654},
      // Bytes above 127 count as their Windows-1252 codes, capitals folded.
      {"\xE8", "", 2704, 34284},
      {"\xC8", "", 2704, 34284},
      {"\xD7", "", 2687, 34267},  // the multiplication sign has no small form
  };
  for (const auto& c : casi) {
    const modello m = con_nomi(c.treno, c.linea);
    EXPECT_EQ(codice_gara_og(m), c.og) << c.treno << " + " << c.linea;
    EXPECT_EQ(codice_gara_st(m), c.st) << c.treno << " + " << c.linea;
  }
}

TEST(CodiciGara, SameCodesExactlyWhenTheFoldedFirst25CharactersMatch) {
  const struct {
    std::string treno_a, linea_a, treno_b, linea_b;
    bool uguali;
  } casi[] = {
      // The first and last capitals fold; the signs beside them do not.
      {"AZ", "ZA", "az", "za", true},
      {"@", "", "`", "", false},
      {"[", "", "{", "", false},
      {"\x8A\x8C\x8E\x9F", "\xC0\xDE", "\x9A\x9C\x9E\xFF", "\xE0\xFE", true},
      {"\xD7", "", "\xF7", "", false},
      {"\xDF", "", "\xFF", "", false},  // sharp s is already small
      {"12345678901234567890", "abcdeX", "12345678901234567890", "abcdeY", true},
      {"12345678901234567890", "abcdX", "12345678901234567890", "abcdY", false},
      // Where the train number ends does not matter, only the joined text.
      {"12", "34", "1", "234", true},
  };
  for (const auto& c : casi) {
    const modello a = con_nomi(c.treno_a, c.linea_a);
    const modello b = con_nomi(c.treno_b, c.linea_b);
    const std::string caso = c.treno_a + c.linea_a + " / " + c.treno_b + c.linea_b;
    EXPECT_EQ(codice_gara_og(a) == codice_gara_og(b), c.uguali) << caso;
    EXPECT_EQ(codice_gara_st(a) == codice_gara_st(b), c.uguali) << caso;
  }
}

// The four stamped places: slot 85 intero_1 and orario, cell 1 dato_1 and dato_2.
struct timbri {
  std::int16_t intero_1;
  std::int32_t orario;
  std::int16_t dato_1;
  std::int16_t dato_2;

  bool operator==(const timbri&) const = default;
};

timbri letti(const modello& m) {
  const voce_servizio& v = m.tabella_servizio[slot_linea];
  return {v.intero_1, v.orario, m.celle[1].dato_1, m.celle[1].dato_2};
}

std::ostream& operator<<(std::ostream& o, const timbri& t) {
  return o << "{" << t.intero_1 << ", " << t.orario << ", " << t.dato_1 << ", " << t.dato_2 << "}";
}

TEST(TimbraCodici, StampsOrStopsAtTheFirstPlaceAlreadyTaken) {
  const struct {
    const char* caso;
    timbri prima;
    std::int32_t risultato;
    timbri dopo;
  } casi[] = {
      {"modello pulito", {0, 0, 0, 0}, 0, {610, 33517, 5121, 2486}},
      {"evento sulla cella 1", {0, 0, 112, 45}, errore_marca_linea, {0, 0, 112, 45}},
      {"intero_1 della voce 85", {3, 0, 0, 0}, errore_marca_linea, {3, 0, 0, 0}},
      {"solo dato_2 della cella 1", {0, 0, 0, 45}, errore_codice_gara, {610, 0, 5121, 45}},
      {"orario della voce 85", {0, 9, 0, 0}, errore_codice_gara, {610, 9, 5121, 0}},
  };
  for (const auto& c : casi) {
    modello m = con_nomi("1", "abc");
    m.dimensiona(1000);
    m.celle[1].tipo_cella = cella_segnale;
    voce_servizio& v = m.tabella_servizio[slot_linea];
    v.intero_1 = c.prima.intero_1;
    v.orario = c.prima.orario;
    m.celle[1].dato_1 = c.prima.dato_1;
    m.celle[1].dato_2 = c.prima.dato_2;

    modello atteso = m;
    EXPECT_EQ(timbra_codici(m), c.risultato == 0) << c.caso;
    EXPECT_EQ(m.codice_errore, c.risultato) << c.caso;
    if (c.risultato != 0) {
      EXPECT_EQ(m.errori.back().luogo.nella_tabella, c.prima.intero_1 != 0 || c.prima.orario != 0)
          << c.caso;
    }
    EXPECT_EQ(letti(m), c.dopo) << c.caso;

    // Nothing but the four places changes.
    atteso.tabella_servizio[slot_linea].intero_1 = c.dopo.intero_1;
    atteso.tabella_servizio[slot_linea].orario = c.dopo.orario;
    atteso.celle[1].dato_1 = c.dopo.dato_1;
    atteso.celle[1].dato_2 = c.dopo.dato_2;
    EXPECT_EQ(m.tabella_servizio, atteso.tabella_servizio) << c.caso;
    EXPECT_EQ(m.celle, atteso.celle) << c.caso;
  }
}

TEST(TimbraCodici, GridWithoutCellOneIsRefusedUntouched) {
  for (std::size_t celle : {0u, 1u}) {
    modello m = con_nomi("1", "abc");
    m.celle.assign(celle, cella{});
    EXPECT_FALSE(timbra_codici(m)) << celle;
    EXPECT_EQ(m.codice_errore, errore_marca_linea) << celle;
    EXPECT_EQ(m.tabella_servizio[slot_linea].intero_1, 0) << celle;
    EXPECT_EQ(m.tabella_servizio[slot_linea].orario, 0) << celle;
    EXPECT_EQ(m.celle, std::vector<cella>(celle)) << celle;
  }
}

}  // namespace
}  // namespace compattatore
