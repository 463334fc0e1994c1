#include "app/messaggi.h"

#include <stdexcept>

#include "app/piattaforma.h"
#include "model/descrizione_campi.h"
#include "model/errori.h"

namespace compattatore {

namespace {

std::string descrizione(const errore_registrato& e, const scheda_errore& s, bool per_autore) {
  std::string d(s.descrizione);
  if (!e.luogo.dettaglio.empty()) d += ": " + e.luogo.dettaglio;
  if (per_autore && !e.luogo.spiegazione.empty())
    d += (e.luogo.dettaglio.empty() ? ": " : "; ") + e.luogo.spiegazione;
  return d;
}

// For an error found on the grid, the cell (or slot 85).
std::string cella_o_voce(const errore_registrato& e, const scheda_errore& s) {
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
  return {};
}

const scheda_errore& scheda(const errore_registrato& e) {
  const scheda_errore* s = scheda_di(e.codice);
  if (s == nullptr) throw std::logic_error("errore senza scheda: " + std::to_string(e.codice));
  return *s;
}

// Where the error points, as the start of its line for an author: the
// source record first, where there is one, so that an editor can jump to it;
// then, for an error found on the grid, the cell (or slot 85).
std::string dove(const errore_registrato& e, const scheda_errore& s) {
  return file_e_riga(e.luogo.file, e.luogo.riga) + cella_o_voce(e, s);
}

}  // namespace

std::string riga_errore(const errore_registrato& e) {
  const scheda_errore& s = scheda(e);
  std::string t = file_e_riga(e.luogo.file, e.luogo.riga) + "errore " + std::to_string(e.codice);
  if (e.posizione) t += ", posizione " + std::to_string(*e.posizione) + " m";
  return t + ": " + cella_o_voce(e, s) + descrizione(e, s, true);
}

std::string dettagli_errore(const errore_registrato& e, bool per_autore) {
  const scheda_errore* s = &scheda(e);
  // The guards' message is the number alone; an author is also told where.
  if (s->luogo == punta_a::marchio && !per_autore) return {};
  std::string testo;
  if (e.posizione) testo += "\nPosizione: " + std::to_string(*e.posizione) + " m";
  testo += '\n';
  if (per_autore) testo += dove(e, *s);
  return testo + descrizione(e, *s, per_autore);
}

std::string testo_errore(const modello& m, bool per_autore) {
  const errore_registrato* e = m.primo_errore();
  if (e == nullptr) throw std::logic_error("nessun errore da mostrare");
  return " Errore n. " + std::to_string(e->codice) + dettagli_errore(*e, per_autore);
}

std::string testo_avviso(const avviso& a) {
  return file_e_riga(a.file, a.riga) + "attenzione: " + a.testo;
}

std::string testo_avvisi(const modello& m, std::size_t massimo) {
  std::string t;
  std::size_t mostrati = 0;
  for (const avviso& a : m.avvisi) {
    if (mostrati == massimo) break;
    t += testo_avviso(a) + "\n";
    ++mostrati;
  }
  if (m.numero_avvisi > mostrati)
    t += "compattatore: altri " + std::to_string(m.numero_avvisi - mostrati) +
         " avvisi non mostrati (" + std::to_string(m.numero_avvisi) + " in tutto)\n";
  return t;
}

namespace {}  // namespace

void per_ordine(const modello& m, const std::function<void(const errore_registrato&)>& errore,
                const std::function<void(const avviso&)>& avviso) {
  std::size_t e = 0;
  std::size_t a = 0;
  while (e < m.errori.size() || a < m.avvisi.size()) {
    if (a == m.avvisi.size() || (e < m.errori.size() && m.errori[e].ordine < m.avvisi[a].ordine))
      errore(m.errori[e++]);
    else
      avviso(m.avvisi[a++]);
  }
}

std::string elenco_controllo(const modello& m) {
  std::string t;
  per_ordine(
      m, [&](const errore_registrato& e) { t += riga_errore(e) + "\n"; },
      [&](const avviso& a) { t += testo_avviso(a) + "\n"; });
  const std::uint64_t altri_errori = m.numero_errori - m.errori.size();
  const std::uint64_t altri_avvisi = m.numero_avvisi - m.avvisi.size();
  if (altri_errori + altri_avvisi > 0)
    t += "compattatore: altri " + totali(altri_errori, altri_avvisi) + " non mostrati\n";
  if (!m.interruzione.empty())
    t += "compattatore: la verifica si ferma qui: " + m.interruzione + "\n";
  return t;
}

std::string totali(std::uint64_t errori, std::uint64_t avvisi) {
  return quanti(static_cast<std::int64_t>(errori), "errore", "errori") + ", " +
         quanti(static_cast<std::int64_t>(avvisi), "avviso", "avvisi");
}

std::string riepilogo(const modello& m) {
  std::int64_t aggiunti = 0;
  for (std::size_t k = 0; k < m.celle.size() && k < m.origini.size(); ++k)
    aggiunti += m.celle[k].tipo_cella == cella_abbattimento &&
                m.origini[k].evento.fonte == fonte_origine::passata;
  return m.nome_linea + " " + m.numero_treno + ": " +
         std::to_string(m.tabella_servizio[slot_treno].valore_2) + " m, " +
         quanti(m.numero_stazioni, "stazione", "stazioni") + ", " +
         quanti(conta_celle(m.celle, cella_segnale), "segnale", "segnali") + ", " +
         quanti(conta_celle(m.celle, cella_inizio_rallentamento), "rallentamento",
                "rallentamenti") +
         ", " + quanti(aggiunti, "abbattimento aggiunto", "abbattimenti aggiunti");
}

std::string testo_fallimento(const std::exception& e) {
  // errore_file's text is already "file: reason".
  if (dynamic_cast<const piattaforma::errore_file*>(&e) != nullptr)
    return std::string("Errore sul file ") + e.what();
  return std::string("Errore di esecuzione: ") + e.what();
}

}  // namespace compattatore
