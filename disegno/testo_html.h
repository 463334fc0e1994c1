// Texts and numbers as the page writes them. The model's texts are
// Windows-1252 bytes; the page is UTF-8 and must also read as XML, so that a
// test (or any tool) can take it apart.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/testo_valori.h"  // numero, for the page's reals

namespace compattatore {

// Windows-1252 bytes as UTF-8. Bytes with no character in the code page and
// control characters (but tab, line feed and carriage return) become U+FFFD.
std::string utf8_da_1252(std::string_view testo);

// The same, with &, <, > and " written as references: safe in text and in
// attribute values.
std::string html(std::string_view testo_1252);

// Text already in UTF-8 with &, <, > and " written as references.
std::string html_utf8(std::string_view testo);

// Metres as the chainage an author reads on a line: "12+345", "-0+500".
std::string progressiva(std::int64_t metri);

// Seconds of the day as "h:mm:ss".
std::string ora(std::int32_t secondi);

}  // namespace compattatore
