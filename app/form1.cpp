#include "app/form1.h"

#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "app/testi_incorporati.h"
#include "output/compattazione.h"

namespace compattatore {

void Form1::Form_Load() {
  imposta_nomi();
  piattaforma::mostra_attesa();
  // Held to the end: another run here would consume the sources this one
  // writes, or mix its compacted files with these.
  const piattaforma::lucchetto_cartella lucchetto(directory_);
  dati_linea();
  dati_treno();
  dati_note();
  dati_rallentamenti();
  dati_scheda();
  std::int32_t j = 1;
  memorizza_percorso(j);
}

void Form1::imposta_nomi() {
  modello_.nome_linea = linea_incorporata;
  modello_.numero_treno = treno_incorporato;
}

void Form1::scrivi(quale_testo q) {
  scrivi_testo(directory_, testo(q), modello_.nome_linea, modello_.numero_treno);
}

void Form1::dati_linea() {
  scrivi(quale_testo::linea);
}

void Form1::dati_treno() {
  scrivi(quale_testo::treno);
}

void Form1::dati_note() {
  scrivi(quale_testo::note);
}

void Form1::dati_rallentamenti() {
  scrivi(quale_testo::rallentamenti);
}

void Form1::dati_scheda() {
  scrivi(quale_testo::scheda);
}
void Form1::memorizza_percorso(std::int32_t& j) {
  fonte_disco fonte(directory_, modello_.nome_linea, modello_.numero_treno, /*consuma=*/true);
  const risultato_compattazione r = compatta(modello_, fonte, j);
  if (r.errore != 0) errore(std::to_string(r.errore));
  piattaforma::sostituisci_insieme(directory_, r.file);
}

void Form1::errore(const std::string& a) {
  std::string testo = " Errore n. " + a;
  if (const errore_registrato* e = modello_.primo_errore()) testo += dettagli_errore(*e, false);
  piattaforma::mostra_messaggio(testo);
  throw fine_esecuzione{1};
}

}  // namespace compattatore
