// What a cell and a slot hold, in the words and units authors use: cell types
// by name, packed values taken apart, speeds in km/h, gradients in per mille.
// Everything that shows a scenario in words (reading files back, explaining a
// cell, drawing the route) names the fields from here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace compattatore {

// "segnale", "inizio rallentamento", ...; "tipo N" for a code with no use.
std::string nome_tipo_cella(std::uint8_t tipo);

// A cell type with its article, for messages: "il segnale", "la fermata",
// "l'abbattimento".
std::string con_articolo(std::uint8_t tipo);

// What stands in a cell, for a message that names the occupant: "dal
// segnale di FILE:57", "dalla fermata di FILE:30", "dall'abbattimento" (no
// record known), "dal segno di montagna di FILE:12".
std::string occupata_da(const modello& m, std::int64_t cella);

// The records that set a cell's values, one line for each group of fields
// with a known record, as "FILE:LINE: what": "...-.txt:57: segnale",
// "..._linea.txt:20: pendenza", and for a check point of the marking pass
// "...-.txt:48: abbattimento, aggiunto dal programma per il rallentamento di
// questa riga". Empty for a cell outside the grid or that no record set.
std::vector<std::string> origini_in_parole(const modello& m, std::int64_t cella);

// One field by name with its value in authors' units ("km/h", "per mille",
// "%", "m", or empty for a plain number).
struct campo_descritto {
  std::string_view nome;
  std::int64_t valore;
  std::string_view unita;

  bool operator==(const campo_descritto&) const = default;
};

// The point event's values of a cell, taken apart by its type: a signal's s1,
// d1, ... sx, dx, tempo; a slowdown cell's speed, d_v, f_tt; a board's six
// speeds and stripes; a stop's station slot; a check point's speed; a text
// board's slot. Empty for a free cell. A type with no use shows dato_1 to
// dato_4 as they are.
std::vector<campo_descritto> campi_evento(const cella& c);

// dato_1 to dato_4 as they are.
std::vector<campo_descritto> campi_dati(const cella& c);

// Cell 1 carries the fixed mark in dato_1 and the check code in dato_2,
// whatever its type: the sources never place an event there.
inline constexpr std::size_t cella_marcata = 1;
std::vector<campo_descritto> campi_marca(const cella& c);

// The stretch values and the approach code, which every cell carries
// whatever its type: avviso, tipo_montagna, velocita_linea (km/h), pendenza
// (per mille), aderenza (%). All five, zero or not.
std::vector<campo_descritto> campi_tratto(const cella& c);

// Line speed in km/h and gradient in per mille, as the cell fields encode them.
inline std::int32_t velocita_kmh(std::uint8_t velocita_linea) {
  return std::int32_t{velocita_linea} * 5;
}
inline std::int32_t pendenza_per_mille(std::uint8_t pendenza) {
  return std::int32_t{pendenza} - 100;
}

// The role of a slot of the service table: "stazione 3", "testo del cartello
// in voce 80", "progressiva tre", "treno", "linea", "generale". Slots 1 to 80
// hold stations from the bottom and board texts from the top; `primo_cartello`
// is the lowest slot that holds a board text (81 when there is none).
std::string ruolo_voce(int slot, int primo_cartello);

// That lowest slot as the grid's text board cells name it; 81 with none.
int primo_cartello(const std::vector<cella>& celle);

// The fields of a slot by name, as its role uses them; texts are not among
// them (the slot's `testo` is shown as it is).
std::vector<campo_descritto> campi_voce(int slot, int primo_cartello, const voce_servizio& v);

// How many cells of the grid are of type `tipo`.
std::int64_t conta_celle(const std::vector<cella>& celle, std::uint8_t tipo);

// A count with its noun: "1 stazione", "24 stazioni", "0 avvisi".
std::string quanti(std::int64_t n, std::string_view uno, std::string_view molti);

}  // namespace compattatore
