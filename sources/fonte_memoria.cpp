#include "sources/fonte_memoria.h"

#include <utility>

#include "model/errori.h"

namespace compattatore {

fonte_memoria::fonte_memoria(std::optional<std::string> linea, std::optional<std::string> servizio)
    : linea_{std::move(linea)}, servizio_{std::move(servizio)} {}

std::string fonte_memoria::nome(sorgente s) const {
  return s == sorgente::linea ? "linea.txt" : "servizio.txt";
}

bool fonte_memoria::esiste(sorgente s) const {
  return file(s).testo.has_value();
}

std::string fonte_memoria::leggi(sorgente s) {
  const file_memoria& f = file(s);
  if (f.illeggibile || !f.testo) throw fallimento_lettura("impossibile aprire il file");
  return *f.testo;
}

void fonte_memoria::consuma(sorgente s) {
  consumi_.push_back(s);
  if (!conserva_) file(s).testo.reset();
}

}  // namespace compattatore
