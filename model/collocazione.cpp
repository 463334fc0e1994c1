#include "model/collocazione.h"

#include <algorithm>
#include <array>

namespace compattatore {

namespace {

// A slowdown starting this close to the origin has no warning point.
constexpr std::int32_t inizio_minimo_avviso = 1500;
// A stretch starting this close after the previous one's end joins it (type 3).
constexpr std::int64_t distacco_massimo_montagne = 150;
constexpr std::int32_t tipo_montagne_unite = 3;
// A stretch type above this carries the markers; the marker goes on every 4th cell.
constexpr std::int32_t soglia_marcatori = 10;
constexpr std::int64_t passo_marcatori = 4;
// Approach codes 81 to 84 before a station's stop; types from 25 on have no
// stop, types 5 and 6 a stop without approach codes.
constexpr int primo_codice_fermata = 80;
constexpr int tipo_senza_fermata = 25;

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
origini_cella& origini_n(modello& m, std::int64_t k) {
  return m.origini[static_cast<std::size_t>(k)];
}

// Whether cell k can take a point event: 15 when there is no such cell,
// `occupata` when it is taken, nothing when it is free.
esito_collocazione prova_cella(const modello& m, std::int64_t k, codice_errore_numero occupata) {
  if (!nella_griglia(m, k)) return {errore_fuori_griglia, k};
  if (!cella_libera(m.celle[static_cast<std::size_t>(k)])) return {occupata, k};
  return {};
}

// A point event's cell, given its type by the record `da`. What it replaces
// other than a mountain marker (only a station stop goes on a taken cell) is
// noted.
cella& prendi_cella(modello& m, std::int64_t k, std::uint8_t tipo, origine da) {
  cella& c = cella_n(m, k);
  origine& o = origini_n(m, k).evento;
  // A record's own cells may coincide (a slowdown's start on its end): that
  // loses nothing another record wrote.
  if (!cella_libera(c) && !(o == da))
    m.sostituzioni.push_back(
        {static_cast<std::int32_t>(k), gruppo_campi::evento, o, da, c.tipo_cella, tipo});
  c.tipo_cella = tipo;
  o = da;
  return c;
}

// An approach code, written whatever the cell holds; one that replaces a
// different code is noted.
void scrivi_avviso(modello& m, std::int64_t k, std::uint8_t codice, origine da) {
  cella& c = cella_n(m, k);
  origine& o = origini_n(m, k).avviso;
  if (c.avviso != 0 && c.avviso != codice)
    m.sostituzioni.push_back(
        {static_cast<std::int32_t>(k), gruppo_campi::avviso, o, da, c.avviso, codice});
  c.avviso = codice;
  o = da;
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

void memo_montagna(modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo,
                   origine da) {
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
  const std::int64_t da_cella = std::max<std::int64_t>(prima, 0);
  const std::int64_t a_cella = std::min<std::int64_t>(ultima, m.numero_celle);
  for (std::int64_t k = da_cella; k <= a_cella && nella_griglia(m, k); ++k) {
    cella& c = cella_n(m, k);
    origini_cella& o = origini_n(m, k);
    if (c.tipo_montagna != 0 && c.tipo_montagna != basso_8(tipo))
      m.sostituzioni.push_back({static_cast<std::int32_t>(k), gruppo_campi::montagna, o.montagna,
                                da, c.tipo_montagna, basso_8(tipo)});
    c.tipo_montagna = basso_8(tipo);
    o.montagna = da;
    if (marcatori && (k - prima + 1) % passo_marcatori == 0 && c.tipo_cella == cella_vuota) {
      c.tipo_cella = cella_montagna;
      o.evento = da;
    }
  }
}

esito_collocazione memo_rallentamento(modello& m, std::int32_t x, std::int32_t v, std::int32_t l,
                                      std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v,
                                      origine da) {
  const std::int64_t w = cella_di(x - distanza_avviso, 1);
  const std::int64_t s = cella_di(x, 1);
  const std::int64_t e = cella_di(static_cast<double>(x) + l, 1);
  const std::int64_t p = cella_di(x - distanza_avviso);

  const bool con_avviso = x > inizio_minimo_avviso;
  if (!con_avviso) f_ta = 0;
  if (con_avviso) {
    if (const auto r = prova_cella(m, w, errore_avviso_rallentamento)) return r;
  }
  if (const auto r = prova_cella(m, s, errore_inizio_rallentamento)) return r;
  if (const auto r = prova_cella(m, e, errore_fine_rallentamento)) return r;
  // The pre-warning cells are tested as they stand once the warning, start
  // and end cells have been written: one of those among them refuses them.
  if (f_ta != 0) {
    for (int i = 0; i < celle_di_avviso; ++i) {
      const std::int64_t k = p - i;
      if (const auto r = prova_cella(m, k, errore_preavviso)) return r;
      if (k == s || k == e || (con_avviso && k == w)) return {errore_preavviso, k};
    }
  }

  // The end goes first, so that a start and an end on one cell leave a start.
  cella& fine = prendi_cella(m, e, cella_fine_rallentamento, da);
  if (d_v != 0) fine.dato_2 = basso_16(d_v);
  cella& inizio = prendi_cella(m, s, cella_inizio_rallentamento, da);
  if (d_v != 0) inizio.dato_2 = basso_16(d_v);
  if (con_avviso) {
    cella& avviso = prendi_cella(m, w, cella_avviso_rallentamento, da);
    if (d_v != 0) avviso.dato_2 = basso_16(d_v);
    avviso.dato_1 = basso_16(v);
  }
  for (const std::int64_t k : {s, e}) {
    cella_n(m, k).dato_1 = basso_16(v);
    cella_n(m, k).dato_3 = basso_16(f_tt);
  }
  if (f_ta == 0) return {};
  for (int i = 0; i < celle_di_avviso; ++i) {
    cella& c = prendi_cella(m, p - i, cella_preavviso_rallentamento, da);
    c.dato_1 = basso_16(i + 1);
    if (d_v != 0) c.dato_2 = basso_16(i + 1);
  }
  return {};
}

esito_collocazione memo_segnale(modello& m, segnale_letto& s, origine da) {
  const std::int64_t c = cella_di(s.posizione, 1);
  if (const auto r = prova_cella(m, c, errore_segnale)) return r;

  cella& segnale = prendi_cella(m, c, cella_segnale, da);
  segnale.dato_4 = basso_16(std::int64_t{s.rapp} * 10 + std::int64_t{s.sx} * 3 + s.dx);
  segnale.dato_1 = basso_16(std::int64_t{s.s1} * 10 + s.d1);
  segnale.dato_2 = basso_16(std::int64_t{s.s2} * 10 + s.d2);
  segnale.dato_3 = basso_16(std::int64_t{s.s3} * 10 + s.d3);
  if (s.tempo >= 1 && s.tempo <= 100) s.tempo = 101;
  segnale.tempo_segnale = s.sx == 2 ? basso_8(s.tempo) : 0;

  // Approach codes lying before the grid's first cell are dropped.
  const std::int64_t codice = (std::int64_t{s.sx} * 3 + s.dx) * 10;
  for (int k = 1; k <= celle_di_avviso; ++k)
    if (nella_griglia(m, c - 2 * k)) scrivi_avviso(m, c - 2 * k, basso_8(codice + k), da);
  return {};
}

esito_collocazione memo_indicatori_v_max(modello& m, const indicatore_letto& i, origine da) {
  const std::int64_t c = cella_di(i.posizione, 1);
  if (const auto r = prova_cella(m, c, errore_indicatore)) return r;

  // All three codes before any write: a code that does not fit leaves the cell as it was.
  const std::array<std::int16_t, 3> codici = {
      codice_velocita(i.vad, i.vas), codice_velocita(i.vbd, i.vbs), codice_velocita(i.vcd, i.vcs)};
  cella& indicatore = prendi_cella(m, c, cella_indicatore_v_max, da);
  indicatore.dato_1 = codici[0];
  indicatore.dato_2 = codici[1];
  indicatore.dato_3 = codici[2];
  indicatore.dato_4 = basso_16(std::int64_t{i.strisces} * 10 + i.strisced);
  return {};
}

esito_collocazione memo_cartello(modello& m, std::int32_t posizione, std::int32_t slot,
                                 const std::string& testo, origine da) {
  const std::int64_t n = cella_di(posizione, 1);
  if (const auto r = prova_cella(m, n, errore_cartello)) return r;
  cella& c = prendi_cella(m, n, cella_cartello, da);
  c.dato_1 = basso_16(slot);
  m.tabella_servizio[static_cast<std::size_t>(slot)].testo = testo;
  return {};
}

esito_collocazione memo_abbattimento(modello& m, std::int32_t posizione, std::int32_t valore,
                                     origine da) {
  const std::int64_t n = cella_di(posizione);
  if (const auto r = prova_cella(m, n, errore_abbattimento)) return r;
  cella& c = prendi_cella(m, n, valore > 0 ? cella_abbattimento : cella_abbattimento_nullo, da);
  if (valore > 0) c.dato_1 = basso_16(valore);
  return {};
}

namespace {

// The stop cell, nearest(fine_zona / 50 - 1), exists only past cell 1.
bool ha_fermata(std::int32_t fine_zona) {
  return in_celle(fine_zona) - 1 > 1;
}

}  // namespace

esito_collocazione prova_fermata(const modello& m, std::uint8_t tipo, std::int32_t fine_zona) {
  if (tipo >= tipo_senza_fermata) return {};
  // The approach codes stand before the stop, so the stop is the farthest cell.
  if (ha_fermata(fine_zona) && cella_di(fine_zona, -1) > m.numero_celle)
    return {errore_fuori_griglia, cella_di(fine_zona, -1)};
  if (!ha_fermata(fine_zona)) return {errore_fermata_iniziale, cella_di(fine_zona, -1)};
  return {};
}

void memo_fermata(modello& m, std::int32_t stazione, std::uint8_t tipo, std::int32_t fine_zona,
                  origine da) {
  if (tipo >= tipo_senza_fermata) return;
  const double fine = in_celle(fine_zona);
  if (tipo != 5 && tipo != 6) {
    for (int k = 1; k <= celle_di_avviso; ++k) {
      if (fine - k - 1 <= 1) continue;
      scrivi_avviso(m, nearest(fine - k - 1), basso_8(primo_codice_fermata + k), da);
    }
  }
  cella& c = prendi_cella(m, cella_di(fine_zona, -1), cella_fermata, da);
  c.dato_1 = basso_16(stazione);
}

void riempimento::scrivi(modello& m) {
  if (cella_ <= m.numero_celle && cella_ < static_cast<std::int64_t>(m.celle.size())) {
    std::uint8_t codice = 0;
    try {
      codice = codifica_(valore_);
    } catch (const fallimento_lettura& f) {
      // Told at the row that gave the value, not at the one being read.
      throw fallimento_lettura(f.what(), da_.riga);
    }
    cella_n(m, cella_).*campo_ = codice;
    origini_n(m, cella_).*origine_campo_ = da_;
  }
  ++cella_;
}

void riempimento::riga(modello& m, std::int32_t p, std::int32_t v, origine da) {
  const std::int64_t n = cella_di(p);
  // A row past cell 0 always writes: one at or before the last filled cell
  // still writes one cell. A row before cell 1 writes nothing.
  if (n > 0) {
    do {
      if (ferma_all_ultima_ && cella_ >= m.numero_celle) break;
      scrivi(m);
    } while (cella_ < n);
  }
  valore_precedente_ = valore_;
  da_precedente_ = da_;
  valore_ = v;
  da_ = da;
}

void riempimento::completa(modello& m) {
  // The last cells from numero_celle - 2 on keep 0 unless a row reached them.
  do scrivi(m);
  while (cella_ < std::int64_t{m.numero_celle} - 2);
}

}  // namespace compattatore
