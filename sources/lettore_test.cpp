#include "sources/lettore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "model/errori.h"
#include "sources/fonte_memoria.h"
#include "sources/lettura.h"
#include "sources/scenario.h"
#include "sources/testi.h"
#include "tests/celle.h"

namespace compattatore {
namespace {

// ---------------------------------------------------------------------------
// Sources written in the tests.

std::string testo(std::initializer_list<std::string_view> righe) {
  std::string t;
  for (std::string_view r : righe) {
    t += r;
    t += "\r\n";
  }
  return t;
}

// Line 1 "[generale]", line 2 the length, line 3 "[curve]", data from line 4.
std::string linea(std::initializer_list<std::string_view> dati,
                  std::string_view lunghezza = "lunghezza percorso, 10000") {
  return testo({"[generale]", lunghezza, "[curve]"}) + testo(dati) + "[fine]\r\n";
}

// Line 1 ".", line 2 "[generale]", data from line 3.
std::string servizio(std::initializer_list<std::string_view> dati) {
  return testo({".", "[generale]"}) + testo(dati) + "[fine]\r\n";
}

const std::string linea_vuota = linea({});
const std::string servizio_vuoto = servizio({});

// Where the last recorded error points.
luogo_errore ultimo_luogo(const modello& m) {
  return m.errori.empty() ? luogo_errore{} : m.errori.back().luogo;
}

// One run of the reader on in-memory sources. The error position starts at
// -7, so that "unchanged" shows.
struct lettura_prova {
  modello m;
  fonte_memoria fonte;
  std::vector<std::string> avvisi;

  lettura_prova(std::optional<std::string> l, std::optional<std::string> s, int genera = 0,
                bool conserva = false, bool linea_illeggibile = false)
      : fonte(std::move(l), std::move(s)) {
    m.nome_linea = "L";
    m.numero_treno = "T";
    m.genera_linea = genera;
    m.posizione_errore = -7;
    m.svuota_tabella();
    if (conserva) fonte.conserva_file();
    if (linea_illeggibile) fonte.rendi_illeggibile(sorgente::linea);
    memorizza_dati(m, fonte);
    for (const avviso& a : m.avvisi)
      avvisi.push_back(a.file + ":" + std::to_string(a.riga) + ": " + a.testo);
  }

  // The files still there, and the order in which they were consumed.
  std::string rimasti() const {
    std::string r;
    if (fonte.esiste(sorgente::linea)) r += "linea ";
    if (fonte.esiste(sorgente::servizio)) r += "servizio ";
    return r;
  }
  std::string consumi() const {
    std::string r;
    for (sorgente s : fonte.consumi()) r += s == sorgente::linea ? "L" : "S";
    return r;
  }
  std::string luogo() const {
    return ultimo_luogo(m).file + ":" + std::to_string(ultimo_luogo(m).riga);
  }
};

std::string eventi(const modello& m, int da, int a) {
  return prove::descrivi_celle(m, da, a);
}

// One stretch field of cells da..a, blank-separated.
std::string colonna(const modello& m, std::uint8_t cella::*campo, int da, int a) {
  std::string s;
  for (int k = da; k <= a; ++k) {
    if (!s.empty()) s += " ";
    s += std::to_string(m.celle[static_cast<std::size_t>(k)].*campo);
  }
  return s;
}

// A station slot as "tipo [v1,v2] v3 c1..c5 i1..i5 orario testo".
std::string stazione(const modello& m, int slot) {
  const voce_servizio& v = m.tabella_servizio[static_cast<std::size_t>(slot)];
  return std::to_string(v.tipo_voce) + " [" + std::to_string(v.valore_1) + "," +
         std::to_string(v.valore_2) + "] " + std::to_string(v.valore_3) + " c" +
         std::to_string(v.codice_1) + std::to_string(v.codice_2) + std::to_string(v.codice_3) +
         std::to_string(v.codice_4) + std::to_string(v.codice_5) + " i" +
         std::to_string(v.intero_1) + "," + std::to_string(v.intero_2) + "," +
         std::to_string(v.intero_3) + "," + std::to_string(v.intero_4) + "," +
         std::to_string(v.intero_5) + " " + std::to_string(v.orario) + " " + v.testo;
}

std::string terna(const modello& m, int slot) {
  const voce_servizio& v = m.tabella_servizio[static_cast<std::size_t>(slot)];
  return std::to_string(v.valore_1) + "," + std::to_string(v.valore_2) + "," +
         std::to_string(v.valore_3);
}

// ---------------------------------------------------------------------------
// The [generale] part of the line source.

TEST(LetturaGenerale, FillsTheHeaderSlotsAndSizesTheGrid) {
  const lettura_prova r(
      testo({"intestazione ignorata, 12", "[generale]", "lunghezza percorso,    7025",
             "progressiva chilometrica uno,    1000,    0,    0",
             "progressiva chilometrica due,    0,    0,    0",
             "progressiva chilometrica tre,    0,    0,    0", "sfondo uno,    4000",
             "sfondo due,    1000", "sfondo tre,    1",
             "ripetizione segnali 4 codici,    1000,    107500", "[curve]", "[fine]"}),
      servizio({"numero vetture,    11", "percentuale massa frenata,    75", "sabbia,    300",
                "orologio,    0               54            0 "}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.lunghezza_griglia, 14025);
  EXPECT_EQ(r.m.numero_celle, 280);
  EXPECT_EQ(r.m.celle.size(), 281u);
  const auto& t = r.m.tabella_servizio;
  EXPECT_EQ(terna(r.m, slot_treno), "75,7025,11");
  // "sfondo tre" goes to the second value, "sfondo due" to the third.
  EXPECT_EQ(terna(r.m, slot_linea), "4000,1,1000");
  EXPECT_EQ(t[slot_linea].testo, "L");
  EXPECT_EQ(terna(r.m, slot_generale), "1000,107500,4");
  EXPECT_EQ(t[slot_generale].testo, "T");
  EXPECT_EQ(t[slot_generale].intero_1, 300);
  EXPECT_EQ(t[slot_generale].intero_4, 54);
  // Chainage "uno" moves to slot 81; the others are all zero.
  EXPECT_EQ(terna(r.m, slot_progressiva_tre), "1000,0,0");
  EXPECT_EQ(terna(r.m, slot_progressiva_due), "0,0,0");
  EXPECT_EQ(terna(r.m, slot_progressiva_uno), "0,0,0");
  EXPECT_EQ(t[0], voce_servizio{});
  EXPECT_EQ(r.consumi(), "LS");
  EXPECT_EQ(r.rimasti(), "");
}

TEST(LetturaGenerale, RouteLengthAndSignalRepetition) {
  const struct {
    std::string_view riga;
    std::int32_t codice;
    std::int32_t celle;  // numero_celle when the length was read
    std::string_view ripetizione;
  } casi[] = {
      {"lunghezza percorso, 1000000", 0, 20140, "0,0,0"},
      {"lunghezza percorso, 0", 0, 140, "0,0,0"},
      {"lunghezza percorso, 1000001", errore_lunghezza_percorso, 0, "0,0,0"},
      {"lunghezza percorso, -50", errore_lettura, 0, "0,0,0"},
      {"LUNGHEZZA PERCORSO, 7025", 0, 280, "0,0,0"},
      // A second length sizes everything again.
      {"lunghezza percorso, 7025\r\nlunghezza percorso, 0", 0, 140, "0,0,0"},
      {"lunghezza percorso, 0\r\nripetizione segnali 4 codici, 1000, 0", 0, 140, "1000,0,0"},
      {"lunghezza percorso, 0\r\nripetizione segnali 9 codici, 1000, 2000", 0, 140, "1000,2000,9"},
      {"lunghezza percorso, 0\r\nripetizione segnali 49, 50, 100", 0, 140, "50,100,4"},
      {"lunghezza percorso, 0\r\nripetizione segnali codici, 1000, 2000", errore_ripetizione_codici,
       140, "1000,2000,0"},
      // The first position fails before the second is read.
      {"lunghezza percorso, 0\r\nripetizione segnali 4 codici, 1010, x", errore_ripetizione_inizio,
       140, "1010,0,0"},
      {"lunghezza percorso, 0\r\nripetizione segnali 4 codici, 1000, 2010", errore_ripetizione_fine,
       140, "1000,2010,0"},
      // Case-sensitive words are not these records when written in capitals.
      {"lunghezza percorso, 0\r\nRipetizione segnali 4 codici, 1010, 5", 0, 140, "0,0,0"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.riga);
    const lettura_prova r(testo({"[generale]", c.riga, "[curve]", "[fine]"}), servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.m.numero_celle, c.celle);
    EXPECT_EQ(terna(r.m, slot_generale), c.ripetizione);
    if (c.codice == 0) {
      EXPECT_EQ(r.consumi(), "LS");
    } else if (c.codice == errore_lettura) {
      EXPECT_EQ(r.consumi(), "LS");
      EXPECT_EQ(ultimo_luogo(r.m).dettaglio, "lunghezza del percorso negativa: -50");
    } else {
      // An error of the line source leaves the service source in place.
      EXPECT_EQ(r.consumi(), "L");
      EXPECT_EQ(r.rimasti(), "servizio ");
      EXPECT_EQ(r.m.posizione_errore, -7);
    }
  }
}

TEST(LetturaGenerale, CapitalsInCaseSensitiveWordsAreNotRecognised) {
  const lettura_prova r(
      testo({"[Generale]", "Lunghezza Percorso, 7025", "Progressiva chilometrica uno, 1000, 0, 0",
             "progressiva chilometrica UNO, 2000, 0, 0", "SFONDO UNO, 5", "sfondo Due, 6",
             "[curve]", "PENDENZA, 0, 5", "[fine]"}),
      servizio_vuoto);
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.numero_celle, 280);
  EXPECT_EQ(terna(r.m, slot_progressiva_tre), "0,0,0");
  EXPECT_EQ(terna(r.m, slot_linea), "0,0,0");
  EXPECT_EQ(r.m.celle[0].pendenza, 105);
}

TEST(LetturaGenerale, ItemsThatPassSeveralTestsReadTheFieldsOfEach) {
  const lettura_prova r(linea({},
                              "lunghezza percorso, 0\r\nsfondo uno tre, 7, 8\r\nprogressiva due "
                              "tre, 50,100,3,200,250,6"),
                        servizio_vuoto);
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(terna(r.m, slot_linea), "7,8,0");
  // "tre" read the first three and "due" the next; due has the greater first value.
  EXPECT_EQ(terna(r.m, slot_progressiva_tre), "200,250,6");
  EXPECT_EQ(terna(r.m, slot_progressiva_due), "50,100,3");
}

TEST(LetturaGenerale, PartEndsAtAHeaderThatIsNotAComment) {
  // "- [nota] -" is a comment: the part goes on to the length after it.
  const lettura_prova r(testo({"[generale]", "- [nota] -", "lunghezza percorso, 0", "[curve]",
                               "lunghezza percorso, 7025", "[fine]"}),
                        servizio_vuoto);
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.numero_celle, 140);
}

TEST(LetturaGenerale, WithoutARouteLengthTheReadingFails) {
  const struct {
    std::string nome;
    std::string linea;
    std::int32_t riga;
  } casi[] = {
      {"ends at its header", testo({"[generale]", "sfondo uno, 5", "[curve]", "[fine]"}), 3},
      {"ends with the file", testo({"[generale]", "sfondo uno, 5", "[fine]"}), 3},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(c.linea, servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, errore_lettura);
    EXPECT_FALSE(r.m.griglia_dimensionata());
    EXPECT_EQ(ultimo_luogo(r.m).dettaglio,
              "la parte [generale] finisce senza la lunghezza del percorso");
    EXPECT_EQ(r.luogo(), "linea.txt:" + std::to_string(c.riga));
    EXPECT_EQ(r.consumi(), "LS");
  }
}

TEST(LetturaGenerale, MissingLineSourceOrMissingGeneralPart) {
  {
    const lettura_prova r(std::nullopt, servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, errore_manca_linea);
    EXPECT_EQ(r.consumi(), "");
    EXPECT_EQ(r.rimasti(), "servizio ");
    EXPECT_EQ(r.luogo(), "linea.txt:0");
    // The names are stored before anything is read.
    EXPECT_EQ(r.m.tabella_servizio[slot_linea].testo, "L");
    EXPECT_EQ(r.m.tabella_servizio[slot_generale].testo, "T");
  }
  // The last item of the file is not looked at, even when it is "[generale]".
  for (const std::string& l :
       {std::string(), testo({"x", "[general]"}), std::string("x,[generale]")}) {
    const lettura_prova r(l, servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, errore_manca_generale) << l;
    EXPECT_EQ(r.consumi(), "L");
    EXPECT_EQ(r.rimasti(), "servizio ");
  }
}

// ---------------------------------------------------------------------------
// Chainage ordering.

TEST(ProgressiveOrdina, OrdersTheThreeReferences) {
  struct tre_terne {
    std::array<std::int32_t, 3> tre, due, uno;
  };
  const struct {
    std::string nome;
    tre_terne prima;
    ordine_progressive ordine;
    std::array<std::string_view, 3> dopo;
  } casi[] = {
      {"no strict maximum",
       {{0, 1, 0}, {5000, 2, 0}, {5000, 3, 0}},
       {-1, -1, -1},
       {"0,0,0", "0,0,0", "0,0,0"}},
      {"strict maximum, then the greater",
       {{3000, 1, 0}, {1000, 2, 0}, {2000, 3, 0}},
       {0, 2, 1},
       {"3000,1,0", "2000,3,0", "1000,2,0"}},
      {"equal second values: uno, due, tre",
       {{1000, 1, 0}, {1000, 2, 0}, {3000, 3, 0}},
       {2, 1, 0},
       {"3000,3,0", "1000,2,0", "1000,1,0"}},
      {"equal tre and uno below due",
       {{5, 1, 0}, {9, 2, 0}, {5, 3, 0}},
       {1, 2, 0},
       {"9,2,0", "5,3,0", "5,1,0"}},
      {"built-in: uno alone",
       {{0, 0, 0}, {0, 0, 0}, {1000, 0, 0}},
       {2, 1, 0},
       {"1000,0,0", "0,0,0", "0,0,0"}},
      {"sum zero: due, tre, uno",
       {{0, 200, 0}, {0, 300, 0}, {0, 0, 0}},
       {1, 0, 2},
       {"0,300,0", "0,200,0", "0,0,0"}},
      {"sum zero: uno decides last",
       {{0, 200, 0}, {0, 300, 0}, {0, 1, 0}},
       {2, 1, 0},
       {"0,1,0", "0,300,0", "0,200,0"}},
      {"sum zero: tre only",
       {{0, 200, 0}, {0, 0, 0}, {0, -5, 0}},
       {0, 1, 2},
       {"0,200,0", "0,0,0", "0,-5,0"}},
      {"sum zero with first values",
       {{500, 0, 0}, {-500, 0, 0}, {0, 0, 0}},
       {-1, -1, -1},
       {"0,0,0", "0,0,0", "0,0,0"}},
      {"third value 1 raises the second by 100",
       {{3000, 50, 1}, {1000, 2, 1}, {0, 0, 0}},
       {0, 1, 2},
       {"3000,150,1", "1000,102,1", "0,0,0"}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    modello m;
    const std::array<std::int32_t, 3>* terne[] = {&c.prima.tre, &c.prima.due, &c.prima.uno};
    for (int k = 0; k < 3; ++k) {
      voce_servizio& v = m.tabella_servizio[slot_progressiva_tre + k];
      v.valore_1 = (*terne[k])[0];
      v.valore_2 = (*terne[k])[1];
      v.valore_3 = (*terne[k])[2];
    }
    EXPECT_EQ(progressive_ordina(m), c.ordine);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(terna(m, slot_progressiva_tre + k), c.dopo[k]);
  }
}

TEST(ProgressiveOrdina, ARaisedValueBeyond32BitsFails) {
  modello m;
  m.tabella_servizio[slot_progressiva_uno].valore_1 = 5;
  m.tabella_servizio[slot_progressiva_uno].valore_2 = 2147483600;
  m.tabella_servizio[slot_progressiva_uno].valore_3 = 1;
  EXPECT_THROW(progressive_ordina(m), fallimento_lettura);
}

TEST(LetturaServizio, ChainageCheckIsTheLastStepAndNamesTheLineSourceRecord) {
  const lettura_prova r(linea({},
                              "lunghezza percorso, 0\r\nsfondo uno, 1\r\n"
                              "progressiva chilometrica uno, 1025, 0, 0"),
                        servizio({"velocita, 0, 50",
                                  "stazione, 0, 4, 1000, 0,0,0, 0,0,0, 0,0,0, "
                                  "0, 0,0,0, A"}));
  EXPECT_EQ(r.m.codice_errore, errore_progressiva);
  EXPECT_EQ(r.m.posizione_errore, -7);
  EXPECT_EQ(r.luogo(), "linea.txt:4");
  // The whole service source was read first.
  EXPECT_EQ(r.m.tabella_servizio[1].testo, "A");
  EXPECT_EQ(r.m.celle[100].velocita_linea, 10);
  EXPECT_EQ(r.consumi(), "LS");
}

// Error 2 names the record the bad value came from, wherever the ordering
// moved it; with two bad values, the first slot checked.
TEST(LetturaServizio, ChainageErrorNamesTheRecordOfTheBadValue) {
  const struct {
    std::string nome;
    std::string_view tre, due, uno;  // lines 3, 4 and 5
    std::int32_t riga;
  } casi[] = {
      {"tre, the greatest", "2025, 0, 0", "1000, 0, 0", "0, 0, 0", 3},
      {"tre, the smallest", "25, 0, 0", "1000, 0, 0", "2000, 0, 0", 3},
      {"tre, raised by 100", "3000, 25, 1", "1000, 0, 0", "2000, 0, 0", 3},
      {"tre, all first values 0", "0, 225, 0", "0, 0, 0", "0, 0, 0", 3},
      {"due", "1000, 0, 0", "3000, 75, 0", "2000, 0, 0", 4},
      {"uno in the middle", "1000, 0, 0", "3000, 0, 0", "2025, 0, 0", 5},
      {"tre before uno", "3025, 0, 0", "1000, 0, 0", "2025, 0, 0", 3},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(
        testo({"[generale]", "lunghezza percorso, 0",
               "progressiva chilometrica tre, " + std::string(c.tre),
               "progressiva chilometrica due, " + std::string(c.due),
               "progressiva chilometrica uno, " + std::string(c.uno), "[curve]", "[fine]"}),
        servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, errore_progressiva);
    EXPECT_EQ(r.luogo(), "linea.txt:" + std::to_string(c.riga));
  }
}

TEST(LetturaServizio, WithoutGeneralOnlyTheCompletionAndTheCheckRun) {
  const lettura_prova r(
      linea_vuota,
      testo({"velocita, 0, 50", "stazione, 0, 4, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.m.tabella_servizio[1], voce_servizio{});
  EXPECT_EQ(eventi(r.m, 0, 340), "");
  EXPECT_EQ(colonna(r.m, &cella::velocita_linea, 0, 1), "0 0");
  EXPECT_EQ(r.consumi(), "LS");
}

// ---------------------------------------------------------------------------
// Comment rule and end rule.

TEST(RegoleParole, CommentRuleLimits) {
  // Data part, limit 2: the third item with "-" in a row is taken as a keyword.
  {
    const lettura_prova r(
        linea({"-- a", "-- b", "-pendenza, 100, 20", "pendenza, 200, 30"}, "lunghezza percorso, 0"),
        servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(colonna(r.m, &cella::pendenza, 0, 5), "100 100 120 120 130 130");
  }
  // Comment lines in a row are all skipped when a record follows each pair.
  {
    const lettura_prova r(linea({"----", "-- x", "pendenza, 100, 20"}, "lunghezza percorso, 0"),
                          servizio_vuoto);
    EXPECT_EQ(colonna(r.m, &cella::pendenza, 0, 3), "100 100 120 120");
  }
  // [generale] part, limit 10: ten comments and then a record with "-" is read.
  {
    std::string l = "[generale]\r\n";
    for (int i = 0; i < 10; ++i) l += "-- commento\r\n";
    l += "- lunghezza percorso, 0\r\n[curve]\r\n[fine]\r\n";
    const lettura_prova r(l, servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(r.m.numero_celle, 140);
  }
  // With eleven the record is a comment and the length is never read.
  {
    std::string l = "[generale]\r\n";
    for (int i = 0; i < 11; ++i) l += "-- commento\r\n";
    l += "- lunghezza percorso, 0\r\n[curve]\r\n[fine]\r\n";
    const lettura_prova r(l, servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, errore_lettura);
  }
}

TEST(RegoleParole, TheLastItemIsNoKeywordButARecordOnTheLastLineIsHandled) {
  const struct {
    std::string nome;
    std::string dati;  // after "[curve]"
    std::int32_t codice;
    std::uint8_t cella_3;
  } casi[] = {
      {"record without line end", "pendenza, 100, 20", 0, 120},
      {"record with line end", "pendenza, 100, 20\r\n", 0, 120},
      {"keyword alone at the end", "pendenza", 0, 100},
      {"keyword alone, line end", "pendenza\r\n", 0, 100},
      // The end test follows a replacement read in the data part.
      {"comment then keyword at the end", "--\r\npendenza\r\n", 0, 100},
      {"record cut short", "pendenza, 100", errore_lettura, 0},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r("[generale]\r\nlunghezza percorso, 0\r\n[curve]\r\n" + c.dati,
                          servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    if (c.codice == 0) {
      EXPECT_EQ(r.m.celle[3].pendenza, c.cella_3);
    }
  }
  // In [generale] no end test follows a replacement: the record is handled
  // and its number lies past the end.
  const lettura_prova r("[generale]\r\nlunghezza percorso, 0\r\n--\r\nsfondo uno", servizio_vuoto);
  EXPECT_EQ(r.m.codice_errore, errore_lettura);
  EXPECT_EQ(ultimo_luogo(r.m).dettaglio, "fine del file dentro un record (manca il campo sfondo)");
  EXPECT_EQ(r.luogo(), "linea.txt:4");
}

// Whether two readings left the same model: grid, table and track.
bool stesso_modello(const modello& a, const modello& b) {
  if (a.celle != b.celle || a.tabella_servizio != b.tabella_servizio ||
      a.tracciato.vuoto() != b.tracciato.vuoto() || a.lunghezza_griglia != b.lunghezza_griglia)
    return false;
  if (a.tracciato.vuoto()) return true;
  for (std::int32_t metro = 0; metro <= a.lunghezza_griglia; ++metro)
    for (int k = 0; k < 2; ++k)
      if (a.tracciato.tipo(metro, k) != b.tracciato.tipo(metro, k) ||
          a.tracciato.valore(metro, k) != b.tracciato.valore(metro, k))
        return false;
  return true;
}

// Every record whose words are matched without regard to case reads the
// same when its keyword is written in capitals or in mixed case: none is
// lost unseen, nor taken for a typo.
TEST(RegoleParole, KeywordsWithoutRegardToCaseReadAlikeInAnyCase) {
  const struct {
    std::string linea;
    std::string servizio;
    std::string_view parola;  // the keyword item written in other cases
  } casi[] = {
      {linea({}, "lunghezza percorso, 7025"), servizio_vuoto, "lunghezza percorso"},
      {linea({"pendenza, 100, 5"}), servizio_vuoto, "pendenza"},
      {linea({"curvad5, 1850, 300"}), servizio_vuoto, "curvad5"},
      {linea({"montagna, 3000, 4000, 11"}), servizio_vuoto, "montagna"},
      {linea({"indicatori_vmax, 800, 75, 75, 75, 0, , , , 0"}), servizio_vuoto, "indicatori_vmax"},
      {linea({"cartello_indicatore, 2800, (X)"}), servizio_vuoto, "cartello_indicatore"},
      {linea_vuota, servizio({"sabbia, 300"}), "[generale]"},
      {linea_vuota, servizio({"percentuale massa frenata, 75"}), "percentuale massa frenata"},
      {linea_vuota, servizio({"numero vetture, 11"}), "numero vetture"},
      {linea_vuota, servizio({"velocita, 100, 50"}), "velocita"},
      {linea_vuota, servizio({"aderenza, 100, 90"}), "aderenza"},
      {linea_vuota, servizio({"orologio, 1 2 3"}), "orologio"},
      {linea_vuota, servizio({"sabbia, 300"}), "sabbia"},
      {linea_vuota, servizio({"segnale, 1550, 1, 4, 0, 0, 0, 1, 3, 0, 0, 0"}), "segnale"},
      {linea_vuota, servizio({"rallentamento, 5000, 50, 100, 1, 0, 0"}), "rallentamento"},
      {linea_vuota, servizio({"abbattimento, 1000, 60"}), "abbattimento"},
      {linea_vuota, servizio({"stazione, 0, 4, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}),
       "stazione"},
  };
  const auto maiuscole = [](std::string p) {
    for (char& c : p) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return p;
  };
  const auto alterne = [](std::string p) {
    for (std::size_t i = 0; i < p.size(); i += 2)
      p[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(p[i])));
    return p;
  };
  const lettura_prova vuota(linea_vuota, servizio_vuoto, 1);
  for (const auto& c : casi) {
    SCOPED_TRACE(c.parola);
    const lettura_prova minuscole(c.linea, c.servizio, 1);
    ASSERT_EQ(minuscole.m.codice_errore, 0);
    for (const std::string& a : minuscole.avvisi)
      EXPECT_EQ(a.find("sconosciuta"), std::string::npos) << a;
    EXPECT_FALSE(stesso_modello(minuscole.m, vuota.m)) << "the record changed nothing";
    for (const std::string& scritta :
         {maiuscole(std::string(c.parola)), alterne(std::string(c.parola))}) {
      const auto cambia = [&](std::string t) {
        const std::size_t p = t.find(c.parola);
        return p == std::string::npos ? t : t.replace(p, c.parola.size(), scritta);
      };
      const lettura_prova r(cambia(c.linea), cambia(c.servizio), 1);
      EXPECT_EQ(r.m.codice_errore, 0) << scritta;
      EXPECT_EQ(r.avvisi, minuscole.avvisi) << scritta;
      EXPECT_TRUE(stesso_modello(r.m, minuscole.m)) << scritta;
    }
  }
}

// ---------------------------------------------------------------------------
// Stretch fills.

TEST(Riempimenti, GradientsFromRowsAndCompletion) {
  // 7000 m of grid: cells 0 to 140.
  const lettura_prova r(linea({"pendenza, 0, 0", "pendenza, 100, 15",
                               // the cell already reached still gets one write
                               "pendenza, 110, -3", "pendenza, 300, 28", "PENDENZA, 6850, 200"},
                              "lunghezza percorso, 0"),
                        servizio_vuoto);
  ASSERT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(colonna(r.m, &cella::pendenza, 0, 8), "100 100 115 97 97 97 128 128 128");
  // The last row's gradient keeps its low 8 bits (300 -> 44); from numero_celle - 2
  // on the cells keep 0.
  EXPECT_EQ(colonna(r.m, &cella::pendenza, 135, 140), "128 128 44 0 0 0");
}

TEST(Riempimenti, SpeedsInFifthsAndAdhesion) {
  const lettura_prova r(linea_vuota,
                        servizio({"velocita, 0, 77", "velocita, 100, 88", "VELOCITA, 200, 30",
                                  "aderenza, 0, 110", "aderenza, 150, 300"}));
  ASSERT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(colonna(r.m, &cella::velocita_linea, 0, 5), "15 15 18 18 6 6");
  EXPECT_EQ(colonna(r.m, &cella::aderenza, 0, 5), "110 110 110 44 44 44");
  // 17000 m of grid: cells 0 to 340, the last three keep 0.
  EXPECT_EQ(colonna(r.m, &cella::velocita_linea, 336, 340), "6 6 0 0 0");
  EXPECT_EQ(colonna(r.m, &cella::aderenza, 336, 340), "44 44 0 0 0");
}

TEST(Riempimenti, CellsBeforeAFirstRowPastZeroGetZero) {
  // The first row's cell is nearest(p / 50): the cells before it keep the
  // value before any row (gradient 0, speed and adhesion 0); a row on cell 0
  // only sets the value that the next row or the completion writes.
  const struct {
    std::string p;
    std::string pendenza, velocita, aderenza;  // cells 0..5
  } casi[] = {
      {"25", "110 110 110 110 110 110", "10 10 10 10 10 10", "90 90 90 90 90 90"},
      {"50", "100 110 110 110 110 110", "0 10 10 10 10 10", "0 90 90 90 90 90"},
      {"100", "100 100 110 110 110 110", "0 0 10 10 10 10", "0 0 90 90 90 90"},
      {"200", "100 100 100 100 110 110", "0 0 0 0 10 10", "0 0 0 0 90 90"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.p);
    const lettura_prova r(linea({"pendenza, " + c.p + ", 10"}, "lunghezza percorso, 0"),
                          servizio({"velocita, " + c.p + ", 50", "aderenza, " + c.p + ", 90"}));
    EXPECT_EQ(colonna(r.m, &cella::pendenza, 0, 5), c.pendenza);
    EXPECT_EQ(colonna(r.m, &cella::velocita_linea, 0, 5), c.velocita);
    EXPECT_EQ(colonna(r.m, &cella::aderenza, 0, 5), c.aderenza);
  }
}

TEST(Riempimenti, RowsCrowdedAtTheEndNeverWritePastTheGrid) {
  std::string pendenze, righe;
  for (int i = 0; i < 10; ++i) pendenze += "pendenza, 6900, " + std::to_string(i) + "\r\n";
  for (int i = 0; i < 10; ++i)
    righe += "velocita, 6900, " + std::to_string(50 + 5 * i) + "\r\naderenza, 6900, " +
             std::to_string(i) + "\r\n";
  const lettura_prova r(testo({"[generale]", "lunghezza percorso, 0", "[curve]"}) + pendenze,
                        testo({"[generale]"}) + righe);
  ASSERT_EQ(r.m.codice_errore, 0);
  ASSERT_EQ(r.m.numero_celle, 140);
  // Gradient and adhesion rows each write one cell on, up to cell 140; the
  // speed fill stops before numero_celle, and its completion writes that cell.
  EXPECT_EQ(colonna(r.m, &cella::pendenza, 137, 140), "100 100 101 102");
  EXPECT_EQ(colonna(r.m, &cella::aderenza, 137, 140), "0 0 1 2");
  EXPECT_EQ(colonna(r.m, &cella::velocita_linea, 137, 140), "0 10 11 19");
}

TEST(Riempimenti, ASpeedWhoseFifthDoesNotFitAByteFailsAtItsRow) {
  {
    const lettura_prova r(linea_vuota, servizio({"velocita, 0, 1277", "velocita, 100, 0"}));
    EXPECT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(r.m.celle[0].velocita_linea, 255);
  }
  for (std::string_view v : {"velocita, 0, 1278", "velocita, 0, -3"}) {
    const lettura_prova r(linea_vuota, servizio({"velocita, 0, 50", v, "sabbia, 3"}));
    EXPECT_EQ(r.m.codice_errore, errore_lettura) << v;
    EXPECT_EQ(r.luogo(), "servizio.txt:4");
    EXPECT_NE(ultimo_luogo(r.m).dettaglio.find("km/h"), std::string::npos);
    EXPECT_EQ(r.consumi(), "LS");
  }
}

// ---------------------------------------------------------------------------
// Text boards and speed check points.

TEST(Cartelli, BoardCellSlotAndText) {
  const lettura_prova r(
      linea({"cartello_indicatore, 2800,   (PRIMO)", "CARTELLO_INDICATORE, 75, \"(A, B)\"",
             "montagna, 3000, 4000, 11", "cartello_indicatore, 3100, (SUL SEGNO)"},
            "lunghezza percorso, 20000"),
      servizio_vuoto);
  ASSERT_EQ(r.m.codice_errore, 0);
  // 75 m: nearest(1.5 + 1) = 2. Cell 63 held a mountain marker.
  EXPECT_EQ(eventi(r.m, 0, 59), "2: 14 [79 0 0 0]\n57: 14 [80 0 0 0]\n");
  EXPECT_EQ(eventi(r.m, 63, 63), "63: 14 [78 0 0 0] montagna 1\n");
  EXPECT_EQ(eventi(r.m, 67, 67), "67: 11 [0 0 0 0] montagna 1\n");
  EXPECT_EQ(r.m.tabella_servizio[80].testo, "(PRIMO)");
  EXPECT_EQ(r.m.tabella_servizio[79].testo, "(A, B)");
  EXPECT_EQ(r.m.tabella_servizio[78].testo, "(SUL SEGNO)");
}

TEST(Cartelli, EightyBoardsFitAnEightyFirstFails) {
  std::string ottanta;
  for (int i = 0; i < 80; ++i)
    ottanta += "cartello_indicatore, " + std::to_string(100 * i) + ", C\r\n";
  {
    const lettura_prova r(testo({"[generale]", "lunghezza percorso, 10000", "[curve]"}) + ottanta,
                          servizio_vuoto);
    EXPECT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(r.m.tabella_servizio[1].testo, "C");
    EXPECT_EQ(r.m.tabella_servizio[0], voce_servizio{});
  }
  const lettura_prova r(testo({"[generale]", "lunghezza percorso, 10000", "[curve]"}) + ottanta +
                            "cartello_indicatore, 9000, D\r\n",
                        servizio_vuoto);
  EXPECT_EQ(r.m.codice_errore, errore_lettura);
  EXPECT_EQ(ultimo_luogo(r.m).dettaglio, "oltre 80 cartelli indicatori");
  EXPECT_EQ(r.luogo(), "linea.txt:84");
  EXPECT_EQ(r.m.celle[181].tipo_cella, 0);
  EXPECT_EQ(r.m.tabella_servizio[0], voce_servizio{});
  EXPECT_EQ(r.consumi(), "LS");
}

TEST(Abbattimenti, TypesByValueAndTheirCell) {
  const lettura_prova r(linea_vuota, servizio({"abbattimento, -25, 1", "abbattimento, 1000, 60",
                                               "abbattimento, 1125, 0", "abbattimento, 1225, -4"}));
  ASSERT_EQ(r.m.codice_errore, 0);
  // nearest(p / 50), no + 1: -25 m -> -0.5 -> 0, the first cell; 1125 m ->
  // 22.5 -> 22; 1225 m -> 24.5 -> 24. A speed of 1 is a speed.
  EXPECT_EQ(eventi(r.m, 0, 40),
            "0: 12 [1 0 0 0]\n20: 12 [60 0 0 0]\n22: 13 [0 0 0 0]\n24: 13 [0 0 0 0]\n");
}

// ---------------------------------------------------------------------------
// Stations.

constexpr std::string_view prima_stazione =
    "stazione,       0,  4, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,   0,55, 0, QUARVE";

TEST(Stazioni, FirstStationOfTheBuiltInRoute) {
  const lettura_prova r(linea_vuota, servizio({prima_stazione}));
  ASSERT_EQ(r.m.codice_errore, 0);
  // Zone -500..500; codice_5 read as 1 and codice_4 cleared on the first station.
  EXPECT_EQ(stazione(r.m, 1), "4 [-500,500] 0 c00100 i1,1,4,1,1 3300 QUARVE");
  EXPECT_EQ(eventi(r.m, 0, 20),
            "5: 0 [0 0 0 0] avviso 84\n6: 0 [0 0 0 0] avviso 83\n7: 0 [0 0 0 0] avviso 82\n8: 0 [0 "
            "0 0 0] avviso 81\n9: 10 [1 0 0 0]\n");
}

TEST(Stazioni, ZonesStopsAndApproachCodesByType) {
  const struct {
    std::string nome;
    std::string_view riga;  // the second station, after the built-in first one
    std::string slot;
    std::string celle;  // cells 20..1000 holding anything
  } casi[] = {
      {"ordinary with codice_4: ends 50 m later",
       "stazione, 10000, 4, 600, 7, 8, 1, 2,3,4, 5,6,7, 9, 1,2,3, SECONDA",
       "4 [9700,10350] 10000 c74918 i2,3,5,6,7 3723 SECONDA",
       "202: 0 [0 0 0 0] avviso 84\n203: 0 [0 0 0 0] avviso 83\n204: 0 [0 0 0 0] avviso 82\n205: 0 "
       "[0 0 0 0] avviso 81\n206: 10 [2 0 0 0]\n"},
      {"type 5: ends at p + 150, stop without codes",
       "stazione, 20000, 5, 800, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, B",
       "5 [19200,20150] 20000 c00001 i0,0,0,0,0 0 B", "402: 10 [2 0 0 0]\n"},
      {"type 6 as type 5", "stazione, 20000, 6, 100, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, B",
       "6 [19900,20150] 20000 c00000 i0,0,0,0,0 0 B", "402: 10 [2 0 0 0]\n"},
      {"type 7: p - L to p + L, short platform clears codice_5",
       "stazione, 30000, 7, 400, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, C",
       "7 [29600,30400] 30000 c00000 i0,0,0,0,0 0 C",
       "603: 0 [0 0 0 0] avviso 84\n604: 0 [0 0 0 0] avviso 83\n605: 0 [0 0 0 0] avviso 82\n606: 0 "
       "[0 0 0 0] avviso 81\n607: 10 [2 0 0 0]\n"},
      {"type 8 as type 7", "stazione, 30000, 8, 600, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, C",
       "8 [29400,30600] 30000 c00001 i0,0,0,0,0 0 C",
       "607: 0 [0 0 0 0] avviso 84\n608: 0 [0 0 0 0] avviso 83\n609: 0 [0 0 0 0] avviso 82\n610: 0 "
       "[0 0 0 0] avviso 81\n611: 10 [2 0 0 0]\n"},
      {"type 25: no stop, no codes", "stazione, 40000, 25, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, D",
       "25 [39700,40300] 40000 c00000 i0,0,0,0,0 0 D", ""},
      {"type 24: ordinary", "stazione, 40000, 24, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, D",
       "24 [39700,40300] 40000 c00000 i0,0,0,0,0 0 D",
       "801: 0 [0 0 0 0] avviso 84\n802: 0 [0 0 0 0] avviso 83\n803: 0 [0 0 0 0] avviso 82\n804: 0 "
       "[0 0 0 0] avviso 81\n805: 10 [2 0 0 0]\n"},
      // A stop replaces whatever its cell held.
      {"stop over a speed check point",
       "abbattimento, 10250, 60\r\nstazione, 10000, 4, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, E",
       "4 [9700,10300] 10000 c00000 i0,0,0,0,0 0 E",
       "201: 0 [0 0 0 0] avviso 84\n202: 0 [0 0 0 0] avviso 83\n203: 0 [0 0 0 0] avviso 82\n204: 0 "
       "[0 0 0 0] avviso 81\n205: 10 [2 0 0 0]\n"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(linea({}, "lunghezza percorso, 50000"),
                          servizio({prima_stazione, c.riga}));
    ASSERT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(stazione(r.m, 2), c.slot);
    EXPECT_EQ(eventi(r.m, 20, 1000), c.celle);
  }
}

TEST(Stazioni, FirstStationWithCodice4KeepsTheLongerZoneButClearsTheFlag) {
  const lettura_prova r(linea_vuota,
                        servizio({"stazione, 10000, 4, 600, 0, 1, 1, 0,0,0, 0,0,0, 0, 0,0,0, A"}));
  EXPECT_EQ(stazione(r.m, 1), "4 [9700,10350] 10000 c00000 i0,0,0,0,0 0 A");
}

// A zone ending just past 100 m still has its stop (error 24 is for 100 m
// and less), and approach codes that would fall on cells 0 and 1 are left out.
TEST(Stazioni, AStopNearTheStartAndItsApproachCodes) {
  const struct {
    std::string_view riga;
    std::string celle;  // cells 0..10
  } casi[] = {
      // Zone -150..150: stop on cell 2, its codes on cells 1 to -2.
      {"stazione, 0, 4, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "2: 10 [1 0 0 0]\n"},
      // 50 + 50, plus 50 for codice_4 (cleared only after the zone is computed).
      {"stazione, 50, 4, 100, 0,0,1, 0,0,0, 0,0,0, 0, 0,0,0, A", "2: 10 [1 0 0 0]\n"},
      {"stazione, 0, 5, 100, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "2: 10 [1 0 0 0]\n"},
      {"stazione, 0, 4, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
       "2: 0 [0 0 0 0] avviso 81\n3: 10 [1 0 0 0]\n"},
      {"stazione, 0, 4, 500, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
       "2: 0 [0 0 0 0] avviso 82\n3: 0 [0 0 0 0] avviso 81\n4: 10 [1 0 0 0]\n"},
  };
  for (const auto& c : casi) {
    const lettura_prova r(linea_vuota, servizio({c.riga}));
    EXPECT_EQ(r.m.codice_errore, 0) << c.riga;
    EXPECT_EQ(eventi(r.m, 0, 10), c.celle) << c.riga;
  }
}

TEST(Stazioni, ErrorsWithTheirPositionsAndWhatWasWritten) {
  const struct {
    std::string nome;
    std::string_view riga;
    std::int32_t codice;
    std::int32_t posizione;
    std::string slot_2;
    std::string celle;  // cells 20..400
  } casi[] = {
      {"spacing 400 m with 600 m zones",
       "stazione, 1000, 4, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n"
       "stazione, 1400, 4, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B",
       errore_distanza_stazioni, 1400, "4 [1100,1700] 1400 c00000 i0,0,0,0,0 0 B",
       // The refused station has written its slot, but no cell.
       "21: 0 [0 0 0 0] avviso 84\n22: 0 [0 0 0 0] avviso 83\n23: 0 [0 0 0 0] avviso 82\n24: 0 [0 "
       "0 0 0] avviso 81\n25: 10 [1 0 0 0]\n"},
      {"position not a multiple of 50", "stazione, 1010, 4, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
       errore_stazione_posizione, 1010, "0 [0,0] 0 c00000 i0,0,0,0,0 0 ", ""},
      {"zone length not a multiple of 100",
       "stazione, 1000, 4, 650, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", errore_stazione_lunghezza, 1000,
       "0 [0,0] 0 c00000 i0,0,0,0,0 0 ", ""},
      {"zone ending at 100 m", "stazione, 0, 4, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
       errore_fermata_iniziale, -7, "0 [0,0] 0 c00000 i0,0,0,0,0 0 ", ""},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    // Station 1 at the start of each case is the one refused unless there are two.
    const lettura_prova r(linea_vuota, servizio({c.riga, "sabbia, 9"}));
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.m.posizione_errore, c.posizione);
    EXPECT_EQ(stazione(r.m, 2), c.slot_2);
    EXPECT_EQ(eventi(r.m, 20, 400), c.celle);
    // The reader ended there: nothing after it was read.
    EXPECT_EQ(r.m.tabella_servizio[slot_generale].intero_1, 0);
    EXPECT_EQ(r.consumi(), "LS");
  }
}

TEST(Stazioni, RefusedStationsWriteTheFieldsReadBeforeTheCheck) {
  const lettura_prova a(linea_vuota,
                        servizio({"stazione, 1010, 4, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}));
  EXPECT_EQ(stazione(a.m, 1), "0 [0,0] 1010 c00000 i0,0,0,0,0 0 ");
  const lettura_prova b(linea_vuota,
                        servizio({"stazione, 1000, 6, 650, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}));
  EXPECT_EQ(stazione(b.m, 1), "6 [0,0] 1000 c00000 i0,0,0,0,0 0 ");
  EXPECT_EQ(b.luogo(), "servizio.txt:3");
}

TEST(Stazioni, TooManyForTheFreeSlots) {
  const auto stazioni = [](int n) {
    std::string s = testo({"[generale]"});
    for (int i = 0; i < n; ++i)
      s += "stazione, " + std::to_string(1000 * i) +
           ", 25, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n";
    return s;
  };
  // No boards: slots 1 to 79 are free and 78 stations are accepted.
  {
    const lettura_prova r(linea({}, "lunghezza percorso, 100000"), stazioni(78) + "[fine]\r\n");
    EXPECT_EQ(r.m.codice_errore, 0);
    EXPECT_EQ(r.m.tabella_servizio[78].testo, "X");
  }
  {
    const lettura_prova r(linea({}, "lunghezza percorso, 100000"), stazioni(79) + "[fine]\r\n");
    EXPECT_EQ(r.m.codice_errore, errore_troppe_stazioni);
    EXPECT_EQ(r.m.posizione_errore, -7);
    EXPECT_EQ(r.luogo(), "servizio.txt:80");
  }
  // Four boards leave room for 74.
  const std::string quattro = linea({"cartello_indicatore, 100, A", "cartello_indicatore, 200, B",
                                     "cartello_indicatore, 300, C", "cartello_indicatore, 400, D"},
                                    "lunghezza percorso, 100000");
  EXPECT_EQ(lettura_prova(quattro, stazioni(74) + "[fine]\r\n").m.codice_errore, 0);
  EXPECT_EQ(lettura_prova(quattro, stazioni(75) + "[fine]\r\n").m.codice_errore,
            errore_troppe_stazioni);
}

TEST(Stazioni, AStopBeyondTheGridIsRefusedBeforeItsApproachCodes) {
  // 7000 m of grid, cells 0 to 140: the range check lets 6200 pass, the zone
  // ends at 7200 and the stop would be cell 143.
  const lettura_prova r(linea({}, "lunghezza percorso, 0"),
                        servizio({"stazione, 6200, 4, 2000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}));
  EXPECT_EQ(r.m.codice_errore, errore_fuori_griglia);
  EXPECT_EQ(r.m.posizione_errore, 6200);
  EXPECT_EQ(eventi(r.m, 0, 140), "");
  EXPECT_EQ(r.consumi(), "LS");
  // With the range check's own 800 m, the data loop ends and the reading goes on.
  const lettura_prova s(
      linea({}, "lunghezza percorso, 0"),
      servizio({"velocita, 0, 50", "stazione, 6250, 4, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A",
                "velocita, 100, 100"}));
  EXPECT_EQ(s.m.codice_errore, errore_fuori_griglia);
  EXPECT_EQ(s.m.posizione_errore, 6250);
  EXPECT_EQ(s.m.tabella_servizio[1].valore_3, 6250);
  EXPECT_EQ(colonna(s.m, &cella::velocita_linea, 0, 3), "10 10 10 10");
  EXPECT_EQ(s.m.celle[137].velocita_linea, 10);
}

TEST(Stazioni, ValuesBeyondTheirFieldsFail) {
  const struct {
    std::string_view riga;
    std::string_view nel_dettaglio;
  } casi[] = {
      {"stazione, 0, 4, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 1000000,0,0, A", "orario"},
      {"stazione, -2000000000, 7, 2000000000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "zona"},
      {"stazione, 0, 256, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "tipo della stazione"},
      {"stazione, 0, 4, 1000, 0,0,0, 40000,0,0, 0,0,0, 0, 0,0,0, A", "intero_1"},
  };
  for (const auto& c : casi) {
    const lettura_prova r(linea_vuota, servizio({c.riga}));
    EXPECT_EQ(r.m.codice_errore, errore_lettura) << c.riga;
    EXPECT_NE(ultimo_luogo(r.m).dettaglio.find(c.nel_dettaglio), std::string::npos)
        << ultimo_luogo(r.m).dettaglio;
    EXPECT_EQ(r.luogo(), "servizio.txt:3");
  }
}

// ---------------------------------------------------------------------------
// Errors, positions and which files remain.

std::string ottantuno_tratti_di_montagna() {
  std::string l = testo({"[generale]", "lunghezza percorso, 10000", "[curve]"});
  for (int i = 0; i < 81; ++i)
    l += "montagna, " + std::to_string(100 * i) + ", " + std::to_string(100 * i + 50) + ", 1\r\n";
  return l;
}

TEST(Errori, EveryOutcomeWithItsPositionPlaceAndFiles) {
  const struct {
    std::string nome;
    std::optional<std::string> linea;
    std::optional<std::string> servizio;
    std::int32_t codice;
    std::int32_t posizione;
    std::string luogo;
    std::string consumi;
    bool linea_illeggibile = false;
  } casi[] = {
      {"success", linea_vuota, servizio_vuoto, 0, -7, ":0", "LS"},
      {"6: board on a taken cell",
       linea({"cartello_indicatore, 1000, A", "cartello_indicatore, 1010, B"}), servizio_vuoto,
       errore_cartello, 1010, "linea.txt:5", "L"},
      {"15 by a board before the grid", linea({"cartello_indicatore, -100, A"}), servizio_vuoto,
       errore_fuori_griglia, -100, "linea.txt:4", "L"},
      {"21: speed board on a board",
       linea({"cartello_indicatore, 1000, A", "indicatori_vmax, 1000, 50,50,50, 0, , , , 0"}),
       servizio_vuoto, errore_indicatore, 1000, "linea.txt:5", "L"},
      {"103: curve without a degree", linea({"curvas, 100, 100"}), servizio_vuoto, errore_curva, -7,
       "linea.txt:4", "L"},
      {"25: a mountain stretch too many", ottantuno_tratti_di_montagna(), servizio_vuoto,
       errore_lettura, -7, "linea.txt:84", "LS"},
      {"15 in the line source: the reader goes on", linea({"pendenza, 16950, 5", "pendenza, 0, 0"}),
       servizio({"sabbia, 4"}), errore_fuori_griglia, 16950, "linea.txt:4", "LS"},
      {"15 in the service source", linea_vuota, servizio({"segnale, 16950, 1,1,1,1,1,1,1,1,1,0"}),
       errore_fuori_griglia, 16950, "servizio.txt:3", "LS"},
      {"7: check point on a signal", linea_vuota,
       servizio({"segnale, 1450, 1, 4, 0, 0, 0, 1, 3, 0, 0, 0", "abbattimento, 1500, 5"}),
       errore_abbattimento, 1500, "servizio.txt:4", "LS"},
      {"15: check point before the grid", linea_vuota, servizio({"abbattimento, -26, 5"}),
       errore_fuori_griglia, -26, "servizio.txt:3", "LS"},
      {"16: signal on a signal", linea_vuota,
       servizio({"segnale, 1450, 1,4,0,0,0,1,3,0,0,0", "segnale, 1460, 1,4,0,0,0,1,3,0,0,0"}),
       errore_segnale, 1460, "servizio.txt:4", "LS"},
      {"18: slowdown start on a signal", linea_vuota,
       servizio({"segnale, 1450, 1,4,0,0,0,1,3,0,0,0", "rallentamento, 1450, 50, 100, 1, 0, 0"}),
       errore_inizio_rallentamento, 1450, "servizio.txt:4", "LS"},
      // The slowdown at 5000: warning cell 77, start 101, end 103, pre-warning 76 to 73.
      {"17: warning point on a signal", linea_vuota,
       servizio({"segnale, 3800, 1,4,0,0,0,1,3,0,0,0", "rallentamento, 5000, 50, 100, 1, 0, 0"}),
       errore_avviso_rallentamento, 5000, "servizio.txt:4", "LS"},
      {"19: slowdown end on a signal", linea_vuota,
       servizio({"segnale, 5100, 1,4,0,0,0,1,3,0,0,0", "rallentamento, 5000, 50, 100, 1, 0, 0"}),
       errore_fine_rallentamento, 5000, "servizio.txt:4", "LS"},
      {"20: pre-warning cell on a signal", linea_vuota,
       servizio({"segnale, 3700, 1,4,0,0,0,1,3,0,0,0", "rallentamento, 5000, 50, 100, 1, 1, 0"}),
       errore_preavviso, 5000, "servizio.txt:4", "LS"},
      {"25: line source cannot be opened", linea_vuota, servizio_vuoto, errore_lettura, -7,
       "linea.txt:0", "LS", /*linea_illeggibile=*/true},
      {"25: service source missing", linea_vuota, std::nullopt, errore_lettura, -7,
       "servizio.txt:0", "L"},
      {"25: bad number in the line source", linea({"pendenza, 1x, 0"}), servizio_vuoto,
       errore_lettura, -7, "linea.txt:4", "LS"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(c.linea, c.servizio, /*genera=*/1, /*conserva=*/false,
                          c.linea_illeggibile);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.m.posizione_errore, c.posizione);
    EXPECT_EQ(r.luogo(), c.luogo);
    EXPECT_EQ(r.consumi(), c.consumi);
    // Whatever was consumed is gone, and the service source stays when the
    // reader ended in the line source.
    EXPECT_EQ(r.rimasti(), c.consumi == "L" && c.servizio ? "servizio " : "");
  }
}

TEST(Errori, APlacementEndsTheReaderOnlyWhenThatCallRefused) {
  // Error 15 in the line source; then a signal, a slowdown and a station are
  // accepted in the service source, which is read to its end.
  const std::string l = linea({"pendenza, 26950, 5"}, "lunghezza percorso, 20000");
  const lettura_prova r(
      l, servizio({"segnale, 17400, 2, 3, 1, 0, 0, 2, 2, 0, 0, 0",
                   "rallentamento, 5000, 50, 100, 1, 0, 0",
                   "stazione, 8000, 25, 600, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A", "sabbia, 8"}));
  EXPECT_EQ(r.m.codice_errore, errore_fuori_griglia);
  EXPECT_EQ(r.m.posizione_errore, 26950);
  EXPECT_EQ(r.luogo(), "linea.txt:4");
  EXPECT_EQ(r.m.tabella_servizio[1].testo, "A");
  EXPECT_EQ(r.m.tabella_servizio[slot_generale].intero_1, 8);
  EXPECT_EQ(r.m.celle[349].tipo_cella, cella_segnale);
  // The line source's 15 still completed its gradients.
  EXPECT_EQ(r.m.celle[537].pendenza, 100);
  // A refusal after that replaces it and ends the reader.
  const lettura_prova s(l, servizio({"segnale, 1450, 1,4,0,0,0,1,3,0,0,0",
                                     "segnale, 1460, 1,4,0,0,0,1,3,0,0,0", "sabbia, 8"}));
  EXPECT_EQ(s.m.codice_errore, errore_segnale);
  EXPECT_EQ(s.m.posizione_errore, 1460);
  EXPECT_EQ(s.m.tabella_servizio[slot_generale].intero_1, 0);
}

TEST(Errori, AnAuthorsFilesAreConsumedOnceAndStay) {
  const lettura_prova r(linea({"pendenza, 1x, 0"}), servizio_vuoto, 0, /*conserva=*/true);
  EXPECT_EQ(r.m.codice_errore, errore_lettura);
  EXPECT_EQ(r.consumi(), "LS");
  EXPECT_EQ(r.rimasti(), "linea servizio ");
  const lettura_prova s(linea_vuota, servizio({"abbattimento, 1000, 5"}), 0, true);
  EXPECT_EQ(s.consumi(), "LS");
}

TEST(Errori, ReadingFailuresSayWhatWasWrongAndTheLikelyCause) {
  const struct {
    std::string nome;
    std::string linea;
    std::string servizio;
    std::int32_t codice;
    std::string luogo;
    std::vector<std::string_view> nel_dettaglio;
    std::vector<std::string_view> non_nel_dettaglio;
  } casi[] = {
      // The byte-order mark, harmless before [generale], is not blamed.
      {"UTF-8 byte-order mark",
       "\xEF\xBB\xBF" + linea({"pendenza, 0, 1.5"}),
       servizio_vuoto,
       errore_lettura,
       "linea.txt:4",
       {"voce \"1.5\" non e' un numero intero per il campo pendenza", "punto decimale"},
       {"BOM"}},
      {"semicolons",
       linea_vuota,
       testo({"[generale]", "velocita;0;50", "velocita;100;60"}),
       errore_lettura,
       "servizio.txt:2",
       {"\"velocita;100;60\"", "';' usato come separatore"},
       {}},
      {"quoted decimal comma",
       linea({"pendenza, 0, \"1,5\""}),
       servizio_vuoto,
       errore_lettura,
       "linea.txt:4",
       {"virgola decimale"},
       {}},
      {"file ends inside a record",
       linea_vuota,
       "[generale]\r\nsegnale, 100, 1",
       errore_lettura,
       "servizio.txt:2",
       {"fine del file dentro un record (manca il campo s1)"},
       {}},
      {"UTF-16",
       std::string("\xFF\xFE[\0g\0", 6),
       servizio_vuoto,
       errore_manca_generale,
       "linea.txt:0",
       {"UTF-16"},
       {}},
      // Lines ended by CR alone: the file is one line, and the failure says why.
      {"CR alone",
       "[generale]\rlunghezza percorso, 1000\r[curve]\r[fine]\r",
       servizio_vuoto,
       errore_lettura,
       "linea.txt:1",
       {"il solo CR", "senza la lunghezza del percorso"},
       {}},
      // A NUL byte and a CR in the item are shown escaped, whole.
      {"bytes that cut or garble a message",
       linea({std::string_view("pendenza, 0, 1\0\r5", 17)}),
       servizio_vuoto,
       errore_lettura,
       "linea.txt:4",
       {"voce \"1\\0\\r5\" non e' un numero"},
       {}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(c.linea, c.servizio);
    EXPECT_EQ(r.m.codice_errore, c.codice);
    EXPECT_EQ(r.luogo(), c.luogo);
    for (std::string_view d : c.nel_dettaglio)
      EXPECT_NE(ultimo_luogo(r.m).dettaglio.find(d), std::string::npos)
          << ultimo_luogo(r.m).dettaglio;
    for (std::string_view d : c.non_nel_dettaglio)
      EXPECT_EQ(ultimo_luogo(r.m).dettaglio.find(d), std::string::npos)
          << ultimo_luogo(r.m).dettaglio;
  }
}

// The likely cause named for a reading failure is that of the file being
// read: line ends of the line source, which was read without trouble, say
// nothing about a failure in the service source.
TEST(Errori, TheLikelyCauseIsThatOfTheFileThatFailed) {
  // Lines ended by CR alone: the records stand on one line, as items.
  const std::string linea_solo_cr = "[generale]\r, lunghezza percorso, 0, [curve], [fine]\r";
  const std::string cattivo = servizio({"sabbia, 3x"});
  const struct {
    std::string nome;
    std::string linea;
    std::optional<std::string> servizio;
    std::string luogo;
    bool causa;
  } casi[] = {
      {"line ends of the line source, failure in the service source", linea_solo_cr, cattivo,
       "servizio.txt:3", false},
      {"line ends of the line source, service source missing", linea_solo_cr, std::nullopt,
       "servizio.txt:0", false},
      {"line ends of the service source", linea_vuota, "[generale]\r, sabbia, 3x\r",
       "servizio.txt:1", true},
      {"line ends of the line source, failure there",
       "[generale]\r, lunghezza percorso, 0, [curve], pendenza, 0, 3x\r", servizio_vuoto,
       "linea.txt:1", true},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const lettura_prova r(c.linea, c.servizio);
    EXPECT_EQ(r.m.codice_errore, errore_lettura);
    EXPECT_EQ(r.luogo(), c.luogo);
    EXPECT_EQ(ultimo_luogo(r.m).dettaglio.find("il solo CR") != std::string::npos, c.causa)
        << ultimo_luogo(r.m).dettaglio;
  }
}

// ---------------------------------------------------------------------------
// Warnings about keywords that match nothing.

TEST(Avvisi, UnknownKeywordsOfTheDataPartsWithTheirLines) {
  const lettura_prova r(
      testo({"[generale]", "lunghezza percorso, 10000", "sfondo sconosciuto, 3", "[curve]",
             "curvad5, 1850, 300", "[pendenze]", "pendenza, 0, 0, 7", "-- commento",
             "pendenz, 100, 3", "[fine]"}),
      testo({"preambolo", "[generale]", "segnlae, 4000, 1, 4, 0, 0, 0, 1, 3, 0, 0, 0", "[stazioni]",
             "", "[fine]"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  // Without the track the curve record and its numbers are no typos; a
  // misspelt record is told once, at its keyword, in the [generale] part too;
  // an extra field is told as such, the record having been read.
  EXPECT_EQ(r.avvisi,
            (std::vector<std::string>{
                "linea.txt:3: parola chiave sconosciuta \"sfondo sconosciuto\", record ignorato",
                "linea.txt:7: voci in piu' dopo il record \"pendenza\": \"7\" e il resto della "
                "riga vengono ignorati (il record e' stato letto)",
                "linea.txt:9: parola chiave sconosciuta \"pendenz\", record ignorato",
                "servizio.txt:3: parola chiave sconosciuta \"segnlae\", record ignorato",
                "servizio.txt:0: nessuna stazione nel file del servizio",
                "servizio.txt:0: nessun segnale nel file del servizio",
                "servizio.txt:0: nessuna riga velocita nel file del servizio: la velocita' della "
                "linea e' 0 ovunque"}));
}

// The first record of a data part is warned about like any other, on the
// line right after the part's opening or on the same line.
TEST(Avvisi, AnUnknownKeywordRightAfterTheOpeningOfADataPart) {
  const struct {
    std::string linea;
    std::string servizio;
    std::string avviso;
  } casi[] = {
      {linea_vuota, testo({"[generale]", "vetturre, 11", "[fine]"}),
       "servizio.txt:2: parola chiave sconosciuta \"vetturre\", record ignorato"},
      {linea_vuota, testo({"[generale], vetturre, 11", "[fine]"}),
       "servizio.txt:1: parola chiave sconosciuta \"vetturre\", record ignorato"},
      {testo({"[generale]", "lunghezza percorso, 0", "[curve]", "pendenz, 5, 5", "[fine]"}),
       servizio_vuoto, "linea.txt:4: parola chiave sconosciuta \"pendenz\", record ignorato"},
      {testo({"[generale]", "lunghezza percorso, 0", "[curve], pendenz, 5, 5", "[fine]"}),
       servizio_vuoto, "linea.txt:3: parola chiave sconosciuta \"pendenz\", record ignorato"},
  };
  for (const auto& c : casi) {
    const lettura_prova r(c.linea, c.servizio);
    EXPECT_EQ(r.m.codice_errore, 0) << c.avviso;
    EXPECT_NE(std::find(r.avvisi.begin(), r.avvisi.end(), c.avviso), r.avvisi.end()) << c.avviso;
  }
}

TEST(Avvisi, AServiceSourceWithoutItsGeneralPartIsToldAbout) {
  const lettura_prova r(linea_vuota, testo({".", "[generali]", "stazione, 0, 4", "[fine]"}));
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.avvisi.front(),
            "servizio.txt:0: nessun \"[generale]\": nessun dato del file viene letto");
}

TEST(Avvisi, WithTheTrackTheCurveIsARecord) {
  const lettura_prova r(linea({"curvad5, 1850, 300", "curvas3, 2500, 100"}),
                        servizio({"velocita, 0, 50", "segnale, 1550, 1, 4, 0,  0, 0, 1,  3,0,0, 0",
                                  "stazione, 0, 4, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A"}),
                        1);
  EXPECT_EQ(r.m.codice_errore, 0);
  EXPECT_EQ(r.avvisi, std::vector<std::string>{});
}

// ---------------------------------------------------------------------------
// Curves reach the track only with genera_linea.

TEST(Curve, OnlyWithTheTrackAndInAnyCase) {
  const std::string dritta = linea({}, "lunghezza percorso, 0");
  const std::string curva = linea({"CURVAD5, 1850, 300"}, "lunghezza percorso, 0");
  const lettura_prova senza(curva, servizio_vuoto, 0);
  EXPECT_TRUE(senza.m.tracciato.vuoto());
  const lettura_prova a(dritta, servizio_vuoto, 1);
  const lettura_prova b(curva, servizio_vuoto, 1);
  ASSERT_EQ(b.m.codice_errore, 0);
  EXPECT_EQ(a.m.tracciato.tipo(1, 1), tipo_elemento::intero);
  EXPECT_EQ(a.m.tracciato.valore(1850, 0), 0.0);
  EXPECT_EQ(b.m.tracciato.valore(1850, 0), 0.0);
  // A right curve turns towards the first component.
  EXPECT_GT(b.m.tracciato.valore(2150, 0), 0.0);
  EXPECT_EQ(b.m.tracciato.tipo(6998, 0), tipo_elemento::reale);
  EXPECT_EQ(b.m.tracciato.tipo(6999, 0), tipo_elemento::vuoto);
  // A curve past the grid fails whole, with the line it stands on.
  const lettura_prova c(linea({"curvad5, 6800, 300"}, "lunghezza percorso, 0"), servizio_vuoto, 1);
  EXPECT_EQ(c.m.codice_errore, errore_lettura);
  EXPECT_EQ(c.luogo(), "linea.txt:4");
}

// ---------------------------------------------------------------------------
// The built-in sources read back.

TEST(LetturaScenario, BuiltInSourcesReadBackWithoutErrorOrWarning) {
  fonte_memoria fonte(testo_da_righe(righe_linea()), testo_da_righe(righe_treno()));
  modello m;
  m.nome_linea = "Quarve_Lentra";
  m.numero_treno = "58213";
  m.genera_linea = 1;
  m.svuota_tabella();
  memorizza_dati(m, fonte);
  std::vector<std::string> avvisi;
  for (const avviso& a : m.avvisi)
    avvisi.push_back(a.file + ":" + std::to_string(a.riga) + ": " + a.testo);
  ASSERT_EQ(m.codice_errore, 0) << ultimo_luogo(m).file << ":" << ultimo_luogo(m).riga << " "
                                << ultimo_luogo(m).dettaglio;
  EXPECT_TRUE(avvisi.empty()) << avvisi.front();
  EXPECT_EQ(fonte.consumi(), (std::vector<sorgente>{sorgente::linea, sorgente::servizio}));

  const auto& t = m.tabella_servizio;
  EXPECT_EQ(t[slot_treno].valore_2, 106000);
  EXPECT_EQ(m.lunghezza_griglia, 113000);
  EXPECT_EQ(m.numero_celle, 2260);
  EXPECT_EQ(t[slot_generale].valore_3, 4);
  EXPECT_EQ(terna(m, slot_progressiva_tre), "1000,0,0");
  EXPECT_EQ(terna(m, slot_progressiva_due), "0,0,0");
  EXPECT_EQ(terna(m, slot_progressiva_uno), "0,0,0");
  for (int s = 77; s <= 80; ++s) EXPECT_FALSE(t[s].testo.empty()) << s;
  EXPECT_TRUE(t[76].testo.empty());
  // All 24 stations, in slots 1 to 24.
  EXPECT_FALSE(t[24].testo.empty());
  EXPECT_TRUE(t[25].testo.empty());
  EXPECT_EQ(t[0], voce_servizio{});

  // Station 1, its stop and approach codes.
  EXPECT_EQ(t[1].valore_1, -500);
  EXPECT_EQ(t[1].valore_2, 500);
  EXPECT_EQ(t[1].orario, 3300);
  EXPECT_EQ(eventi(m, 4, 10),
            "5: 0 [0 0 0 0] avviso 84\n6: 0 [0 0 0 0] avviso 83\n7: 0 [0 0 0 0] avviso 82\n8: 0 [0 "
            "0 0 0] avviso 81\n9: 10 [1 0 0 0]\n");
  EXPECT_EQ(colonna(m, &cella::velocita_linea, 2257, 2260), "6 0 0 0");
  EXPECT_EQ(colonna(m, &cella::pendenza, 2257, 2260), "100 0 0 0");
  EXPECT_EQ(colonna(m, &cella::aderenza, 2257, 2260), "100 0 0 0");

  // The track: metres 0 and 1 as integers, the last two empty.
  EXPECT_EQ(m.tracciato.tipo(1, 1), tipo_elemento::intero);
  EXPECT_EQ(m.tracciato.valore(1, 1), 1.0);
  EXPECT_EQ(m.tracciato.tipo(112998, 0), tipo_elemento::reale);
  EXPECT_EQ(m.tracciato.tipo(112999, 0), tipo_elemento::vuoto);
  EXPECT_EQ(m.tracciato.tipo(113000, 1), tipo_elemento::vuoto);
}

}  // namespace
}  // namespace compattatore
