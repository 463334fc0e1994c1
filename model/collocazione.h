// The placement routines: each puts one item read from a source onto the grid
// (and, for a text board or a station, into the service table). A routine
// tests every cell it occupies before it writes any: when it refuses its
// record it returns the error number (6, 7, 16 to 21 for a cell taken, 15 for
// a cell outside the grid, 24 for a stop too near the start) and leaves the
// model as it was; the reader records the error with the record's position
// and line. Nothing is written outside `celle`. Beside each value written, the
// routine keeps `da`, the record it came from, and notes in `sostituzioni`
// what a value replaced.
//
// A value that cannot be stored at all (a board speed code outside 16 bits,
// an 81st mountain stretch) throws fallimento_lettura.
#pragma once

#include <cstdint>
#include <string>

#include "model/errori.h"
#include "model/modello.h"

namespace compattatore {

// Distance in metres from a slowdown's start back to its warning point.
inline constexpr double distanza_avviso = 1200;
// Approach codes before a signal (on every other cell) and before a station's
// stop, pre-warning cells before a slowdown's warning point.
inline constexpr int celle_di_avviso = 4;

// A placement's outcome: accepted, or refused with an error number and the
// cell concerned (the cell taken, or the one outside the grid).
struct esito_collocazione {
  codice_errore_numero codice = errore_nessuno;
  std::int64_t cella = 0;

  explicit operator bool() const { return codice != errore_nessuno; }  // refused
};

// A signal record. `tempo` between 1 and 100 becomes 101 in the caller's
// record too, as the reader passes it on.
struct segnale_letto {
  std::int32_t posizione = 0;
  std::int32_t sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0;
  std::int32_t dx = 0, d1 = 0, d2 = 0, d3 = 0;
  std::int32_t tempo = 0;
};

// A maximum-speed board record: speeds in km/h for ranks A, B, C of the s and
// d sets, and each set's stripes.
struct indicatore_letto {
  std::int32_t posizione = 0;
  std::int32_t vas = 0, vbs = 0, vcs = 0, strisces = 0;
  std::int32_t vad = 0, vbd = 0, vcd = 0, strisced = 0;
};

// `tipo` is changed in the caller's variable, as the reader passes it on.
// Records no error.
void memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo,
                   origine da);

esito_collocazione memo_rallentamento(modello& m, std::int32_t x, std::int32_t v, std::int32_t l,
                                      std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v,
                                      origine da);

esito_collocazione memo_segnale(modello& m, segnale_letto& s, origine da);

esito_collocazione memo_indicatori_v_max(modello& m, const indicatore_letto& i, origine da);

// A text board at `posizione`: its cell carries `slot`, the slot that receives
// its text.
esito_collocazione memo_cartello(modello& m, std::int32_t posizione, std::int32_t slot,
                                 const std::string& testo, origine da);

// A speed check point ("abbattimento") at `posizione` with speed `valore`
// (0 or less: a check point with no speed).
esito_collocazione memo_abbattimento(modello& m, std::int32_t posizione, std::int32_t valore,
                                     origine da);

// A station's stop and approach codes, for the station of slot `stazione`,
// of type `tipo`, whose zone ends at `fine_zona`. The test and the writing are
// apart, because the reader checks the station's spacing between them:
// prova_fermata returns 15 or 24 without writing; memo_fermata writes and
// cannot fail after a successful test.
esito_collocazione prova_fermata(const modello& m, std::uint8_t tipo, std::int32_t fine_zona);
void memo_fermata(modello& m, std::int32_t stazione, std::uint8_t tipo, std::int32_t fine_zona,
                  origine da);

// A stretch value (gradient, line speed, adhesion) filled from the rows of a
// source: each row's value goes into the cells from where the cursor stands up
// to the cell before the row's own, at least one cell, and the last row's up
// to cell numero_celle - 3. Cells past the grid are skipped.
class riempimento {
 public:
  // The byte a row's value becomes; may throw fallimento_lettura.
  using codifica = std::uint8_t (*)(std::int32_t valore);

  // With `ferma_all_ultima` a row stops filling at cell numero_celle, where
  // the completion then writes (the line speed); otherwise the cursor runs
  // on past the grid, writing nothing there (gradient, adhesion).
  riempimento(std::uint8_t cella::*campo, origine origini_cella::*origine_campo, codifica c,
              bool ferma_all_ultima)
      : campo_(campo),
        origine_campo_(origine_campo),
        codifica_(c),
        ferma_all_ultima_(ferma_all_ultima) {}

  // A row at position p with value v.
  void riga(modello& m, std::int32_t p, std::int32_t v, origine da);
  // The end of the source.
  void completa(modello& m);
  // Back to the value of the row before the current one, when the current
  // one's could not be written. Should that one fail too (rows before cell 1
  // write nothing, so their values were never tried), the next step back is
  // to 0, the value of the cells before the first row, which always fits.
  void scarta_valore() {
    valore_ = valore_precedente_;
    da_ = da_precedente_;
    valore_precedente_ = 0;
    da_precedente_ = {};
  }

 private:
  void scrivi(modello& m);

  std::uint8_t cella::*campo_;
  origine origini_cella::*origine_campo_;
  codifica codifica_;
  bool ferma_all_ultima_;
  std::int64_t cella_ = 0;
  std::int32_t valore_ = 0;
  origine da_;
  std::int32_t valore_precedente_ = 0;
  origine da_precedente_;
};

}  // namespace compattatore
