// How the inspection commands write values: texts of the compacted files
// decoded from Windows-1252 into UTF-8, reals in their shortest form, times
// of day as the timetable writes them. Reals with a fixed number of decimals
// are model/testo_valori.h's numero.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace compattatore {

// Windows-1252 bytes as UTF-8. The five bytes the code page leaves undefined
// become the control characters of the same number, as Windows reads them.
std::string da_windows_1252(std::string_view byte);

// A text between double quotes; a quote, a backslash and control characters
// (C0, DEL and C1, as \xNN) escaped, so that one text stays on one line and
// none reaches a terminal as a command.
std::string tra_virgolette(std::string_view utf8);

// The shortest decimal form of `v` that reads back as the same double.
std::string reale_breve(double v);

// Seconds of the day as hours.minutes.seconds ("1.19.00").
std::string orario_completo(std::int64_t secondi);
// The same without the seconds when they are zero ("1.19").
std::string orario_breve(std::int64_t secondi);

}  // namespace compattatore
