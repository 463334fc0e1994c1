// Fixed texts: tables of lines closed by an end marker line, which is never
// written. Every built-in text (sources and documents) is such a table.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace compattatore {

inline constexpr std::string_view marca_fine = "riferimento fine del file";

using tabella_righe = std::span<const std::string_view>;

// The lines up to the first one equal to the end marker, each followed by
// CR LF, exactly as held.
std::string testo_da_righe(tabella_righe righe);

}  // namespace compattatore
