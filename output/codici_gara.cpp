#include "output/codici_gara.h"

#include <array>
#include <string>

#include "model/descrizione_campi.h"
#include "model/errori.h"

namespace compattatore {

namespace {

constexpr std::string_view riempitivo = "aabbccddeeffgghhiillmmnnoo";
constexpr std::size_t lunghezza_codice = 25;

constexpr std::int16_t marca_tabella = 610;  // intero_1 of slot 85
constexpr std::int16_t marca_cella = 5121;   // dato_1 of cell 1

// Windows-1252 lower case: the letters whose capital and small forms are both
// in the code page. 0xD7 (multiplication sign) sits among the capitals but has
// no small form.
constexpr std::array<unsigned char, 256> tabella_minuscole = [] {
  std::array<unsigned char, 256> t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 0x20);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 0x20);
  t[0x8A] = 0x9A;
  t[0x8C] = 0x9C;
  t[0x8E] = 0x9E;
  t[0x9F] = 0xFF;
  return t;
}();

// The 25 codes the check codes are summed over: train number then route
// name, in lower case, padded with the filler.
std::array<unsigned char, lunghezza_codice> testo_codice(const modello& m) {
  std::string testo = m.tabella_servizio[slot_generale].testo;
  testo += m.tabella_servizio[slot_linea].testo;
  testo += riempitivo;
  std::array<unsigned char, lunghezza_codice> codici{};
  for (std::size_t p = 0; p < lunghezza_codice; ++p)
    codici[p] = tabella_minuscole[static_cast<unsigned char>(testo[p])];
  return codici;
}

}  // namespace

std::int32_t codice_gara_og(const modello& m) {
  std::int32_t somma = 0;
  for (unsigned char c : testo_codice(m)) somma += c;
  return somma;
}

std::int32_t codice_gara_st(const modello& m) {
  const std::array<unsigned char, lunghezza_codice> codici = testo_codice(m);
  std::int32_t somma = 0;
  for (std::size_t p = 0; p < lunghezza_codice; ++p)
    somma += static_cast<std::int32_t>(p + 1) * codici[p];
  return somma;
}

namespace {

// A guard's refusal: the place taken is slot 85 when the table holds the
// value, otherwise cell 1, whose record is named.
bool rifiuta(modello& m, codice_errore_numero codice, bool nella_tabella) {
  luogo_errore l;
  if (!nella_tabella && m.origini.size() > cella_marcata) {
    l = m.luogo_di(m.origini[cella_marcata].evento);
    l.spiegazione = "la cella 1 e' occupata " + occupata_da(m, cella_marcata);
  }
  l.nella_tabella = nella_tabella;
  m.registra_errore(codice, std::nullopt, std::move(l));
  return false;
}

}  // namespace

bool timbra_codici(modello& m) {
  voce_servizio& linea = m.tabella_servizio[slot_linea];
  // A grid without cell 1 has no place for the mark: refused like a place
  // already taken, before anything is written.
  if (m.celle.size() <= cella_marcata) return rifiuta(m, errore_marca_linea, false);
  cella& c = m.celle[cella_marcata];

  if (linea.intero_1 != 0 || c.dato_1 != 0)
    return rifiuta(m, errore_marca_linea, linea.intero_1 != 0);
  linea.intero_1 = marca_tabella;
  c.dato_1 = marca_cella;

  if (linea.orario != 0 || c.dato_2 != 0) return rifiuta(m, errore_codice_gara, linea.orario != 0);
  linea.orario = codice_gara_st(m);
  c.dato_2 = static_cast<std::int16_t>(codice_gara_og(m));
  return true;
}

}  // namespace compattatore
