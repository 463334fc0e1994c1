// What the drawing takes from the model, found once: the route's extent, the
// stations with their stop cells, the slowdowns as stretches of cells, the
// altitude where the gradient changes. The plan, the profile, the table and
// the pointer readout all draw from this; each stretch value is taken as
// runs (tratti) where it is drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/modello.h"

namespace compattatore {

struct stazione_scena {
  int slot = 0;
  std::string nome;  // Windows-1252
  int tipo = 0;
  std::int32_t posizione = 0;
  std::int32_t inizio_zona = 0;
  std::int32_t fine_zona = 0;
  std::int32_t orario = 0;
  std::optional<std::int32_t> cella_fermata;  // the cella_fermata that names this slot
};

// A slowdown from its start cell to its end cell; `fine` equals `inizio` when
// the two fell on one cell, or no end follows before the next start.
struct rallentamento_scena {
  std::int32_t inizio = 0;
  std::int32_t fine = 0;
  std::int32_t velocita = 0;
};

// A value that holds from cell `cella` up to the next run's first cell.
struct tratto_costante {
  std::int32_t cella = 0;
  std::int32_t valore = 0;

  bool operator==(const tratto_costante&) const = default;
};

// The altitude where the gradient changes, in centimetres: a cell's gradient
// g (per mille) over its 50 m raises it by 5·g cm.
struct punto_quota {
  std::int32_t metro = 0;
  std::int64_t centimetri = 0;

  bool operator==(const punto_quota&) const = default;
};

struct scena {
  std::int32_t lunghezza_percorso = 0;  // metres; 0 when never read
  std::int32_t celle_in_griglia = 0;    // 0 when the grid was never sized
  std::int32_t metri_griglia() const { return celle_in_griglia * metri_cella; }
  // The lowest slot holding a board text; 81 when there is none.
  int primo_cartello = slot_primo_cartello + 1;
  std::vector<stazione_scena> stazioni;
  std::vector<rallentamento_scena> rallentamenti;
  std::vector<punto_quota> quote;  // profilo_quote of the grid
};

scena leggi_scena(const modello& m);

// The runs of one stretch value over the grid, from cell 0.
template <class F>
std::vector<tratto_costante> tratti(const std::vector<cella>& celle, F valore) {
  std::vector<tratto_costante> r;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const std::int32_t v = valore(celle[k]);
    if (r.empty() || r.back().valore != v) r.push_back({static_cast<std::int32_t>(k), v});
  }
  return r;
}

// From metre 0 at altitude 0 to the end of the last cell, a point at every
// change of gradient.
std::vector<punto_quota> profilo_quote(const std::vector<cella>& celle);

// The middle of a cell, in metres: where the drawings put its event.
inline double centro_cella(std::size_t cella) {
  return static_cast<double>(cella) * metri_cella + metri_cella / 2.0;
}

}  // namespace compattatore
