// The three compacted files read back from their bytes. Every length and
// count the bytes hold is checked against what is left before it is used;
// a file that does not follow its layout is refused with the offset of the
// first byte that breaks it and what the layout wanted there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace compattatore {

enum class genere_file { griglia, tabella, tracciato };

// "griglia", "tabella", "tracciato".
std::string nome_genere(genere_file g);

// Bytes that break a layout: "byte N: atteso: ...; trovato: ...".
class file_non_valido : public std::runtime_error {
 public:
  file_non_valido(std::size_t offset, const std::string& atteso, const std::string& trovato);
  // Several refusals already worded, each with its offset.
  explicit file_non_valido(const std::string& motivi);
  std::size_t offset() const { return offset_; }

 private:
  std::size_t offset_;
};

using tabella_letta = std::array<voce_servizio, numero_voci>;

// One element of the track file: its tag and, unless empty, its value.
struct elemento_letto {
  tipo_elemento tipo = tipo_elemento::vuoto;
  double valore = 0;

  bool operator==(const elemento_letto&) const = default;
};

// The track file: metres 0 to ultimo_metro, the two coordinates apart.
struct tracciato_letto {
  std::int32_t ultimo_metro = -1;
  std::vector<elemento_letto> x, y;

  std::size_t numero_elementi() const { return x.size() + y.size(); }
  bool ha_punto(std::int32_t metro) const {
    const auto m = static_cast<std::size_t>(metro);
    return x[m].tipo != tipo_elemento::vuoto && y[m].tipo != tipo_elemento::vuoto;
  }
};

// No compacted file is larger than the track of the longest route with a
// double in every element: a larger file is not read into memory.
inline constexpr std::size_t byte_massimi_file_compattato =
    2 * (std::size_t{lunghezza_massima_percorso} + margine_griglia + 1) * 10;

std::vector<cella> leggi_griglia(std::string_view byte);
tabella_letta leggi_tabella(std::string_view byte);
tracciato_letto leggi_tracciato(std::string_view byte);

// One compacted file read back: only the member of its kind is filled.
struct file_letto {
  genere_file genere = genere_file::griglia;
  std::vector<cella> celle;
  tabella_letta tabella{};
  tracciato_letto tracciato;
};

// Reads a file of any of the three kinds, recognised by its layout: the
// name only decides between layouts that the bytes all follow. Bytes that
// follow none are refused with what the named kind (or each kind, for a
// name that suggests none) found wrong.
file_letto leggi_file_compattato(std::string_view nome, std::string_view byte);

// Files of one build must agree on the route's length: a grid or a track
// whose size contradicts the table is refused (file_non_valido).
void verifica_griglia(const std::vector<cella>& celle, const tabella_letta& t);
void verifica_tracciato(const tracciato_letto& tr, const tabella_letta& t);

}  // namespace compattatore
