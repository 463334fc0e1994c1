// Runs one command and reports its wall time and peak resident memory:
//
//   misura COMANDO ARGOMENTI...
//
// prints, after everything the command wrote to standard error, the line
// "misura: <seconds> s <peak KB> KB <exit status>". A small launcher rather
// than the benchmark script itself: a child forked from a large process would
// carry the parent's resident set into its own peak.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: misura COMANDO ARGOMENTI...\n");
    return 2;
  }
  const auto inizio = std::chrono::steady_clock::now();
  pid_t figlio;
  const int errore = ::posix_spawnp(&figlio, argv[1], nullptr, nullptr, argv + 1, environ);
  if (errore != 0) {
    std::fprintf(stderr, "misura: %s: %s\n", argv[1], std::strerror(errore));
    return 2;
  }
  int stato = 0;
  struct rusage uso;
  while (::wait4(figlio, &stato, 0, &uso) < 0) {
    if (errno != EINTR) {
      std::perror("misura: wait4");
      return 2;
    }
  }
  const double secondi =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
  const int uscita = WIFEXITED(stato) ? WEXITSTATUS(stato) : 128 + WTERMSIG(stato);
  std::fprintf(stderr, "misura: %.6f s %ld KB %d\n", secondi, uso.ru_maxrss, uscita);
  return 0;
}
