// The plan of the route: the plotted track reduced to the points worth
// drawing. A route of a million metres has a million points, nearly all of
// them on straight runs or so close together that no zoom could tell them
// apart; the drawing keeps a few thousand.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/modello.h"

namespace compattatore {

struct punto_pianta {
  std::int32_t metro = 0;
  double x = 0;
  double y = 0;

  bool operator==(const punto_pianta&) const = default;
};

// The last metre of the track that holds coordinates; nullopt when the track
// was never started (no track, or a reader stopped before it).
std::optional<std::int32_t> ultimo_metro_tracciato(const tracciato_piano& t);

// The points of the plotted metres 0..`ultimo` that a drawing needs: every
// dropped point lies within `tolleranza` metres of the line drawn through the
// kept ones, no kept point is closer than `tolleranza` to the one before it
// (but the last, which is always kept), and the metres in `obbligati` are
// kept whatever their neighbours.
std::vector<punto_pianta> semplifica_tracciato(const tracciato_piano& t, std::int32_t ultimo,
                                               double tolleranza,
                                               const std::vector<std::int32_t>& obbligati = {});

// The design size of the plan on the page, in pixels, and how far it can be
// zoomed: down to two pixels a metre, and at least four times.
inline constexpr double larghezza_pianta_px = 880;
inline constexpr double altezza_pianta_px = 330;
inline constexpr double ingrandimento_minimo = 4;
inline constexpr double pixel_per_metro_massimi = 2;
// A fraction of a pixel at the largest zoom: closer than this, two points are
// one on the screen.
inline constexpr double frazione_di_pixel = 0.25;
// The size of the plan's names, in pixels at the design size.
inline constexpr double corpo_pianta_px = 12;

// The area the plan shows when not zoomed: the track's extent with a margin,
// in the plan's coordinates (x, −y: the drawing's y grows downwards), in the
// proportions of the plan's box.
struct inquadratura {
  double x = 0;
  double y = 0;
  double larghezza = 1;
  double altezza = 1;
  double pixel_per_metro = 1;  // at the design size, not zoomed
  double ingrandimento_massimo = ingrandimento_minimo;
  double tolleranza = 0.125;  // metres: frazione_di_pixel at the largest zoom
};
inquadratura inquadra(const tracciato_piano& t, std::int32_t ultimo);

// The point of the drawn line at `metro`, between the kept points around it
// (within the tolerance of the track); the ends outside the line.
punto_pianta punto_al_metro(const std::vector<punto_pianta>& punti, double metro);

}  // namespace compattatore
