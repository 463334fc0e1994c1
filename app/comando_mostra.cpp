// `mostra FILE...`: the compacted files as text, one fact per line, or as
// JSON. A grid and a table given together are read as one build.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/piattaforma.h"
#include "ispezione/lettura_file.h"
#include "ispezione/mostra.h"

namespace compattatore {

namespace {

struct opzioni_comando_mostra {
  std::vector<std::string> file;
  bool tutte = false;
  std::string celle;
  std::string passo;
  bool json = false;
};

// "345-352" or "345".
std::pair<std::int64_t, std::int64_t> intervallo_celle(const std::string& testo) {
  const std::size_t trattino = testo.find('-');
  const auto da = intero_non_negativo(std::string_view(testo).substr(0, trattino));
  const auto a = trattino == std::string::npos
                     ? da
                     : intero_non_negativo(std::string_view(testo).substr(trattino + 1));
  if (!da || !a || *a < *da)
    throw errore_uso("--celle vuole PRIMA-ULTIMA, due numeri di cella: " + testo);
  return {*da, *a};
}

// Status 1 for a file that breaks its layout, as for an error in a scenario.
int rifiuta(const std::string& file, const file_non_valido& e) {
  piattaforma::scrivi_errore(file + ": " + e.what() + "\n");
  return stato_errore_scenario;
}

int mostra_file(const opzioni_comando_mostra& o) {
  opzioni_mostra opzioni;
  opzioni.tutte = o.tutte;
  if (!o.celle.empty()) opzioni.celle = intervallo_celle(o.celle);
  if (!o.passo.empty()) {
    const auto passo = intero_non_negativo(o.passo);
    if (!passo || *passo < 1 || *passo > INT32_MAX)
      throw errore_uso("--passo vuole un numero di metri da 1 in su: " + o.passo);
    opzioni.passo = static_cast<std::int32_t>(*passo);
  }
  std::vector<file_letto> letti;
  for (const std::string& f : o.file) {
    try {
      letti.push_back(leggi_file_compattato(f, contenuto_file(f, byte_massimi_file_compattato)));
    } catch (const file_non_valido& e) {
      return rifiuta(f, e);
    }
  }
  // The first grid and the first table say what each other cannot.
  const file_letto* griglia = nullptr;
  const file_letto* tabella = nullptr;
  for (const file_letto& l : letti) {
    if (l.genere == genere_file::griglia && griglia == nullptr) griglia = &l;
    if (l.genere == genere_file::tabella && tabella == nullptr) tabella = &l;
  }
  std::vector<file_mostrato> mostrati;
  for (std::size_t i = 0; i < letti.size(); ++i) {
    const file_letto& l = letti[i];
    try {
      switch (l.genere) {
        case genere_file::griglia:
          if (tabella != nullptr) verifica_griglia(l.celle, tabella->tabella);
          mostrati.push_back(
              mostra_griglia(l.celle, tabella != nullptr ? &tabella->tabella : nullptr, opzioni));
          break;
        case genere_file::tabella:
          mostrati.push_back(
              mostra_tabella(l.tabella, griglia != nullptr ? &griglia->celle : nullptr));
          break;
        case genere_file::tracciato:
          if (tabella != nullptr) verifica_tracciato(l.tracciato, tabella->tabella);
          mostrati.push_back(mostra_tracciato(l.tracciato, opzioni));
          break;
      }
    } catch (const file_non_valido& e) {
      return rifiuta(o.file[i], e);
    }
    mostrati.back().nome = o.file[i];
  }
  const std::string uscita = o.json ? json_mostrato(mostrati) : testo_mostrato(mostrati);
  scrivi_risultato(uscita);
  return stato_fatto;
}

}  // namespace

void aggiungi_mostra(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "mostra", "mostra come testo i file compattati, un fatto per riga",
      "Legge i file compattati (la griglia LINEA_TRENO.dat, la tabella LINEA_TRENO.sim, il\n"
      "tracciato LINEA_linea.dat), riconosciuti dal loro formato, e li scrive un fatto per\n"
      "riga. Date insieme, griglia e tabella si completano: i testi dei cartelli e i nomi\n"
      "delle stazioni accanto alle loro celle, e il controllo che le dimensioni dei file\n"
      "concordino. Un file che non segue il suo formato e' rifiutato con il byte e cio' che\n"
      "vi era atteso (stato 1).");
  const auto o = std::make_shared<opzioni_comando_mostra>();
  comando.add_option("FILE", o->file, "i file da mostrare")->required()->type_name("");
  comando.add_flag("--tutte", o->tutte,
                   "griglia: ogni cella sulla sua riga, anche vuota o uguale alle vicine");
  comando.add_option("--celle", o->celle, "griglia: solo le celle da PRIMA a ULTIMA")
      ->type_name("PRIMA-ULTIMA");
  comando
      .add_option("--passo", o->passo, "tracciato: le coordinate ogni N metri invece dei tratti")
      ->type_name("N");
  comando.add_flag("--json", o->json, "scrive JSON invece del testo");
  quando_scelto(comando, scelta, [o] { return mostra_file(*o); });
}

}  // namespace compattatore
