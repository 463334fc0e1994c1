// The two source files of a scenario in a directory: `<linea>_linea.txt` and
// `<linea>_<treno>-.txt`. The fixed job consumes them (its own intermediate
// files); an author's files are only read.
#pragma once

#include <string>

#include "sources/fonte.h"

namespace compattatore {

class fonte_disco : public fonte_sorgenti {
 public:
  fonte_disco(std::string directory, const std::string& linea, const std::string& treno,
              bool consuma);

  std::string nome(sorgente s) const override;
  bool esiste(sorgente s) const override;
  std::optional<std::string> leggi(sorgente s) override;
  void consuma(sorgente s) override;

 private:
  std::string percorso(sorgente s) const;

  std::string directory_;
  std::string nome_linea_;
  std::string nome_servizio_;
  bool consuma_;
};

}  // namespace compattatore
