// `disegna DIR LINEA TRENO [-o FILE]`: the route page of an author's sources.
// The sources are only read and no compacted file is written; a scenario with
// an error still gets its page, drawn from what a check can read.
#include <CLI/CLI.hpp>
#include <memory>
#include <vector>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "disegno/pagina.h"
#include "model/descrizione_campi.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"

namespace compattatore {

namespace {

struct opzioni_disegna {
  scenario_autore scenario;
  std::string uscita;  // empty: DIR/LINEA_TRENO.html
  bool silenzioso = false;
};

// The page must never take the place of a source or of a compacted file.
void richiedi_uscita_libera(const scenario_autore& o, const std::string& uscita) {
  for (const std::string& nome :
       {nome_sorgente_linea(o.linea), nome_sorgente_servizio(o.linea, o.treno),
        nome_file_tracciato(o.linea), nome_file_tabella(o.linea, o.treno),
        nome_file_celle(o.linea, o.treno)}) {
    if (piattaforma::stesso_file(uscita, piattaforma::percorso(o.directory, nome)))
      throw errore_uso("-o " + uscita + " e' " + nome + " dello scenario: scegliere un altro file");
  }
}

// The errors and the warnings of the run, in the order found, as controlla
// lists them (each error's line says where), then why a check stopped.
std::vector<messaggio_pagina> messaggi(const modello& m) {
  std::vector<messaggio_pagina> r;
  per_ordine(
      m,
      [&](const errore_registrato& e) {
        r.push_back({"", 0, riga_errore(e), true});
      },
      [&](const avviso& a) {
        r.push_back({a.file, a.riga, a.testo, false});
      });
  const std::uint64_t altri_errori = m.numero_errori - m.errori.size();
  const std::uint64_t altri_avvisi = m.numero_avvisi - m.avvisi.size();
  if (altri_errori + altri_avvisi > 0)
    r.push_back(
        {"", 0, "altri " + totali(altri_errori, altri_avvisi) + " non elencati", altri_errori > 0});
  if (!m.interruzione.empty())
    r.push_back({"", 0, "la verifica si ferma qui: " + m.interruzione, true});
  return r;
}

int disegna(const opzioni_disegna& opzioni) {
  const scenario_autore& o = opzioni.scenario;
  const std::string pagina = nome_pagina(o.linea, o.treno);
  const std::string uscita =
      opzioni.uscita.empty() ? piattaforma::percorso(o.directory, pagina) : opzioni.uscita;
  richiedi_uscita_libera(o, uscita);

  // From the reading of the sources to the page's replacement, as compatta.
  const piattaforma::lucchetto_cartella lucchetto(o.directory, avviso_attesa(o.directory));
  modello m;
  m.nome_linea = o.linea;
  m.numero_treno = o.treno;
  fonte_disco fonte(o.directory, o.linea, o.treno, /*consuma=*/false);
  const risultato_compattazione r = compatta(m, fonte, /*j=*/1);
  // On standard error what compatta would say.
  piattaforma::scrivi_errore(testo_avvisi(m));
  if (r.errore != 0) piattaforma::scrivi_errore(testo_errore(m, /*per_autore=*/true) + "\n");

  // With an error, the page shows what a check reads: every record but the
  // refused ones, and everything it found wrong.
  modello verificato;
  if (r.errore != 0) {
    verificato.nome_linea = o.linea;
    verificato.numero_treno = o.treno;
    controlla(verificato, fonte, /*j=*/1);
  }
  const modello& disegnato = r.errore != 0 ? verificato : m;
  contenuto_pagina contenuto;
  contenuto.messaggi = messaggi(disegnato);
  contenuto.provenienza = [&disegnato](std::int32_t cella) {
    return origini_in_parole(disegnato, cella);
  };
  piattaforma::sostituisci_file(uscita, pagina_percorso(disegnato, contenuto));
  if (r.errore != 0) return stato_errore_scenario;
  if (opzioni.silenzioso) return stato_fatto;
  return riga_finale(m, "scritta " + (opzioni.uscita.empty() ? pagina : opzioni.uscita));
}

}  // namespace

void aggiungi_disegna(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "disegna", "scrive una pagina HTML con la pianta e il profilo del percorso",
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli), li compatta\n"
      "in memoria e scrive DIR/LINEA_TRENO.html (o FILE con -o): una sola pagina, da aprire\n"
      "in un browser anche senza rete, con la pianta, il profilo, le stazioni e il contenuto\n"
      "di ogni cella sotto il puntatore. Non scrive i file compattati. Con un errore nello\n"
      "scenario la pagina mostra, come controlla, tutto cio' che si e' potuto leggere, con\n"
      "tutti gli errori e gli avvisi in alto, e lo stato di uscita e' 1. Se riesce stampa\n"
      "una riga con cio' che ha disegnato.");
  const auto o = std::make_shared<opzioni_disegna>();
  argomenti_scenario(comando, o->scenario);
  comando.add_option("-o,--uscita", o->uscita, "il file da scrivere (LINEA_TRENO.html in DIR)")
      ->type_name("FILE");
  comando.add_flag("-q,--silenzioso", o->silenzioso, "non stampa la riga finale");
  quando_scelto(comando, scelta, [o] {
    richiedi_scenario(o->scenario);
    return disegna(*o);
  });
}

}  // namespace compattatore
