#include "documents/documenti.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "sources/scenario.h"
#include "tests/righe.h"

namespace compattatore {
namespace {

using prove::righe_di;

std::vector<std::string> note() {
  return righe_di(testo_da_righe(righe_note()));
}
std::vector<std::string> rallentamenti() {
  return righe_di(testo_da_righe(righe_rallentamenti()));
}
std::vector<std::string> scheda() {
  return righe_di(testo_da_righe(righe_scheda()));
}

std::string senza_bordi(std::string_view s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// The cells of a table row " |a|b|...|": the texts between the bars.
std::vector<std::string> celle_di(const std::string& riga) {
  std::vector<std::string> celle;
  std::size_t bar = riga.find('|');
  while (bar != std::string::npos) {
    const std::size_t prossima = riga.find('|', bar + 1);
    if (prossima == std::string::npos) break;
    celle.push_back(riga.substr(bar + 1, prossima - bar - 1));
    bar = prossima;
  }
  return celle;
}

std::vector<std::size_t> larghezze(const std::vector<std::string>& celle) {
  std::vector<std::size_t> l;
  for (const std::string& c : celle) l.push_back(c.size());
  return l;
}

TEST(Documenti, EachHasItsLinesWithTheEmptyOnesInPlace) {
  const struct {
    std::string_view nome;
    std::string testo;
    std::size_t righe;
    std::vector<std::size_t> vuote;  // 1-based
  } casi[] = {
      {"note", testo_da_righe(righe_note()), 14, {13}},
      {"rallentamenti", testo_da_righe(righe_rallentamenti()), 46, {1, 6, 40}},
      {"scheda", testo_da_righe(righe_scheda()), 51, {1, 2, 12, 51}},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::vector<std::string> righe = righe_di(c.testo);
    ASSERT_EQ(righe.size(), c.righe);
    EXPECT_EQ(c.testo.find(marca_fine), std::string::npos);
    for (std::size_t i = 0; i < righe.size(); ++i) {
      const bool vuota = std::find(c.vuote.begin(), c.vuote.end(), i + 1) != c.vuote.end();
      EXPECT_EQ(righe[i].empty(), vuota) << "line " << i + 1;
    }
  }
}

// Plain ASCII everywhere but in the notes, whose only other bytes are the
// Windows-1252 letters e grave (0xE8) and a grave (0xE0), one byte each.
TEST(Documenti, OnlyTheNotesCarryAccentedLettersAsSingleBytes) {
  const struct {
    std::string testo;
    std::string_view ammessi;
  } casi[] = {
      {testo_da_righe(righe_note()), "\xE8\xE0"},
      {testo_da_righe(righe_rallentamenti()), ""},
      {testo_da_righe(righe_scheda()), ""},
  };
  for (const auto& c : casi) {
    std::string trovati;
    for (const char ch : c.testo)
      if (static_cast<unsigned char>(ch) >= 0x80) trovati += ch;
    for (const char ch : trovati)
      EXPECT_NE(c.ammessi.find(ch), std::string_view::npos)
          << "byte " << static_cast<int>(static_cast<unsigned char>(ch));
    for (const char ch : c.ammessi) EXPECT_NE(trovati.find(ch), std::string::npos);
  }
  // "velocità": the letter right after "velocit" is the single byte 0xE0.
  const std::string n = testo_da_righe(righe_note());
  const std::size_t v = n.find("velocit");
  ASSERT_NE(v, std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(n[v + 7]), 0xE0);
  EXPECT_EQ(n[v + 8], ' ');
  EXPECT_NE(n.find("58213 \xE8 "), std::string::npos);
}

TEST(Documenti, FixedLinesStandAtTheirPlaces) {
  const struct {
    std::vector<std::string> (*documento)();
    std::size_t riga;  // 1-based
    std::string_view testo;
  } casi[] = {
      {note, 4, "limitare la prestazione a 630 Ton.con una aderenza del 110%."},
      {note, 7, "hanno quindi valore."},
      {note, 11, "si frena con circa 0,5-0,8 bar tenendosi a V-10/V-15 "},
      {note, 12, "Buon divertimento !"},
      {rallentamenti, 2, "                               Modulo M. 3"},
      {rallentamenti, 3, "                           ORDINE DI RALLENTAMENTO"},
      {rallentamenti, 4,
       " ________________________________________________________________________________"},
      {rallentamenti, 5, "  Linea  QUARVE LENTRA"},
      {rallentamenti, 7,
       "  Si ordina al macchinista del treno 58213 di effettuare i seguenti rallentamenti"},
      {rallentamenti, 8,
       "  _______________________________________________________________________________"},
      {rallentamenti, 9,
       " |   |                            |Inizio dopo |          |         |            |"},
      {rallentamenti, 10,
       " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
      {rallentamenti, 11,
       " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |"},
      {rallentamenti, 12,
       " |___|____________________________|____________|__________|_________|____________|"},
      {rallentamenti, 39,
       " |___|____________________________|____________|__________|_________|____________|"},
      {rallentamenti, 41, "              Prescrizioni specifiche"},
      {rallentamenti, 42, " A - Da rispettare con tutto il treno (per i treni viaggiatori)"},
      {rallentamenti, 43, " B - Interessa anche la stazione di......."},
      {rallentamenti, 44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
      {rallentamenti, 45, " C - Da rispettare dalle ore ....  alle ore ..... di tutti"},
      {rallentamenti, 46, "     i giorni esclusi i seguenti:........."},
      {scheda, 3,
       "  ___________________                                               ______________"},
      {scheda, 4,
       " |                   |                    SCHEDA                   |              |"},
      {scheda, 5,
       " |   TRENO n.58213   |                   da: QUARVE                |    V100 A    |"},
      {scheda, 8, "  ___________________                ___________________"},
      {scheda, 9, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
      {scheda, 10, " |    MERCI/TEC      |              |      630 T        |"},
      {scheda, 11, " |___________________|              |___________________|"},
      {scheda, 13,
       "  ________________________________________________________________________________"},
      {scheda, 14,
       " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |"},
      {scheda, 15,
       " | Lim.|Marc.|          |  Rs |                            |                |     |"},
      {scheda, 16,
       " |_____|_____|__________|_____|____________________________|________________|_____|"},
      {scheda, 17,
       " | 75  | 70  |  0       |     | QUARVE                     |          0.55  |     |"},
      {scheda, 49,
       " |     |     |101+000   |     | LENTRA                     |2.36            |     |"},
      {scheda, 50,
       " |_____|_____|__________|_____|____________________________|________________|_____|"},
  };
  for (const auto& c : casi) {
    const std::vector<std::string> righe = c.documento();
    ASSERT_LE(c.riga, righe.size());
    EXPECT_EQ(righe[c.riga - 1], c.testo) << "line " << c.riga;
  }
  // Rows quoted without a fixed place.
  const std::vector<std::string> s = scheda();
  for (const std::string_view riga : {
           " | 110 | 80  |  6+350   |     | Cartello indicatore        |                |     |",
           " | 75  | 70  | 16+400   |     | Cippo Km                   |      1.16      |     |",
           " | 100 | 95  | 88+000   |     | Cippo KM                   |                |     |",
       })
    EXPECT_NE(std::find(s.begin() + 16, s.begin() + 49, riga), s.begin() + 49) << riga;
}

TEST(Documenti, NotesKeepTheirLineBreaksAndFigures) {
  const std::vector<std::string> n = note();
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_TRUE(n[i].size() >= 19 && n[i].size() <= 95) << "line " << i + 1 << ": " << n[i];
  EXPECT_TRUE(n[0].starts_with("IL treno 58213 "));
  EXPECT_NE(n[4].find("100 km/h"), std::string::npos);
  EXPECT_NE(n[7].find("(75 %)"), std::string::npos);
  // The contact: one address, nothing else on the line.
  EXPECT_NE(n[13].find('@'), std::string::npos);
  EXPECT_TRUE(n[13].ends_with(".example.org") || n[13].ends_with("@example.org")) << n[13];
  EXPECT_EQ(n[13].find(' '), std::string::npos);
}

// The slowdown order's table: 82-character rows, one restriction over two
// rows, every other row empty.
TEST(Documenti, SlowdownOrderTableRowsHaveTheirCells) {
  const std::vector<std::string> r = rallentamenti();
  const std::string vuota =
      " |   |                            |            |          |         |            |";
  const std::vector<std::size_t> attese{3, 28, 12, 10, 9, 12};
  for (std::size_t i = 8; i < 39; ++i) {
    EXPECT_EQ(r[i].size(), 82u) << "line " << i + 1;
    EXPECT_EQ(larghezze(celle_di(r[i])), attese) << "line " << i + 1;
    const bool vuota_attesa = i == 12 || (i >= 15 && i < 38);
    if (vuota_attesa) {
      EXPECT_EQ(r[i], vuota) << "line " << i + 1;
    }
  }
  const std::vector<std::string> prima = celle_di(r[13]), seconda = celle_di(r[14]);
  EXPECT_EQ(prima[0], " 1 ");
  EXPECT_TRUE(prima[1].starts_with(' ') && senza_bordi(prima[1]).ends_with(" e")) << prima[1];
  EXPECT_EQ(prima[2], "  75+000    ");
  EXPECT_EQ(prima[3], " 50       ");
  EXPECT_EQ(prima[4], " 50      ");
  EXPECT_EQ(prima[5], "  Tutto     ");
  EXPECT_EQ(seconda[0], "   ");
  EXPECT_TRUE(seconda[1].starts_with(' ') && seconda[1][1] != ' ') << seconda[1];
  EXPECT_EQ(seconda[2] + seconda[3] + seconda[4], std::string(31, ' '));
  EXPECT_EQ(seconda[5], " il treno   ");
}

// One body row of the train sheet, cut into its seven cells.
struct riga_scheda {
  std::string testo;
  std::vector<std::string> celle;

  std::string luogo() const { return senza_bordi(celle[4]); }
  std::vector<std::string> orari() const {
    std::vector<std::string> o;
    std::string s = celle[5];
    for (std::size_t a = s.find_first_not_of(' '); a != std::string::npos;
         a = s.find_first_not_of(' ', a)) {
      const std::size_t b = s.find(' ', a);
      o.push_back(s.substr(a, b - a));
      a = b;
    }
    return o;
  }
  bool cartello() const {
    return luogo() == "Cartello indicatore" || luogo() == "Cartello ind.vel" ||
           luogo() == "cartello ind.vel";
  }
  bool cippo() const { return luogo() == "Cippo Km" || luogo() == "Cippo KM"; }
};

std::vector<riga_scheda> corpo_scheda() {
  const std::vector<std::string> s = scheda();
  std::vector<riga_scheda> corpo;
  for (std::size_t i = 16; i < 49; ++i) corpo.push_back({s[i], celle_di(s[i])});
  return corpo;
}

int minuti(const std::string& orario) {
  const std::size_t punto = orario.find('.');
  EXPECT_TRUE(punto != std::string::npos && orario.size() == punto + 3) << orario;
  return std::stoi(orario.substr(0, punto)) * 60 + std::stoi(orario.substr(punto + 1));
}

TEST(Documenti, TrainSheetRowsKeepTheirCellsAndRouteOrder) {
  const std::vector<std::string> s = scheda();
  for (std::size_t i = 3; i < 6; ++i) EXPECT_EQ(s[i].size(), 83u) << "line " << i + 1;
  EXPECT_EQ(s[6], std::string(67, ' ') + "|______________|");
  EXPECT_EQ(s[5].substr(0, 22), " |___________________|");
  EXPECT_EQ(s[5].substr(22, 23), std::string(20, ' ') + "a: ");
  EXPECT_EQ(s[5].substr(67), "|     75 %     |");

  const std::vector<std::size_t> attese{5, 5, 10, 5, 28, 16, 5};
  int luoghi = 0, cartelli_indicatori = 0, cartelli_ind_vel = 0, minuscoli = 0, cippi_km = 0,
      cippi_KM = 0, lunghe = 0;
  int chilometri_prima = -1, minuti_prima = -1;
  for (const riga_scheda& r : corpo_scheda()) {
    SCOPED_TRACE(r.testo);
    const bool lunga = r.testo.size() == 84;
    lunghe += lunga;
    EXPECT_EQ(r.testo.size(), lunga ? 84u : 83u);
    if (lunga) {
      EXPECT_EQ(r.testo.back(), ' ');
      EXPECT_EQ(r.celle[2], " 61+400   ");
    }
    ASSERT_EQ(larghezze(r.celle), attese);
    EXPECT_TRUE(r.testo.starts_with(" |"));
    EXPECT_EQ(r.celle[3], "     ");
    EXPECT_EQ(r.celle[4][0], ' ');
    EXPECT_TRUE(r.celle[6] == "     " || r.celle[6] == " 0.5 " || r.celle[6] == " 1   ");
    // Chainage: kilometres right-aligned in 3, "+", metres in 3, 3 blanks.
    const std::string& km = r.celle[2];
    int chilometri = 0;
    if (km == "  0       ") {
      EXPECT_EQ(chilometri_prima, -1);
    } else {
      EXPECT_EQ(km[3], '+');
      EXPECT_EQ(km.substr(7), "   ");
      chilometri = std::stoi(km.substr(0, 3)) * 1000 + std::stoi(km.substr(4, 3));
    }
    EXPECT_GT(chilometri, chilometri_prima);
    chilometri_prima = chilometri;
    // The running speed never exceeds the limit on the same row.
    const std::string lim = senza_bordi(r.celle[0]), marc = senza_bordi(r.celle[1]);
    if (!lim.empty() && !marc.empty()) {
      EXPECT_LE(std::stoi(marc), std::stoi(lim));
    }
    for (const std::string& o : r.orari()) {
      EXPECT_GE(minuti(o), minuti_prima);
      minuti_prima = minuti(o);
    }
    if (r.cartello()) {
      EXPECT_TRUE(r.orari().empty());
      EXPECT_FALSE(lim.empty());
    } else if (!r.cippo()) {
      ++luoghi;
      EXPECT_TRUE(r.orari().size() == 1 || r.orari().size() == 2);
    }
    cartelli_indicatori += r.luogo() == "Cartello indicatore";
    cartelli_ind_vel += r.luogo() == "Cartello ind.vel";
    minuscoli += r.luogo() == "cartello ind.vel";
    if (r.luogo() == "Cippo Km") {
      ++cippi_km;
      EXPECT_EQ(r.orari().size(), 1u);
    }
    if (r.luogo() == "Cippo KM") {
      ++cippi_KM;
      EXPECT_TRUE(r.orari().empty());
    }
  }
  EXPECT_EQ(luoghi, 22);
  EXPECT_EQ(cartelli_indicatori, 3);
  EXPECT_EQ(cartelli_ind_vel, 3);
  EXPECT_EQ(minuscoli, 1);
  EXPECT_EQ(cippi_km, 1);
  EXPECT_EQ(cippi_KM, 3);
  EXPECT_EQ(lunghe, 1);
  EXPECT_EQ(minuti_prima, minuti("2.36"));
}

// The stations of the service source, in route order, and the position of
// the one slowdown.
struct servizio {
  std::vector<std::pair<int, std::string>> stazioni;
  int rallentamento = -1;
};

servizio leggi_servizio() {
  servizio s;
  for (const std::string& r : righe_di(testo_da_righe(righe_treno()))) {
    std::vector<std::string> voci;
    for (std::size_t a = 0;;) {
      const std::size_t b = r.find(',', a);
      voci.push_back(senza_bordi(std::string_view(r).substr(a, b - a)));
      if (b == std::string::npos) break;
      a = b + 1;
    }
    if (voci[0] == "stazione") s.stazioni.emplace_back(std::stoi(voci[1]), voci.back());
    if (voci[0] == "rallentamento") s.rallentamento = std::stoi(voci[1]);
  }
  return s;
}

// The documents tell the journey of the sources: the sheet's places are the
// service's stations under the same names and in the same order, and the
// slowdown order names the two stations around the slowdown.
TEST(Documenti, DocumentsNameTheStationsOfTheServiceSource) {
  const servizio sv = leggi_servizio();
  ASSERT_EQ(sv.stazioni.size(), 24u);
  std::vector<std::string> luoghi;
  for (const riga_scheda& r : corpo_scheda())
    if (!r.cartello() && !r.cippo()) luoghi.push_back(r.luogo());
  ASSERT_FALSE(luoghi.empty());
  EXPECT_EQ(luoghi.front(), "QUARVE");
  EXPECT_EQ(luoghi.back(), "LENTRA");
  std::size_t k = 0;
  for (const std::string& l : luoghi) {
    while (k < sv.stazioni.size() && sv.stazioni[k].second != l) ++k;
    EXPECT_LT(k, sv.stazioni.size()) << l << " is not a station of the service, or out of order";
  }
  const std::vector<std::string> s = scheda();
  EXPECT_EQ(senza_bordi(s[5].substr(22, 45)), "a: " + luoghi.back());

  // The stations before and after the slowdown.
  ASSERT_EQ(sv.rallentamento, 75000);
  const auto dopo = std::find_if(sv.stazioni.begin(), sv.stazioni.end(),
                                 [&](const auto& st) { return st.first > sv.rallentamento; });
  ASSERT_TRUE(dopo != sv.stazioni.begin() && dopo != sv.stazioni.end());
  const std::string prima = std::prev(dopo)->second;
  const std::vector<std::string> r = rallentamenti();
  std::string abbreviato = senza_bordi(celle_di(r[13])[1]);
  ASSERT_TRUE(abbreviato.ends_with(" e"));
  abbreviato.resize(abbreviato.size() - 2);
  EXPECT_NE(abbreviato, prima) << "the first name is abbreviated";
  if (abbreviato.ends_with('.')) abbreviato.pop_back();
  EXPECT_TRUE(prima.starts_with(abbreviato)) << abbreviato << " / " << prima;
  EXPECT_EQ(senza_bordi(celle_di(r[14])[1]), dopo->second);
}

}  // namespace
}  // namespace compattatore
