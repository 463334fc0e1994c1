// `compatta DIR LINEA TRENO`: an author's own sources, only read, compacted
// into the three files beside them.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <memory>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"

namespace compattatore {

namespace {

struct opzioni_compatta {
  std::string directory;
  std::string linea;
  std::string treno;
  bool senza_tracciato = false;
  bool tempi = false;
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
  m.nome_linea = o.linea;
  m.numero_treno = o.treno;
  fonte_disco fonte(o.directory, o.linea, o.treno, /*consuma=*/false);
  const avviso_lettura avvisa = [](const std::string& file, std::int32_t riga,
                                   const std::string& testo) {
    piattaforma::scrivi_errore(file + (riga > 0 ? ":" + std::to_string(riga) : std::string()) +
                               ": attenzione: " + testo + "\n");
  };
  registro_tempi tempi;
  const risultato_compattazione r =
      compatta(m, fonte, o.senza_tracciato ? 0 : 1, avvisa, o.tempi ? &tempi : nullptr);
  if (o.tempi) stampa_tempi(tempi);
  if (r.errore != 0) {
    piattaforma::scrivi_errore(testo_errore(m, /*per_autore=*/true) + "\n");
    return stato_errore_scenario;
  }
  for (const file_compattato& f : r.file) {
    const auto inizio = std::chrono::steady_clock::now();
    piattaforma::sostituisci_file(piattaforma::percorso(o.directory, f.nome), f.produci);
    if (o.tempi)
      stampa_tempi(
          {{"scrittura " + f.nome,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count()}});
  }
  return stato_fatto;
}

}  // namespace

void aggiungi_compatta(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "compatta", "compatta le sorgenti di un autore nei tre file del simulatore",
      "Legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli) e scrive\n"
      "DIR/LINEA_linea.dat (non con --senza-tracciato), DIR/LINEA_TRENO.sim e\n"
      "DIR/LINEA_TRENO.dat. Se trova un errore lo segnala e non scrive nulla.");
  const auto o = std::make_shared<opzioni_compatta>();
  argomento(comando, "DIR", o->directory, "la cartella delle sorgenti");
  argomento(comando, "LINEA", o->linea, "il nome della linea");
  argomento(comando, "TRENO", o->treno, "il numero del treno");
  comando.add_flag("--senza-tracciato", o->senza_tracciato,
                   "non scrive il tracciato LINEA_linea.dat (un file gia' presente resta)");
  comando.add_flag("--tempi", o->tempi, "stampa la durata di ogni fase");
  comando.callback([&scelta, o] {
    scelta = [o] {
      richiedi_cartella(o->directory, "DIR");
      richiedi_nome_file(o->linea, "LINEA");
      richiedi_nome_file(o->treno, "TRENO");
      if (treno_come_tracciato(o->treno))
        throw errore_uso("TRENO non puo' essere \"" + o->treno + "\": " +
                         nome_file_celle(o->linea, o->treno) + " sarebbe anche il tracciato");
      return compatta_sorgenti(*o);
    };
  });
}

}  // namespace compattatore
