// Running the built program in a directory, for the end-to-end tests.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace compattatore::prove {

struct esito_processo {
  int stato = -1;  // exit status; -1 when it did not exit normally
  std::string uscita;
  std::string errori;
};

// Whether `programma` is an executable in one of the PATH's directories.
bool nel_path(const std::string& programma);

// Whether the tools some tests need (Wine, Xvfb, chromium) must be there:
// COMPATTATORE_RICHIEDI_WINE=1, as in CI. Otherwise those tests skip.
bool strumenti_richiesti();

// Runs `argomenti` (program first) with `cartella` as working directory;
// standard output and error are captured outside that directory.
esito_processo esegui(const std::vector<std::string>& argomenti,
                      const std::filesystem::path& cartella, const std::string& prefisso = "");

// Permission bits do not stop root: where they must bite, the child runs as
// an unprivileged user, through this prefix of `esegui`.
std::string come_utente_normale();

// A run started and left going, for the tests that interrupt it. Its output
// is thrown away; a run still going when the object goes is killed.
class processo_avviato {
 public:
  processo_avviato(const std::vector<std::string>& argomenti,
                   const std::filesystem::path& cartella);
  ~processo_avviato();
  processo_avviato(const processo_avviato&) = delete;
  processo_avviato& operator=(const processo_avviato&) = delete;

  void segnala(int segnale) const;
  // The wait status, as waitpid gives it.
  int attendi();

 private:
  int pid_ = -1;
  int stato_ = -1;
};

// A fresh empty directory under the system's temporary directory, removed
// with everything in it when the object goes.
class cartella_temporanea {
 public:
  explicit cartella_temporanea(const std::string& nome);
  ~cartella_temporanea();
  cartella_temporanea(const cartella_temporanea&) = delete;
  cartella_temporanea& operator=(const cartella_temporanea&) = delete;
  const std::filesystem::path& percorso() const { return percorso_; }

 private:
  std::filesystem::path percorso_;
};

std::string leggi_tutto(const std::filesystem::path& file);
void scrivi_tutto(const std::filesystem::path& file, const std::string& contenuto);
// The same through a temporary and a rename, as an editor saves: a run that
// reads the file meanwhile sees the old content or the new, never a part.
void sostituisci_tutto(const std::filesystem::path& file, const std::string& contenuto);

// Name -> content of every regular file in a directory.
std::map<std::string, std::string> contenuto_cartella(const std::filesystem::path& cartella);

// An author's scenario in a fresh temporary directory: its two sources,
// LINEA_linea.txt and LINEA_TRENO-.txt, and the program's commands on it.
class scenario_in_cartella {
 public:
  scenario_in_cartella(const std::string& nome_cartella, std::string linea, std::string treno)
      : dir_(nome_cartella), linea_(std::move(linea)), treno_(std::move(treno)) {}
  const std::filesystem::path& dir() const { return dir_.percorso(); }
  void scrivi(const std::string& sorgente_linea, const std::string& sorgente_servizio) const;
  // `compattatore COMANDO DIR LINEA TRENO OPZIONI...`, run in the directory.
  esito_processo comando(const std::string& nome,
                         const std::vector<std::string>& opzioni = {}) const;

 private:
  cartella_temporanea dir_;
  std::string linea_;
  std::string treno_;
};

}  // namespace compattatore::prove
