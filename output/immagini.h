// The byte images of the three compacted files. The two small ones are built
// whole in memory; the track, which reaches 20 MB, is handed over in pieces.
// Writing is the caller's business.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace compattatore {

using immagine = std::string;  // raw bytes

// Service table file: 87 records of 34 + n bytes, n the text length.
inline constexpr std::size_t byte_voce_fissi = 34;
// Cell grid file: 15 bytes per cell.
inline constexpr std::size_t byte_cella = 15;

// The sizes the layouts give: the service table file with `testi` bytes of
// text in all, the cell grid file of cells 0..numero_celle, and the track file
// of metres 0..lunghezza_griglia as the completion leaves it (metres 0 and 1
// integers, the last two empty, doubles between). A curve ending on one of
// the last two metres plots them too: 16 bytes more for each.
inline constexpr std::size_t dimensione_file_tabella(std::size_t testi) {
  return numero_voci * byte_voce_fissi + testi;
}
inline constexpr std::size_t dimensione_file_celle(std::int32_t numero_celle) {
  return (static_cast<std::size_t>(numero_celle) + 1) * byte_cella;
}
inline constexpr std::size_t dimensione_file_tracciato(std::int32_t lunghezza_griglia) {
  // Per component: 2 integers of 4 bytes, L - 3 doubles of 10, 2 empties of 2.
  return 2 * (2 * 4 + (static_cast<std::size_t>(lunghezza_griglia) - 3) * 10 + 2 * 2);
}
inline constexpr std::size_t byte_metro_pieno_in_piu = 2 * (10 - 2);

// Takes the bytes of one file piece by piece, in order.
using scrittore = std::function<void(std::string_view)>;

// The track file, encoded straight from the model into one buffer of about
// `pezzo` bytes that is handed to `scrivi` each time it fills: a long route
// never holds its whole image besides the track.
void produci_tracciato(const tracciato_piano& t, const scrittore& scrivi,
                       std::size_t pezzo = std::size_t{1} << 16);
// The same bytes, whole.
immagine immagine_tracciato(const tracciato_piano& t);
immagine immagine_tabella(const std::array<voce_servizio, numero_voci>& tabella);
immagine immagine_celle(const std::vector<cella>& celle);

}  // namespace compattatore
