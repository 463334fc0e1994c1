// The route model: the cell grid, the service table, the plotted track and the
// module state that the readers fill and the writers save. One `modello` lives
// for the whole run, owned by the window object.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/errori.h"
#include "model/tracciato.h"

namespace compattatore {

// What stands in a cell (`tipo_cella`). The values are stored in the cell file.
enum tipo_cella_codice : std::uint8_t {
  cella_vuota = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_preavviso_rallentamento = 5,
  cella_indicatore_v_max = 6,
  cella_fermata = 10,
  cella_montagna = 11,
  cella_abbattimento = 12,
  cella_abbattimento_nullo = 13,
  cella_cartello = 14,
};

// One 50 m cell of the grid, in the order of its fields in the cell file.
struct cella {
  std::uint8_t tipo_cella = 0;
  std::int16_t dato_1 = 0;
  std::int16_t dato_2 = 0;
  std::int16_t dato_3 = 0;
  std::int16_t dato_4 = 0;
  std::uint8_t tempo_segnale = 0;
  std::uint8_t avviso = 0;
  std::uint8_t tipo_montagna = 0;
  std::uint8_t velocita_linea = 0;
  std::uint8_t pendenza = 0;
  std::uint8_t aderenza = 0;

  bool operator==(const cella&) const = default;
};

// One slot of the service table, in the order of its fields in the .sim file.
struct voce_servizio {
  std::uint8_t tipo_voce = 0;
  std::int32_t valore_1 = 0;
  std::int32_t valore_2 = 0;
  std::int32_t valore_3 = 0;
  std::uint8_t codice_1 = 0;
  std::string testo;  // Windows-1252 bytes
  std::int16_t intero_1 = 0;
  std::int16_t intero_2 = 0;
  std::int16_t intero_3 = 0;
  std::int16_t intero_4 = 0;
  std::int16_t intero_5 = 0;
  std::uint8_t codice_2 = 0;
  std::uint8_t codice_3 = 0;
  std::uint8_t codice_4 = 0;
  std::uint8_t codice_5 = 0;
  std::int32_t orario = 0;

  bool operator==(const voce_servizio&) const = default;
};

// Slots of `tabella_servizio` with a fixed use.
inline constexpr int numero_voci = 87;  // slots 0 to 86
inline constexpr int slot_primo_cartello = 80;
inline constexpr int slot_progressiva_tre = 81;
inline constexpr int slot_progressiva_due = 82;
inline constexpr int slot_progressiva_uno = 83;
inline constexpr int slot_treno = 84;
inline constexpr int slot_linea = 85;
inline constexpr int slot_generale = 86;

inline constexpr int lunghezza_massima_percorso = 1000000;
inline constexpr int margine_griglia = 7000;  // metres of grid beyond the route's end
inline constexpr int massimo_montagne = 80;

// Where a value of the model came from, kept beside the model for the
// authors' tools and never written to a file: a record of one of the two
// sources, or the marking pass working for the slowdown of a record.
enum class fonte_origine : std::uint8_t { nessuna, linea, servizio, passata };

struct origine {
  fonte_origine fonte = fonte_origine::nessuna;
  std::int32_t riga = 0;  // the record's line in its source (the slowdown's, for the pass)

  bool operator==(const origine&) const = default;
};

// The record that last set each group of a cell's fields.
struct origini_cella {
  origine evento;    // tipo_cella, dato_1..dato_4, tempo_segnale
  origine avviso;    // the approach code
  origine montagna;  // tipo_montagna
  origine velocita;  // velocita_linea
  origine pendenza;
  origine aderenza;
};

// A group of a cell's fields, as far as one record sets it.
enum class gruppo_campi : std::uint8_t { evento, avviso, montagna };

// A value a record wrote and a later record replaced (a station stop over an
// event, an approach code over another, a mountain stretch over another):
// allowed, but never silent.
struct sostituzione {
  std::int32_t cella;
  gruppo_campi gruppo;
  origine prima;              // the record whose value was lost
  origine dopo;               // the record that replaced it
  std::int32_t valore_prima;  // the cell type, approach code or mountain type lost
  std::int32_t valore_dopo;   // and the one that replaced it
};

// Where a recorded error points, beside its position.
struct luogo_errore {
  std::string file;       // source file name as the author knows it; empty if none
  std::int32_t riga = 0;  // 1-based line where the refused record starts; 0 if none
  std::string dettaglio;  // what was wrong, in a few words; may be empty
  // What an author is told besides, and the fixed job's message leaves out:
  // what stands in the cell taken, how far the grid reaches.
  std::string spiegazione;
  // The reserved places' guards: the value stood in slot 85 of the table
  // rather than in cell 1 of the grid.
  bool nella_tabella = false;
};

// "FILE:LINE: " as messages begin, "FILE: " without a line, empty without a
// file.
inline std::string file_e_riga(const std::string& file, std::int32_t riga) {
  if (file.empty()) return {};
  std::string t = file + ":";
  if (riga > 0) t += std::to_string(riga) + ":";
  return t + " ";
}

// One error of the run.
struct errore_registrato {
  codice_errore_numero codice = errore_nessuno;
  std::optional<std::int32_t> posizione;  // metres, for the errors that carry one
  luogo_errore luogo;
  std::uint64_t ordine = 0;  // among the run's errors and warnings, as found
};

// A warning: something an author wrote that the compaction leaves out, or
// stores otherwise than written, or that is very likely not what was meant.
// The compaction goes on; the fixed job says nothing of them.
struct avviso {
  std::string file;       // source file as the author knows it; empty if none
  std::int32_t riga = 0;  // 1-based line of the record; 0 for the file as a whole
  std::string testo;
  std::uint64_t ordine = 0;
};

// The errors and warnings a run keeps whole; beyond these it only counts.
inline constexpr std::size_t massimo_segnalazioni = 1000;

class modello {
 public:
  // Module strings, set first in every run; every file name is built from them.
  std::string nome_linea;
  std::string numero_treno;

  std::vector<cella> celle;  // cells 0..numero_celle; empty until the grid is sized
  std::array<voce_servizio, numero_voci> tabella_servizio{};
  tracciato_piano tracciato;  // only when genera_linea is set

  std::int32_t genera_linea = 0;
  std::int32_t lunghezza_griglia = 0;
  std::int32_t numero_celle = 0;
  std::int32_t numero_montagne = 0;
  std::int32_t numero_stazioni = 0;  // stations stored, from slot 1 up
  std::array<std::int32_t, massimo_montagne + 1> inizi_montagne{};
  std::array<std::int32_t, massimo_montagne + 1> fini_montagne{};

  // The error record: the last error number (0 = none) and its position in
  // metres, which an error without a position leaves as it was; beside it,
  // every error of the run in the order recorded. The run reports the first.
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;
  std::vector<errore_registrato> errori;  // the first massimo_segnalazioni
  std::uint64_t numero_errori = 0;        // all of them
  std::vector<avviso> avvisi;             // the first massimo_segnalazioni
  std::uint64_t numero_avvisi = 0;        // all of them
  // A check that had to stop before the end (no grid to place anything on,
  // a source missing): why. Empty when it went through.
  std::string interruzione;

  // Beside the model, never in the files: where each cell's values came
  // from (cells 0..numero_celle, sized with the grid), what a later record
  // replaced, and the sources' names as the author knows them (set by the
  // reader as it opens each).
  std::vector<origini_cella> origini;
  std::vector<sostituzione> sostituzioni;
  std::string file_linea;
  std::string file_servizio;

  bool griglia_dimensionata() const { return !celle.empty(); }

  // Every slot 0..86: all numbers 0, empty text.
  void svuota_tabella();
  // Sizes the grid (and, with genera_linea, the track) for a route of
  // `lunghezza` metres; everything sized before is discarded.
  void dimensiona(std::int32_t lunghezza);

  // Records an error: number, position and place together. `posizione` is
  // given exactly for the errors that carry one (the error table says which).
  void registra_errore(codice_errore_numero codice, std::optional<std::int32_t> posizione,
                       luogo_errore luogo = {});
  // The run's first error; nullptr when there is none.
  const errore_registrato* primo_errore() const {
    return errori.empty() ? nullptr : &errori.front();
  }
  void registra_avviso(std::string file, std::int32_t riga, std::string testo);
  // Forgets every error and warning, as a new compaction starts.
  void azzera_errori();

  // The source file and line of an origin (the slowdown's, for the pass);
  // empty when it has none.
  luogo_errore luogo_di(origine o) const;
};

// Length of a cell of the grid in metres.
inline constexpr int metri_cella = 50;

// The integer nearest to x, a value exactly halfway going to the even
// neighbour (nearest(2.5) = 2, nearest(3.5) = 4). Not range-checked.
std::int64_t nearest(double x);

// The cell index of a position: nearest(metri / 50 + scarto), the division
// made as a real number and nearest() taken of the whole expression.
std::int64_t cella_di(double metri, double scarto = 0);
// A position in cells, as a real number: metri / 50.
inline double in_celle(double metri) {
  return metri / metri_cella;
}
// The first metre of cell k.
inline std::int64_t inizio_cella(std::int64_t k) {
  return k * metri_cella;
}

// A cell is free for a point event when it holds nothing or a mountain marker.
inline bool cella_libera(const cella& c) {
  return c.tipo_cella == cella_vuota || c.tipo_cella == cella_montagna;
}

}  // namespace compattatore
