#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/piattaforma.h"

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

void sostituisci_file(const std::string& file, std::string_view contenuto) {
  sostituisci_file(file, [contenuto](const auto& scrivi) { scrivi(contenuto); });
}

void sostituisci_file(const std::string& file, const produttore& produci) {
  // The temporary lives beside the target so that the rename stays within one
  // file system; O_EXCL keeps two runs from sharing one.
  std::string temporaneo;
  int fd = -1;
  for (int tentativo = 0; fd < 0; ++tentativo) {
    temporaneo = file + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(tentativo);
    fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || tentativo > 100))
      throw errore_file(file, motivo_sistema(errno));
  }
  // The first failed write is kept; the pieces after it are dropped.
  int errore = 0;
  try {
    produci([&](std::string_view pezzo) {
      if (errore == 0) errore = scrivi_tutto(fd, pezzo);
    });
  } catch (...) {
    ::close(fd);
    ::unlink(temporaneo.c_str());
    throw;
  }
  if (errore == 0 && ::fsync(fd) != 0) errore = errno;
  if (::close(fd) != 0 && errore == 0) errore = errno;
  if (errore == 0 && ::rename(temporaneo.c_str(), file.c_str()) != 0) errore = errno;
  if (errore != 0) {
    ::unlink(temporaneo.c_str());
    throw errore_file(file, motivo_sistema(errore));
  }
}

bool esiste_file(const std::string& file) {
  struct stat s;
  return ::stat(file.c_str(), &s) == 0 && !S_ISDIR(s.st_mode);
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

std::optional<std::string> leggi_file(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string contenuto;
  struct stat s;
  if (::fstat(fd, &s) == 0 && S_ISREG(s.st_mode))
    contenuto.reserve(static_cast<std::size_t>(s.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    contenuto.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
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
