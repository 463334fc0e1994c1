#include "app/messaggi.h"

#include <stdexcept>

#include "app/piattaforma.h"
#include "model/errori.h"

namespace compattatore {

namespace {

std::string descrizione(const errore_registrato& e, const scheda_errore& s) {
  std::string d(s.descrizione);
  if (!e.luogo.dettaglio.empty()) d += ": " + e.luogo.dettaglio;
  return d;
}

// Where the error points, as the start of its line for an author.
std::string dove(const errore_registrato& e, const scheda_errore& s) {
  switch (s.luogo) {
    case punta_a::cella: {
      const std::int32_t metri = e.posizione.value_or(0);
      return "cella " + std::to_string(metri / metri_cella) + " (" + std::to_string(metri) +
             " m): ";
    }
    case punta_a::marchio:
      return e.luogo.nella_tabella ? "voce 85: " : "cella 1: ";
    case punta_a::riga_sorgente:
      break;
  }
  if (e.luogo.file.empty()) return {};
  std::string l = e.luogo.file + ":";
  if (e.luogo.riga > 0) l += std::to_string(e.luogo.riga) + ":";
  return l + " ";
}

}  // namespace

std::string dettagli_errore(const errore_registrato& e, bool per_autore) {
  const scheda_errore* s = scheda_di(e.codice);
  if (s == nullptr) throw std::logic_error("errore senza scheda: " + std::to_string(e.codice));
  // The guards' message is the number alone; an author is also told where.
  if (s->luogo == punta_a::marchio && !per_autore) return {};
  std::string testo;
  if (e.posizione) testo += "\nPosizione: " + std::to_string(*e.posizione) + " m";
  testo += '\n';
  if (per_autore) testo += dove(e, *s);
  return testo + descrizione(e, *s);
}

std::string testo_errore(const modello& m, bool per_autore) {
  const errore_registrato* e = m.primo_errore();
  if (e == nullptr) throw std::logic_error("nessun errore da mostrare");
  return " Errore n. " + std::to_string(e->codice) + dettagli_errore(*e, per_autore);
}

std::string testo_fallimento(const std::exception& e) {
  // errore_file's text is already "file: reason".
  if (dynamic_cast<const piattaforma::errore_file*>(&e) != nullptr)
    return std::string("Errore sul file ") + e.what();
  return std::string("Errore di esecuzione: ") + e.what();
}

}  // namespace compattatore
