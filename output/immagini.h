// The byte images of the three compacted files. Each is built whole in memory;
// writing it is the caller's business.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/modello.h"

namespace compattatore {

using immagine = std::string;  // raw bytes

// Service table file: 87 records of 34 + n bytes, n the text length.
inline constexpr std::size_t byte_voce_fissi = 34;
// Cell grid file: 15 bytes per cell.
inline constexpr std::size_t byte_cella = 15;

immagine immagine_tracciato(const tracciato_piano& t);
immagine immagine_tabella(const std::array<voce_servizio, numero_voci>& tabella);
immagine immagine_celle(const std::vector<cella>& celle);

}  // namespace compattatore
