// The authors' commands. Each unit adds its subcommand to the parser and, when
// that subcommand is chosen, leaves the run ready in `scelta`; the entry
// (riga_di_comando.cpp) parses, checks what is left over and runs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

namespace compattatore {

class modello;

// A chosen command, ready to run; returns the exit status.
using azione_comando = std::function<int()>;

// Exit statuses of every command.
inline constexpr int stato_fatto = 0;
inline constexpr int stato_errore_scenario = 1;
inline constexpr int stato_errore_uso = 2;  // also a file that cannot be written

// A usage error found by a command's own checks: one line naming the problem.
class errore_uso : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A directory that must exist.
void richiedi_cartella(const std::string& cartella, const std::string& nome);
// A route or train name becomes part of a file name inside DIR: it must not
// lead out of it.
void richiedi_nome_file(const std::string& valore, const std::string& nome);

// The whole content of a file a command reads, of at most `limite` bytes; a
// file that cannot be read is a failure the entry reports with the file's
// name and the reason (status 2).
std::string contenuto_file(const std::string& file, std::size_t limite);

// A whole number from 0 up, of at most 64 bits, the whole text; nothing for
// anything else.
std::optional<std::int64_t> intero_non_negativo(std::string_view testo);

// A command's result on standard output; a write that fails is a failure
// the entry reports (status 2).
void scrivi_risultato(const std::string& testo);

// Text on standard output (help, a listing, a summary): stato_fatto, or when
// the write fails a line on standard error and stato_errore_uso.
int scrivi_su_uscita(const std::string& testo);

// The scenario an authors' command works on: DIR LINEA TRENO.
struct scenario_autore {
  std::string directory;
  std::string linea;
  std::string treno;
};
// Its three positional arguments, in this order.
void argomenti_scenario(CLI::App& comando, scenario_autore& s);
// DIR must exist, LINEA and TRENO make file names inside it, and TRENO may not
// be "linea", or the grid would take the track's name.
void richiedi_scenario(const scenario_autore& s);

// Tells the author that the command waits for another run writing in
// `cartella`, for piattaforma::lucchetto_cartella.
std::function<void()> avviso_attesa(const std::string& cartella);

// The subcommand `nome` with Italian help: one line of description in the
// list of commands, `dettagli` at the end of its own help. Unknown arguments
// are left to the entry, which refuses them in Italian.
CLI::App& nuovo_comando(CLI::App& app, const std::string& nome, const std::string& descrizione,
                        const std::string& dettagli);

// When `comando` is the one chosen, `azione` is what runs.
void quando_scelto(CLI::App& comando, azione_comando& scelta, azione_comando azione);

// A positional argument shown by its name alone.
void argomento(CLI::App& comando, const std::string& nome, std::string& valore,
               const std::string& descrizione);

// A command's last line when it succeeds, on standard output: the summary
// of the model, then what it wrote ("scritti A, B"). Status 2 when standard
// output cannot be written.
int riga_finale(const modello& m, const std::string& scritto);

// Without the track, a track file left by an earlier compaction must still
// fit this route: a route length changed since would leave it beside a grid
// of another length. Warns in the model when it does not.
void avvisa_tracciato_rimasto(modello& m, const std::string& directory, const std::string& linea);

void aggiungi_esporta(CLI::App& app, azione_comando& scelta);
void aggiungi_compatta(CLI::App& app, azione_comando& scelta);
void aggiungi_controlla(CLI::App& app, azione_comando& scelta);
void aggiungi_disegna(CLI::App& app, azione_comando& scelta);
void aggiungi_spiega(CLI::App& app, azione_comando& scelta);
void aggiungi_mostra(CLI::App& app, azione_comando& scelta);
void aggiungi_confronta(CLI::App& app, azione_comando& scelta);

}  // namespace compattatore
