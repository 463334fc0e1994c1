#include "output/marcatura.h"

#include <algorithm>
#include <optional>
#include <string>

#include "model/errori.h"

namespace compattatore {

std::int32_t minimo(const std::int32_t& x, const std::int32_t& y) {
  return x > y ? y : x;
}

namespace {

// Slowdowns at this speed or above get no check points inside them.
constexpr std::int16_t velocita_senza_intermedi = 110;
constexpr int passi_intermedi = 8;      // 400 m between intermediate check points
constexpr int avviso_cella_minima = 3;  // lowest signal cell served near a warning point

// The three groups before a slowdown start: the start must lie beyond `oltre`,
// and the first free cell among start - vicina .. start - vicina - 2 is marked.
struct gruppo_inizio {
  std::int32_t oltre;
  std::int32_t vicina;
};
constexpr gruppo_inizio gruppi_inizio[] = {{7, 5}, {13, 11}, {20, 18}};

// The pass over one grid. `ultima_` is the highest cell index it may touch:
// numero_celle, or less if the grid holds fewer cells than that says.
class passata {
 public:
  explicit passata(modello& m)
      : m_(m),
        ultima_(static_cast<std::int32_t>(std::clamp<std::int64_t>(
            m.numero_celle, -1, static_cast<std::int64_t>(m.celle.size()) - 1))) {}

  void esegui() {
    const std::int32_t fine_visita = ultima_ - 2;
    for (std::int32_t i = 1; i <= fine_visita; ++i) {
      const std::uint8_t tipo = m_.celle[static_cast<std::size_t>(i)].tipo_cella;
      if (tipo != cella_avviso_rallentamento && tipo != cella_inizio_rallentamento) continue;
      // The check points added around a slowdown come from its record.
      rallentamento_ = origine_evento(i);
      if (tipo == cella_avviso_rallentamento)
        segnali_vicino_avviso(i);
      else
        intorno_rallentamento(i);
    }
  }

 private:
  cella& c(std::int32_t k) { return m_.celle[static_cast<std::size_t>(k)]; }
  bool esiste(std::int32_t k) const { return k >= 0 && k <= ultima_; }
  bool libera(std::int32_t k) { return esiste(k) && cella_libera(c(k)); }
  origine origine_evento(std::int32_t k) const {
    return static_cast<std::size_t>(k) < m_.origini.size()
               ? m_.origini[static_cast<std::size_t>(k)].evento
               : origine{};
  }

  void marca(std::int32_t k) {
    c(k).tipo_cella = cella_abbattimento;
    c(k).dato_1 = velocita_abbattimento;
    if (static_cast<std::size_t>(k) < m_.origini.size())
      m_.origini[static_cast<std::size_t>(k)].evento = {fonte_origine::passata,
                                                        rallentamento_.riga};
  }
  // An error found on the grid, at cell k, told with the record that led to it.
  void registra(codice_errore_numero codice, std::int32_t k, origine da,
                std::string spiegazione = {}) {
    luogo_errore l = m_.luogo_di(da);
    l.spiegazione = std::move(spiegazione);
    m_.registra_errore(codice, static_cast<std::int32_t>(inizio_cella(k)), std::move(l));
  }
  bool marca_se_libera(std::int32_t k) {
    if (!libera(k)) return false;
    marca(k);
    return true;
  }
  bool limita_se_abbattimento(std::int32_t k) {
    if (!esiste(k) || c(k).tipo_cella != cella_abbattimento) return false;
    c(k).dato_1 = static_cast<std::int16_t>(minimo(velocita_abbattimento, c(k).dato_1));
    return true;
  }

  // Rule A: every signal within the 20 cells before a warning point gets a
  // check point just before it, or has the one already there capped.
  void segnali_vicino_avviso(std::int32_t i) {
    for (std::int32_t j = 1; j <= avviso_portata; ++j) {
      const std::int32_t d = i - j;
      if (d < avviso_cella_minima) return;
      if (c(d).tipo_cella != cella_segnale) continue;
      if (marca_se_libera(d - 1) || marca_se_libera(d - 2) || limita_se_abbattimento(d - 1) ||
          limita_se_abbattimento(d - 2))
        continue;
      registra(errore_segnale_avviso, d, origine_evento(d));
    }
  }

  // Rule B: the three groups before the start, the intermediate check points
  // and the check point before the first signal after the end.
  void intorno_rallentamento(std::int32_t i) {
    for (const gruppo_inizio& g : gruppi_inizio) {
      if (i <= g.oltre) continue;
      const std::int32_t k = i - g.vicina;
      if (!(marca_se_libera(k) || marca_se_libera(k - 1) || marca_se_libera(k - 2)))
        registra(errore_gruppo_inizio, i, rallentamento_);
    }
    const bool intermedi = c(i).dato_1 < velocita_senza_intermedi;
    const std::optional<std::int32_t> fine = cammina_fino_alla_fine(i, intermedi);
    if (!fine) {
      // The walk ran off the grid: there is no end to look past.
      registra(errore_abbattimento_interno, ultima_, rallentamento_,
               "il rallentamento della cella " + std::to_string(i) +
                   " non ha una cella di fine fino all'ultima della griglia (e' piu' corto di "
                   "25 m?)");
      return;
    }
    segnale_dopo_fine(*fine);
  }

  // Walks from the start to the slowdown's end cell (the first cell of type 2
  // after it), placing a check point every 8 cells when `intermedi` is set.
  // The counter restarts from the check point actually placed, so the points
  // stay 400 m apart. No end cell within the grid gives nothing.
  std::optional<std::int32_t> cammina_fino_alla_fine(std::int32_t i, bool intermedi) {
    std::int32_t passi = 0;
    for (std::int32_t j = i + 1; j <= ultima_; ++j) {
      ++passi;
      if (intermedi && passi == passi_intermedi) {
        if (marca_se_libera(j)) {
          passi = 0;
        } else if (marca_se_libera(j - 1)) {
          passi = 1;
        } else if (marca_se_libera(j + 1)) {
          passi = -1;
        } else {
          // The counter goes on past 8: no more points in this slowdown.
          registra(errore_abbattimento_interno, j, rallentamento_);
        }
      }
      if (c(j).tipo_cella == cella_fine_rallentamento) return j;
    }
    return std::nullopt;
  }

  void segnale_dopo_fine(std::int32_t fine) {
    const std::int32_t ultima_cercata = std::min(fine + ricerca_segnale, ultima_);
    for (std::int32_t n = fine; n <= ultima_cercata; ++n) {
      if (c(n).tipo_cella != cella_segnale) continue;
      const std::int32_t s = n - 1;
      if (s > 0 && !(marca_se_libera(s) || marca_se_libera(s - 1)))
        registra(errore_abbattimento_interno, fine, rallentamento_);
      return;
    }
  }

  modello& m_;
  const std::int32_t ultima_;
  origine rallentamento_;  // the record of the slowdown being served
};

}  // namespace

void marca_abbattimenti(modello& m) {
  passata(m).esegui();
}

}  // namespace compattatore
