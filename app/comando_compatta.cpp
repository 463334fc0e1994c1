// `compatta DIR LINEA TRENO`: an author's own sources, only read, compacted
// into the three files beside them.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"
#include "output/immagini.h"

namespace compattatore {

namespace {

struct opzioni_compatta {
  scenario_autore scenario;
  bool senza_tracciato = false;
  bool tempi = false;
  bool rigoroso = false;
  bool silenzioso = false;
};

void stampa_tempi(const registro_tempi& tempi) {
  for (const tempo_fase& t : tempi) {
    char secondi[32];
    std::snprintf(secondi, sizeof secondi, "%.6f", t.secondi);
    piattaforma::scrivi_errore("tempo " + t.fase + ": " + secondi + " s\n");
  }
}

int compatta_sorgenti(const opzioni_compatta& o) {
  modello m;
  m.nome_linea = o.scenario.linea;
  m.numero_treno = o.scenario.treno;
  // From the reading of the sources to the last replacement.
  const piattaforma::lucchetto_cartella lucchetto(o.scenario.directory,
                                                  avviso_attesa(o.scenario.directory));
  fonte_disco fonte(o.scenario.directory, o.scenario.linea, o.scenario.treno, /*consuma=*/false);
  registro_tempi tempi;
  const risultato_compattazione r =
      compatta(m, fonte, o.senza_tracciato ? 0 : 1, o.tempi ? &tempi : nullptr);
  if (o.tempi) stampa_tempi(tempi);
  if (o.senza_tracciato && r.errore == 0)
    avvisa_tracciato_rimasto(m, o.scenario.directory, o.scenario.linea);
  piattaforma::scrivi_errore(testo_avvisi(m));
  if (r.errore != 0) {
    piattaforma::scrivi_errore(testo_errore(m, /*per_autore=*/true) + "\n");
    return stato_errore_scenario;
  }
  if (o.rigoroso && m.numero_avvisi > 0) {
    piattaforma::scrivi_errore("compattatore: " + std::to_string(m.numero_avvisi) +
                               (m.numero_avvisi == 1 ? " avviso" : " avvisi") +
                               " con --rigoroso: nessun file scritto\n");
    return stato_errore_scenario;
  }
  // Each file's writing, then the replacement of the set.
  auto inizio = std::chrono::steady_clock::now();
  const auto passo = [&](const std::string& fase) {
    const auto adesso = std::chrono::steady_clock::now();
    stampa_tempi({{fase, std::chrono::duration<double>(adesso - inizio).count()}});
    inizio = adesso;
  };
  piattaforma::sostituisci_insieme(
      o.scenario.directory, r.file,
      o.tempi ? std::function<void(const std::string&)>(passo) : nullptr);
  std::string scritti;
  for (const file_compattato& f : r.file) scritti += (scritti.empty() ? "" : ", ") + f.nome;
  if (o.silenzioso) return stato_fatto;
  return riga_finale(m, "scritti " + scritti);
}

}  // namespace

void aggiungi_compatta(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "compatta", "compatta le sorgenti di un autore nei tre file del simulatore",
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli) e scrive\n"
      "DIR/LINEA_linea.dat (non con --senza-tracciato), DIR/LINEA_TRENO.sim e\n"
      "DIR/LINEA_TRENO.dat. Se trova un errore lo segnala e non scrive nulla. Gli avvisi\n"
      "(FILE:RIGA: attenzione: ...) dicono cio' che lo scenario perde o riceve diverso da\n"
      "come e' scritto; ne mostra al piu' " +
          std::to_string(avvisi_mostrati) +
          ". Se riesce stampa una riga con cio' che ha\n"
          "compattato.");
  const auto o = std::make_shared<opzioni_compatta>();
  argomenti_scenario(comando, o->scenario);
  comando.add_flag("--senza-tracciato", o->senza_tracciato,
                   "non scrive il tracciato LINEA_linea.dat (un file gia' presente resta)");
  comando.add_flag("--rigoroso", o->rigoroso,
                   "ogni avviso diventa un errore: stato 1 e nessun file scritto");
  comando.add_flag("-q,--silenzioso", o->silenzioso, "non stampa la riga finale");
  comando.add_flag("--tempi", o->tempi, "stampa la durata di ogni fase");
  quando_scelto(comando, scelta, [o] {
    richiedi_scenario(o->scenario);
    return compatta_sorgenti(*o);
  });
}

}  // namespace compattatore
