#include "disegno/scena.h"

#include <algorithm>

#include "model/descrizione_campi.h"

namespace compattatore {

namespace {

std::vector<stazione_scena> stazioni(const modello& m, int primo_cartello) {
  std::vector<stazione_scena> r;
  const voce_servizio vuota{};
  for (int slot = 1; slot < primo_cartello; ++slot) {
    const voce_servizio& v = m.tabella_servizio[static_cast<std::size_t>(slot)];
    // Stations fill the slots from 1 up without gaps.
    if (v == vuota) break;
    r.push_back({slot, v.testo, v.tipo_voce, v.valore_3, v.valore_1, v.valore_2, v.orario, {}});
  }
  for (std::size_t k = 0; k < m.celle.size(); ++k) {
    const cella& c = m.celle[k];
    if (c.tipo_cella != cella_fermata || c.dato_1 < 1 || c.dato_1 > static_cast<int>(r.size()))
      continue;
    r[static_cast<std::size_t>(c.dato_1 - 1)].cella_fermata = static_cast<std::int32_t>(k);
  }
  return r;
}

std::vector<rallentamento_scena> rallentamenti(const std::vector<cella>& celle) {
  std::vector<rallentamento_scena> r;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    if (celle[k].tipo_cella != cella_inizio_rallentamento) continue;
    rallentamento_scena s{static_cast<std::int32_t>(k), static_cast<std::int32_t>(k),
                          celle[k].dato_1};
    for (std::size_t j = k + 1; j < celle.size(); ++j) {
      if (celle[j].tipo_cella == cella_inizio_rallentamento) break;
      if (celle[j].tipo_cella == cella_fine_rallentamento) {
        s.fine = static_cast<std::int32_t>(j);
        break;
      }
    }
    r.push_back(s);
  }
  return r;
}

}  // namespace

scena leggi_scena(const modello& m) {
  scena s;
  s.celle_in_griglia = static_cast<std::int32_t>(m.celle.size());
  s.lunghezza_percorso = m.griglia_dimensionata() ? m.lunghezza_griglia - margine_griglia
                                                  : m.tabella_servizio[slot_treno].valore_2;
  s.primo_cartello = primo_cartello(m.celle);
  s.stazioni = stazioni(m, s.primo_cartello);
  s.rallentamenti = rallentamenti(m.celle);
  s.quote = profilo_quote(m.celle);
  return s;
}

std::vector<punto_quota> profilo_quote(const std::vector<cella>& celle) {
  std::vector<punto_quota> r;
  if (celle.empty()) return r;
  std::int64_t quota = 0;
  std::int32_t pendenza_prima = 0;
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const std::int32_t pendenza = pendenza_per_mille(celle[k].pendenza);
    const std::int32_t metro = static_cast<std::int32_t>(k) * metri_cella;
    if (k == 0 || pendenza != pendenza_prima) r.push_back({metro, quota});
    quota += std::int64_t{pendenza} * metri_cella / 10;
    pendenza_prima = pendenza;
  }
  r.push_back({static_cast<std::int32_t>(celle.size()) * metri_cella, quota});
  return r;
}

}  // namespace compattatore
