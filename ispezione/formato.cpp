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
  const auto come_codice = [](std::string& out, unsigned char codice) {
    char testo[8];
    std::snprintf(testo, sizeof testo, "\\x%02X", codice);
    out += testo;
  };
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const auto u = static_cast<unsigned char>(c);
    // The C1 controls U+0080 to U+009F are 0xC2 followed by their number.
    const unsigned char dopo = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u == 0x7F) {
      come_codice(out, u);
    } else if (u == 0xC2 && dopo >= 0x80 && dopo <= 0x9F) {
      come_codice(out, dopo);
      ++i;
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
