#include "app/fonte_disco.h"

#include "app/piattaforma.h"
#include "model/errori.h"
#include "model/nomi_file.h"

namespace compattatore {

fonte_disco::fonte_disco(std::string directory, const std::string& linea, const std::string& treno,
                         bool consuma)
    : directory_(std::move(directory)),
      nome_linea_(nome_sorgente_linea(linea)),
      nome_servizio_(nome_sorgente_servizio(linea, treno)),
      consuma_(consuma) {}

// The path as the author wrote the directory, so that an editor can open it.
std::string fonte_disco::nome(sorgente s) const {
  return percorso(s);
}

std::string fonte_disco::percorso(sorgente s) const {
  return piattaforma::percorso(directory_, s == sorgente::linea ? nome_linea_ : nome_servizio_);
}

bool fonte_disco::esiste(sorgente s) const {
  return piattaforma::presente(percorso(s));
}

std::string fonte_disco::leggi(sorgente s) {
  try {
    return piattaforma::leggi_file(percorso(s), limite_sorgente);
  } catch (const piattaforma::errore_file& e) {
    throw fallimento_lettura("impossibile leggere il file: " + e.motivo());
  }
}

void fonte_disco::consuma(sorgente s) {
  if (consuma_) piattaforma::elimina_file(percorso(s));
}

}  // namespace compattatore
