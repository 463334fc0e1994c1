#include "tests/processo.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace compattatore::prove {

namespace fs = std::filesystem;

namespace {

std::string tra_apici(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

bool nel_path(const std::string& programma) {
  const char* path = std::getenv("PATH");
  std::stringstream cartelle(path != nullptr ? path : "");
  for (std::string c; std::getline(cartelle, c, ':');)
    if (::access((fs::path(c.empty() ? "." : c) / programma).c_str(), X_OK) == 0) return true;
  return false;
}

bool strumenti_richiesti() {
  const char* richiesto = std::getenv("COMPATTATORE_RICHIEDI_WINE");
  return richiesto != nullptr && std::string(richiesto) == "1";
}

std::string leggi_tutto(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void scrivi_tutto(const fs::path& file, const std::string& contenuto) {
  std::ofstream(file, std::ios::binary) << contenuto;
}

void sostituisci_tutto(const fs::path& file, const std::string& contenuto) {
  const fs::path temporaneo = file.string() + ".prova";
  scrivi_tutto(temporaneo, contenuto);
  fs::rename(temporaneo, file);
}

std::map<std::string, std::string> contenuto_cartella(const fs::path& cartella) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::directory_iterator(cartella))
    if (e.is_regular_file()) m[e.path().filename().string()] = leggi_tutto(e.path());
  return m;
}

void scenario_in_cartella::scrivi(const std::string& sorgente_linea,
                                  const std::string& sorgente_servizio) const {
  scrivi_tutto(dir() / (linea_ + "_linea.txt"), sorgente_linea);
  scrivi_tutto(dir() / (linea_ + "_" + treno_ + "-.txt"), sorgente_servizio);
}

esito_processo scenario_in_cartella::comando(const std::string& nome,
                                             const std::vector<std::string>& opzioni) const {
  std::vector<std::string> a = {COMPATTATORE_EXE, nome, dir().string(), linea_, treno_};
  a.insert(a.end(), opzioni.begin(), opzioni.end());
  return esegui(a, dir());
}

cartella_temporanea::cartella_temporanea(const std::string& nome) {
  std::string modello = (fs::temp_directory_path() / ("compattatore_" + nome + "_XXXXXX")).string();
  if (::mkdtemp(modello.data()) == nullptr) throw std::runtime_error("mkdtemp " + modello);
  percorso_ = modello;
}

cartella_temporanea::~cartella_temporanea() {
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(percorso_, ec))
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::permissions(percorso_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(percorso_, ec);
}

processo_avviato::processo_avviato(const std::vector<std::string>& argomenti,
                                   const fs::path& cartella) {
  std::vector<char*> argv;
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    const int nulla = ::open("/dev/null", O_RDWR);
    ::dup2(nulla, 0);
    ::dup2(nulla, 1);
    ::dup2(nulla, 2);
    // As a shell starts a job in the foreground: whatever this process
    // ignores or blocks, the program gets the signals the tests send it.
    sigset_t nessuno;
    sigemptyset(&nessuno);
    ::sigprocmask(SIG_SETMASK, &nessuno, nullptr);
    for (int segnale : {SIGINT, SIGTERM, SIGHUP}) ::signal(segnale, SIG_DFL);
    if (::chdir(cartella.c_str()) == 0) ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid_ < 0) throw std::runtime_error("fork");
}

processo_avviato::~processo_avviato() {
  if (stato_ != -1) return;
  segnala(SIGKILL);
  attendi();
}

void processo_avviato::segnala(int segnale) const {
  ::kill(pid_, segnale);
}

int processo_avviato::attendi() {
  while (stato_ == -1 && ::waitpid(pid_, &stato_, 0) < 0 && errno == EINTR) {
  }
  return stato_;
}

std::string come_utente_normale() {
  if (::geteuid() != 0) return "";
  return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

esito_processo esegui(const std::vector<std::string>& argomenti, const fs::path& cartella,
                      const std::string& prefisso) {
  cartella_temporanea catture("catture");
  const fs::path out = catture.percorso() / "out";
  const fs::path err = catture.percorso() / "err";
  std::string comando = "cd " + tra_apici(cartella.string()) + " && " + prefisso;
  for (const std::string& a : argomenti) comando += " " + tra_apici(a);
  comando += " >" + tra_apici(out.string()) + " 2>" + tra_apici(err.string()) + " </dev/null";
  const int s = std::system(comando.c_str());
  esito_processo e;
  e.stato = (s != -1 && WIFEXITED(s)) ? WEXITSTATUS(s) : -1;
  e.uscita = leggi_tutto(out);
  e.errori = leggi_tutto(err);
  return e;
}

}  // namespace compattatore::prove
