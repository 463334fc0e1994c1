#include "ispezione/confronto.h"

#include <gtest/gtest.h>

#include "tests/compattazione_di_prova.h"

namespace compattatore {
namespace {

using prove::compatta_incorporato;
using prove::immagini_build;
using prove::sostituisci;
using modifica = std::function<void(std::string& linea, std::string& servizio)>;

insieme_letto leggi(const immagini_build& b) {
  return {leggi_griglia(b.griglia), leggi_tabella(b.tabella), leggi_tracciato(b.tracciato)};
}

std::string unite(const std::vector<std::string>& righe) {
  std::string t;
  for (const std::string& r : righe) t += r + "\n";
  return t;
}

const insieme_letto& originale() {
  static const insieme_letto o = leggi(compatta_incorporato());
  return o;
}

TEST(Confronto, ABuildEqualsItself) {
  EXPECT_EQ(unite(confronta(originale(), originale())), "");
}

// One edit of the built-in sources, one line that names it: what the edit
// brings with it (approach codes, check points of the marking pass, markers,
// a stop cell, the rest of the track) is part of that line.
TEST(Confronto, EachSingleEditGivesOneLineNamingIt) {
  const struct {
    const char* nome;
    modifica m;
    std::string riga;
  } casi[] = {
      {"segnale spostato",
       [](std::string&, std::string& s) {
         sostituisci(s, "segnale,   17400,", "segnale,   17500,");
       },
       "17400 m: segnale spostato a 17500 m"},
      {"orario di una stazione",
       [](std::string&, std::string& s) {
         sostituisci(s, "60,   1,19, 0, PASSO VERDINA", "60,   1,20, 0, PASSO VERDINA");
       },
       "stazione 5 PASSO VERDINA: orario 1.19 → 1.20"},
      {"pendenza",
       [](std::string& l, std::string&) {
         sostituisci(l, "pendenza,  45900,   18", "pendenza,  45900,   20");
       },
       "pendenza 45900–52300 m: 18 → 20"},
      {"curva girata dall'altra parte",
       [](std::string& l, std::string&) {
         sostituisci(l, "curvas4,  72750,  450", "curvad4,  72750,  450");
       },
       "tracciato: scostamento massimo 35219.6 m a 112998 m, da 72751 m in poi (metri "
       "72751–73200: curva a sinistra di grado 4 → curva a destra di grado 4)"},
      {"cartello rinominato",
       [](std::string& l, std::string&) {
         sostituisci(l, "(PONTE SUL QUARNA)", "(PONTE SUL QUARNA NUOVO)");
       },
       "2800 m: cartello indicatore: testo \"(PONTE SUL QUARNA)\" → \"(PONTE SUL QUARNA NUOVO)\""},
      // The pass moves its check points with the slowdown.
      {"rallentamento spostato",
       [](std::string&, std::string& s) {
         sostituisci(s, "rallentamento,   75000,", "rallentamento,   74000,");
       },
       "75000 m: rallentamento spostato a 74000 m"},
      // The stop cell and the station's approach codes go with it.
      {"stazione spostata",
       [](std::string&, std::string& s) {
         sostituisci(s, "stazione,   82500,", "stazione,   82600,");
       },
       "stazione 19 PRAVELLO: spostata da 82500 m a 82600 m"},
      // Its check point before the signal goes with it.
      {"segnale tolto vicino al rallentamento",
       [](std::string&, std::string& s) {
         sostituisci(s, "segnale,   75500,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n", "");
       },
       "75500 m: segnale tolto (sx 1, s1 4, s2 0, s3 0, rapp 0, dx 1, d1 3, d2 0, d3 0, tempo 0)"},
      {"velocita di linea",
       [](std::string&, std::string& s) {
         sostituisci(s, "velocita,   61400,    80", "velocita,   61400,    85");
       },
       "velocita di linea 61400–79000 m: 80 → 85 km/h"},
      {"segni di montagna tolti",
       [](std::string& l, std::string&) {
         sostituisci(l, "montagna,   3000,  17600,  11", "montagna,   3000,  17600,  1");
       },
       "segni di montagna 3150–17600 m: 68 tolti"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const insieme_letto b = leggi(compatta_incorporato(c.m));
    if (HasFailure()) return;
    EXPECT_EQ(unite(confronta(originale(), b)), c.riga + "\n");
  }
}

// Two files of one kind alone say what they can: a grid's boards by their
// slot, a table's board texts by their slot.
TEST(Confronto, OneKindOfFileAlone) {
  const insieme_letto b = leggi(compatta_incorporato([](std::string& l, std::string& s) {
    sostituisci(l, "(PONTE SUL QUARNA)", "(PONTE)");
    sostituisci(s, "segnale,   17400,", "segnale,   17500,");
  }));
  const auto solo = [](const insieme_letto& i, genere_file g) {
    insieme_letto s;
    if (g == genere_file::griglia) s.celle = i.celle;
    if (g == genere_file::tabella) s.tabella = i.tabella;
    if (g == genere_file::tracciato) s.tracciato = i.tracciato;
    return s;
  };
  EXPECT_EQ(
      unite(confronta(solo(originale(), genere_file::griglia), solo(b, genere_file::griglia))),
      "17400 m: segnale spostato a 17500 m\n");
  EXPECT_EQ(
      unite(confronta(solo(originale(), genere_file::tabella), solo(b, genere_file::tabella))),
      "testo del cartello in voce 80: testo \"(PONTE SUL QUARNA)\" → \"(PONTE)\"\n");
  EXPECT_EQ(
      unite(confronta(solo(originale(), genere_file::tracciato), solo(b, genere_file::tracciato))),
      "");
}

// A board added on the line shifts the slots of the board texts: with the
// grid the boards are compared by their texts, and only the new one is told.
TEST(Confronto, ABoardAddedIsOneLineThoughTheSlotsShift) {
  const insieme_letto b = leggi(compatta_incorporato([](std::string& l, std::string&) {
    sostituisci(l, "cartello_indicatore,  2800,",
                "cartello_indicatore,  2300,   (NUOVO)\r\ncartello_indicatore,  2800,");
  }));
  EXPECT_EQ(unite(confronta(originale(), b)), "2300 m: cartello indicatore aggiunto \"(NUOVO)\"\n");
}

}  // namespace
}  // namespace compattatore
