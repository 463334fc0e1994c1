#include "app/form1.h"

#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "documents/documenti.h"
#include "output/compattazione.h"
#include "sources/scenario.h"

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
  modello_.nome_linea = "Quarve_Lentra";
  modello_.numero_treno = "58213";
}

void Form1::scrivi_testo(const std::string& nome, tabella_righe righe) {
  piattaforma::sostituisci_file(piattaforma::percorso(directory_, nome), testo_da_righe(righe));
}

void Form1::dati_linea() {
  scrivi_testo(modello_.nome_linea + "_linea.txt", righe_linea());
}

void Form1::dati_treno() {
  scrivi_testo(modello_.nome_linea + "_" + modello_.numero_treno + "-.txt", righe_treno());
}

void Form1::dati_note() {
  scrivi_testo(modello_.nome_linea + "_" + modello_.numero_treno + "_note.txt", righe_note());
}

void Form1::dati_rallentamenti() {
  scrivi_testo(modello_.nome_linea + "_" + modello_.numero_treno + "_rallentamenti.txt",
               righe_rallentamenti());
}

void Form1::dati_scheda() {
  scrivi_testo(modello_.nome_linea + "_" + modello_.numero_treno + "_scheda_treno.txt",
               righe_scheda());
}

void Form1::memorizza_percorso(std::int32_t& j) {
  fonte_disco fonte(directory_, modello_.nome_linea, modello_.numero_treno, /*consuma=*/true);
  const risultato_compattazione r = compatta(modello_, fonte, j);
  if (r.errore != 0) errore(std::to_string(r.errore));
  piattaforma::sostituisci_insieme(directory_, r.file);
}

void Form1::errore(const std::string& a) {
  piattaforma::mostra_messaggio(testo_errore(modello_, a));
  throw fine_esecuzione{1};
}

}  // namespace compattatore
