// What an author is told: a warning for every mistake that would otherwise
// lose something silently, errors that name the other party and the cause,
// --rigoroso, and the line a success prints. Each mistake is the built-in
// sources, renamed Valbruna/2417, with one edit.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/processo.h"
#include "tests/testi_prova.h"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using prove::cartella_temporanea;
using prove::esegui;

const std::string& linea_incorporata = prove::linea_incorporata();
const std::string& servizio_incorporato = prove::servizio_incorporato();
using prove::con;
using prove::righe_uscita;

// A directory with an author's two sources.
struct scenario_autore : prove::scenario_in_cartella {
  scenario_autore(const std::string& linea, const std::string& servizio)
      : scenario_in_cartella("autore", "Valbruna", "2417") {
    scrivi(linea, servizio);
  }
  prove::esito_processo compatta(const std::vector<std::string>& opzioni = {}) const {
    return comando("compatta", opzioni);
  }
  std::string file(const std::string& nome) const { return (dir() / nome).string(); }
  std::map<std::string, std::string> compattati() const {
    auto tutti = prove::contenuto_cartella(dir());
    std::erase_if(tutti, [](const auto& f) { return f.first.ends_with(".txt"); });
    return tutti;
  }
};

std::string utf16(const std::string& testo) {
  std::string u = "\xFF\xFE";
  for (char c : testo) u += std::string{c, '\0'};
  return u;
}

TEST(ErroriAutore, EachSilentLossIsWarnedAtItsLine) {
  // The compacted files of the untouched sources, for the mistakes that the
  // reader reads alike.
  const scenario_autore pulito(linea_incorporata, servizio_incorporato);
  ASSERT_EQ(pulito.compatta().stato, 0);
  const auto attesi = pulito.compattati();

  const std::string& L = linea_incorporata;
  const std::string& S = servizio_incorporato;
  const std::string travegno =
      "stazione,   35500,  4, 1000,  0, 1, 0,  4,1,1,  4,2,2,   30,   0, 0, 0, TRAVEGNO";
  const std::string segnale = "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0";
  const struct {
    const char* nome;
    std::string linea, servizio;
    const char* file;  // the warning's file
    int riga;          // and line; 0 for the file as a whole
    std::string testo;
    bool stessi_byte = false;
  } casi[] = {
      {"station without its name", L, con(S, travegno, travegno.substr(0, travegno.rfind(','))),
       "Valbruna_2417-.txt", 31,
       "il record \"stazione\" prende campi dalla riga 32, a cominciare da \"stazione\": gli "
       "manca un campo?"},
      {"text board without its text",
       con(L, "cartello_indicatore,  2800,   (PONTE SUL QUARNA)", "cartello_indicatore,  2800"), S,
       "Valbruna_linea.txt", 131, "il record \"cartello_indicatore\" prende campi dalla riga 132"},
      {"quote closed three lines on", L,
       con(con(S, "0,55, 0, QUARVE", "0,55, 0, \"QUARVE"), "0, 0, 0, ORMENTE",
           "0, 0, 0, ORMENTE\""),
       "Valbruna_2417-.txt", 23,
       "il testo tra virgolette aperto alla riga 23 si chiude alla riga 26: contiene i fine riga "
       "e tutto cio' che sta in mezzo, che non viene letto come record"},
      {"[curve] mistyped", con(L, "[curve]", "[cruve"), S, "Valbruna_linea.txt", 11,
       "\"curvad5\" e' un record della parte dei dati, ma sta ancora nella parte [generale]"},
      {"capital S in sfondo", con(L, "sfondo uno", "Sfondo uno"), S, "Valbruna_linea.txt", 6,
       "\"Sfondo uno\" non e' il record \"sfondo uno\": le sue parole \"sfondo\" e \"uno\" vanno "
       "scritte in minuscolo"},
      {"curve keyword in words", con(L, "curvad5,  1850", "curva destra 3,  1850"), S,
       "Valbruna_linea.txt", 11,
       "la parola chiave \"curva destra 3\" non ha la forma curvadN o curvasN: e' letta come curva "
       "a sinistra (contiene una s) di grado 3"},
      {"curve keyword with two degree digits", con(L, "curvad5,  1850", "curvad52,  1850"), S,
       "Valbruna_linea.txt", 11,
       "la parola chiave \"curvad52\" non ha la forma curvadN o curvasN: e' letta come curva a "
       "destra di grado 2"},
      {"curve of negative length", con(L, "curvad5,  1850,  300", "curvad5,  1850,  -300"), S,
       "Valbruna_linea.txt", 11, "curva di lunghezza -300: nessun tratto curvo viene tracciato"},
      {"curve over the one before", con(L, "curvas6,  2600,  300", "curvas6,  2000,  300"), S,
       "Valbruna_linea.txt", 12,
       "la curva comincia a 2000 m, prima della fine della curva della riga 11 (2150 m)"},
      {"curve past the route", con(L, "curvad4,  99800,  300", "curvad4,  105900,  300"), S,
       "Valbruna_linea.txt", 64,
       "la curva finisce a 106200 m, oltre la fine del percorso (106000 m)"},
      {"empty service source", L, "", "Valbruna_2417-.txt", 0,
       "nessuna stazione nel file del servizio"},
      {"service source with only [generale]", L, ".\r\n[generale]\r\n[fine]\r\n",
       "Valbruna_2417-.txt", 0, "nessun segnale nel file del servizio"},
      {"service source in UTF-16", L, utf16(S), "Valbruna_2417-.txt", 0,
       "nessun \"[generale]\": nessun dato del file viene letto; probabile causa: il file e' in "
       "UTF-16"},
      {"a field too many", L, con(S, segnale, segnale + ", 0"), "Valbruna_2417-.txt", 57,
       "voci in piu' dopo il record \"segnale\": \"0\" e il resto della riga vengono ignorati (il "
       "record e' stato letto)",
       true},
      {"gradient of 200", con(L, "pendenza,  1900,   15", "pendenza,  1900,   200"), S,
       "Valbruna_linea.txt", 67,
       "pendenza 200 fuori dall'intervallo da -100 a 155: il simulatore riceve -56"},
      {"the largest gradient a field holds",
       con(L, "pendenza,  1900,   15", "pendenza,  1900,   2147483647"), S, "Valbruna_linea.txt",
       67, "pendenza 2147483647 fuori dall'intervallo da -100 a 155: il simulatore riceve -1"},
      {"adhesion of 300", L, con(S, "aderenza,   18000,    90", "aderenza,   18000,    300"),
       "Valbruna_2417-.txt", 9,
       "aderenza 300 fuori dall'intervallo da 0 a 255: il simulatore riceve 44"},
      {"84 minutes", L, con(S, "30,   0, 0, 0, TRAVEGNO", "30,   0,84, 0, TRAVEGNO"),
       "Valbruna_2417-.txt", 31, "minuti 84 fuori dall'intervallo da 0 a 59"},
      {"negative car count", L, con(S, "numero vetture,    11", "numero vetture,    -3"),
       "Valbruna_2417-.txt", 3, "numero di vetture negativo: -3"},
      {"signal field above 255", L,
       con(S, segnale, "segnale,   17400,   2, 300, 1,  0, 0,    2,  2,0,0, 0"),
       "Valbruna_2417-.txt", 57,
       "s1 300 fuori dall'intervallo da 0 a 9: il simulatore legge male i valori del segnale"},
      {"speed not a multiple of 5", L,
       con(S, "velocita,       0,    75", "velocita,       0,    77"), "Valbruna_2417-.txt", 12,
       "velocita' di 77 km/h, non multipla di 5: il simulatore riceve 75 km/h"},
      {"station name in UTF-8", L, con(S, ", TRAVEGNO", ", TRAV\xC3\x88GNO"), "Valbruna_2417-.txt",
       31, "il testo \"TRAV\\xC3\\x88GNO\" sembra scritto in UTF-8"},
      {"unknown section header", L, con(S, "[segnali]", "[segnalli]"), "Valbruna_2417-.txt", 49,
       "intestazione di sezione sconosciuta \"[segnalli]\", ignorata", true},
      // TRAVEGNO's stop cell 719 holds a board.
      {"station stop over a board",
       con(L, "[indicazioni]",
           "indicatori_vmax,  35900,  60,  60,  60,  0,  ,  ,  ,  0\r\n"
           "[indicazioni]"),
       S, "Valbruna_2417-.txt", 31,
       "la fermata nella cella 719 (35950 m) sostituisce l'indicatore velocita' massima di "},
      {"signal approach code over a station's", L,
       con(S, "[codici]", "segnale,   36200,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[codici]"),
       "Valbruna_2417-.txt", 93,
       "il codice di avvicinamento 44 nella cella 717 (35850 m) "
       "sostituisce il codice 82 di "},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const scenario_autore s(c.linea, c.servizio);
    const auto e = s.compatta();
    EXPECT_EQ(e.stato, 0) << e.errori;
    std::string dove = s.file(c.file) + ":";
    if (c.riga > 0) dove += std::to_string(c.riga) + ":";
    const std::string atteso = dove + " attenzione: " + c.testo;
    bool trovato = false;
    for (const std::string& r : righe_uscita(e.errori)) trovato = trovato || r.starts_with(atteso);
    EXPECT_TRUE(trovato) << "expected a line starting with:\n" << atteso << "\ngot:\n" << e.errori;
    if (c.stessi_byte) {
      EXPECT_TRUE(s.compattati() == attesi);
    }

    // With --rigoroso the same mistake writes nothing.
    const scenario_autore r(c.linea, c.servizio);
    const auto f = r.compatta({"--rigoroso"});
    EXPECT_EQ(f.stato, 1) << f.errori;
    EXPECT_TRUE(r.compattati().empty());
    EXPECT_NE(f.errori.find("con --rigoroso: nessun file scritto"), std::string::npos);
  }
}

TEST(ErroriAutore, WarningsBeyondFiftyAreCounted) {
  std::string parole;
  for (int i = 0; i < 60; ++i) parole += "parola" + std::to_string(i) + "\r\n";
  const scenario_autore s(linea_incorporata,
                          con(servizio_incorporato, "[fine]", parole + "[fine]"));
  const auto e = s.compatta();
  EXPECT_EQ(e.stato, 0);
  const auto r = righe_uscita(e.errori);
  ASSERT_EQ(r.size(), 51u) << e.errori;
  EXPECT_EQ(r.back(), "compattatore: altri 10 avvisi non mostrati (60 in tutto)");
}

TEST(ErroriAutore, WithoutTheTrackAnOldTrackOfAnotherLengthIsWarnedAbout) {
  const scenario_autore s(linea_incorporata, servizio_incorporato);
  ASSERT_EQ(s.compatta().stato, 0);
  prove::scrivi_tutto(
      s.dir() / "Valbruna_linea.txt",
      con(linea_incorporata, "lunghezza percorso,    106000", "lunghezza percorso,    108000"));
  const auto e = s.compatta({"--senza-tracciato"});
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.errori, s.file("Valbruna_linea.dat") +
                          ": attenzione: il tracciato gia' presente e' di 2259964 byte, ma per "
                          "un percorso di 108000 m ne servono 2299964: e' di un'altra lunghezza "
                          "del percorso (compattate senza --senza-tracciato)\n");
  // Left alone with the right length, also where a curve ends on the last
  // two metres, which the plotting then fills.
  for (const std::string& linea : {linea_incorporata, con(linea_incorporata, "[pendenze]",
                                                          "curvad1, 106000, 7000\r\n[pendenze]")}) {
    const scenario_autore t(linea, servizio_incorporato);
    ASSERT_EQ(t.compatta().stato, 0);
    EXPECT_EQ(t.compatta({"--senza-tracciato"}).errori, "");
  }
}

// An error names what stands in the cell it wanted, and the record that led
// to an error found after the reading.
TEST(ErroriAutore, ErrorsNameTheOtherPartyAndTheRecord) {
  const std::string& L = linea_incorporata;
  const std::string& S = servizio_incorporato;
  const std::string segnale = "segnale,   17400,   2, 3, 1,  0, 0,    2,  2,0,0, 0";
  const std::string indicatore = "indicatori_vmax,  800,  75,  75,  75,  0,  ,  ,  ,  0";
  const auto cartelli = [&](std::initializer_list<const char*> posizioni) {
    std::string r;
    for (const char* p : posizioni)
      r += std::string("indicatori_vmax,  ") + p + ",  60,  60,  60,  0,  ,  ,  ,  0\r\n";
    return con(L, "[indicazioni]", r + "[indicazioni]");
  };
  const struct {
    const char* nome;
    std::string linea, servizio;
    std::string ultima_riga;  // FILE stands for the file's path
  } casi[] = {
      {"signal on a signal", L, con(S, segnale, segnale + "\r\n" + segnale),
       "S:58: segnale su una cella gia' occupata: cella 349 (17450 m) gia' occupata dal segnale "
       "di S:57"},
      {"board on a board", con(L, indicatore, indicatore + "\r\n" + indicatore), S,
       "L:99: indicatore di velocita' massima su una cella gia' occupata: cella 17 (850 m) gia' "
       "occupata dall'indicatore velocita' massima di L:98"},
      {"text board on a board", con(L, indicatore, indicatore + "\r\ncartello_indicatore, 810, X"),
       S,
       "L:99: cartello indicatore su una cella gia' occupata: cella 17 (850 m) gia' occupata "
       "dall'indicatore velocita' massima di L:98"},
      {"check point on a signal's cell", L,
       con(S, "[codici]", "[codici]\r\nabbattimento, 17450, 60"),
       "S:94: abbattimento su una cella gia' occupata: cella 349 (17450 m) gia' occupata dal "
       "segnale di S:57"},
      {"slowdown start on a board", cartelli({"75000"}), S,
       "S:48: inizio di rallentamento su una cella gia' occupata: cella 1501 (75050 m) gia' "
       "occupata dall'indicatore velocita' massima di L:130"},
      {"route length 0", con(L, "lunghezza percorso,    106000", "lunghezza percorso,    0"), S,
       "L:17: posizione fuori dalla griglia del percorso: la posizione 7100 supera il massimo di "
       "6900 m; la griglia arriva a 7000 m (lunghezza del percorso 0 m, L:2)"},
      // The marking pass: its errors start with the slowdown's record.
      {"11", cartelli({"72900", "72950"}),
       con(S, "[codici]", "segnale,   73000,   1, 4, 0,  0, 0,    1,  3,0,0, 0\r\n[codici]"),
       "S:93: cella 1461 (73050 m): segnale vicino a un avviso di rallentamento senza posto per "
       "un abbattimento"},
      {"12", cartelli({"74650", "74700", "74750"}), S,
       "S:48: cella 1501 (75050 m): nessuna cella libera in un gruppo prima dell'inizio di un "
       "rallentamento"},
      {"13", cartelli({"75400", "75450"}), S,
       "S:48: cella 1503 (75150 m): nessuna cella libera per un abbattimento dentro o dopo un "
       "rallentamento"},
      {"13 without an end", L,
       con(S, "rallentamento,   75000,    50,  100", "rallentamento,   75000,    50,  0"),
       "S:48: cella 2260 (113000 m): nessuna cella libera per un abbattimento dentro o dopo un "
       "rallentamento: il rallentamento della cella 1501 non ha una cella di fine fino "
       "all'ultima della griglia (e' piu' corto di 25 m?)"},
      {"1250", con(L, "indicatori_vmax,  800,", "indicatori_vmax,  20,"), S,
       "L:98: cella 1: posti riservati del marchio gia' occupati: la cella 1 e' occupata "
       "dall'indicatore velocita' massima di L:98"},
      // Bytes that would cut the message or garble a terminal, escaped.
      {"escaped bytes",
       con(L, "pendenza,  1900,   15", std::string("pendenza,  1900,   1\0\r5\xE8", 24)), S,
       "L:67: errore di lettura delle sorgenti: voce \"1\\0\\r5\\xE8\" non e' un numero intero "
       "per il campo pendenza (intero a 32 bit con segno, da -2147483648 a 2147483647)"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const scenario_autore s(c.linea, c.servizio);
    const auto e = s.compatta();
    EXPECT_EQ(e.stato, 1);
    std::string atteso = c.ultima_riga;
    for (std::size_t p; (p = atteso.find("L:")) != std::string::npos;)
      atteso.replace(p, 1, s.file("Valbruna_linea.txt"));
    for (std::size_t p; (p = atteso.find("S:")) != std::string::npos;)
      atteso.replace(p, 1, s.file("Valbruna_2417-.txt"));
    const auto r = righe_uscita(e.errori);
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.back(), atteso);
  }
}

TEST(ErroriAutore, ASuccessSaysWhatWentIn) {
  const scenario_autore s(linea_incorporata, servizio_incorporato);
  const auto e = s.compatta();
  EXPECT_EQ(e.stato, 0);
  EXPECT_EQ(e.errori, "");
  EXPECT_EQ(e.uscita,
            "Valbruna 2417: 106000 m, 24 stazioni, 43 segnali, 1 rallentamento, 4 abbattimenti "
            "aggiunti; scritti Valbruna_linea.dat, Valbruna_2417.sim, Valbruna_2417.dat\n");
  EXPECT_EQ(s.compatta({"-q"}).uscita, "");
  EXPECT_EQ(s.compatta({"--senza-tracciato", "--silenzioso"}).uscita, "");
}

// One file would be both the track and the grid.
TEST(ErroriAutore, ATrainCalledLineaIsRefused) {
  for (const char* treno : {"linea", "LINEA", "Linea"}) {
    cartella_temporanea d("linea");
    const auto e =
        esegui({COMPATTATORE_EXE, "compatta", d.percorso().string(), "V", treno}, d.percorso());
    EXPECT_EQ(e.stato, 2) << treno;
    EXPECT_EQ(e.errori, std::string("compattatore compatta: TRENO non puo' essere \"") + treno +
                            "\": V_" + treno +
                            ".dat sarebbe anche il tracciato (vedere 'compattatore compatta "
                            "--help')\n");
    EXPECT_TRUE(fs::is_empty(d.percorso()));
  }
}

}  // namespace
}  // namespace compattatore
