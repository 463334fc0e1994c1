// Values written as text, the same way by every tool that shows them (the
// inspection commands, the route page): the characters of the Windows-1252
// bytes the model's texts are made of, UTF-8, reals with a fixed number of
// decimals, times of day. Each tool decides for itself what becomes of the
// bytes the code page leaves undefined and how a text is escaped.
#pragma once

#include <cstdint>
#include <string>

namespace compattatore {

// The character of a Windows-1252 byte: Latin-1 but for 0x80 to 0x9F. 0 for
// the five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D), as for the byte 0.
char32_t carattere_1252(unsigned char byte);

// `c`, a character below U+10000, appended to `testo` in UTF-8.
void aggiungi_utf8(std::string& testo, char32_t c);

// `valore` with exactly `decimali` decimals and '.' as the separator, never
// "-0": the same digits on every build.
std::string numero(double valore, int decimali);

// Seconds of the day as hours, minutes and seconds, the last two with two
// digits, parted by `separatore` ("1.19.00", "11:00:00"); a negative time
// with a "-" before it.
std::string orario(std::int64_t secondi, char separatore);

}  // namespace compattatore
