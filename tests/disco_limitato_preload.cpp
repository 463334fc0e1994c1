// Loaded with LD_PRELOAD into the program under test: a disk that has only
// COMPATTATORE_BYTE_LIBERI bytes free. Writes to regular files beyond them
// fail with ENOSPC, after a short write as a real disk does; everything else
// passes through. Nothing is given back when a file is deleted.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

using funzione_write = ssize_t (*)(int, const void*, size_t);

long long byte_liberi() {
  const char* v = std::getenv("COMPATTATORE_BYTE_LIBERI");
  return v != nullptr ? std::atoll(v) : -1;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* dati, size_t n) {
  static const auto vera = reinterpret_cast<funzione_write>(::dlsym(RTLD_NEXT, "write"));
  static long long liberi = byte_liberi();
  struct stat s;
  if (liberi < 0 || ::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) return vera(fd, dati, n);
  if (liberi == 0) {
    errno = ENOSPC;
    return -1;
  }
  if (static_cast<long long>(n) > liberi) n = static_cast<size_t>(liberi);
  const ssize_t scritti = vera(fd, dati, n);
  if (scritti > 0) liberi -= scritti;
  return scritti;
}
