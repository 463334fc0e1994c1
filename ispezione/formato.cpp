#include "ispezione/formato.h"

#include <charconv>
#include <cstdio>

#include "model/testo_valori.h"

namespace compattatore {

std::string da_windows_1252(std::string_view byte) {
  std::string out;
  out.reserve(byte.size());
  for (const char b : byte) {
    const auto u = static_cast<unsigned char>(b);
    const char32_t c = carattere_1252(u);
    aggiungi_utf8(out, c == 0 ? char32_t{u} : c);
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

std::string reale_breve(double v) {
  char buffer[400];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  std::string testo(buffer, r.ptr);
  return testo == "-0" ? "0" : testo;
}

std::string orario_completo(std::int64_t secondi) {
  return orario(secondi, '.');
}

std::string orario_breve(std::int64_t secondi) {
  const std::string completo = orario_completo(secondi);
  return secondi % 60 == 0 ? completo.substr(0, completo.size() - 3) : completo;
}

}  // namespace compattatore
