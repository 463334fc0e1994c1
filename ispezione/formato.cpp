#include "ispezione/formato.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace compattatore {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr std::array<char32_t, 32> alti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string due_cifre(std::int64_t v) {
  std::string t = std::to_string(v);
  if (t.size() < 2) t.insert(t.begin(), '0');
  return t;
}

}  // namespace

std::string da_windows_1252(std::string_view byte) {
  std::string out;
  out.reserve(byte.size());
  for (const char b : byte) {
    const auto u = static_cast<unsigned char>(b);
    utf8(out, u >= 0x80 && u < 0xA0 ? alti[u - 0x80] : char32_t{u});
  }
  return out;
}

std::string tra_virgolette(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      char codice[8];
      std::snprintf(codice, sizeof codice, "\\x%02X", u);
      out += codice;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string reale(double v, int decimali) {
  // to_chars rounds correctly and the same way on every build.
  char buffer[400];
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimali);
  std::string testo(buffer, r.ptr);
  if (testo.starts_with('-') && testo.find_first_not_of("-0.") == std::string::npos)
    testo.erase(0, 1);
  return testo;
}

std::string reale_breve(double v) {
  char buffer[400];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  std::string testo(buffer, r.ptr);
  return testo == "-0" ? "0" : testo;
}

std::string orario_completo(std::int64_t secondi) {
  const std::string segno = secondi < 0 ? "-" : "";
  const std::int64_t s = secondi < 0 ? -secondi : secondi;
  return segno + std::to_string(s / 3600) + "." + due_cifre(s / 60 % 60) + "." + due_cifre(s % 60);
}

std::string orario_breve(std::int64_t secondi) {
  const std::string completo = orario_completo(secondi);
  return secondi % 60 == 0 ? completo.substr(0, completo.size() - 3) : completo;
}

}  // namespace compattatore
