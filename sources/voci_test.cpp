#include "sources/voci.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/errori.h"
#include "tests/testo_esatto.h"

namespace compattatore {
namespace {

// Reads `testo` by `schema`, one letter per item: t text, n 32-bit, h 16-bit,
// b byte. Text items come back in angle brackets, numbers as digits; "FINE" marks
// the end of the file after the last item. The text ends where its block
// does, so that a read past the end shows under the sanitizers.
std::vector<std::string> leggi(std::string_view testo, std::string_view schema) {
  const prove::testo_esatto esatto(testo);
  lettore_voci r(esatto.vista());
  std::vector<std::string> voci;
  std::string t;
  for (char c : schema) {
    switch (c) {
      case 't':
        r.leggi_testo(t);
        voci.push_back("<" + t + ">");
        break;
      case 'n':
        voci.push_back(std::to_string(r.leggi_32("campo")));
        break;
      case 'h':
        voci.push_back(std::to_string(r.leggi_16("campo")));
        break;
      case 'b':
        voci.push_back(std::to_string(r.leggi_8("campo")));
        break;
    }
  }
  if (r.fine()) voci.push_back("FINE");
  return voci;
}

using voci = std::vector<std::string>;

TEST(Voci, ItemsAsTheSourcesWriteThem) {
  const struct {
    std::string_view testo;
    std::string_view schema;
    voci attese;
  } casi[] = {
      {"pendenza,  1900,   15\r\n", "tnn", {"<pendenza>", "1900", "15", "FINE"}},
      {"indicatori_vmax,  800,  75,  75,  75,  0,  ,  ,  ,  0\r\n",
       "tnnnnnnnnn",
       {"<indicatori_vmax>", "800", "75", "75", "75", "0", "0", "0", "0", "0", "FINE"}},
      // The clock row: numbers separated by blanks only, a blank before the line end.
      {"orologio,    0               54            0 \r\n",
       "thhh",
       {"<orologio>", "0", "54", "0", "FINE"}},
      {"[curve]\r\n", "t", {"<[curve]>", "FINE"}},
      // LF alone ends a line as CR LF does.
      {"a,1\nb,2\n", "tntn", {"<a>", "1", "<b>", "2", "FINE"}},
      {"a,1\r\nb,2", "tntn", {"<a>", "1", "<b>", "2", "FINE"}},
      // Trailing blanks and tabs are not part of a text item; inner ones are.
      {"  cartello_indicatore ,   (VAL DI SOTTO) \t\r\n",
       "tt",
       {"<cartello_indicatore>", "<(VAL DI SOTTO)>", "FINE"}},
      // Tabs count as blanks before a number and after it.
      {"\t-30\t,\t+7\r\n", "nn", {"-30", "7", "FINE"}},
      // A quoted item is kept verbatim, comma included; the rest up to the
      // delimiter is dropped.
      {"\"  A, B  \" resto, 5\r\n", "tn", {"<  A, B  >", "5", "FINE"}},
      {"\"due\r\nrighe\"\r\nx", "tt", {"<due\r\nrighe>", "<x>", "FINE"}},
      // A quoted text may end in a comma; the delimiter is the one after the quote.
      {"\"A,\", 5\r\n", "tn", {"<A,>", "5", "FINE"}},
      {"\"A,\"\r\n\"B,\"", "tt", {"<A,>", "<B,>", "FINE"}},
      // Empty items: between commas, before a line end, an empty line.
      {",\r\n\r\n5", "nnnn", {"0", "0", "0", "5", "FINE"}},
      {"\r\nx", "tt", {"<>", "<x>", "FINE"}},
      // A record may go on over the next line; a comma before the line end
      // leaves an empty item there.
      {"segnale\r\n  100\r\n  2", "tnn", {"<segnale>", "100", "2", "FINE"}},
      {"segnale,\r\n  100", "tnn", {"<segnale>", "0", "100", "FINE"}},
      // A lone CR inside a line is a character of the item.
      {"a\rb,1", "tn", {"<a\rb>", "1", "FINE"}},
      // A CR that closes the file ends the line: it is no part of the item.
      {"x,5\r", "tn", {"<x>", "5", "FINE"}},
      {"x,y\r", "tt", {"<x>", "<y>", "FINE"}},
      {"x,\r", "tn", {"<x>", "0", "FINE"}},
      // Widths at their limits.
      {"2147483647,-2147483648,32767,-32768,255,0",
       "nnhhbb",
       {"2147483647", "-2147483648", "32767", "-32768", "255", "0", "FINE"}},
  };
  for (const auto& c : casi) EXPECT_EQ(leggi(c.testo, c.schema), c.attese) << c.testo;
}

TEST(Voci, WhatIsNotANumberWhereOneIsExpectedFails) {
  const struct {
    std::string_view testo;
    std::string_view schema;
    std::string_view nel_messaggio;
    std::string_view non_nel_messaggio = {};
  } casi[] = {
      {"12abc, 5", "n", "voce \"12abc\" non e' un numero intero per il campo campo"},
      {"1.5\r\n", "n", "punto decimale"},
      // The decimal point or comma is named only between two digits.
      {"1.x\r\n", "n", "non e' un numero", "punto decimale"},
      {"x.5\r\n", "n", "non e' un numero", "punto decimale"},
      {".5", "n", "non e' un numero", "punto decimale"},
      {"5.", "n", "non e' un numero", "punto decimale"},
      {"\"1,x\"", "n", "non e' un numero", "virgola decimale"},
      {"\"x,5\"", "n", "non e' un numero", "virgola decimale"},
      {"abc", "n", "\"abc\" non e' un numero"},
      {"\"12\"", "n", "non e' un numero"},
      {"-, 3", "n", "\"-\" non e' un numero"},
      {"+", "n", "non e' un numero"},
      {"12-3", "n", "\"12-3\""},
      {"\"1,5\"", "n", "virgola decimale"},
      {"pendenza;1900;15\r\n", "n", "';' usato come separatore"},
      {"2147483648", "n", "fuori dall'intervallo per il campo campo (intero a 32 bit"},
      {"-2147483649", "n", "fuori dall'intervallo"},
      {"99999999999999999999999999", "n", "fuori dall'intervallo"},
      {"32768", "h", "(intero a 16 bit con segno, da -32768 a 32767)"},
      {"-32769", "h", "fuori dall'intervallo"},
      {"256", "b", "(byte senza segno, da 0 a 255)"},
      {"-1", "b", "fuori dall'intervallo"},
      {"pendenza, 5", "tnn", "fine del file dentro un record (manca il campo campo)"},
      {"x,", "tt", "fine del file dentro un record"},
      {"\"aperte, 5\r\n", "t", "virgolette non chiuse nella voce \"aperte"},
  };
  for (const auto& c : casi) {
    try {
      leggi(c.testo, c.schema);
      ADD_FAILURE() << "no failure for " << c.testo;
    } catch (const fallimento_lettura& f) {
      EXPECT_NE(std::string(f.what()).find(c.nel_messaggio), std::string::npos)
          << c.testo << " -> " << f.what();
      if (!c.non_nel_messaggio.empty()) {
        EXPECT_EQ(std::string(f.what()).find(c.non_nel_messaggio), std::string::npos)
            << c.testo << " -> " << f.what();
      }
    }
  }
}

TEST(Voci, ATextLongerThanItsLengthFieldFails) {
  const std::string giusto(lunghezza_massima_testo, 'x');
  EXPECT_EQ(leggi(giusto, "t").size(), 2u);
  const std::string lungo = giusto + "x";
  EXPECT_THROW(leggi(lungo, "t"), fallimento_lettura);
  EXPECT_THROW(leggi("\"" + lungo + "\"", "t"), fallimento_lettura);
}

// A cause of the whole file explains any failure in it; the UTF-8 mark only
// a failure of the first item, which it belongs to.
TEST(Voci, CausesOfTheWholeFileAndOfItsFirstItem) {
  EXPECT_NE(lettore_voci("\xFF\xFE.").causa_del_file().find("UTF-16"), std::string::npos);
  EXPECT_NE(lettore_voci("\xFE\xFF.").causa_del_file().find("UTF-16"), std::string::npos);
  EXPECT_NE(lettore_voci("a,1\rb,2\r").causa_del_file().find("il solo CR"), std::string::npos);
  EXPECT_TRUE(lettore_voci("a,1\r\nb,2\r").causa_del_file().empty());
  EXPECT_TRUE(lettore_voci("\xEF\xBB\xBF.").causa_del_file().empty());
  EXPECT_TRUE(lettore_voci(".").causa_del_file().empty());
  const auto dettaglio = [](std::string_view testo, std::string_view schema) {
    try {
      leggi(testo, schema);
    } catch (const fallimento_lettura& f) {
      return std::string(f.what());
    }
    return std::string();
  };
  EXPECT_NE(dettaglio("\xEF\xBB\xBF"
                      "12",
                      "n")
                .find("BOM UTF-8"),
            std::string::npos);
  EXPECT_EQ(dettaglio("\xEF\xBB\xBF"
                      "a,1x",
                      "tn")
                .find("BOM"),
            std::string::npos);
}

// Source text in a message: what a terminal would not show, or would obey,
// escaped; long text cut.
TEST(Voci, TextForAMessage) {
  EXPECT_EQ(leggibile(std::string_view("a\0b\rc\nd\te\\f\xE8", 12)), "a\\0b\\rc\\nd\\te\\\\f\\xE8");
  EXPECT_EQ(leggibile(std::string(70, 'x')), std::string(60, 'x') + "...");
}

// A record's fields read from a later line than its keyword's, and quoted
// text over line ends, are noticed with their lines.
TEST(Voci, ItemsReadPastTheRecordsLine) {
  lettore_voci r("a, 1, 2\r\nb, 3\r\n\"x\r\ny\", 4\r\n");
  std::string t;
  r.leggi_testo(t);
  r.segna_inizio_record();
  r.leggi_32("uno");
  r.leggi_32("due");
  EXPECT_FALSE(r.voce_su_altra_riga());
  r.leggi_testo(t);  // "b" from line 2
  ASSERT_TRUE(r.voce_su_altra_riga());
  EXPECT_EQ(r.voce_su_altra_riga()->riga, 2);
  EXPECT_EQ(r.voce_su_altra_riga()->testo, "b");
  r.leggi_32("tre");
  EXPECT_FALSE(r.prendi_virgolette_su_piu_righe());
  r.leggi_testo(t);
  const auto v = r.prendi_virgolette_su_piu_righe();
  ASSERT_TRUE(v);
  EXPECT_EQ(v->apertura, 3);
  EXPECT_EQ(v->chiusura, 4);
  EXPECT_EQ(r.riga_ultima_voce(), 3);
}

TEST(Voci, LineNumberOfTheCurrentPosition) {
  lettore_voci r("a,1\r\nb\n\n\"x\ny\",c\r\nd");
  std::string t;
  std::vector<std::int32_t> righe;
  while (!r.fine()) {
    righe.push_back(r.riga());
    r.leggi_testo(t);
  }
  // a, 1, b, (empty line), "x y" (starts on line 4), c, d.
  EXPECT_EQ(righe, (std::vector<std::int32_t>{1, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(r.riga(), 6);
}

// Each case runs on an item that ends where its block does (a read past it
// shows under the sanitizers), and again with `oltre` after it, bytes that a
// test looking one byte too far would take for the rest of its word.
TEST(Voci, KeywordTests) {
  const struct {
    std::string_view voce;
    std::string_view parola;
    bool con_maiuscole;  // contiene
    bool senza;          // contiene_nc
    std::string_view oltre = {};
  } casi[] = {
      {"progressiva chilometrica uno", "uno", true, true},
      {"progressiva chilometrica UNO", "uno", false, true},
      {"CURVAD5", "curva", false, true},
      {"Lunghezza Percorso", "percorso", false, true},
      {"[Generale]", "[generale]", false, true},
      {"ADERENZA", "aderenza", false, true},
      {"curv", "curva", false, false, "a"},
      {"xsegnal", "segnale", false, false, "e"},
      {"XSEGNAL", "segnale", false, false, "E"},
      {"x", "", true, true},
      {"", "x", false, false, "x"},
      // Only the ASCII letters fold: not the signs beside them, nor a
      // Windows-1252 capital.
      {"@", "`", false, false},
      {"[", "{", false, false},
      {"VELOCIT\xC0", "velocit\xE0", false, false},
  };
  for (const auto& c : casi) {
    for (const std::string_view oltre : {std::string_view(), c.oltre}) {
      const prove::testo_esatto voce(c.voce, oltre);
      EXPECT_EQ(contiene(voce.vista(), c.parola), c.con_maiuscole) << c.voce << " / " << c.parola;
      EXPECT_EQ(contiene_nc(voce.vista(), c.parola), c.senza) << c.voce << " / " << c.parola;
    }
  }
}

}  // namespace
}  // namespace compattatore
