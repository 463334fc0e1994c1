#include "model/testo_valori.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <system_error>

namespace compattatore {

namespace {

// 0x80 to 0x9F; 0 where the code page has no character.
constexpr std::array<char32_t, 32> da_80_a_9f = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t carattere_1252(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? da_80_a_9f[byte - 0x80] : char32_t{byte};
}

void aggiungi_utf8(std::string& testo, char32_t c) {
  if (c < 0x80) {
    testo += static_cast<char>(c);
  } else if (c < 0x800) {
    testo += static_cast<char>(0xC0 | (c >> 6));
    testo += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    testo += static_cast<char>(0xE0 | (c >> 12));
    testo += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    testo += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string numero(double valore, int decimali) {
  // to_chars rounds correctly and the same way on every build. The largest
  // double has 309 digits before the point.
  char testo[400];
  const auto r =
      std::to_chars(testo, testo + sizeof testo, valore, std::chars_format::fixed, decimali);
  if (r.ec != std::errc{}) throw std::length_error("numero: troppi decimali");
  std::string uscita(testo, r.ptr);
  // A negative value that rounds to zero is written "-0.0": drop the sign.
  if (uscita.starts_with('-') && uscita.find_first_not_of("-0.") == std::string::npos)
    uscita.erase(0, 1);
  return uscita;
}

std::string orario(std::int64_t secondi, char separatore) {
  const std::uint64_t s =
      secondi < 0 ? 0 - static_cast<std::uint64_t>(secondi) : static_cast<std::uint64_t>(secondi);
  std::string r(secondi < 0 ? "-" : "");
  r += std::to_string(s / 3600);
  for (const std::uint64_t parte : {s / 60 % 60, s % 60}) {
    r += separatore;
    if (parte < 10) r += '0';
    r += std::to_string(parte);
  }
  return r;
}

}  // namespace compattatore
