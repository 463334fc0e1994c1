// The plotted track: the route drawn in plan, two coordinates for every metre
// 0..lunghezza, each element empty, a 16-bit integer or a double. The
// plotting records runs (metres 0 and 1, then stretches that each repeat the
// step before them, straight or turned at a constant rate), not points: a
// long route's two million values are computed again, in order, when the file
// is written. They are stored only when a metre is asked for or set one by
// one.
//
// Arithmetic is plain IEEE double in the order written (the build forbids
// contraction into fused multiply-add), so that every build, and both ways of
// computing the values, give the same bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace compattatore {

// Kind of a track element, numbered as in the track file's tags.
enum class tipo_elemento : std::uint8_t { vuoto = 0, intero = 2, reale = 5 };

// Turning per metre of a curve keyword of degree 1 to 6 (curvad1 ... curvas6).
inline constexpr std::array<double, 6> curvature_gradi = {0.0001, 0.0002, 0.0004,
                                                          0.001,  0.002,  0.003};

// A point of the track, in metres.
struct punto_piano {
  double x = 0;
  double y = 0;
};

// The next point: the step from `prima` to `ultimo` repeated, turned by c
// (dx + c·dy, dy − c·dx) when `in_curva`. The only place the step is written.
inline punto_piano passo(punto_piano prima, punto_piano ultimo, bool in_curva, double c) {
  const double dx = ultimo.x - prima.x;
  const double dy = ultimo.y - prima.y;
  if (in_curva) return {(ultimo.x + dx) + c * dy, (ultimo.y + dy) - c * dx};
  return {ultimo.x + dx, ultimo.y + dy};
}

class tracciato_piano {
 public:
  tracciato_piano() = default;
  // Metres 0..lunghezza, every element empty.
  explicit tracciato_piano(std::int32_t lunghezza) : ultimo_metro_(lunghezza) {}

  bool vuoto() const { return ultimo_metro_ < 0; }
  std::int32_t ultimo_metro() const { return ultimo_metro_; }
  std::size_t numero_elementi() const {
    return 2 * static_cast<std::size_t>(static_cast<std::int64_t>(ultimo_metro_) + 1);
  }

  // Plotting. Metres 0 and 1 as 16-bit integers (0, 0) and (0, 1); nothing on
  // a track shorter than two metres.
  void origine();
  // Metres metro_successivo() to `fino`, each one `passo` from the two before
  // it. Needs the origin and fino <= ultimo_metro().
  void prolunga(std::int32_t fino, bool in_curva, double c);
  std::int32_t metro_successivo() const { return metro_successivo_; }

  // One metre; the first call computes and keeps the whole track.
  tipo_elemento tipo(std::int32_t metro, int componente) const {
    materializza();
    return static_cast<tipo_elemento>(tipi_[indice(metro, componente)]);
  }
  double valore(std::int32_t metro, int componente) const {
    materializza();
    return valori_[indice(metro, componente)];
  }
  void imposta_intero(std::int32_t metro, int componente, std::int16_t v);
  void imposta_reale(std::int32_t metro, int componente, double v);

  // Element i in file order (component 0 of every metre, then component 1).
  tipo_elemento tipo_in_ordine(std::size_t i) const {
    materializza();
    return static_cast<tipo_elemento>(tipi_[i]);
  }
  double valore_in_ordine(std::size_t i) const {
    materializza();
    return valori_[i];
  }

  // Every element in file order, computed as it goes: f(tipo, valore).
  template <class F>
  void in_ordine(F&& f) const;

  // Whether metre 0 holds a point (plotted, or set one by one), without
  // asking for a metre: the track stays as runs.
  bool ha_origine() const {
    if (materializzato_)
      return !vuoto() && tipi_[indice(0, 0)] != static_cast<std::uint8_t>(tipo_elemento::vuoto);
    return origine_;
  }
  // The points of metres 0 to metro_successivo() − 1 (at most ultimo_metro()),
  // in order, computed as it goes unless stored: f(metro, punto). Nothing on
  // a track without its origin.
  template <class F>
  void per_metro(F&& f) const;

 private:
  struct tratto {
    std::int32_t fino;
    bool in_curva;
    double c;
  };
  // Metres 2 up to the last run's end, by the runs: f(punto).
  template <class F>
  void ripercorri(F&& f) const;
  void materializza() const;
  std::size_t indice(std::int32_t metro, int componente) const {
    return static_cast<std::size_t>(componente) * (static_cast<std::size_t>(ultimo_metro_) + 1) +
           static_cast<std::size_t>(metro);
  }

  std::int32_t ultimo_metro_ = -1;
  bool origine_ = false;
  std::int32_t metro_successivo_ = 2;
  std::vector<tratto> tratti_;
  // The stored elements, once some metre has been asked for or set.
  mutable bool materializzato_ = false;
  mutable std::vector<std::uint8_t> tipi_;
  mutable std::vector<double> valori_;
};

template <class F>
void tracciato_piano::ripercorri(F&& f) const {
  punto_piano prima{0, 0};
  punto_piano ultimo{0, 1};
  std::int32_t metro = 2;
  for (const tratto& t : tratti_) {
    for (; metro <= t.fino; ++metro) {
      const punto_piano p = passo(prima, ultimo, t.in_curva, t.c);
      f(p);
      prima = ultimo;
      ultimo = p;
    }
  }
}

template <class F>
void tracciato_piano::in_ordine(F&& f) const {
  if (materializzato_) {
    for (std::size_t i = 0; i < tipi_.size(); ++i)
      f(static_cast<tipo_elemento>(tipi_[i]), valori_[i]);
    return;
  }
  if (vuoto()) return;
  for (int k = 0; k < 2; ++k) {
    std::int32_t metro = 0;
    if (origine_) {
      f(tipo_elemento::intero, 0.0);
      f(tipo_elemento::intero, k == 0 ? 0.0 : 1.0);
      ripercorri([&](punto_piano p) { f(tipo_elemento::reale, k == 0 ? p.x : p.y); });
      metro = metro_successivo_;
    }
    for (; metro <= ultimo_metro_; ++metro) f(tipo_elemento::vuoto, 0.0);
  }
}

template <class F>
void tracciato_piano::per_metro(F&& f) const {
  if (materializzato_) {
    if (!ha_origine()) return;
    const std::int32_t fine = std::min(metro_successivo_ - 1, ultimo_metro_);
    for (std::int32_t metro = 0; metro <= fine; ++metro)
      f(metro, punto_piano{valori_[indice(metro, 0)], valori_[indice(metro, 1)]});
    return;
  }
  if (!origine_) return;
  f(std::int32_t{0}, punto_piano{0, 0});
  f(std::int32_t{1}, punto_piano{0, 1});
  std::int32_t metro = 2;
  ripercorri([&](punto_piano p) { f(metro++, p); });
}

}  // namespace compattatore
