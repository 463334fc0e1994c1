// `controlla DIR LINEA TRENO`: every error and warning of an author's
// sources in one run, nothing written.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"

namespace compattatore {

namespace {

struct opzioni_controlla {
  scenario_autore scenario;
  bool senza_tracciato = false;
  bool rigoroso = false;
};

int controlla_sorgenti(const opzioni_controlla& o) {
  modello m;
  m.nome_linea = o.scenario.linea;
  m.numero_treno = o.scenario.treno;
  fonte_disco fonte(o.scenario.directory, o.scenario.linea, o.scenario.treno, /*consuma=*/false);
  controlla(m, fonte, o.senza_tracciato ? 0 : 1);
  if (o.senza_tracciato && m.interruzione.empty())
    avvisa_tracciato_rimasto(m, o.scenario.directory, o.scenario.linea);
  const std::string elenco = elenco_controllo(m) + totali(m.numero_errori, m.numero_avvisi) + "\n";
  if (const int stato = scrivi_su_uscita(elenco); stato != stato_fatto) return stato;
  if (m.numero_errori > 0 || !m.interruzione.empty()) return stato_errore_scenario;
  if (o.rigoroso && m.numero_avvisi > 0) return stato_errore_scenario;
  return stato_fatto;
}

}  // namespace

void aggiungi_controlla(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "controlla", "elenca tutti gli errori e gli avvisi delle sorgenti, senza scrivere",
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt come compatta, ma non scrive\n"
      "nulla: dopo un record rifiutato prosegue come se non ci fosse, ed elenca sullo\n"
      "standard output ogni errore (FILE:RIGA: errore N, posizione P m: ...) e ogni\n"
      "avviso (FILE:RIGA: attenzione: ...) nell'ordine in cui li trova: il file della\n"
      "linea, quello del servizio, poi gli abbattimenti aggiunti e i codici di\n"
      "controllo. Il primo errore elencato e' quello che compatta riporterebbe.\n"
      "L'ultima riga dice quanti sono. Stato di uscita 1 se c'e' un errore (con\n"
      "--rigoroso anche un avviso), altrimenti 0.");
  const auto o = std::make_shared<opzioni_controlla>();
  argomenti_scenario(comando, o->scenario);
  comando.add_flag("--senza-tracciato", o->senza_tracciato,
                   "come compatta --senza-tracciato: le curve non vengono lette");
  comando.add_flag("--rigoroso", o->rigoroso, "anche un avviso da' lo stato di uscita 1");
  quando_scelto(comando, scelta, [o] {
    richiedi_scenario(o->scenario);
    return controlla_sorgenti(*o);
  });
}

}  // namespace compattatore
