// Item reading of the source files, shared by the line reader and the service
// reader: a file is a stream of items separated by commas or line ends, each
// read as text or as a number of a given width. Any item that cannot be read
// as asked throws fallimento_lettura, which the reader turns into error 25.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace compattatore {

// Width of the integer field that receives a numeric item.
enum class larghezza { intero_32, intero_16, byte };

// Keyword tests: whether `voce` holds `parola` anywhere, with exact case, or
// with ASCII letters compared without regard to case (`parola` in lower case).
bool contiene(std::string_view voce, std::string_view parola);
bool contiene_nc(std::string_view voce, std::string_view parola);

// The item without the blanks around it.
std::string_view senza_spazi(std::string_view voce);

// The longest text a file can hold in a text field (16-bit byte count).
inline constexpr std::size_t lunghezza_massima_testo = 65535;

// Source text as it may be shown in a message: bytes below 0x20 and above
// 0x7E escaped (\r, \n, \t, \0, \xE8, and a backslash doubled), so that no
// message is cut or garbles a terminal; cut at `massimo` bytes with "...".
std::string leggibile(std::string_view testo, std::size_t massimo = 60);

class lettore_voci {
 public:
  // `testo` must outlive the reader.
  explicit lettore_voci(std::string_view testo);

  // Whether the position is at the end of the file.
  bool fine() const { return pos_ == testo_.size(); }

  // 1-based line of the current position. Lines are counted lazily over the
  // stretch read since the last call, so the whole count stays linear.
  std::int32_t riga() const;

  // The next item as text, into `voce` (its storage is reused). Leading
  // blanks and tabs are skipped and trailing ones are not part of the item;
  // an item that starts with a double quote runs to the closing quote, kept
  // verbatim, and whatever follows up to the delimiter is dropped.
  void leggi_testo(std::string& voce);

  // The next item as a whole number that must fit `l`: optional blanks, an
  // optional sign and decimal digits; an empty item reads 0. `campo` names
  // the field in the failure's detail.
  std::int64_t leggi_numero(larghezza l, std::string_view campo);
  std::int32_t leggi_32(std::string_view campo) {
    return static_cast<std::int32_t>(leggi_numero(larghezza::intero_32, campo));
  }
  std::int16_t leggi_16(std::string_view campo) {
    return static_cast<std::int16_t>(leggi_numero(larghezza::intero_16, campo));
  }
  std::uint8_t leggi_8(std::string_view campo) {
    return static_cast<std::uint8_t>(leggi_numero(larghezza::byte, campo));
  }

  // What the whole file suggests about any failure in it (UTF-16, lines
  // ended by CR alone); empty when nothing. The reading pass adds it to every
  // failure it records. A UTF-8 byte-order mark explains only a failure of
  // the file's first item, and the item reader tells it only there.
  std::string_view causa_del_file() const { return causa_file_; }

  // The records of a source sit one to a line. After segna_inizio_record(),
  // called once the keyword is read, voce_su_altra_riga() gives the first
  // item the record read from a later line than its keyword's, if any.
  struct voce_altrove {
    std::int32_t riga;
    std::string testo;  // as read, for a message
  };
  void segna_inizio_record();
  const std::optional<voce_altrove>& voce_su_altra_riga() const { return voce_altrove_; }
  // Past the end of the current line, as if its items had been read.
  void salta_riga();
  // The line where the last item read starts.
  std::int32_t riga_ultima_voce() const { return riga_di(inizio_ultima_voce_); }

  // The last quoted text that ran across a line end: the lines of its two
  // quotes. Taken once.
  struct virgolette {
    std::int32_t apertura;
    std::int32_t chiusura;
  };
  std::optional<virgolette> prendi_virgolette_su_piu_righe() {
    return std::exchange(virgolette_, std::nullopt);
  }

 private:
  bool fine_riga(std::size_t p) const;
  std::size_t lunghezza_fine_riga(std::size_t p) const;
  void salta_spazi();
  void consuma_delimitatore();
  std::size_t fine_voce(std::size_t da) const;
  [[noreturn]] void fallisci_fine(std::string_view campo) const;
  [[noreturn]] void fallisci_voce(std::size_t inizio, std::string_view motivo,
                                  std::string_view campo, larghezza l) const;

  std::int32_t riga_di(std::size_t p) const;
  void nota_inizio_voce(std::size_t p);

  std::string_view testo_;
  std::size_t pos_ = 0;
  std::string_view causa_file_;
  bool bom_ = false;
  std::size_t fine_riga_record_ = std::string_view::npos;
  std::size_t inizio_ultima_voce_ = 0;
  std::optional<voce_altrove> voce_altrove_;
  std::optional<virgolette> virgolette_;
  mutable std::size_t contato_fino_a_ = 0;
  mutable std::int32_t righe_contate_ = 0;
};

}  // namespace compattatore
