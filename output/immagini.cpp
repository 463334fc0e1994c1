// Layouts of the three compacted files: flat little-endian dumps with no
// header, count, separator or padding. The simulator is their only reader.
//
// Track file, 2 x (L + 1) tagged elements, component 0 of metres 0..L first,
// then component 1:
//   u16 tag (0 empty, 2 int16, 5 double) | nothing, i16 or f64
//
// Service table file, slots 0..86, each 34 + n bytes:
//   u8 tipo_voce | i32 valore_1 | i32 valore_2 | i32 valore_3 | u8 codice_1 |
//   u16 n | n bytes testo | i16 intero_1..intero_5 | u8 codice_2 | u8 codice_3 |
//   u8 codice_4 | u8 codice_5 | i32 orario
//
// Cell grid file, cells 0..numero_celle, 15 bytes each:
//   u8 tipo_cella | i16 dato_1..dato_4 | u8 tempo_segnale | u8 avviso |
//   u8 tipo_montagna | u8 velocita_linea | u8 pendenza | u8 aderenza
#include "output/immagini.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

namespace compattatore {

namespace {

// Appends fixed-width little-endian values; never a struct or a host int.
class codificatore {
 public:
  explicit codificatore(immagine& out) : out_(out) {}
  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    u32(static_cast<std::uint32_t>(bits));
    u32(static_cast<std::uint32_t>(bits >> 32));
  }
  void byte(std::string_view s) { out_.append(s); }

 private:
  immagine& out_;
};

}  // namespace

void produci_tracciato(const tracciato_piano& t, const scrittore& scrivi, std::size_t pezzo) {
  // The widest element takes 10 bytes: a piece always has room for one more.
  constexpr std::size_t elemento_massimo = 10;
  std::string buffer(std::max(pezzo, elemento_massimo), '\0');
  char* const inizio = buffer.data();
  char* const limite = inizio + buffer.size() - elemento_massimo;
  char* p = inizio;
  // Little-endian by shifts, as the codificatore does, but straight into the
  // buffer: this loop runs twice per metre of route.
  const auto metti = [&p](std::uint64_t v, int byte) {
    for (int k = 0; k < byte; ++k) *p++ = static_cast<char>(v >> (8 * k));
  };
  t.in_ordine([&](tipo_elemento tipo, double valore) {
    if (p > limite) {
      scrivi(std::string_view(inizio, static_cast<std::size_t>(p - inizio)));
      p = inizio;
    }
    metti(static_cast<std::uint16_t>(tipo), 2);
    switch (tipo) {
      case tipo_elemento::vuoto:
        break;
      case tipo_elemento::intero:
        metti(static_cast<std::uint16_t>(static_cast<std::int16_t>(valore)), 2);
        break;
      case tipo_elemento::reale:
        metti(std::bit_cast<std::uint64_t>(valore), 8);
        break;
    }
  });
  if (p != inizio) scrivi(std::string_view(inizio, static_cast<std::size_t>(p - inizio)));
}

immagine immagine_tracciato(const tracciato_piano& t) {
  immagine out;
  out.reserve(t.numero_elementi() * 10);
  produci_tracciato(t, [&out](std::string_view pezzo) { out.append(pezzo); });
  return out;
}

immagine immagine_tabella(const std::array<voce_servizio, numero_voci>& tabella) {
  immagine out;
  std::size_t testi = 0;
  for (const voce_servizio& v : tabella) testi += v.testo.size();
  out.reserve(dimensione_file_tabella(testi));
  codificatore c(out);
  for (const voce_servizio& v : tabella) {
    c.u8(v.tipo_voce);
    c.i32(v.valore_1);
    c.i32(v.valore_2);
    c.i32(v.valore_3);
    c.u8(v.codice_1);
    // The length field has 16 bits; the readers never store a longer text.
    const std::string_view testo = std::string_view(v.testo).substr(0, 0xFFFF);
    c.u16(static_cast<std::uint16_t>(testo.size()));
    c.byte(testo);
    c.i16(v.intero_1);
    c.i16(v.intero_2);
    c.i16(v.intero_3);
    c.i16(v.intero_4);
    c.i16(v.intero_5);
    c.u8(v.codice_2);
    c.u8(v.codice_3);
    c.u8(v.codice_4);
    c.u8(v.codice_5);
    c.i32(v.orario);
  }
  return out;
}

immagine immagine_celle(const std::vector<cella>& celle) {
  immagine out;
  out.reserve(celle.size() * byte_cella);
  codificatore c(out);
  for (const cella& k : celle) {
    c.u8(k.tipo_cella);
    c.i16(k.dato_1);
    c.i16(k.dato_2);
    c.i16(k.dato_3);
    c.i16(k.dato_4);
    c.u8(k.tempo_segnale);
    c.u8(k.avviso);
    c.u8(k.tipo_montagna);
    c.u8(k.velocita_linea);
    c.u8(k.pendenza);
    c.u8(k.aderenza);
  }
  assert(out.size() == celle.size() * byte_cella);
  return out;
}

}  // namespace compattatore
