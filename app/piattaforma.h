// The few things that touch the operating system. One implementation per
// system (piattaforma_posix.cpp, piattaforma_win32.cpp); CMake picks one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace compattatore::piattaforma {

// A file operation that failed: names the file and the system's reason.
class errore_file : public std::runtime_error {
 public:
  errore_file(std::string file, std::string motivo)
      : std::runtime_error(file + ": " + motivo),
        file_(std::move(file)),
        motivo_(std::move(motivo)) {}
  const std::string& file() const { return file_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string file_;
  std::string motivo_;
};

// The directory that holds the program's executable, never the working directory.
std::string directory_programma();

// `directory`, the system's separator (always one, even after a root
// directory), then `nome`.
std::string percorso(const std::string& directory, const std::string& nome);

// Replaces the file whole and atomically: a temporary file in the same
// directory, written and flushed, then renamed over the target. On failure the
// previous file is intact, no temporary is left, and errore_file is thrown.
// The new file gets the permissions a plain create would give it.
void sostituisci_file(const std::string& file, std::string_view contenuto);
// The same, with the content handed over in pieces: `produci` calls its
// argument once per piece, in order. If it throws, the previous file is
// intact, no temporary is left, and the exception goes on.
using produttore = std::function<void(const std::function<void(std::string_view)>&)>;
void sostituisci_file(const std::string& file, const produttore& produci);

bool esiste_file(const std::string& file);
// The size in bytes of a regular file; nullopt when there is none.
std::optional<std::uint64_t> dimensione_file(const std::string& file);
bool esiste_directory(const std::string& directory);
// The whole content; nullopt when the file cannot be opened or read.
std::optional<std::string> leggi_file(const std::string& file);
// Throws errore_file when the file exists and cannot be deleted.
void elimina_file(const std::string& file);

// The wait window ("Attendere"): shown and painted before the work, closed at
// the end. On POSIX one line on standard error.
void mostra_attesa();
void chiudi_attesa();

// A message that the user must see: a modal box with one OK button on Windows
// (in the windowed job), lines on standard error elsewhere.
void mostra_messaggio(const std::string& testo);

// Command-line modes write to the console. On Windows this attaches the
// parent's console; elsewhere it does nothing.
void usa_console();

// Lines on standard error / standard output, as bytes. Standard output is a
// command's result, UTF-8 text (the scenario's texts decoded); standard error
// carries names in the system's code page. False when standard output could
// not be written whole.
void scrivi_errore(std::string_view testo);
bool scrivi_uscita(std::string_view testo);

}  // namespace compattatore::piattaforma
