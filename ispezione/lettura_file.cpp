#include "ispezione/lettura_file.h"

#include <bit>
#include <cstring>
#include <optional>

#include "model/nomi_file.h"
#include "output/immagini.h"

namespace compattatore {

namespace {

// Bytes of a track element by tag; nothing for a tag the layout has not.
std::optional<std::size_t> byte_valore(std::uint16_t tag) {
  switch (static_cast<tipo_elemento>(tag)) {
    case tipo_elemento::vuoto:
      return 0;
    case tipo_elemento::intero:
      return 2;
    case tipo_elemento::reale:
      return 8;
  }
  return std::nullopt;
}

std::string byte_e_resto(std::size_t n) {
  return std::to_string(n) + " byte";
}

// Reads little-endian values from a file image, never past its end: each
// read first checks what is left and refuses the file there.
class decodificatore {
 public:
  explicit decodificatore(std::string_view byte) : byte_(byte) {}

  std::size_t posizione() const { return p_; }
  std::size_t resto() const { return byte_.size() - p_; }

  // `cosa` names what is read, for the refusal.
  void richiedi(std::size_t n, const std::string& cosa) const {
    if (resto() < n)
      throw file_non_valido(p_, cosa + " (" + byte_e_resto(n) + ")",
                            "la fine del file dopo " + byte_e_resto(resto()));
  }
  std::uint8_t u8() { return static_cast<std::uint8_t>(byte_[p_++]); }
  std::uint16_t u16() {
    const std::uint16_t basso = u8();
    return static_cast<std::uint16_t>(basso | (std::uint16_t{u8()} << 8));
  }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::uint32_t u32() {
    const std::uint32_t basso = u16();
    return basso | (std::uint32_t{u16()} << 16);
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  double f64() {
    const std::uint64_t basso = u32();
    return std::bit_cast<double>(basso | (std::uint64_t{u32()} << 32));
  }
  void salta(std::size_t n) { p_ += n; }
  std::string testo(std::size_t n) {
    std::string t(byte_.substr(p_, n));
    p_ += n;
    return t;
  }

 private:
  std::string_view byte_;
  std::size_t p_ = 0;
};

// The kind a file name suggests (`_linea.dat`, `.sim`, other `.dat`); none
// for any other name.
std::optional<genere_file> genere_dal_nome(std::string_view nome) {
  if (nome_da_tracciato(nome)) return genere_file::tracciato;
  if (nome_da_tabella(nome)) return genere_file::tabella;
  if (nome_da_celle(nome)) return genere_file::griglia;
  return std::nullopt;
}

// The route length that the service table holds (slot 84), and what it
// makes of the other two files: the grid's cells and the track's last metre.
std::int32_t lunghezza_percorso(const tabella_letta& t) {
  return t[slot_treno].valore_2;
}

std::int64_t celle_attese(const tabella_letta& t) {
  // As modello::dimensiona sizes the grid, the sum made as a real number: a
  // damaged table's length may be any 32-bit value.
  return cella_di(static_cast<double>(lunghezza_percorso(t)) + margine_griglia) + 1;
}

std::int64_t ultimo_metro_atteso(const tabella_letta& t) {
  return std::int64_t{lunghezza_percorso(t)} + margine_griglia;
}

// Byte offset of element `indice` in file order (all x, then all y).
std::size_t offset_elemento(const tracciato_letto& t, std::size_t indice) {
  std::size_t offset = 0;
  for (std::size_t i = 0; i < indice && i < t.numero_elementi(); ++i) {
    const elemento_letto& e = i < t.x.size() ? t.x[i] : t.y[i - t.x.size()];
    offset += 2 + *byte_valore(static_cast<std::uint16_t>(e.tipo));
  }
  return offset;
}

}  // namespace

std::string nome_genere(genere_file g) {
  switch (g) {
    case genere_file::griglia:
      return "griglia";
    case genere_file::tabella:
      return "tabella";
    case genere_file::tracciato:
      return "tracciato";
  }
  return "";
}

file_non_valido::file_non_valido(std::size_t offset, const std::string& atteso,
                                 const std::string& trovato)
    : std::runtime_error("byte " + std::to_string(offset) + ": atteso: " + atteso +
                         "; trovato: " + trovato),
      offset_(offset) {}

file_non_valido::file_non_valido(const std::string& motivi)
    : std::runtime_error(motivi), offset_(0) {}

std::vector<cella> leggi_griglia(std::string_view byte) {
  if (byte.empty()) throw file_non_valido(0, "almeno una cella di 15 byte", "un file vuoto");
  const std::size_t intere = byte.size() / byte_cella;
  if (byte.size() % byte_cella != 0)
    throw file_non_valido(intere * byte_cella, "una cella intera di 15 byte",
                          "la fine del file dopo " + byte_e_resto(byte.size() % byte_cella));
  std::vector<cella> celle(intere);
  decodificatore d(byte);
  for (cella& c : celle) {
    c.tipo_cella = d.u8();
    c.dato_1 = d.i16();
    c.dato_2 = d.i16();
    c.dato_3 = d.i16();
    c.dato_4 = d.i16();
    c.tempo_segnale = d.u8();
    c.avviso = d.u8();
    c.tipo_montagna = d.u8();
    c.velocita_linea = d.u8();
    c.pendenza = d.u8();
    c.aderenza = d.u8();
  }
  return celle;
}

tabella_letta leggi_tabella(std::string_view byte) {
  tabella_letta t{};
  decodificatore d(byte);
  for (int slot = 0; slot < numero_voci; ++slot) {
    voce_servizio& v = t[static_cast<std::size_t>(slot)];
    const std::string voce = "la voce " + std::to_string(slot);
    // The 16 bytes up to the text's length, then the text, then 18 bytes.
    d.richiedi(16, voce);
    v.tipo_voce = d.u8();
    v.valore_1 = d.i32();
    v.valore_2 = d.i32();
    v.valore_3 = d.i32();
    v.codice_1 = d.u8();
    const std::size_t inizio_testo = d.posizione();
    const std::uint16_t n = d.u16();
    if (d.resto() < n + std::size_t{18})
      throw file_non_valido(inizio_testo,
                            "un testo di " + byte_e_resto(n) + " e il resto della voce " +
                                std::to_string(slot) + " (18 byte)",
                            "la fine del file dopo " + byte_e_resto(d.resto()));
    v.testo = d.testo(n);
    v.intero_1 = d.i16();
    v.intero_2 = d.i16();
    v.intero_3 = d.i16();
    v.intero_4 = d.i16();
    v.intero_5 = d.i16();
    v.codice_2 = d.u8();
    v.codice_3 = d.u8();
    v.codice_4 = d.u8();
    v.codice_5 = d.u8();
    v.orario = d.i32();
  }
  if (d.resto() != 0)
    throw file_non_valido(d.posizione(), "la fine del file dopo la voce 86",
                          "altri " + byte_e_resto(d.resto()));
  return t;
}

tracciato_letto leggi_tracciato(std::string_view byte) {
  // First the tags alone, to check the layout and count the elements; then
  // the values, straight into their coordinate. A long route has two million
  // of them: nothing is built per element but the element.
  std::size_t elementi = 0;
  for (decodificatore d(byte); d.resto() > 0; ++elementi) {
    const auto elemento = [&] { return "elemento " + std::to_string(elementi); };
    if (d.resto() < 2) d.richiedi(2, "il tipo dell'" + elemento());
    const std::size_t inizio = d.posizione();
    const std::uint16_t tag = d.u16();
    const std::optional<std::size_t> n = byte_valore(tag);
    if (!n)
      throw file_non_valido(inizio, "per l'" + elemento() + " un tipo 0, 2 o 5",
                            "il tipo " + std::to_string(tag));
    if (d.resto() < *n) d.richiedi(*n, "il valore dell'" + elemento());
    d.salta(*n);
  }
  // Both coordinates of metre 0 at least, as many x as y.
  if (elementi < 2 || elementi % 2 != 0)
    throw file_non_valido(byte.size(), "un numero pari di elementi, almeno 2 (x e y di ogni metro)",
                          std::to_string(elementi) + " elementi");
  const std::size_t meta = elementi / 2;
  if (meta - 1 > static_cast<std::size_t>(INT32_MAX))
    throw file_non_valido(byte.size(), "al piu' 2147483648 metri", std::to_string(meta));
  tracciato_letto t;
  t.ultimo_metro = static_cast<std::int32_t>(meta - 1);
  t.x.resize(meta);
  t.y.resize(meta);
  decodificatore d(byte);
  for (std::size_t i = 0; i < elementi; ++i) {
    elemento_letto& e = i < meta ? t.x[i] : t.y[i - meta];
    e.tipo = static_cast<tipo_elemento>(d.u16());
    if (e.tipo == tipo_elemento::intero) e.valore = d.i16();
    if (e.tipo == tipo_elemento::reale) e.valore = d.f64();
  }
  return t;
}

file_letto leggi_file_compattato(std::string_view nome, std::string_view byte) {
  const auto leggi = [&](genere_file g) {
    file_letto f;
    f.genere = g;
    switch (g) {
      case genere_file::tabella:
        f.tabella = leggi_tabella(byte);
        break;
      case genere_file::tracciato:
        f.tracciato = leggi_tracciato(byte);
        break;
      case genere_file::griglia:
        f.celle = leggi_griglia(byte);
        break;
    }
    return f;
  };
  const std::optional<genere_file> dal_nome = genere_dal_nome(nome);
  std::optional<file_non_valido> errore_nome;
  if (dal_nome) {
    try {
      return leggi(*dal_nome);
    } catch (const file_non_valido& e) {
      errore_nome = e;
    }
  }
  // From the strictest layout to the loosest: 87 records that end exactly
  // with the file, then tagged elements, then any multiple of 15 bytes.
  std::string motivi;
  for (genere_file g : {genere_file::tabella, genere_file::tracciato, genere_file::griglia}) {
    if (dal_nome == g) continue;
    try {
      return leggi(g);
    } catch (const file_non_valido& e) {
      motivi += (motivi.empty() ? "" : "; ") + ("come " + nome_genere(g) + ", " + e.what());
    }
  }
  if (errore_nome) throw *errore_nome;
  throw file_non_valido("non segue nessuno dei tre formati: " + motivi);
}

void verifica_griglia(const std::vector<cella>& celle, const tabella_letta& t) {
  const std::int64_t attese = celle_attese(t);
  if (static_cast<std::int64_t>(celle.size()) == attese) return;
  const std::size_t offset = attese > 0 && static_cast<std::size_t>(attese) < celle.size()
                                 ? static_cast<std::size_t>(attese) * byte_cella
                                 : celle.size() * byte_cella;
  throw file_non_valido(offset,
                        std::to_string(attese) + " celle per un percorso di " +
                            std::to_string(lunghezza_percorso(t)) + " m (voce 84 della tabella)",
                        std::to_string(celle.size()) + " celle");
}

void verifica_tracciato(const tracciato_letto& tr, const tabella_letta& t) {
  const std::int64_t ultimo = ultimo_metro_atteso(t);
  if (tr.ultimo_metro == ultimo) return;
  const std::int64_t attesi = 2 * (ultimo + 1);
  const std::size_t offset = attesi > 0 && static_cast<std::size_t>(attesi) < tr.numero_elementi()
                                 ? offset_elemento(tr, static_cast<std::size_t>(attesi))
                                 : offset_elemento(tr, tr.numero_elementi());
  throw file_non_valido(offset,
                        std::to_string(attesi > 0 ? attesi : 0) + " elementi (metri 0-" +
                            std::to_string(ultimo) + ") per un percorso di " +
                            std::to_string(lunghezza_percorso(t)) + " m (voce 84 della tabella)",
                        std::to_string(tr.numero_elementi()) + " elementi");
}

}  // namespace compattatore
