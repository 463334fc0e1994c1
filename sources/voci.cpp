#include "sources/voci.h"

#include <algorithm>
#include <cstring>

#include "model/errori.h"

namespace compattatore {

namespace {

char minuscola(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool spazio(char c) {
  return c == ' ' || c == '\t';
}

bool cifra(char c) {
  return c >= '0' && c <= '9';
}

struct limiti {
  std::int64_t minimo;
  std::int64_t massimo;
  std::string_view descrizione;
};

limiti limiti_di(larghezza l) {
  switch (l) {
    case larghezza::intero_16:
      return {-32768, 32767, "intero a 16 bit con segno, da -32768 a 32767"};
    case larghezza::byte:
      return {0, 255, "byte senza segno, da 0 a 255"};
    case larghezza::intero_32:
      break;
  }
  return {-2147483648LL, 2147483647LL, "intero a 32 bit con segno, da -2147483648 a 2147483647"};
}

// Numbers written the way a spreadsheet or a locale would write them are the
// usual reason why an author's file fails; say so.
std::string cause_della_voce(std::string_view voce) {
  std::string cause;
  if (voce.find(';') != std::string_view::npos)
    cause += "; probabile causa: ';' usato come separatore (le voci si separano con ',')";
  for (std::size_t i = 1; i + 1 < voce.size(); ++i) {
    if (!cifra(voce[i - 1]) || !cifra(voce[i + 1])) continue;
    if (voce[i] == '.') {
      cause += "; probabile causa: punto decimale (i numeri sono interi)";
      break;
    }
    if (voce[i] == ',') {
      cause += "; probabile causa: virgola decimale (i numeri sono interi)";
      break;
    }
  }
  return cause;
}

constexpr std::string_view causa_bom =
    "probabile causa: il file inizia con il BOM UTF-8 (va salvato in Windows-1252, senza BOM)";

}  // namespace

std::string leggibile(std::string_view testo, std::size_t massimo) {
  std::string s;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (s.size() >= massimo) return s + "...";
    const auto c = static_cast<unsigned char>(testo[i]);
    switch (c) {
      case '\r':
        s += "\\r";
        break;
      case '\n':
        s += "\\n";
        break;
      case '\t':
        s += "\\t";
        break;
      case '\0':
        s += "\\0";
        break;
      case '\\':
        s += "\\\\";
        break;
      default:
        if (c < 0x20 || c > 0x7E) {
          constexpr char cifre[] = "0123456789ABCDEF";
          s += "\\x";
          s += cifre[c >> 4];
          s += cifre[c & 0xF];
        } else {
          s += static_cast<char>(c);
        }
    }
  }
  return s;
}

bool contiene(std::string_view voce, std::string_view parola) {
  return voce.find(parola) != std::string_view::npos;
}

bool contiene_nc(std::string_view voce, std::string_view parola) {
  if (parola.size() > voce.size()) return false;
  const std::size_t ultimo = voce.size() - parola.size();
  for (std::size_t i = 0; i <= ultimo; ++i) {
    std::size_t k = 0;
    while (k < parola.size() && minuscola(voce[i + k]) == parola[k]) ++k;
    if (k == parola.size()) return true;
  }
  return false;
}

std::string_view senza_spazi(std::string_view voce) {
  const std::size_t a = voce.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  return voce.substr(a, voce.find_last_not_of(" \t") - a + 1);
}

lettore_voci::lettore_voci(std::string_view testo) : testo_(testo) {
  bom_ = testo_.starts_with("\xEF\xBB\xBF");
  if (testo_.starts_with("\xFF\xFE") || testo_.starts_with("\xFE\xFF")) {
    causa_file_ = "probabile causa: il file e' in UTF-16 (va salvato in Windows-1252)";
  } else if (testo_.find('\n') == std::string_view::npos) {
    const std::size_t cr = testo_.find('\r');
    if (cr != std::string_view::npos && cr + 1 < testo_.size())
      causa_file_ =
          "probabile causa: le righe finiscono con il solo CR (vanno salvate con CR LF o LF)";
  }
}

// Lines counted from the last position asked, forwards or back, so that the
// count over a whole reading stays linear.
std::int32_t lettore_voci::riga_di(std::size_t p) const {
  const char* const testo = testo_.data();
  if (p < contato_fino_a_) {
    for (std::size_t k = p; k < contato_fino_a_; ++k)
      if (testo[k] == '\n') --righe_contate_;
    contato_fino_a_ = p;
    return righe_contate_ + 1;
  }
  const char* q = testo + contato_fino_a_;
  const char* const fine_tratto = testo + p;
  while (q < fine_tratto) {
    const void* a_capo = std::memchr(q, '\n', static_cast<std::size_t>(fine_tratto - q));
    if (a_capo == nullptr) break;
    ++righe_contate_;
    q = static_cast<const char*>(a_capo) + 1;
  }
  contato_fino_a_ = p;
  return righe_contate_ + 1;
}

void lettore_voci::segna_inizio_record() {
  voce_altrove_.reset();
  fine_riga_record_ = testo_.find('\n', pos_ == 0 ? 0 : pos_ - 1);
}

// An item that starts past the line end after its record's keyword: the
// first such is kept, with its text, to name what the record swallowed.
void lettore_voci::nota_inizio_voce(std::size_t p) {
  inizio_ultima_voce_ = p;
  if (voce_altrove_ || fine_riga_record_ == std::string_view::npos || p <= fine_riga_record_)
    return;
  voce_altrove_ = voce_altrove{riga_di(p), leggibile(testo_.substr(p, fine_voce(p) - p))};
}

void lettore_voci::salta_riga() {
  while (pos_ < testo_.size() && !fine_riga(pos_)) ++pos_;
  consuma_delimitatore();
}

std::int32_t lettore_voci::riga() const {
  return riga_di(pos_);
}

// A line ends with LF or CR LF; a CR that closes the file counts as one too.
bool lettore_voci::fine_riga(std::size_t p) const {
  if (testo_[p] == '\n') return true;
  return testo_[p] == '\r' && (p + 1 == testo_.size() || testo_[p + 1] == '\n');
}

std::size_t lettore_voci::lunghezza_fine_riga(std::size_t p) const {
  return testo_[p] == '\r' && p + 1 < testo_.size() ? 2 : 1;
}

void lettore_voci::salta_spazi() {
  while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

void lettore_voci::consuma_delimitatore() {
  if (pos_ == testo_.size()) return;
  if (testo_[pos_] == ',')
    ++pos_;
  else if (fine_riga(pos_))
    pos_ += lunghezza_fine_riga(pos_);
}

std::size_t lettore_voci::fine_voce(std::size_t da) const {
  std::size_t p = da;
  while (p < testo_.size() && testo_[p] != ',' && !fine_riga(p)) ++p;
  return p;
}

void lettore_voci::fallisci_fine(std::string_view campo) const {
  std::string d = "fine del file dentro un record";
  if (!campo.empty()) d += " (manca il campo " + std::string(campo) + ")";
  throw fallimento_lettura(d);
}

void lettore_voci::fallisci_voce(std::size_t inizio, std::string_view motivo,
                                 std::string_view campo, larghezza l) const {
  std::size_t fine_item = fine_voce(inizio);
  if (testo_[inizio] == '"') {
    const std::size_t chiusa = testo_.find('"', inizio + 1);
    if (chiusa != std::string_view::npos) fine_item = std::max(fine_item, chiusa + 1);
  }
  while (fine_item > inizio && spazio(testo_[fine_item - 1])) --fine_item;
  const std::string_view voce = testo_.substr(inizio, fine_item - inizio);
  std::string d = "voce \"" + leggibile(voce) + "\" " + std::string(motivo) + " per il campo " +
                  std::string(campo) + " (" + std::string(limiti_di(l).descrizione) + ")" +
                  cause_della_voce(voce);
  // The byte-order mark belongs to the file's first item alone.
  if (bom_ && inizio == 0) d += "; " + std::string(causa_bom);
  throw fallimento_lettura(d);
}

void lettore_voci::leggi_testo(std::string& voce) {
  if (fine()) fallisci_fine({});
  salta_spazi();
  nota_inizio_voce(pos_);
  std::size_t da = pos_;
  std::size_t a = 0;
  if (pos_ < testo_.size() && testo_[pos_] == '"') {
    da = pos_ + 1;
    a = testo_.find('"', da);
    if (a == std::string_view::npos)
      throw fallimento_lettura("virgolette non chiuse nella voce \"" +
                               leggibile(testo_.substr(da, fine_voce(da) - da)) + "\"");
    if (std::memchr(testo_.data() + da, '\n', a - da) != nullptr)
      virgolette_ = virgolette{riga_di(da), riga_di(a)};
    pos_ = fine_voce(a + 1);
  } else {
    pos_ = fine_voce(pos_);
    a = pos_;
    while (a > da && spazio(testo_[a - 1])) --a;
  }
  if (a - da > lunghezza_massima_testo)
    throw fallimento_lettura("testo di " + std::to_string(a - da) +
                             " byte, oltre il massimo di 65535");
  voce.assign(testo_.data() + da, a - da);
  consuma_delimitatore();
}

std::int64_t lettore_voci::leggi_numero(larghezza l, std::string_view campo) {
  if (fine()) fallisci_fine(campo);
  salta_spazi();
  nota_inizio_voce(pos_);
  const std::size_t inizio = pos_;
  std::size_t p = pos_;
  if (p == testo_.size() || testo_[p] == ',' || fine_riga(p)) {
    consuma_delimitatore();
    return 0;
  }
  const bool negativo = testo_[p] == '-';
  if (testo_[p] == '-' || testo_[p] == '+') ++p;
  const std::size_t prima_cifra = p;
  // Past 13 digits the value fits no field; the digits are still walked so
  // that the message shows the whole item.
  std::int64_t valore = 0;
  bool enorme = false;
  for (; p < testo_.size() && cifra(testo_[p]); ++p) {
    if (valore > 999'999'999'999LL)
      enorme = true;
    else
      valore = valore * 10 + (testo_[p] - '0');
  }
  if (p == prima_cifra ||
      (p < testo_.size() && !spazio(testo_[p]) && testo_[p] != ',' && !fine_riga(p)))
    fallisci_voce(inizio, "non e' un numero intero", campo, l);
  if (negativo) valore = -valore;
  const limiti lim = limiti_di(l);
  if (enorme || valore < lim.minimo || valore > lim.massimo)
    fallisci_voce(inizio, "fuori dall'intervallo", campo, l);
  pos_ = p;
  salta_spazi();
  consuma_delimitatore();
  return valore;
}

}  // namespace compattatore
