// The runs a track read back is made of: the origin, straight runs, curves
// at a constant turning rate, and the empty metres at its end. The plotting
// turns each step (dx, dy) into (dx + c·dy, dy - c·dx), so c comes back
// exactly from three consecutive points as -(d1 x d2) / (d1 · d2). A damaged
// file's points may give no finite rate: those metres are a kind of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "ispezione/lettura_file.h"

namespace compattatore {

enum class genere_tratto { origine, rettilineo, curva, non_finito, vuoto };

struct tratto_letto {
  std::int32_t primo = 0;
  std::int32_t ultimo = 0;
  genere_tratto genere = genere_tratto::vuoto;
  // Turning per metre, above 0 to the right; 0 but in a curve, where it is
  // finite and never below the tolerance, so that its radius is a number.
  double curvatura = 0;
  // Headings in degrees, 0 along the second coordinate, growing to the right
  // (towards the first), in (-180, 180]. In: the step before the run's first
  // metre; out: the step into its last.
  double direzione_entrata = 0;
  double direzione_uscita = 0;
  double x_fine = 0;
  double y_fine = 0;
};

std::vector<tratto_letto> tratti(const tracciato_letto& t);

// The degree 1 to 6 of a curve keyword with this turning rate (either side),
// 0 for a rate that no keyword gives.
int grado_curva(double curvatura);

// Whether two turning rates are one rate: within 1e-7 of each other.
bool stessa_curvatura(double a, double b);
// A turning rate as it is shown: its size rounded to 1e-7.
double curvatura_mostrata(double curvatura);

// "rettilineo", "curva a destra", "curva a sinistra", "non finito", "origine",
// "vuoto".
const char* nome_tratto(const tratto_letto& t);

}  // namespace compattatore
