#include "model/modello.h"

#include <cmath>
#include <stdexcept>

namespace compattatore {

void modello::svuota_tabella() {
  for (voce_servizio& v : tabella_servizio) v = voce_servizio{};
}

void modello::dimensiona(std::int32_t lunghezza) {
  lunghezza_griglia = lunghezza + margine_griglia;
  numero_celle = static_cast<std::int32_t>(cella_di(lunghezza_griglia));
  celle.assign(static_cast<std::size_t>(numero_celle) + 1, cella{});
  origini.assign(celle.size(), origini_cella{});
  sostituzioni.clear();
  tracciato = genera_linea != 0 ? tracciato_piano(lunghezza_griglia) : tracciato_piano();
}

void modello::registra_errore(codice_errore_numero codice, std::optional<std::int32_t> posizione,
                              luogo_errore luogo) {
  const scheda_errore* s = scheda_di(codice);
  // A number outside the table, or a position where the table says there is
  // none (or none where it says there is one), is the program's own fault.
  if (s == nullptr || s->con_posizione != posizione.has_value())
    throw std::logic_error("errore " + std::to_string(codice) + " registrato in modo incoerente");
  codice_errore = codice;
  if (posizione) posizione_errore = *posizione;
  const std::uint64_t ordine = numero_errori + numero_avvisi;
  ++numero_errori;
  if (errori.size() < massimo_segnalazioni)
    errori.push_back({codice, posizione, std::move(luogo), ordine});
}

void modello::registra_avviso(std::string file, std::int32_t riga, std::string testo) {
  const std::uint64_t ordine = numero_errori + numero_avvisi;
  ++numero_avvisi;
  if (avvisi.size() < massimo_segnalazioni)
    avvisi.push_back({std::move(file), riga, std::move(testo), ordine});
}

void modello::azzera_errori() {
  codice_errore = 0;
  errori.clear();
  numero_errori = 0;
  avvisi.clear();
  numero_avvisi = 0;
  interruzione.clear();
}

luogo_errore modello::luogo_di(origine o) const {
  switch (o.fonte) {
    case fonte_origine::linea:
      return {file_linea, o.riga, {}, {}};
    case fonte_origine::servizio:
    case fonte_origine::passata:
      return {file_servizio, o.riga, {}, {}};
    case fonte_origine::nessuna:
      break;
  }
  return {};
}

std::int64_t nearest(double x) {
  // nearbyint rounds in the current mode, which is round-half-to-even unless
  // someone changed it; this program never does.
  return static_cast<std::int64_t>(std::nearbyint(x));
}

std::int64_t cella_di(double metri, double scarto) {
  return nearest(in_celle(metri) + scarto);
}

}  // namespace compattatore
