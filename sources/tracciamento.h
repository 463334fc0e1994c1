// Plotting of the track from the curves of the line source: one coordinate
// pair per metre, straight between curves, turning at a constant rate inside.
// The track itself, and its step, are model/tracciato.h's.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "model/errori.h"
#include "model/tracciato.h"

namespace compattatore {

// Metres 0 and 1 as 16-bit integers (0, 0) and (0, 1); the next metre is 2.
void inizia_tracciato(tracciato_piano& t);

// How a curve keyword item is read: its degree is the lowest digit 1 to 6
// it holds, wherever it stands ("curvad52" is of degree 2), its side left
// when it holds an "s" or "S". Without such a digit, no degree.
struct lettura_curva {
  int grado;  // 1 to 6
  bool sinistra;
};
std::optional<lettura_curva> leggi_parola_curva(std::string_view parola);

// One curve record: keyword item, start a, length b, read as above.
// Returns 103 (no degree digit, or the track passing metre 1000000) and a
// curve whose end a + b lies beyond the track throws fallimento_lettura,
// both with nothing plotted.
codice_errore_numero traccia_curva(tracciato_piano& t, std::string_view parola, std::int32_t a,
                                   std::int32_t b);

// Straight on up to the track's last metre but two; the last two stay empty.
void completa_tracciato(tracciato_piano& t);

}  // namespace compattatore
