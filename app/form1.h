// The program's only window object. It owns the route model for the whole run
// and carries the fixed job: Form_Load runs every step, in order.
#pragma once

#include <cstdint>
#include <string>

#include "app/testi_incorporati.h"
#include "model/modello.h"

namespace compattatore {

// Thrown by `errore` to end the run with an exit status once the message has
// been shown; the entry catches it.
struct fine_esecuzione {
  int stato;
};

class Form1 {
 public:
  // `directory` is where every file is read and written: the program directory.
  explicit Form1(std::string directory) : directory_(std::move(directory)) {}

  // The fixed job. Returns normally when every step has run.
  void Form_Load();

  // The built-in scenario's names: route "Quarve_Lentra", train "58213".
  void imposta_nomi();

  void dati_linea();
  void dati_treno();
  void dati_note();
  void dati_rallentamenti();
  void dati_scheda();
  void memorizza_percorso(std::int32_t& j);

  // Shows " Errore n. " followed by `a` (and, for the error recorded in the
  // model, its position and description), then ends the run with status 1.
  [[noreturn]] void errore(const std::string& a);

  modello& dati() { return modello_; }
  const std::string& directory() const { return directory_; }

 private:
  void scrivi(quale_testo q);

  std::string directory_;
  modello modello_;
};

}  // namespace compattatore
