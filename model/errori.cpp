#include "model/errori.h"

namespace compattatore {

namespace {

struct voce_errore {
  std::int32_t codice;
  bool con_posizione;
  std::string_view descrizione;
};

constexpr voce_errore tabella_errori[] = {
    {1, false, "lunghezza del percorso superiore a 1000000 m"},
    {2, false, "progressiva chilometrica non multipla di 50"},
    {3, false, "prima posizione della ripetizione segnali non multipla di 50"},
    {4, false, "seconda posizione della ripetizione segnali non multipla di 50"},
    {5, false, "ripetizione segnali senza \"4\" ne' \"9\" nella parola chiave"},
    {6, true, "cartello indicatore su una cella gia' occupata"},
    {7, true, "abbattimento su una cella gia' occupata"},
    {8, true, "posizione della stazione non multipla di 50"},
    {9, true, "lunghezza della zona di stazione non multipla di 100"},
    {10, false, "troppe stazioni per le voci libere della tabella"},
    {11, true, "segnale vicino a un avviso di rallentamento senza posto per un abbattimento"},
    {12, true, "nessuna cella libera in un gruppo prima dell'inizio di un rallentamento"},
    {13, true, "nessuna cella libera per un abbattimento dentro o dopo un rallentamento"},
    {15, true, "posizione fuori dalla griglia del percorso"},
    {16, true, "segnale su una cella gia' occupata"},
    {17, true, "avviso di rallentamento su una cella gia' occupata"},
    {18, true, "inizio di rallentamento su una cella gia' occupata"},
    {19, true, "fine di rallentamento su una cella gia' occupata"},
    {20, true, "cella di preavviso del rallentamento gia' occupata"},
    {21, true, "indicatore di velocita' massima su una cella gia' occupata"},
    {22, true, "zona di stazione a meno di 350 m dalla fine della precedente"},
    {24, false, "stazione la cui zona finisce entro i primi 100 m"},
    {25, false, "errore di lettura delle sorgenti"},
    {101, false, "file della linea mancante"},
    {102, false, "\"[generale]\" mancante nel file della linea"},
    {103, false, "curva senza grado da 1 a 6, o tracciato oltre il metro 1000000"},
    {1250, false, "posti riservati del marchio gia' occupati"},
    {1251, false, "posti riservati del codice di controllo gia' occupati"},
};

const voce_errore* cerca(std::int32_t codice) {
  for (const voce_errore& v : tabella_errori)
    if (v.codice == codice) return &v;
  return nullptr;
}

}  // namespace

bool errore_ha_posizione(std::int32_t codice) {
  const voce_errore* v = cerca(codice);
  return v != nullptr && v->con_posizione;
}

std::string_view descrizione_errore(std::int32_t codice) {
  const voce_errore* v = cerca(codice);
  return v != nullptr ? v->descrizione : std::string_view{};
}

}  // namespace compattatore
