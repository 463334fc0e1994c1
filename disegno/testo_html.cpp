#include "disegno/testo_html.h"

#include <cstdlib>

namespace compattatore {

namespace {

constexpr char32_t sostituto = 0xFFFD;

char32_t carattere(unsigned char b) {
  if (b < 0x20) return b == '\t' || b == '\n' || b == '\r' ? b : sostituto;
  if (b == 0x7F) return sostituto;
  const char32_t c = carattere_1252(b);
  return c == 0 ? sostituto : c;
}

}  // namespace

std::string utf8_da_1252(std::string_view testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (const char b : testo) aggiungi_utf8(uscita, carattere(static_cast<unsigned char>(b)));
  return uscita;
}

std::string html(std::string_view testo_1252) {
  return html_utf8(utf8_da_1252(testo_1252));
}

std::string html_utf8(std::string_view testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (const char b : testo) {
    switch (b) {
      case '&':
        uscita += "&amp;";
        break;
      case '<':
        uscita += "&lt;";
        break;
      case '>':
        uscita += "&gt;";
        break;
      case '"':
        uscita += "&quot;";
        break;
      default:
        uscita += b;
    }
  }
  return uscita;
}

std::string progressiva(std::int64_t metri) {
  const std::int64_t assoluti = std::llabs(metri);
  const std::int64_t resto = assoluti % 1000;
  std::string r(metri < 0 ? "-" : "");
  r += std::to_string(assoluti / 1000);
  r += resto < 10 ? "+00" : resto < 100 ? "+0" : "+";
  r += std::to_string(resto);
  return r;
}

std::string ora(std::int32_t secondi) {
  return orario(secondi, ':');
}

}  // namespace compattatore
