#include "ispezione/lettura_file.h"

#include <gtest/gtest.h>

#include "tests/compattazione_di_prova.h"
#include "tests/dimensioni.h"

namespace compattatore {
namespace {

using prove::compatta_incorporato;

void metti_u16(immagine& img, std::size_t a, std::uint16_t v) {
  img[a] = static_cast<char>(v & 0xFF);
  img[a + 1] = static_cast<char>(v >> 8);
}

// What each writer wrote reads back as the model it came from.
TEST(LetturaFile, ImagesReadBackAsTheModel) {
  modello m;
  m.genera_linea = 1;
  m.dimensiona(2000);
  m.celle[5] = {1, 32, 10, -7, 8, 44, 81, 1, 15, 118, 110};
  m.celle[m.celle.size() - 1].dato_4 = -32768;
  m.tabella_servizio[3].testo = std::string("CITT\xC0", 5);
  m.tabella_servizio[3].orario = -1;
  m.tabella_servizio[86].intero_5 = 32767;
  m.tracciato.origine();
  m.tracciato.prolunga(500, false, 0);
  m.tracciato.prolunga(900, true, -0.003);

  EXPECT_EQ(leggi_griglia(immagine_celle(m.celle)), m.celle);
  EXPECT_EQ(leggi_tabella(immagine_tabella(m.tabella_servizio)), m.tabella_servizio);
  const tracciato_letto t = leggi_tracciato(immagine_tracciato(m.tracciato));
  ASSERT_EQ(t.ultimo_metro, m.tracciato.ultimo_metro());
  for (std::int32_t metro : {0, 1, 2, 700, 900, 901, t.ultimo_metro}) {
    for (int k = 0; k < 2; ++k) {
      const elemento_letto& e = (k == 0 ? t.x : t.y)[static_cast<std::size_t>(metro)];
      EXPECT_EQ(e.tipo, m.tracciato.tipo(metro, k)) << metro;
      if (e.tipo != tipo_elemento::vuoto) {
        EXPECT_EQ(e.valore, m.tracciato.valore(metro, k)) << metro;
      }
    }
  }
}

// Each damage is refused at the first byte that breaks the layout, with what
// was expected there; no reader reads past the end.
TEST(LetturaFile, DamagedFilesAreRefusedAtTheirOffset) {
  const prove::immagini_build b = compatta_incorporato();
  const std::size_t tabella_85 = [&] {
    // Offset of slot 85's text length: the records before it, then 14 bytes.
    std::size_t p = 0;
    const tabella_letta t = leggi_tabella(b.tabella);
    for (int s = 0; s < 85; ++s) p += byte_voce_fissi + t[static_cast<std::size_t>(s)].testo.size();
    return p + 14;
  }();
  struct caso {
    const char* nome;
    genere_file genere;
    std::function<void(immagine&)> guasta;
    std::size_t offset;
    std::string atteso;  // part of the message
  };
  const caso casi[] = {
      {"griglia tagliata", genere_file::griglia, [](immagine& i) { i.pop_back(); },
       prove::byte_celle_incorporate - byte_cella,
       "una cella intera di 15 byte; trovato: la fine del file dopo 14 byte"},
      {"griglia vuota", genere_file::griglia, [](immagine& i) { i.clear(); }, 0,
       "almeno una cella"},
      {"tabella tagliata", genere_file::tabella, [](immagine& i) { i.resize(i.size() - 5); },
       // Slot 86 (34 bytes and "58213") starts 39 bytes before the end.
       b.tabella.size() - 39 + 14, "un testo di 5 byte e il resto della voce 86"},
      {"testo oltre la fine", genere_file::tabella,
       [&](immagine& i) { metti_u16(i, tabella_85, 0xFFFF); }, tabella_85,
       "un testo di 65535 byte e il resto della voce 85"},
      {"tabella con byte in piu'", genere_file::tabella, [](immagine& i) { i += "xy"; },
       b.tabella.size(), "la fine del file dopo la voce 86; trovato: altri 2 byte"},
      {"tipo sbagliato", genere_file::tracciato, [](immagine& i) { metti_u16(i, 4, 7); }, 4,
       "per l'elemento 1 un tipo 0, 2 o 5; trovato: il tipo 7"},
      {"tracciato tagliato in un valore", genere_file::tracciato,
       [](immagine& i) { i.resize(8 + 2 + 3); }, 10, "il valore dell'elemento 2 (8 byte)"},
      {"tracciato dispari", genere_file::tracciato, [](immagine& i) { i.resize(i.size() - 2); },
       b.tracciato.size() - 2, "un numero pari di elementi"},
  };
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    immagine img = c.genere == genere_file::griglia   ? b.griglia
                   : c.genere == genere_file::tabella ? b.tabella
                                                      : b.tracciato;
    c.guasta(img);
    try {
      switch (c.genere) {
        case genere_file::griglia:
          leggi_griglia(img);
          break;
        case genere_file::tabella:
          leggi_tabella(img);
          break;
        case genere_file::tracciato:
          leggi_tracciato(img);
          break;
      }
      ADD_FAILURE() << "not refused";
    } catch (const file_non_valido& e) {
      EXPECT_EQ(e.offset(), c.offset) << e.what();
      EXPECT_TRUE(std::string(e.what()).starts_with("byte " + std::to_string(c.offset) + ": "))
          << e.what();
      EXPECT_NE(std::string(e.what()).find(c.atteso), std::string::npos) << e.what();
    }
  }
}

TEST(LetturaFile, FilesOfABuildMustAgreeOnTheRouteLength) {
  const prove::immagini_build b = compatta_incorporato();
  const tabella_letta t = leggi_tabella(b.tabella);
  std::vector<cella> celle = leggi_griglia(b.griglia);
  tracciato_letto tr = leggi_tracciato(b.tracciato);
  EXPECT_NO_THROW(verifica_griglia(celle, t));
  EXPECT_NO_THROW(verifica_tracciato(tr, t));

  celle.pop_back();
  try {
    verifica_griglia(celle, t);
    ADD_FAILURE() << "a grid one cell short passed";
  } catch (const file_non_valido& e) {
    EXPECT_EQ(e.offset(), prove::byte_celle_incorporate - byte_cella);
    EXPECT_NE(std::string(e.what()).find("2261 celle per un percorso di 106000 m"),
              std::string::npos)
        << e.what();
  }
  tabella_letta piu_corta = t;
  piu_corta[slot_treno].valore_2 = 105000;
  try {
    verifica_tracciato(tr, piu_corta);
    ADD_FAILURE() << "a track longer than its route passed";
  } catch (const file_non_valido& e) {
    // 224002 elements are expected: the first one too many is y of metre
    // 111001, followed by 1997 more doubles and the two empty metres.
    EXPECT_EQ(e.offset(), b.tracciato.size() - 2 * 2 - 1998 * 10) << e.what();
  }
}

// The layout decides, whatever the name says; the name decides between
// layouts that both fit, and says which refusal to give.
TEST(LetturaFile, KindIsRecognisedByLayout) {
  const prove::immagini_build b = compatta_incorporato();
  EXPECT_EQ(leggi_file_compattato("X.dat", b.tabella).genere, genere_file::tabella);
  EXPECT_EQ(leggi_file_compattato("X.sim", b.tracciato).genere, genere_file::tracciato);
  EXPECT_EQ(leggi_file_compattato("X_linea.dat", b.griglia).genere, genere_file::griglia);
  EXPECT_EQ(leggi_file_compattato("senza_nome", b.griglia).genere, genere_file::griglia);
  // 60 bytes of zeros are four empty cells and as many empty track
  // elements: the name chooses.
  const immagine zeri(60, '\0');
  EXPECT_EQ(leggi_file_compattato("X.dat", zeri).genere, genere_file::griglia);
  EXPECT_EQ(leggi_file_compattato("X_linea.dat", zeri).genere, genere_file::tracciato);

  immagine rotta = b.tabella;
  rotta.pop_back();
  try {
    leggi_file_compattato("X_1.sim", rotta);
    ADD_FAILURE();
  } catch (const file_non_valido& e) {
    EXPECT_TRUE(std::string(e.what()).starts_with("byte ")) << e.what();
  }
  try {
    leggi_file_compattato("X.bin", std::string("\x09\x00\x01", 3));
    ADD_FAILURE();
  } catch (const file_non_valido& e) {
    const std::string t = e.what();
    for (const char* g : {"come tabella, byte 0", "come tracciato, byte 0", "come griglia, byte 0"})
      EXPECT_NE(t.find(g), std::string::npos) << t;
  }
}

}  // namespace
}  // namespace compattatore
