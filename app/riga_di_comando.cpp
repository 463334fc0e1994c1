#include "app/riga_di_comando.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <exception>
#include <optional>

#include "app/comandi.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "output/immagini.h"

namespace compattatore {

namespace {

constexpr const char* nome_programma = "compattatore";

constexpr const char* descrizione_programma =
    "compattatore: compatta uno scenario del simulatore (sorgenti di testo) nei tre file\n"
    "binari che il simulatore carica.";

constexpr const char* piede_programma =
    "Senza argomenti esegue il lavoro fisso: scrive nella cartella del programma le\n"
    "sorgenti e i documenti dello scenario incorporato Quarve_Lentra, treno 58213, e i\n"
    "tre file compattati Quarve_Lentra_linea.dat, Quarve_Lentra_58213.sim e\n"
    "Quarve_Lentra_58213.dat.\n"
    "Ogni comando ha il suo aiuto: compattatore COMANDO --help.\n"
    "Stato di uscita: 0 fatto, 1 errore nello scenario, 2 uso sbagliato o file non\n"
    "scrivibile.";

// The help in Italian: CLI11 builds it, these are its words.
void formato_italiano(CLI::App& app) {
  const auto formato = app.get_formatter();
  formato->label("Usage", "Uso");
  formato->label("OPTIONS", "OPZIONI");
  formato->label("SUBCOMMAND", "COMANDO");
  formato->label("SUBCOMMANDS", "COMANDI");
  formato->label("Positionals", "Argomenti");
  formato->label("REQUIRED", "");
  formato->column_width(28);
  app.option_defaults()->group("Opzioni");
  app.get_help_ptr()->group("Opzioni");
}

// The prefix of every usage message: the program and, when one was chosen,
// the command.
std::string chi(const CLI::App* comando) {
  return comando == nullptr ? std::string(nome_programma)
                            : std::string(nome_programma) + " " + comando->get_name();
}

int uso_sbagliato(const CLI::App* comando, const std::string& motivo) {
  piattaforma::scrivi_errore(chi(comando) + ": " + motivo + " (vedere '" + chi(comando) +
                             " --help')\n");
  return stato_errore_uso;
}

const CLI::App* comando_scelto(const CLI::App& app) {
  const std::vector<CLI::App*> scelti = app.get_subcommands();
  return scelti.empty() ? nullptr : scelti.front();
}

// The first positional argument of the chosen command that was not given.
std::string positionale_mancante(const CLI::App* comando) {
  if (comando == nullptr) return {};
  for (const CLI::Option* o : comando->get_options())
    if (o->get_positional() && o->get_required() && o->count() == 0) return o->get_name();
  return {};
}

// CLI11's own texts are English: a parse error is told again in Italian, from
// its kind and the option it names.
int errore_di_analisi(const CLI::App& app, const CLI::ParseError& e) {
  const CLI::App* comando = comando_scelto(app);
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
    const std::string mancante = positionale_mancante(comando);
    return uso_sbagliato(comando, mancante.empty() ? "argomenti mancanti" : "manca " + mancante);
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
    const std::string testo = e.what();
    const std::string opzione = testo.substr(0, testo.find(':'));
    return uso_sbagliato(comando, "l'opzione " + opzione + " vuole un valore");
  }
  return uso_sbagliato(comando, "argomenti non validi");
}

int esegui(const std::vector<std::string>& argomenti) {
  CLI::App app{descrizione_programma, nome_programma};
  formato_italiano(app);
  app.set_help_flag("-h,--help", "mostra questo aiuto ed esce");
  app.set_version_flag("--version", std::string(nome_programma) + " " + COMPATTATORE_VERSIONE,
                       "mostra la versione ed esce");
  app.footer(piede_programma);
  app.allow_extras();
  app.require_subcommand(0, 1);

  azione_comando scelta;
  aggiungi_esporta(app, scelta);
  aggiungi_compatta(app, scelta);
  aggiungi_controlla(app, scelta);
  aggiungi_spiega(app, scelta);
  aggiungi_disegna(app, scelta);
  aggiungi_mostra(app, scelta);
  aggiungi_confronta(app, scelta);

  // CLI11 takes the arguments last first.
  std::vector<std::string> invertiti(argomenti.rbegin(), argomenti.rend());
  try {
    app.parse(invertiti);
  } catch (const CLI::CallForHelp&) {
    const CLI::App* comando = comando_scelto(app);
    return scrivi_su_uscita(comando != nullptr ? comando->help(nome_programma) : app.help());
  } catch (const CLI::CallForVersion& v) {
    return scrivi_su_uscita(std::string(v.what()) + "\n");
  } catch (const CLI::ParseError& e) {
    return errore_di_analisi(app, e);
  }

  const CLI::App* comando = comando_scelto(app);
  const std::vector<std::string> avanzati =
      comando != nullptr ? comando->remaining() : app.remaining();
  if (!avanzati.empty()) {
    const std::string& primo = avanzati.front();
    if (comando == nullptr)
      return uso_sbagliato(nullptr, primo.starts_with("-") ? "opzione sconosciuta: " + primo
                                                           : "comando sconosciuto: " + primo);
    return uso_sbagliato(comando, primo.starts_with("-") ? "opzione sconosciuta: " + primo
                                                         : "argomento in piu': " + primo);
  }
  if (!scelta) return uso_sbagliato(nullptr, "manca il comando");
  try {
    return scelta();
  } catch (const errore_uso& e) {
    return uso_sbagliato(comando, e.what());
  }
}

}  // namespace

void richiedi_cartella(const std::string& cartella, const std::string& nome) {
  if (!piattaforma::esiste_directory(cartella))
    throw errore_uso(nome + " non e' una cartella esistente: " + cartella);
}

void richiedi_nome_file(const std::string& valore, const std::string& nome) {
  if (valore.empty() || valore.find_first_of("/\\:") != std::string::npos || valore == "." ||
      valore == "..")
    throw errore_uso(nome + " non puo' contenere separatori di cartella: " + valore);
}

std::optional<std::int64_t> intero_non_negativo(std::string_view testo) {
  std::int64_t v = 0;
  const char* fine = testo.data() + testo.size();
  const auto [p, e] = std::from_chars(testo.data(), fine, v);
  if (testo.empty() || e != std::errc{} || p != fine || v < 0) return std::nullopt;
  return v;
}

std::string contenuto_file(const std::string& file, std::size_t limite) {
  return piattaforma::leggi_file(file, limite);
}

void scrivi_risultato(const std::string& testo) {
  if (!piattaforma::scrivi_uscita(testo))
    throw piattaforma::errore_file("standard output", "impossibile scrivere");
}

std::function<void()> avviso_attesa(const std::string& cartella) {
  return [cartella] {
    piattaforma::scrivi_errore(std::string(nome_programma) +
                               ": un'altra esecuzione sta scrivendo in " + cartella +
                               ", attendo che finisca\n");
  };
}

CLI::App& nuovo_comando(CLI::App& app, const std::string& nome, const std::string& descrizione,
                        const std::string& dettagli) {
  CLI::App& comando = *app.add_subcommand(nome, descrizione);
  comando.footer(dettagli);
  comando.group("Comandi");
  comando.allow_extras();
  comando.get_help_ptr()->group("Opzioni");
  return comando;
}

void argomenti_scenario(CLI::App& comando, scenario_autore& s) {
  argomento(comando, "DIR", s.directory, "la cartella delle sorgenti");
  argomento(comando, "LINEA", s.linea, "il nome della linea");
  argomento(comando, "TRENO", s.treno, "il numero del treno");
}

void richiedi_scenario(const scenario_autore& s) {
  richiedi_cartella(s.directory, "DIR");
  richiedi_nome_file(s.linea, "LINEA");
  richiedi_nome_file(s.treno, "TRENO");
  if (treno_come_tracciato(s.treno))
    throw errore_uso("TRENO non puo' essere \"" + s.treno +
                     "\": " + nome_file_celle(s.linea, s.treno) + " sarebbe anche il tracciato");
}

void avvisa_tracciato_rimasto(modello& m, const std::string& directory, const std::string& linea) {
  const std::string file = piattaforma::percorso(directory, nome_file_tracciato(linea));
  const std::optional<std::uint64_t> dimensione = piattaforma::dimensione_file(file);
  const std::uint64_t attesa = dimensione_file_tracciato(m.lunghezza_griglia);
  if (!dimensione) return;
  for (std::uint64_t pieni = 0; pieni <= 2; ++pieni)
    if (*dimensione == attesa + pieni * byte_metro_pieno_in_piu) return;
  m.registra_avviso(file, 0,
                    "il tracciato gia' presente e' di " + std::to_string(*dimensione) +
                        " byte, ma per un percorso di " +
                        std::to_string(m.tabella_servizio[slot_treno].valore_2) + " m ne servono " +
                        std::to_string(attesa) +
                        ": e' di un'altra lunghezza del percorso (compattate senza "
                        "--senza-tracciato)");
}

void quando_scelto(CLI::App& comando, azione_comando& scelta, azione_comando azione) {
  comando.callback([&scelta, azione = std::move(azione)] { scelta = azione; });
}

void argomento(CLI::App& comando, const std::string& nome, std::string& valore,
               const std::string& descrizione) {
  comando.add_option(nome, valore, descrizione)->required()->type_name("");
}

int scrivi_su_uscita(const std::string& testo) {
  if (piattaforma::scrivi_uscita(testo)) return stato_fatto;
  piattaforma::scrivi_errore(std::string(nome_programma) +
                             ": impossibile scrivere sullo standard output\n");
  return stato_errore_uso;
}

int riga_finale(const modello& m, const std::string& scritto) {
  return scrivi_su_uscita(riepilogo(m) + "; " + scritto + "\n");
}

int esegui_comando(const std::vector<std::string>& argomenti) {
  if (argomenti.empty()) return uso_sbagliato(nullptr, "manca il comando");
  try {
    return esegui(argomenti);
  } catch (const std::exception& e) {
    piattaforma::scrivi_errore(std::string(nome_programma) + ": " + testo_fallimento(e) + "\n");
  }
  return stato_errore_uso;
}

}  // namespace compattatore
