// The texts the program shows when a run ends on an error, built from the
// model's error record.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "model/modello.h"

namespace compattatore {

// What follows " Errore n. N" for the error `e`: a line "Posizione: P m" for
// the errors that carry a position, then a line that describes it. With
// `per_autore` that line starts with where the error points, "FILE:LINE: ",
// "cella N (P m): ", "cella 1: " or "voce 85: ", so that editors can jump
// to it. In the fixed job a guard's message is its number alone.
std::string dettagli_errore(const errore_registrato& e, bool per_autore);

// The whole message for the run's first error: " Errore n. " and its number,
// then its details.
std::string testo_errore(const modello& m, bool per_autore = false);

// An error as a listing of a check shows it, one line: "FILE:LINE: errore N,
// posizione P m: description", without ", posizione P m" for the errors that
// carry none and without "FILE:LINE: " where there is no source.
std::string riga_errore(const errore_registrato& e);

// A warning as an author reads it: "FILE:LINE: attenzione: ...", without the
// line for a warning about the file as a whole.
std::string testo_avviso(const avviso& a);

// How many warnings a run prints; the others are counted, not printed: a file
// of unknown words would otherwise print more than it holds.
inline constexpr std::size_t avvisi_mostrati = 50;

// The warnings of a run, at most `massimo`, then one line for those left
// unshown; empty when there is none.
std::string testo_avvisi(const modello& m, std::size_t massimo = avvisi_mostrati);

// The errors and the warnings the record kept, in the order found.
void per_ordine(const modello& m, const std::function<void(const errore_registrato&)>& errore,
                const std::function<void(const avviso&)>& avviso);

// Everything a check found, in the order found (the line source, the service
// source, the marking pass, the check codes): one line per error and per
// warning, a line for those beyond what the record kept, and for a check that
// had to stop, a line that says why.
std::string elenco_controllo(const modello& m);

// "3 errori, 2 avvisi".
std::string totali(std::uint64_t errori, std::uint64_t avvisi);

// What a compaction put into its files, in one line: "Valbruna 2417:
// 60000 m, 6 stazioni, 10 segnali, 1 rallentamento, 9 abbattimenti
// aggiunti". Counted on the model.
std::string riepilogo(const modello& m);

// The failure that no step handles: the file and the system's reason for a
// file operation, the failure's own text otherwise.
std::string testo_fallimento(const std::exception& e);

}  // namespace compattatore
