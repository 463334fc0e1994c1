// The few things that touch the operating system. One implementation per
// system (piattaforma_posix.cpp, piattaforma_win32.cpp); CMake picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// A file's content handed over in pieces: `produci` calls its argument once
// per piece, in order.
using produttore = std::function<void(const std::function<void(std::string_view)>&)>;

// Temporary files of the program start with this prefix and go on with a few
// random characters, whatever their target is called, so that a valid target
// name never becomes too long and a later run can recognise them.
inline constexpr std::string_view prefisso_temporanei = ".compattatore-";

// Several files of one directory replaced together, so that nobody ever finds
// some new and some old. `prepara` writes each to a temporary beside its
// target and flushes it to disk; `conferma` then renames them over their
// targets in order, with nothing in between that can fail for lack of space
// or permission. Up to `conferma` every previous file is intact: a failure,
// the destruction of the object, or SIGINT, SIGTERM or SIGHUP (Ctrl-C or
// closing the console on Windows) removes the temporaries, and the signal then
// ends the process as it would have. SIGXFSZ is ignored, so that a file-size
// limit is an ordinary write failure.
class insieme_file {
 public:
  explicit insieme_file(std::string directory);
  ~insieme_file();
  insieme_file(const insieme_file&) = delete;
  insieme_file& operator=(const insieme_file&) = delete;

  // `nome` is a file name inside the directory. Throws errore_file naming the
  // target; a producer's own exception goes on.
  void prepara(const std::string& nome, const produttore& produci);
  // Replaces every prepared file. Should a rename still fail, errore_file
  // names that file and says which ones were already replaced.
  void conferma();

 private:
  struct stato;
  std::unique_ptr<stato> stato_;
};

// One call for a whole set: `file` holds items with `nome` and `produci`.
// `passo`, when given, is told "scrittura NOME" after each file is ready and
// "sostituzione" after the last replacement.
template <class file_con_nome>
void sostituisci_insieme(const std::string& directory, const std::vector<file_con_nome>& file,
                         const std::function<void(const std::string&)>& passo = {}) {
  insieme_file insieme(directory);
  for (const file_con_nome& f : file) {
    insieme.prepara(f.nome, f.produci);
    if (passo) passo("scrittura " + f.nome);
  }
  insieme.conferma();
  if (passo) passo("sostituzione");
}

// Replaces one file whole and atomically, as a set of one: the previous file
// stays intact on any failure, no temporary is left, and errore_file is
// thrown. The new file gets the permissions a plain create would give it.
void sostituisci_file(const std::string& file, std::string_view contenuto);

// One run of the program at a time in a directory, from the reading of the
// sources to the last replacement. The system releases it if the process
// dies. Once it is held, the temporaries that a run killed outright left in
// the directory are removed: no other run can be writing them.
class lucchetto_cartella {
 public:
  // Waits while another run holds the directory; `in_attesa`, when given, is
  // called once before waiting.
  explicit lucchetto_cartella(const std::string& directory,
                              const std::function<void()>& in_attesa = {});
  ~lucchetto_cartella();
  lucchetto_cartella(const lucchetto_cartella&) = delete;
  lucchetto_cartella& operator=(const lucchetto_cartella&) = delete;

 private:
  struct stato;
  std::unique_ptr<stato> stato_;
};

// False only when nothing has this name; a name that cannot be looked up for
// another reason (too long, no permission) counts as present, so that reading
// it tells why.
bool presente(const std::string& file);
// Whether the two names lead to one existing file (links and other spellings
// of the path included); false when either does not exist.
bool stesso_file(const std::string& a, const std::string& b);
bool esiste_directory(const std::string& directory);
// The size in bytes of a regular file; nullopt when there is none.
std::optional<std::uint64_t> dimensione_file(const std::string& file);
// The whole content of a regular file of at most `limite` bytes. Anything
// else (a directory, a FIFO, a device, a larger file, a failure of the
// system) throws errore_file with the reason, without blocking and before
// reading more than the limit.
std::string leggi_file(const std::string& file, std::size_t limite);
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
