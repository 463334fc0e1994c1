// `disegna DIR LINEA TRENO [-o FILE]`: the route page of an author's sources.
// The sources are only read and no compacted file is written; a scenario with
// an error still gets its page, drawn as far as it was read.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "disegno/pagina.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"

namespace compattatore {

namespace {

struct opzioni_disegna : scenario_autore {
  std::string uscita;  // empty: DIR/LINEA_TRENO.html
};

// The page must never take the place of a source or of a compacted file.
void richiedi_uscita_libera(const opzioni_disegna& o, const std::string& uscita) {
  for (const std::string& nome :
       {nome_sorgente_linea(o.linea), nome_sorgente_servizio(o.linea, o.treno),
        nome_file_tracciato(o.linea), nome_file_tabella(o.linea, o.treno),
        nome_file_celle(o.linea, o.treno)}) {
    if (piattaforma::stesso_file(uscita, piattaforma::percorso(o.directory, nome)))
      throw errore_uso("-o " + uscita + " e' " + nome + " dello scenario: scegliere un altro file");
  }
}

int disegna(const opzioni_disegna& o) {
  const std::string uscita = o.uscita.empty()
                                 ? piattaforma::percorso(o.directory, nome_pagina(o.linea, o.treno))
                                 : o.uscita;
  richiedi_uscita_libera(o, uscita);

  modello m;
  m.nome_linea = o.linea;
  m.numero_treno = o.treno;
  fonte_disco fonte(o.directory, o.linea, o.treno, /*consuma=*/false);
  contenuto_pagina contenuto;
  const avviso_lettura avvisa = [&contenuto](const std::string& file, std::int32_t riga,
                                             const std::string& testo) {
    piattaforma::scrivi_errore(testo_avviso(file, riga, testo) + "\n");
    contenuto.messaggi.push_back({file, riga, testo, false});
  };
  const risultato_compattazione r = compatta(m, fonte, /*j=*/1, avvisa);
  if (r.errore != 0) {
    // The same text as compatta's, which already says where.
    const std::string testo = testo_errore(m, std::to_string(r.errore), /*per_autore=*/true);
    piattaforma::scrivi_errore(testo + "\n");
    contenuto.messaggi.push_back({"", 0, testo, true});
  }
  piattaforma::sostituisci_file(uscita, pagina_percorso(m, contenuto));
  return r.errore != 0 ? stato_errore_scenario : stato_fatto;
}

}  // namespace

void aggiungi_disegna(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "disegna", "scrive una pagina HTML con la pianta e il profilo del percorso",
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli), li compatta\n"
      "in memoria e scrive DIR/LINEA_TRENO.html (o FILE con -o): una sola pagina, da aprire\n"
      "in un browser anche senza rete, con la pianta, il profilo, le stazioni e il contenuto\n"
      "di ogni cella sotto il puntatore. Non scrive i file compattati. Con un errore nello\n"
      "scenario la pagina mostra cio' che e' stato letto, con l'errore in alto, e lo stato\n"
      "di uscita e' 1.");
  const auto o = std::make_shared<opzioni_disegna>();
  argomenti_scenario(comando, *o);
  comando.add_option("-o,--uscita", o->uscita, "il file da scrivere (LINEA_TRENO.html in DIR)")
      ->type_name("FILE");
  comando.callback([&scelta, o] {
    scelta = [o] {
      richiedi_scenario(*o);
      return disegna(*o);
    };
  });
}

}  // namespace compattatore
