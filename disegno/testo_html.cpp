#include "disegno/testo_html.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace compattatore {

namespace {

constexpr char32_t sostituto = 0xFFFD;

// 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::array<char32_t, 32> da_80_a_9f = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t carattere(unsigned char b) {
  if (b < 0x20) return b == '\t' || b == '\n' || b == '\r' ? b : sostituto;
  if (b == 0x7F) return sostituto;
  if (b >= 0x80 && b <= 0x9F) {
    const char32_t c = da_80_a_9f[b - 0x80];
    return c == 0 ? sostituto : c;
  }
  return b;
}

void aggiungi_utf8(std::string& uscita, char32_t c) {
  if (c < 0x80) {
    uscita += static_cast<char>(c);
  } else if (c < 0x800) {
    uscita += static_cast<char>(0xC0 | (c >> 6));
    uscita += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    uscita += static_cast<char>(0xE0 | (c >> 12));
    uscita += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    uscita += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string utf8_da_1252(std::string_view testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (const char b : testo) aggiungi_utf8(uscita, carattere(static_cast<unsigned char>(b)));
  return uscita;
}

std::string html(std::string_view testo_1252) {
  std::string uscita;
  uscita.reserve(testo_1252.size());
  for (const char b : testo_1252) {
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
        aggiungi_utf8(uscita, carattere(static_cast<unsigned char>(b)));
    }
  }
  return uscita;
}

std::string numero(double valore, int decimali) {
  char testo[64];
  const auto r =
      std::to_chars(testo, testo + sizeof testo, valore, std::chars_format::fixed, decimali);
  std::string uscita(testo, r.ptr);
  // A negative value that rounds to zero is written "-0.0": drop the sign.
  if (uscita.starts_with('-') && uscita.find_first_not_of("-0.") == std::string::npos)
    uscita.erase(0, 1);
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
  const std::int64_t s = std::llabs(std::int64_t{secondi});
  std::string r(secondi < 0 ? "-" : "");
  r += std::to_string(s / 3600);
  for (const std::int64_t parte : {s / 60 % 60, s % 60}) {
    r += parte < 10 ? ":0" : ":";
    r += std::to_string(parte);
  }
  return r;
}

}  // namespace compattatore
