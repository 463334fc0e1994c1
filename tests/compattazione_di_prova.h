// For the tests: the built-in scenario, or the same with an edit of its
// sources, compacted in memory into its three file images.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "output/compattazione.h"
#include "sources/fonte_memoria.h"
#include "tests/testi_prova.h"

namespace compattatore::prove {

struct immagini_build {
  immagine tracciato, tabella, griglia;
};

// `modifica` edits the two source texts before the compaction.
inline immagini_build compatta_incorporato(
    const std::function<void(std::string& linea, std::string& servizio)>& modifica = {}) {
  std::string linea = linea_incorporata();
  std::string servizio = servizio_incorporato();
  if (modifica) modifica(linea, servizio);
  fonte_memoria fonte(linea, servizio);
  modello m;
  m.nome_linea = "Quarve_Lentra";
  m.numero_treno = "58213";
  const risultato_compattazione r = compatta(m, fonte, 1);
  EXPECT_EQ(r.errore, 0);
  if (const errore_registrato* e = m.primo_errore())
    ADD_FAILURE() << e->luogo.file << ":" << e->luogo.riga << " " << e->luogo.dettaglio;
  if (r.file.size() != 3) return {};
  return {r.file[0].contenuto(), r.file[1].contenuto(), r.file[2].contenuto()};
}

// Replaces the one occurrence of `da`; a test edit that finds nothing, or
// more than one, fails (stricter than `con`).
inline void sostituisci(std::string& testo, const std::string& da, const std::string& a) {
  const std::size_t p = testo.find(da);
  ASSERT_NE(p, std::string::npos) << da;
  ASSERT_EQ(testo.find(da, p + 1), std::string::npos) << da;
  testo.replace(p, da.size(), a);
}

}  // namespace compattatore::prove
