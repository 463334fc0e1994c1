#include "model/collocazione.h"

#include <algorithm>
#include <array>

#include "model/errori.h"

namespace compattatore {

namespace {

// Distance in metres from a slowdown's start back to its warning point.
constexpr double distanza_avviso = 1200;
// A slowdown starting this close to the origin has no warning point.
constexpr std::int32_t inizio_minimo_avviso = 1500;
// A stretch starting this close after the previous one's end joins it (type 3).
constexpr std::int64_t distacco_massimo_montagne = 150;
constexpr std::int32_t tipo_montagne_unite = 3;
// A stretch type above this carries the markers; the marker goes on every 4th cell.
constexpr std::int32_t soglia_marcatori = 10;
constexpr std::int64_t passo_marcatori = 4;
constexpr int numero_avvisi = 4;

// Narrow fields keep the low bits of a value computed wide.
std::int16_t basso_16(std::int64_t v) {
  return static_cast<std::int16_t>(v);
}
std::uint8_t basso_8(std::int64_t v) {
  return static_cast<std::uint8_t>(v);
}

bool nella_griglia(const modello& m, std::int64_t k) {
  return k >= 0 && k <= m.numero_celle && k < static_cast<std::int64_t>(m.celle.size());
}

cella& cella_n(modello& m, std::int64_t k) {
  return m.celle[static_cast<std::size_t>(k)];
}

// Tests cell k for a point event; when it cannot take one, records 15 (no such
// cell) or `occupata` (cell taken) and returns false.
bool prova_cella(modello& m, std::int64_t k, std::int32_t occupata) {
  if (!nella_griglia(m, k)) {
    m.registra_errore(errore_fuori_griglia);
    return false;
  }
  if (!cella_libera(cella_n(m, k))) {
    m.registra_errore(occupata);
    return false;
  }
  return true;
}

// A board's speed code, which must fit its 16-bit field.
std::int16_t codice_velocita(std::int32_t v_d, std::int32_t v_s) {
  const double x = static_cast<double>(v_d) / 5 + static_cast<double>(std::int64_t{v_s} * 20);
  const std::int64_t codice = nearest(x);
  if (codice < INT16_MIN || codice > INT16_MAX)
    throw fallimento_lettura("codice di velocita' dell'indicatore fuori dai 16 bit");
  return static_cast<std::int16_t>(codice);
}

}  // namespace

bool memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
  if (m.numero_montagne < 0 || m.numero_montagne >= massimo_montagne)
    throw fallimento_lettura("troppi tratti di montagna");

  const bool marcatori = tipo > soglia_marcatori;
  if (marcatori) tipo -= soglia_marcatori;

  const int n = ++m.numero_montagne;
  m.inizi_montagne[n] = inizio;
  m.fini_montagne[n] = fine;
  if (n > 1 && std::int64_t{inizio} - m.fini_montagne[n - 1] <= distacco_massimo_montagne)
    tipo = tipo_montagne_unite;

  const std::int64_t prima = cella_di(inizio);
  const std::int64_t ultima = cella_di(fine, -1);
  // The markers are counted from the stretch's first cell, even when that
  // cell lies before the grid, so they stand where they would on a longer grid.
  const std::int64_t da = std::max<std::int64_t>(prima, 0);
  const std::int64_t a = std::min<std::int64_t>(ultima, m.numero_celle);
  for (std::int64_t k = da; k <= a && nella_griglia(m, k); ++k) {
    cella& c = cella_n(m, k);
    c.tipo_montagna = basso_8(tipo);
    if (marcatori && (k - prima + 1) % passo_marcatori == 0 && c.tipo_cella == cella_vuota)
      c.tipo_cella = cella_montagna;
  }
  return true;
}

bool memo_rallentamento(modello& m, std::int32_t x, std::int32_t v, std::int32_t l,
                        std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v) {
  const std::int64_t w = cella_di(x - distanza_avviso, 1);
  const std::int64_t s = cella_di(x, 1);
  const std::int64_t e = cella_di(static_cast<double>(x) + l, 1);
  const std::int64_t p = cella_di(x - distanza_avviso);

  const bool con_avviso = x > inizio_minimo_avviso;
  if (!con_avviso) f_ta = 0;
  if (con_avviso && !prova_cella(m, w, errore_avviso_rallentamento)) return false;
  if (!prova_cella(m, s, errore_inizio_rallentamento)) return false;
  if (!prova_cella(m, e, errore_fine_rallentamento)) return false;

  // The end goes first, so that a start and an end on one cell leave a start.
  cella_n(m, e).tipo_cella = cella_fine_rallentamento;
  if (d_v != 0) cella_n(m, e).dato_2 = basso_16(d_v);
  cella_n(m, s).tipo_cella = cella_inizio_rallentamento;
  if (d_v != 0) cella_n(m, s).dato_2 = basso_16(d_v);
  if (con_avviso) {
    cella& avviso = cella_n(m, w);
    avviso.tipo_cella = cella_avviso_rallentamento;
    if (d_v != 0) avviso.dato_2 = basso_16(d_v);
    avviso.dato_1 = basso_16(v);
  }
  for (const std::int64_t k : {s, e}) {
    cella_n(m, k).dato_1 = basso_16(v);
    cella_n(m, k).dato_3 = basso_16(f_tt);
  }

  if (f_ta == 0) return true;
  // Tested after the writes above, which stay when a pre-warning cell is refused.
  for (int i = 0; i < numero_avvisi; ++i)
    if (!prova_cella(m, p - i, errore_preavviso)) return false;
  for (int i = 0; i < numero_avvisi; ++i) {
    cella& c = cella_n(m, p - i);
    c.tipo_cella = cella_preavviso_rallentamento;
    c.dato_1 = basso_16(i + 1);
    if (d_v != 0) c.dato_2 = basso_16(i + 1);
  }
  return true;
}

bool memo_segnale(modello& m, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                  std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx,
                  std::int32_t d1, std::int32_t d2, std::int32_t d3, std::int32_t& tempo) {
  const std::int64_t c = cella_di(posizione, 1);
  if (!prova_cella(m, c, errore_segnale)) return false;

  cella& segnale = cella_n(m, c);
  segnale.tipo_cella = cella_segnale;
  segnale.dato_4 = basso_16(std::int64_t{rapp} * 10 + std::int64_t{sx} * 3 + dx);
  segnale.dato_1 = basso_16(std::int64_t{s1} * 10 + d1);
  segnale.dato_2 = basso_16(std::int64_t{s2} * 10 + d2);
  segnale.dato_3 = basso_16(std::int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  segnale.tempo_segnale = sx == 2 ? basso_8(tempo) : 0;

  // Approach codes lying before the grid's first cell are dropped.
  const std::int64_t codice = (std::int64_t{sx} * 3 + dx) * 10;
  for (int k = 1; k <= numero_avvisi; ++k)
    if (nella_griglia(m, c - 2 * k)) cella_n(m, c - 2 * k).avviso = basso_8(codice + k);
  return true;
}

bool memo_indicatori_v_max(modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs,
                           std::int32_t vcs, std::int32_t strisces, std::int32_t vad,
                           std::int32_t vbd, std::int32_t vcd, std::int32_t strisced) {
  const std::int64_t c = cella_di(posizione, 1);
  if (!prova_cella(m, c, errore_indicatore)) return false;

  // All three codes before any write: a code that does not fit leaves the cell as it was.
  const std::array<std::int16_t, 3> codici = {codice_velocita(vad, vas), codice_velocita(vbd, vbs),
                                              codice_velocita(vcd, vcs)};
  cella& indicatore = cella_n(m, c);
  indicatore.tipo_cella = cella_indicatore_v_max;
  indicatore.dato_1 = codici[0];
  indicatore.dato_2 = codici[1];
  indicatore.dato_3 = codici[2];
  indicatore.dato_4 = basso_16(std::int64_t{strisces} * 10 + strisced);
  return true;
}

}  // namespace compattatore
