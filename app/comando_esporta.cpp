// `esporta DIR`: the built-in sources and documents, written into DIR as the
// fixed job writes them, for an author to start from.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/piattaforma.h"
#include "app/testi_incorporati.h"

namespace compattatore {

void aggiungi_esporta(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "esporta", "scrive in DIR le sorgenti e i documenti dello scenario incorporato",
      "Scrive in DIR le due sorgenti dello scenario incorporato (Quarve_Lentra_linea.txt,\n"
      "Quarve_Lentra_58213-.txt) e i tre documenti del macchinista; nient'altro.");
  const auto directory = std::make_shared<std::string>();
  argomento(comando, "DIR", *directory, "la cartella in cui scrivere");
  quando_scelto(comando, scelta, [directory] {
    richiedi_cartella(*directory, "DIR");
    const piattaforma::lucchetto_cartella lucchetto(*directory, avviso_attesa(*directory));
    for (const testo_incorporato& t : testi_incorporati())
      scrivi_testo(*directory, t, linea_incorporata, treno_incorporato);
    return stato_fatto;
  });
}

}  // namespace compattatore
