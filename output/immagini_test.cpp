#include "output/immagini.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/dimensioni.h"

namespace compattatore {
namespace {

std::string byte(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

TEST(ImmagineTabella, SlotWithTextAndDistinctFields) {
  std::array<voce_servizio, numero_voci> t{};
  voce_servizio& v = t[0];
  v.tipo_voce = 0x81;
  v.valore_1 = 0x04030201;
  v.valore_2 = -2;
  v.valore_3 = 0x0A0908;
  v.codice_1 = 0x0B;
  v.testo = "Ab\xE8";
  v.intero_1 = 0x0D0C;
  v.intero_2 = -3;
  v.intero_3 = 0x1110;
  v.intero_4 = 0x1312;
  v.intero_5 = 0x1514;
  v.codice_2 = 0x16;
  v.codice_3 = 0x17;
  v.codice_4 = 0x18;
  v.codice_5 = 0xFF;
  v.orario = 3300;
  const immagine img = immagine_tabella(t);
  const std::string atteso =
      byte({0x81, 1,    2,    3,    4,    0xFE, 0xFF, 0xFF, 0xFF, 8,    9,    0x0A, 0,
            0x0B, 3,    0,    'A',  'b',  0xE8, 0x0C, 0x0D, 0xFD, 0xFF, 0x10, 0x11, 0x12,
            0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0xFF, 0xE4, 0x0C, 0,    0});
  ASSERT_EQ(img.size(), prove::byte_tabella_vuota + 3);
  EXPECT_EQ(img.substr(0, atteso.size()), atteso);
  // The next slot starts right after, empty: 34 zero bytes.
  EXPECT_EQ(img.substr(atteso.size(), 34), std::string(34, '\0'));
}

TEST(ImmagineTabella, EmptyTableIs2958Bytes) {
  std::array<voce_servizio, numero_voci> t{};
  EXPECT_EQ(immagine_tabella(t), std::string(prove::byte_tabella_vuota, '\0'));
  t[85].testo = "Quarve_Lentra";
  t[86].testo = "58213";
  const immagine img = immagine_tabella(t);
  EXPECT_EQ(img.size(), prove::byte_tabella_vuota + 13 + 5);
  // Slot 85 starts after 85 empty slots; its text length sits at offset 14.
  EXPECT_EQ(img.substr(85 * 34 + 14, 2 + 13), byte({13, 0}) + "Quarve_Lentra");
}

// The sizes the writers promise, against the ones worked out by hand.
TEST(DimensioniFile, AsTheLayoutsGiveThem) {
  EXPECT_EQ(dimensione_file_tabella(0), prove::byte_tabella_vuota);
  EXPECT_EQ(dimensione_file_tabella(18), prove::byte_tabella_vuota + 18);
  EXPECT_EQ(dimensione_file_celle(2260), prove::byte_celle_incorporate);
  EXPECT_EQ(dimensione_file_tracciato(113000), prove::byte_tracciato_incorporato);
  EXPECT_EQ(dimensione_file_celle(340), prove::byte_celle_piccolo);
  EXPECT_EQ(dimensione_file_tracciato(17000), prove::byte_tracciato_piccolo);
}

TEST(ImmagineCelle, CellWithDistinctFields) {
  std::vector<cella> celle(2);
  cella& c = celle[1];
  c.tipo_cella = 14;
  c.dato_1 = 0x0201;
  c.dato_2 = -1;
  c.dato_3 = 0x0403;
  c.dato_4 = 0x0605;
  c.tempo_segnale = 0x07;
  c.avviso = 0x08;
  c.tipo_montagna = 0x09;
  c.velocita_linea = 0x0A;
  c.pendenza = 0x0B;
  c.aderenza = 0xFE;
  const immagine img = immagine_celle(celle);
  ASSERT_EQ(img.size(), 30u);
  EXPECT_EQ(img.substr(0, 15), std::string(15, '\0'));
  EXPECT_EQ(img.substr(15), byte({14, 1, 2, 0xFF, 0xFF, 3, 4, 5, 6, 7, 8, 9, 0x0A, 0x0B, 0xFE}));
  EXPECT_TRUE(immagine_celle({}).empty());
}

TEST(ImmagineTracciato, ComponentZeroOfEveryMetreFirstWithTags) {
  tracciato_piano t(3);  // metres 0..3
  t.imposta_intero(0, 0, 0);
  t.imposta_intero(0, 1, 0);
  t.imposta_intero(1, 0, -2);
  t.imposta_intero(1, 1, 1);
  t.imposta_reale(2, 0, 1.0);
  t.imposta_reale(2, 1, -2.5);
  const immagine img = immagine_tracciato(t);
  const std::string componente_0 =
      byte({2, 0, 0, 0, 2, 0, 0xFE, 0xFF, 5, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0});
  const std::string componente_1 =
      byte({2, 0, 0, 0, 2, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0x04, 0xC0, 0, 0});
  EXPECT_EQ(img, componente_0 + componente_1);
}

TEST(ImmagineTracciato, FilledTrackIs20LMinus36Bytes) {
  const std::int32_t l = 113000;
  tracciato_piano t(l);
  for (int k = 0; k < 2; ++k) {
    t.imposta_intero(0, k, 0);
    t.imposta_intero(1, k, static_cast<std::int16_t>(k));
    for (std::int32_t m = 2; m <= l - 2; ++m) t.imposta_reale(m, k, m * 0.5);
  }
  EXPECT_EQ(immagine_tracciato(t).size(), prove::byte_tracciato_incorporato);
}

// Pieces of any size, cut inside an element included, join into the same
// bytes, and none is larger than asked (or than one element).
TEST(ImmagineTracciato, PiecesOfAnySizeJoinIntoTheWholeImage) {
  tracciato_piano t(40);
  for (int k = 0; k < 2; ++k) {
    t.imposta_intero(0, k, 0);
    t.imposta_intero(1, k, static_cast<std::int16_t>(k));
    for (std::int32_t m = 2; m <= 38; ++m) t.imposta_reale(m, k, m * 0.25 - k);
  }
  const immagine intera = immagine_tracciato(t);
  for (const std::size_t pezzo : {std::size_t{1}, std::size_t{10}, std::size_t{11}, std::size_t{37},
                                  intera.size(), intera.size() + 5}) {
    immagine unita;
    produci_tracciato(
        t,
        [&](std::string_view p) {
          EXPECT_FALSE(p.empty());
          EXPECT_LE(p.size(), std::max<std::size_t>(pezzo, 10));
          unita.append(p);
        },
        pezzo);
    EXPECT_EQ(unita, intera) << "pezzo " << pezzo;
  }
}

}  // namespace
}  // namespace compattatore
