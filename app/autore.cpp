#include "app/autore.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>

#include "app/fonte_disco.h"
#include "app/form1.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "output/compattazione.h"

namespace compattatore {

namespace {

constexpr const char* testo_uso =
    "Uso:\n"
    "  compattatore\n"
    "      il lavoro fisso: scrive nella cartella del programma le sorgenti e i\n"
    "      documenti dello scenario incorporato Quarve_Lentra, treno 58213, e i tre\n"
    "      file compattati Quarve_Lentra_linea.dat, Quarve_Lentra_58213.sim e\n"
    "      Quarve_Lentra_58213.dat.\n"
    "  compattatore esporta DIR\n"
    "      scrive in DIR le due sorgenti dello scenario incorporato\n"
    "      (Quarve_Lentra_linea.txt, Quarve_Lentra_58213-.txt) e i tre documenti\n"
    "      del macchinista; nient'altro.\n"
    "  compattatore compatta DIR LINEA TRENO [--senza-tracciato] [--tempi]\n"
    "      legge DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza mai modificarli)\n"
    "      e scrive DIR/LINEA_linea.dat (non con --senza-tracciato),\n"
    "      DIR/LINEA_TRENO.sim e DIR/LINEA_TRENO.dat. Se trova un errore lo\n"
    "      segnala e non scrive nulla. Con --tempi stampa la durata di ogni fase.\n"
    "  compattatore --help | --version\n"
    "Stato di uscita: 0 fatto, 1 errore nello scenario, 2 uso sbagliato o file\n"
    "non scrivibile.\n";

int errore_uso(const std::string& motivo) {
  piattaforma::scrivi_errore("compattatore: " + motivo + "\n" + testo_uso);
  return 2;
}

// A route or train name becomes part of a file name inside DIR: it must not
// lead out of it.
bool nome_valido(const std::string& nome) {
  return !nome.empty() && nome.find_first_of("/\\:") == std::string::npos && nome != "." &&
         nome != "..";
}

// Another run writing in the same directory is waited for, and the author
// told why nothing happens.
std::function<void()> avviso_attesa(const std::string& directory) {
  return [directory] {
    piattaforma::scrivi_errore("compattatore: un'altra esecuzione sta scrivendo in " + directory +
                               ", attendo che finisca\n");
  };
}

int esporta(const std::string& directory) {
  const piattaforma::lucchetto_cartella lucchetto(directory, avviso_attesa(directory));
  Form1 form(directory);
  form.imposta_nomi();
  form.dati_linea();
  form.dati_treno();
  form.dati_note();
  form.dati_rallentamenti();
  form.dati_scheda();
  return 0;
}

void stampa_tempi(const registro_tempi& tempi) {
  for (const tempo_fase& t : tempi) {
    char riga[128];
    std::snprintf(riga, sizeof riga, "tempo %s: %.6f s\n", t.fase.c_str(), t.secondi);
    piattaforma::scrivi_errore(riga);
  }
}

int compatta_sorgenti(const std::string& directory, const std::string& linea,
                      const std::string& treno, bool tracciato, bool con_tempi) {
  modello m;
  m.nome_linea = linea;
  m.numero_treno = treno;
  // From the reading of the sources to the last replacement.
  const piattaforma::lucchetto_cartella lucchetto(directory, avviso_attesa(directory));
  fonte_disco fonte(directory, linea, treno, /*consuma=*/false);
  const avviso_lettura avvisa = [](const std::string& file, std::int32_t riga,
                                   const std::string& testo) {
    piattaforma::scrivi_errore(file + (riga > 0 ? ":" + std::to_string(riga) : std::string()) +
                               ": attenzione: " + testo + "\n");
  };
  registro_tempi tempi;
  const risultato_compattazione r =
      compatta(m, fonte, tracciato ? 1 : 0, avvisa, con_tempi ? &tempi : nullptr);
  if (con_tempi) stampa_tempi(tempi);
  if (r.errore != 0) {
    piattaforma::scrivi_errore(testo_errore(m, std::to_string(r.errore), /*per_autore=*/true) +
                               "\n");
    return 1;
  }
  // Each file's writing, then the replacement of the set.
  auto inizio = std::chrono::steady_clock::now();
  const auto passo = [&](const std::string& fase) {
    const auto adesso = std::chrono::steady_clock::now();
    stampa_tempi({{fase, std::chrono::duration<double>(adesso - inizio).count()}});
    inizio = adesso;
  };
  piattaforma::sostituisci_insieme(
      directory, r.file, con_tempi ? std::function<void(const std::string&)>(passo) : nullptr);
  return 0;
}

int interpreta(const std::vector<std::string>& a) {
  const std::string& comando = a[0];
  if (comando == "--help" || comando == "-h") {
    piattaforma::scrivi_uscita(testo_uso);
    return 0;
  }
  if (comando == "--version") {
    piattaforma::scrivi_uscita(std::string("compattatore ") + COMPATTATORE_VERSIONE + "\n");
    return 0;
  }
  if (comando == "esporta") {
    if (a.size() != 2) return errore_uso("esporta vuole una cartella");
    if (!piattaforma::esiste_directory(a[1])) return errore_uso("cartella inesistente: " + a[1]);
    return esporta(a[1]);
  }
  if (comando == "compatta") {
    bool tracciato = true;
    bool con_tempi = false;
    std::vector<std::string> posizionali;
    for (std::size_t i = 1; i < a.size(); ++i) {
      if (a[i] == "--senza-tracciato") {
        tracciato = false;
      } else if (a[i] == "--tempi") {
        con_tempi = true;
      } else if (a[i].starts_with("--")) {
        return errore_uso("opzione sconosciuta: " + a[i]);
      } else {
        posizionali.push_back(a[i]);
      }
    }
    if (posizionali.size() != 3) return errore_uso("compatta vuole DIR LINEA TRENO");
    if (!piattaforma::esiste_directory(posizionali[0]))
      return errore_uso("cartella inesistente: " + posizionali[0]);
    if (!nome_valido(posizionali[1]) || !nome_valido(posizionali[2]))
      return errore_uso("LINEA e TRENO non possono contenere separatori di cartella");
    return compatta_sorgenti(posizionali[0], posizionali[1], posizionali[2], tracciato, con_tempi);
  }
  return errore_uso("comando sconosciuto: " + comando);
}

}  // namespace

int esegui_comando(const std::vector<std::string>& argomenti) {
  if (argomenti.empty()) return errore_uso("manca il comando");
  try {
    return interpreta(argomenti);
  } catch (const std::exception& e) {
    piattaforma::scrivi_errore("compattatore: " + testo_fallimento(e) + "\n");
  }
  return 2;
}

}  // namespace compattatore
