// Where the reader finds the two source files. The fixed job reads its own
// intermediate files and consumes them; an author's files are only read; the
// fuzz target and the tests read from memory.
#pragma once

#include <string>

namespace compattatore {

enum class sorgente { linea, servizio };

class fonte_sorgenti {
 public:
  virtual ~fonte_sorgenti() = default;
  // The file's name as the author knows it, for messages.
  virtual std::string nome(sorgente s) const = 0;
  // False only when there is no such file.
  virtual bool esiste(sorgente s) const = 0;
  // The whole content. A file that cannot be read throws fallimento_lettura
  // saying why, in the author's words.
  virtual std::string leggi(sorgente s) = 0;
  // Called when the reading of a file ends; a source that is not consumed
  // leaves the file alone. Only called for a file that exists.
  virtual void consuma(sorgente s) = 0;
};

}  // namespace compattatore
