// The floor of the benchmark: the least a run that writes the same files can
// cost. It reads the finished files of a real run into memory, then writes
// them again the way the program does (a temporary file beside the target, one
// write, fsync, rename), in the order given, and deletes the files the run
// only passes through (the sources of the fixed job).
//
//   pavimento SORGENTE DESTINAZIONE OPERAZIONE...
//     +nome   write DESTINAZIONE/nome with the bytes of SORGENTE/nome
//     -nome   delete DESTINAZIONE/nome
//
// On standard error: "lettura: S s" (the reading, which the benchmark takes
// off the floor's time) and "scrittura: S s".

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct operazione {
  bool scrivi;
  std::string nome;
  std::string contenuto;
};

[[noreturn]] void fallisci(const std::string& file, int numero) {
  std::fprintf(stderr, "pavimento: %s: %s\n", file.c_str(), std::strerror(numero));
  std::exit(1);
}

std::string leggi(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fallisci(file, errno);
  struct stat s;
  if (::fstat(fd, &s) != 0) fallisci(file, errno);
  std::string contenuto(static_cast<std::size_t>(s.st_size), '\0');
  std::size_t letti = 0;
  while (letti < contenuto.size()) {
    const ssize_t n = ::read(fd, contenuto.data() + letti, contenuto.size() - letti);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fallisci(file, n < 0 ? errno : EIO);
    letti += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return contenuto;
}

// The same steps as the program's atomic replacement of a file.
void sostituisci(const std::string& file, const std::string& contenuto) {
  const std::string temporaneo = file + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) fallisci(temporaneo, errno);
  const char* dati = contenuto.data();
  std::size_t resto = contenuto.size();
  while (resto > 0) {
    const ssize_t n = ::write(fd, dati, resto);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fallisci(temporaneo, errno);
    dati += n;
    resto -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) fallisci(temporaneo, errno);
  if (::close(fd) != 0) fallisci(temporaneo, errno);
  if (::rename(temporaneo.c_str(), file.c_str()) != 0) fallisci(file, errno);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "uso: pavimento SORGENTE DESTINAZIONE (+nome | -nome)...\n");
    return 2;
  }
  const std::string sorgente = argv[1];
  const std::string destinazione = argv[2];

  const auto inizio = std::chrono::steady_clock::now();
  std::vector<operazione> operazioni;
  for (int i = 3; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.size() < 2 || (a[0] != '+' && a[0] != '-')) {
      std::fprintf(stderr, "pavimento: operazione sconosciuta: %s\n", a.c_str());
      return 2;
    }
    operazione o{a[0] == '+', a.substr(1), {}};
    if (o.scrivi) o.contenuto = leggi(sorgente + "/" + o.nome);
    operazioni.push_back(std::move(o));
  }
  const auto letto = std::chrono::steady_clock::now();

  for (const operazione& o : operazioni) {
    const std::string file = destinazione + "/" + o.nome;
    if (o.scrivi) {
      sostituisci(file, o.contenuto);
    } else if (::unlink(file.c_str()) != 0) {
      fallisci(file, errno);
    }
  }
  const auto fine = std::chrono::steady_clock::now();

  std::fprintf(stderr, "lettura: %.6f s\nscrittura: %.6f s\n",
               std::chrono::duration<double>(letto - inizio).count(),
               std::chrono::duration<double>(fine - letto).count());
  return 0;
}
