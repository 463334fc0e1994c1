#include "model/errori.h"

#include <array>

namespace compattatore {

namespace {

constexpr bool si = true;
constexpr bool no = false;
constexpr punta_a riga = punta_a::riga_sorgente;

constexpr std::array<scheda_errore, 28> tabella = {{
    {errore_lunghezza_percorso, no, riga, "lunghezza del percorso superiore a 1000000 m"},
    {errore_progressiva, no, riga, "progressiva chilometrica non multipla di 50"},
    {errore_ripetizione_inizio, no, riga,
     "prima posizione della ripetizione segnali non multipla di 50"},
    {errore_ripetizione_fine, no, riga,
     "seconda posizione della ripetizione segnali non multipla di 50"},
    {errore_ripetizione_codici, no, riga,
     "ripetizione segnali senza \"4\" ne' \"9\" nella parola chiave"},
    {errore_cartello, si, riga, "cartello indicatore su una cella gia' occupata"},
    {errore_abbattimento, si, riga, "abbattimento su una cella gia' occupata"},
    {errore_stazione_posizione, si, riga, "posizione della stazione non multipla di 50"},
    {errore_stazione_lunghezza, si, riga, "lunghezza della zona di stazione non multipla di 100"},
    {errore_troppe_stazioni, no, riga, "troppe stazioni per le voci libere della tabella"},
    {errore_segnale_avviso, si, punta_a::cella,
     "segnale vicino a un avviso di rallentamento senza posto per un abbattimento"},
    {errore_gruppo_inizio, si, punta_a::cella,
     "nessuna cella libera in un gruppo prima dell'inizio di un rallentamento"},
    {errore_abbattimento_interno, si, punta_a::cella,
     "nessuna cella libera per un abbattimento dentro o dopo un rallentamento"},
    {errore_fuori_griglia, si, riga, "posizione fuori dalla griglia del percorso"},
    {errore_segnale, si, riga, "segnale su una cella gia' occupata"},
    {errore_avviso_rallentamento, si, riga, "avviso di rallentamento su una cella gia' occupata"},
    {errore_inizio_rallentamento, si, riga, "inizio di rallentamento su una cella gia' occupata"},
    {errore_fine_rallentamento, si, riga, "fine di rallentamento su una cella gia' occupata"},
    {errore_preavviso, si, riga, "cella di preavviso del rallentamento gia' occupata"},
    {errore_indicatore, si, riga, "indicatore di velocita' massima su una cella gia' occupata"},
    {errore_distanza_stazioni, si, riga,
     "zona di stazione a meno di 350 m dalla fine della precedente"},
    {errore_fermata_iniziale, no, riga, "stazione la cui zona finisce entro i primi 100 m"},
    {errore_lettura, no, riga, "errore di lettura delle sorgenti"},
    {errore_manca_linea, no, riga, "file della linea mancante"},
    {errore_manca_generale, no, riga, "\"[generale]\" mancante nel file della linea"},
    {errore_curva, no, riga, "curva senza grado da 1 a 6, o tracciato oltre il metro 1000000"},
    {errore_marca_linea, no, punta_a::marchio, "posti riservati del marchio gia' occupati"},
    {errore_codice_gara, no, punta_a::marchio,
     "posti riservati del codice di controllo gia' occupati"},
}};

}  // namespace

std::span<const scheda_errore> tabella_errori() {
  return tabella;
}

const scheda_errore* scheda_di(std::int32_t codice) {
  for (const scheda_errore& s : tabella)
    if (s.codice == codice) return &s;
  return nullptr;
}

// Without a default, the compiler names any value of the enum this switch
// misses.
bool codice_del_sistema(std::int32_t codice) {
  switch (static_cast<codice_errore_numero>(codice)) {
    case errore_nessuno:
      return false;
    case errore_lunghezza_percorso:
    case errore_progressiva:
    case errore_ripetizione_inizio:
    case errore_ripetizione_fine:
    case errore_ripetizione_codici:
    case errore_cartello:
    case errore_abbattimento:
    case errore_stazione_posizione:
    case errore_stazione_lunghezza:
    case errore_troppe_stazioni:
    case errore_segnale_avviso:
    case errore_gruppo_inizio:
    case errore_abbattimento_interno:
    case errore_fuori_griglia:
    case errore_segnale:
    case errore_avviso_rallentamento:
    case errore_inizio_rallentamento:
    case errore_fine_rallentamento:
    case errore_preavviso:
    case errore_indicatore:
    case errore_distanza_stazioni:
    case errore_fermata_iniziale:
    case errore_lettura:
    case errore_manca_linea:
    case errore_manca_generale:
    case errore_curva:
    case errore_marca_linea:
    case errore_codice_gara:
      return true;
  }
  return false;
}

}  // namespace compattatore
