// The compacted files as facts, one per line: what `mostra` prints as text
// and as JSON. Both forms are written from the same rows, so that they say
// the same thing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ispezione/lettura_file.h"

namespace compattatore {

// A named value in authors' units. A real is written with `decimali`
// decimals, or in its shortest form when `decimali` is below 0; unit "s" is a
// time of day, written hours.minutes.seconds.
struct campo_mostrato {
  std::string nome;
  std::variant<std::int64_t, double> valore;
  std::string unita;
  int decimali = 0;
};

// Fields that belong together: a cell's event, its stretch values, a slot's
// fields. The text separates groups with "; ", the JSON names them.
struct gruppo_mostrato {
  std::string nome;
  std::vector<campo_mostrato> campi;
};

// One line: "cella 349, 17450-17500 m, segnale: sx 2, ...; avviso 0, ...".
struct riga_mostrata {
  std::string oggetto;  // "cella", "celle", "voce", "metri", "metro"
  std::int64_t primo = 0;
  std::int64_t ultimo = 0;
  std::optional<std::array<std::int64_t, 2>> metri;  // chainage span of grid cells
  std::string genere;                                // cell type, slot role, run kind
  std::optional<std::string> testo;                  // UTF-8, from the service table
  std::vector<gruppo_mostrato> gruppi;
};

struct file_mostrato {
  std::string nome;
  genere_file genere = genere_file::griglia;
  std::vector<campo_mostrato> sommario;
  std::vector<std::string> note;
  std::vector<riga_mostrata> righe;
};

struct opzioni_mostra {
  bool tutte = false;  // every cell on its own line, none folded or left out
  std::optional<std::pair<std::int64_t, std::int64_t>> celle;  // only these cells
  std::int32_t passo = 0;  // track: a point every `passo` metres instead of the runs
};

// The grid: a line per cell with an event, an approach code or a mark; runs
// of cells that hold only the same stretch values folded into one line;
// cells that hold nothing left out. With the table, text boards and stops
// show their texts.
file_mostrato mostra_griglia(const std::vector<cella>& celle, const tabella_letta* tabella,
                             const opzioni_mostra& o);
// The table: every slot in use by its role. Which slots hold board texts
// only the grid says; without it they are taken from the slots at the top
// that hold a text and nothing else, and a note says so.
file_mostrato mostra_tabella(const tabella_letta& t, const std::vector<cella>* celle);
// The track: its runs, or its points every `passo` metres.
file_mostrato mostra_tracciato(const tracciato_letto& t, const opzioni_mostra& o);

// The text of slot `voce` in UTF-8, when the table is there and has such a
// slot.
std::optional<std::string> testo_voce(const tabella_letta* t, std::int64_t voce);

// The lowest slot that holds a board text (81 with none), from the grid's
// text board cells or, without the grid, from the table alone.
int primo_cartello(const tabella_letta& t, const std::vector<cella>* celle);

std::string testo_riga(const riga_mostrata& r);
// Every line of the files, a file's name before its lines when there are
// several.
std::string testo_mostrato(const std::vector<file_mostrato>& file);
// A JSON array, one object per file.
std::string json_mostrato(const std::vector<file_mostrato>& file);

}  // namespace compattatore
