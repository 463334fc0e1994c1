// Loaded with LD_PRELOAD into the program under test: system calls that fail
// as a failing machine makes them fail. Everything else passes through.
//   COMPATTATORE_BYTE_LIBERI=N  a disk with N bytes free: writes to regular
//       files beyond them fail with ENOSPC, after a short write as a real
//       disk does. Nothing is given back when a file is deleted.
//   COMPATTATORE_GUASTO=lettura  every read of a regular file fails with EIO,
//       after the file opened well.
//   COMPATTATORE_GUASTO=fsync  every flush to disk fails with EIO.
//   COMPATTATORE_GUASTO=nomi_presi  every new file whose name starts with
//       the program's temporary prefix already exists (EEXIST); with
//       COMPATTATORE_TENTATIVI=FILE the number of tries is written there at
//       the end, and past 10000 tries the process aborts: a loop that never
//       gives up.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/piattaforma.h"

namespace {

using funzione_write = ssize_t (*)(int, const void*, size_t);
using funzione_read = ssize_t (*)(int, void*, size_t);
using funzione_fsync = int (*)(int);
using funzione_openat = int (*)(int, const char*, int, ...);

long long byte_liberi() {
  const char* v = std::getenv("COMPATTATORE_BYTE_LIBERI");
  return v != nullptr ? std::atoll(v) : -1;
}

bool guasto(const char* quale) {
  const char* v = std::getenv("COMPATTATORE_GUASTO");
  return v != nullptr && std::strcmp(v, quale) == 0;
}

bool file_normale(int fd) {
  struct stat s;
  return ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode);
}

long tentativi = 0;

__attribute__((destructor)) void scrivi_tentativi() {
  const char* file = std::getenv("COMPATTATORE_TENTATIVI");
  if (file == nullptr) return;
  if (std::FILE* f = std::fopen(file, "w")) {
    std::fprintf(f, "%ld\n", tentativi);
    std::fclose(f);
  }
}

}  // namespace

extern "C" ssize_t write(int fd, const void* dati, size_t n) {
  static const auto vera = reinterpret_cast<funzione_write>(::dlsym(RTLD_NEXT, "write"));
  static long long liberi = byte_liberi();
  if (liberi < 0 || !file_normale(fd)) return vera(fd, dati, n);
  if (liberi == 0) {
    errno = ENOSPC;
    return -1;
  }
  if (static_cast<long long>(n) > liberi) n = static_cast<size_t>(liberi);
  const ssize_t scritti = vera(fd, dati, n);
  if (scritti > 0) liberi -= scritti;
  return scritti;
}

extern "C" ssize_t read(int fd, void* dati, size_t n) {
  static const auto vera = reinterpret_cast<funzione_read>(::dlsym(RTLD_NEXT, "read"));
  if (guasto("lettura") && file_normale(fd)) {
    errno = EIO;
    return -1;
  }
  return vera(fd, dati, n);
}

extern "C" int fsync(int fd) {
  static const auto vera = reinterpret_cast<funzione_fsync>(::dlsym(RTLD_NEXT, "fsync"));
  if (guasto("fsync")) {
    errno = EIO;
    return -1;
  }
  return vera(fd);
}

extern "C" int openat(int cartella, const char* nome, int flag, ...) {
  static const auto vera = reinterpret_cast<funzione_openat>(::dlsym(RTLD_NEXT, "openat"));
  mode_t permessi = 0;
  if ((flag & O_CREAT) != 0) {
    std::va_list a;
    va_start(a, flag);
    permessi = static_cast<mode_t>(va_arg(a, int));
    va_end(a);
  }
  if (guasto("nomi_presi") && (flag & O_EXCL) != 0 &&
      std::string_view(nome).starts_with(compattatore::piattaforma::prefisso_temporanei)) {
    if (++tentativi > 10000) std::abort();
    errno = EEXIST;
    return -1;
  }
  return vera(cartella, nome, flag, permessi);
}
