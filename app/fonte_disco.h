// The two source files of a scenario in a directory: `<linea>_linea.txt` and
// `<linea>_<treno>-.txt`. The fixed job consumes them (its own intermediate
// files); an author's files are only read.
#pragma once

#include <cstddef>
#include <string>

#include "sources/fonte.h"

namespace compattatore {

// The largest source read: hundreds of times the densest route of 1000 km.
// The reader holds a source whole, so a larger file is refused unread.
inline constexpr std::size_t limite_sorgente = std::size_t{16} << 20;

class fonte_disco : public fonte_sorgenti {
 public:
  fonte_disco(std::string directory, const std::string& linea, const std::string& treno,
              bool consuma);

  std::string nome(sorgente s) const override;
  bool esiste(sorgente s) const override;
  std::string leggi(sorgente s) override;
  void consuma(sorgente s) override;

 private:
  std::string percorso(sorgente s) const;

  std::string directory_;
  std::string nome_linea_;
  std::string nome_servizio_;
  bool consuma_;
};

}  // namespace compattatore
