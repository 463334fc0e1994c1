// The error numbers of the system and what each one means. The values are
// shown to users and written in authors' guides: do not change them. This
// enum is the only list of the numbers; the table in errori.cpp has one row
// for each.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace compattatore {

enum codice_errore_numero : std::int32_t {
  errore_nessuno = 0,
  errore_lunghezza_percorso = 1,     // route length above 1000000
  errore_progressiva = 2,            // chainage value not a multiple of 50
  errore_ripetizione_inizio = 3,     // first signal repetition position not a multiple of 50
  errore_ripetizione_fine = 4,       // second signal repetition position not a multiple of 50
  errore_ripetizione_codici = 5,     // signal repetition keyword with neither 4 nor 9
  errore_cartello = 6,               // text board on a cell that is not free
  errore_abbattimento = 7,           // speed check point on a cell that is not free
  errore_stazione_posizione = 8,     // station position not a multiple of 50
  errore_stazione_lunghezza = 9,     // station zone length not a multiple of 100
  errore_troppe_stazioni = 10,       // more stations than free slots
  errore_segnale_avviso = 11,        // signal near a warning point without room for a check point
  errore_gruppo_inizio = 12,         // no free cell in a group before a slowdown start
  errore_abbattimento_interno = 13,  // no free cell inside or after a slowdown
  errore_fuori_griglia = 15,         // a position outside the grid
  errore_segnale = 16,               // signal on a cell that is not free
  errore_avviso_rallentamento = 17,  // slowdown warning point on a cell that is not free
  errore_inizio_rallentamento = 18,  // slowdown start on a cell that is not free
  errore_fine_rallentamento = 19,    // slowdown end on a cell that is not free
  errore_preavviso = 20,             // a pre-warning cell not free
  errore_indicatore = 21,            // maximum-speed board on a cell that is not free
  errore_distanza_stazioni = 22,     // station zone less than 350 m after the previous one
  errore_fermata_iniziale = 24,      // station zone ending at or before 100 m
  errore_lettura = 25,               // any other reading failure
  errore_manca_linea = 101,          // line source missing
  errore_manca_generale = 102,       // no [generale] in the line source
  errore_curva = 103,                // bad curve keyword or track past metre 1000000
  errore_marca_linea = 1250,         // reserved mark places not zero
  errore_codice_gara = 1251,         // reserved check-code places not zero
};

// What an error points at in the author's message.
enum class punta_a : std::uint8_t {
  riga_sorgente,  // the refused record's line in a source file
  cella,          // the grid cell at the recorded position
  marchio,        // cell 1 of the grid or slot 85 of the table: the reserved places
};

// One row of the error table.
struct scheda_errore {
  codice_errore_numero codice;
  bool con_posizione;  // whether the error carries a position in metres
  punta_a luogo;
  std::string_view descrizione;  // a short Italian description of the condition
};

// The whole table, in the order of the numbers.
std::span<const scheda_errore> tabella_errori();
// The row of a number; nullptr for a number the system does not use.
const scheda_errore* scheda_di(std::int32_t codice);
// Whether `codice` is a value of codice_errore_numero other than errore_nessuno.
bool codice_del_sistema(std::int32_t codice);

// A failure of the reading as a whole (a number that does not fit its field, a
// file that ends inside a record, a record with no room in the model). The
// reader turns it into error 25 with its text as the detail, at the line of
// the record being read unless `riga` names another (the row whose value
// failed when it was written later).
class fallimento_lettura : public std::runtime_error {
 public:
  explicit fallimento_lettura(const std::string& dettaglio, std::int32_t riga = 0)
      : std::runtime_error(dettaglio), riga_(riga) {}
  std::int32_t riga() const { return riga_; }

 private:
  std::int32_t riga_;
};

}  // namespace compattatore
