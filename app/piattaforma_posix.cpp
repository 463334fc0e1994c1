#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/piattaforma.h"
#include "app/piattaforma_comune.h"

namespace compattatore::piattaforma {

namespace {

std::string motivo_sistema(int numero) {
  return std::strerror(numero);
}

// Writes everything or reports the failing errno.
int scrivi_tutto(int fd, std::string_view dati) {
  while (!dati.empty()) {
    const ssize_t n = ::write(fd, dati.data(), dati.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    dati.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

std::string directory_di(const std::string& file) {
  const std::size_t barra = file.find_last_of('/');
  if (barra == std::string::npos) return ".";
  if (barra == 0) return "/";
  return file.substr(0, barra);
}

class descrittore {
 public:
  explicit descrittore(int fd = -1) : fd_(fd) {}
  ~descrittore() {
    if (fd_ >= 0) ::close(fd_);
  }
  descrittore(const descrittore&) = delete;
  descrittore& operator=(descrittore&& altro) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = altro.fd_;
    altro.fd_ = -1;
    return *this;
  }
  int get() const { return fd_; }
  // Closes now, reporting the errno of a failed close (0 when it succeeded).
  int chiudi() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// ---- Temporaries and the signals that interrupt a run ----------------------

constexpr int segnali_interruzione[] = {SIGINT, SIGTERM, SIGHUP};

// The temporaries that exist right now, for the signal handler to remove. The
// slots change only while the interruption signals are blocked, so the
// handler never sees one half written.
struct temporaneo_vivo {
  int cartella = -1;  // -1: a free slot
  char nome[32] = {};
};
temporaneo_vivo temporanei_vivi[16];

class segnali_bloccati {
 public:
  segnali_bloccati() {
    sigset_t s;
    sigemptyset(&s);
    for (int n : segnali_interruzione) sigaddset(&s, n);
    ::sigprocmask(SIG_BLOCK, &s, &prima_);
  }
  ~segnali_bloccati() { ::sigprocmask(SIG_SETMASK, &prima_, nullptr); }
  segnali_bloccati(const segnali_bloccati&) = delete;
  segnali_bloccati& operator=(const segnali_bloccati&) = delete;

 private:
  sigset_t prima_;
};

extern "C" void interrompi(int segnale) {
  for (const temporaneo_vivo& t : temporanei_vivi)
    if (t.cartella >= 0) ::unlinkat(t.cartella, t.nome, 0);
  // SA_RESETHAND has put back the default action: the signal, pending until
  // this handler returns, then ends the process with the usual status.
  ::raise(segnale);
}

void installa_gestori() {
  static bool installati = false;
  if (installati) return;
  installati = true;
  ::signal(SIGXFSZ, SIG_IGN);
  struct sigaction a = {};
  a.sa_handler = interrompi;
  sigemptyset(&a.sa_mask);
  for (int n : segnali_interruzione) sigaddset(&a.sa_mask, n);
  a.sa_flags = SA_RESETHAND;
  for (int n : segnali_interruzione) {
    // A signal ignored by whoever started the program (nohup, a background
    // job) stays ignored.
    struct sigaction prima = {};
    if (::sigaction(n, nullptr, &prima) == 0 && prima.sa_handler == SIG_IGN) continue;
    ::sigaction(n, &a, nullptr);
  }
}

// Called with the signals blocked.
temporaneo_vivo& slot_libero() {
  for (temporaneo_vivo& t : temporanei_vivi)
    if (t.cartella < 0) return t;
  throw std::logic_error("troppi file temporanei aperti insieme");
}

const char* tipo_non_file(mode_t modo) {
  if (S_ISDIR(modo)) return testo_cartella_sorgente;
  if (S_ISFIFO(modo)) return "e' una FIFO (pipe con nome), non un file";
  if (S_ISCHR(modo)) return "e' un dispositivo a caratteri, non un file";
  if (S_ISBLK(modo)) return "e' un dispositivo a blocchi, non un file";
  if (S_ISSOCK(modo)) return "e' un socket, non un file";
  return "non e' un file regolare";
}

}  // namespace

std::string directory_programma() {
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n < 0) throw errore_file("/proc/self/exe", motivo_sistema(errno));
  return directory_di(std::string(buffer, static_cast<std::size_t>(n)));
}

std::string percorso(const std::string& directory, const std::string& nome) {
  return directory + "/" + nome;
}

// Every name is taken relative to the directory's descriptor: a long
// directory path never adds to a name's length, and all files of a set
// surely lie in one file system.
struct insieme_file::stato {
  struct pronto {
    std::string nome;
    temporaneo_vivo* temporaneo;  // nullptr once renamed or removed
  };

  std::string directory;
  int cartella = -1;
  std::vector<pronto> pronti;
  // The files being replaced, linked under temporary names until the set is
  // in place: a rename that dropped a file's last link would free its data
  // (several ms for a long track) between two renames.
  std::vector<temporaneo_vivo*> precedenti;

  std::string file(const std::string& nome) const { return percorso(directory, nome); }

  void apri(const std::string& nome_file) {
    if (cartella >= 0) return;
    cartella = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A directory that can be written but not listed still takes files.
    if (cartella < 0 && errno == EACCES)
      cartella = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (cartella < 0) throw errore_file(nome_file, motivo_sistema(errno));
  }

  // Creates a file under a fresh temporary name by `crea` (false with errno
  // on failure, EEXIST asking for another name) and records it for the signal
  // handler. Called with the signals blocked.
  template <class funzione>
  temporaneo_vivo* nuovo_temporaneo(funzione crea) {
    temporaneo_vivo& slot = slot_libero();
    for (int tentativo = 0; tentativo <= 100; ++tentativo) {
      const std::string nome = nome_temporaneo();
      if (crea(nome)) {
        std::snprintf(slot.nome, sizeof slot.nome, "%s", nome.c_str());
        slot.cartella = cartella;
        return &slot;
      }
      if (errno != EEXIST) break;
    }
    return nullptr;
  }

  void rimuovi(temporaneo_vivo*& t) {
    if (t == nullptr) return;
    segnali_bloccati bloccati;
    ::unlinkat(cartella, t->nome, 0);
    t->cartella = -1;
    t = nullptr;
  }

  void scarta() {
    for (pronto& p : pronti) rimuovi(p.temporaneo);
    pronti.clear();
    for (temporaneo_vivo*& t : precedenti) rimuovi(t);
    precedenti.clear();
  }

  ~stato() {
    scarta();
    if (cartella >= 0) ::close(cartella);
  }
};

insieme_file::insieme_file(std::string directory) : stato_(std::make_unique<stato>()) {
  stato_->directory = std::move(directory);
  installa_gestori();
}

insieme_file::~insieme_file() = default;

void insieme_file::prepara(const std::string& nome, const produttore& produci) {
  stato& s = *stato_;
  const std::string file = s.file(nome);
  s.apri(file);
  // A directory in the target's place would refuse only the rename: found
  // now, it leaves every previous file as it was.
  struct stat b;
  if (::fstatat(s.cartella, nome.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(b.st_mode)) {
    s.scarta();
    throw errore_file(file, testo_cartella_al_posto);
  }
  descrittore fd;
  {
    segnali_bloccati bloccati;
    temporaneo_vivo* t = s.nuovo_temporaneo([&](const std::string& temporaneo) {
      fd = descrittore(
          ::openat(s.cartella, temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      return fd.get() >= 0;
    });
    if (t == nullptr) {
      const int e = errno;
      s.scarta();
      throw errore_file(file, motivo_sistema(e));
    }
    s.pronti.push_back({nome, t});
  }
  // The first failed write is kept; the pieces after it are dropped.
  int errore = 0;
  try {
    produci([&](std::string_view pezzo) {
      if (errore == 0) errore = scrivi_tutto(fd.get(), pezzo);
    });
  } catch (...) {
    fd.chiudi();
    s.scarta();
    throw;
  }
  if (errore == 0 && ::fsync(fd.get()) != 0) errore = errno;
  const int chiusura = fd.chiudi();
  if (errore == 0) errore = chiusura;
  if (errore != 0) {
    s.scarta();
    throw errore_file(file, motivo_sistema(errore));
  }
}

void insieme_file::conferma() {
  stato& s = *stato_;
  // A signal that comes now waits until the last file is in place.
  segnali_bloccati bloccati;
  // Where links cannot be made (no previous file, a file system without
  // them), the rename alone does.
  for (const stato::pronto& p : s.pronti) {
    temporaneo_vivo* t = s.nuovo_temporaneo([&](const std::string& collegamento) {
      return ::linkat(s.cartella, p.nome.c_str(), s.cartella, collegamento.c_str(), 0) == 0;
    });
    if (t != nullptr) s.precedenti.push_back(t);
  }
  std::vector<std::string> sostituiti;
  for (stato::pronto& p : s.pronti) {
    if (::renameat(s.cartella, p.temporaneo->nome, s.cartella, p.nome.c_str()) != 0) {
      const std::string motivo = motivo_sistema(errno);
      const std::string file = s.file(p.nome);
      s.scarta();
      throw errore_file(file, motivo_con_sostituiti(motivo, sostituiti));
    }
    p.temporaneo->cartella = -1;
    p.temporaneo = nullptr;
    sostituiti.push_back(p.nome);
  }
  s.pronti.clear();
  // The replaced files' data goes with the links, when the object does.
}

void sostituisci_file(const std::string& file, std::string_view contenuto) {
  const std::size_t barra = file.find_last_of('/');
  insieme_file insieme(directory_di(file));
  insieme.prepara(barra == std::string::npos ? file : file.substr(barra + 1),
                  [contenuto](const auto& scrivi) { scrivi(contenuto); });
  insieme.conferma();
}

struct lucchetto_cartella::stato {
  descrittore cartella;
};

lucchetto_cartella::lucchetto_cartella(const std::string& directory,
                                       const std::function<void()>& in_attesa)
    : stato_(std::make_unique<stato>()) {
  stato_->cartella = descrittore(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const int fd = stato_->cartella.get();
  if (fd < 0) throw errore_file(directory, motivo_sistema(errno));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // A file system without locks keeps nobody out, and then nothing found
    // there can be taken for abandoned.
    if (errno != EWOULDBLOCK) return;
    if (in_attesa) in_attesa();
    while (::flock(fd, LOCK_EX) != 0)
      if (errno != EINTR) return;
  }
  const int elenco = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* d = elenco < 0 ? nullptr : ::fdopendir(elenco);
  if (d == nullptr) {
    if (elenco >= 0) ::close(elenco);
    return;
  }
  std::vector<std::string> abbandonati;
  while (const dirent* e = ::readdir(d))
    if (std::string_view(e->d_name).starts_with(prefisso_temporanei))
      abbandonati.emplace_back(e->d_name);
  ::closedir(d);
  for (const std::string& nome : abbandonati) ::unlinkat(fd, nome.c_str(), 0);
}

lucchetto_cartella::~lucchetto_cartella() = default;

bool presente(const std::string& file) {
  struct stat s;
  return ::stat(file.c_str(), &s) == 0 || errno != ENOENT;
}

bool stesso_file(const std::string& a, const std::string& b) {
  struct stat sa;
  struct stat sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::optional<std::uint64_t> dimensione_file(const std::string& file) {
  struct stat s;
  if (::stat(file.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(s.st_size);
}

bool esiste_directory(const std::string& directory) {
  struct stat s;
  return ::stat(directory.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

std::string leggi_file(const std::string& file, std::size_t limite) {
  // Looked at before it is opened: opening a FIFO would wait for a writer,
  // and opening a device may act on it.
  struct stat s;
  if (::stat(file.c_str(), &s) != 0) throw errore_file(file, motivo_sistema(errno));
  if (!S_ISREG(s.st_mode)) throw errore_file(file, tipo_non_file(s.st_mode));
  if (static_cast<std::uintmax_t>(s.st_size) > limite)
    throw errore_file(file, testo_oltre_limite(limite));
  // Something else may stand there by now: O_NONBLOCK keeps a FIFO from
  // blocking the open, and the descriptor is checked again.
  descrittore fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) throw errore_file(file, motivo_sistema(errno));
  if (::fstat(fd.get(), &s) != 0) throw errore_file(file, motivo_sistema(errno));
  if (!S_ISREG(s.st_mode)) throw errore_file(file, tipo_non_file(s.st_mode));
  std::string contenuto;
  contenuto.reserve(std::min(static_cast<std::size_t>(s.st_size), limite));
  // A file that grows while it is read still stops at the limit.
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw errore_file(file, motivo_sistema(errno));
    if (n == 0) break;
    if (static_cast<std::size_t>(n) > limite - contenuto.size())
      throw errore_file(file, testo_oltre_limite(limite));
    contenuto.append(buffer, static_cast<std::size_t>(n));
  }
  return contenuto;
}

void elimina_file(const std::string& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT)
    throw errore_file(file, motivo_sistema(errno));
}

void mostra_attesa() {
  scrivi_errore("Attendere\n");
}

void chiudi_attesa() {}

void mostra_messaggio(const std::string& testo) {
  scrivi_errore(testo + "\n");
}

void usa_console() {}

void scrivi_errore(std::string_view testo) {
  std::fwrite(testo.data(), 1, testo.size(), stderr);
  std::fflush(stderr);
}

bool scrivi_uscita(std::string_view testo) {
  const bool intero = std::fwrite(testo.data(), 1, testo.size(), stdout) == testo.size();
  return std::fflush(stdout) == 0 && intero;
}

}  // namespace compattatore::piattaforma
