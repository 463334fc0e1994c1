// The compaction: reader, approach marking pass, check codes, then the images
// of the three files. Nothing here touches the disk but through the source.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/modello.h"
#include "output/immagini.h"
#include "sources/fonte.h"
#include "sources/lettore.h"

namespace compattatore {

struct file_compattato {
  std::string nome;  // file name without directory
  // Hands the file's bytes to its argument, in order, in one or more pieces.
  // The track's reads the model: call it while the model is alive and
  // unchanged.
  std::function<void(const scrittore&)> produci;

  // The whole content at once.
  immagine contenuto() const;
};

struct risultato_compattazione {
  // 0 when the scenario compacted; otherwise the number of the run's first
  // error (the model's record holds it whole), which is the one reported.
  std::int32_t errore = 0;
  // In writing order; empty unless errore is 0.
  std::vector<file_compattato> file;
};

// How long each stage took, for `compatta --tempi`.
struct tempo_fase {
  std::string fase;
  double secondi = 0;
};
using registro_tempi = std::vector<tempo_fase>;

// The same stages as a check: the reading goes on after a refused record as
// if it were absent, so that the model's record lists every error and
// warning that can be found, in the order found; nothing is imaged. The first
// error is the one compatta reports. A reading that cannot go on leaves
// `modello::interruzione` saying why, and the later stages do not run.
void controlla(modello& m, fonte_sorgenti& fonte, std::int32_t j);

// The stages of the compaction up to the file images. `j` becomes genera_linea.
// The model's record holds the errors and warnings of the run.
risultato_compattazione compatta(modello& m, fonte_sorgenti& fonte, std::int32_t j,
                                 registro_tempi* tempi = nullptr);

}  // namespace compattatore
