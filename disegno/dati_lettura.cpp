// What the pointer readout shows of a cell, in the words of
// model/descrizione_campi.h. A long route has tens of thousands of cells but
// few events and few changes of the stretch values: the stretch values go as
// runs, the events one by one with the names of their fields given once per
// kind.
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "disegno/parti_pagina.h"
#include "disegno/testo_html.h"
#include "model/descrizione_campi.h"

namespace compattatore {

namespace {

using json = nlohmann::json;

json nomi_e_unita(const std::vector<campo_descritto>& campi) {
  json r = json::array();
  for (const campo_descritto& c : campi) r.push_back({std::string(c.nome), std::string(c.unita)});
  return r;
}

json tratti_della_griglia(const std::vector<cella>& celle) {
  const std::size_t numero_campi = campi_tratto(cella{}).size();
  json serie = json::array();
  for (std::size_t i = 0; i < numero_campi; ++i) serie.push_back(json::array());
  std::vector<std::int64_t> prima(numero_campi);
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const std::vector<campo_descritto> campi = campi_tratto(celle[k]);
    for (std::size_t i = 0; i < numero_campi; ++i) {
      if (k > 0 && campi[i].valore == prima[i]) continue;
      serie[i].push_back(k);
      serie[i].push_back(campi[i].valore);
      prima[i] = campi[i].valore;
    }
  }
  return {{"campi", nomi_e_unita(campi_tratto(cella{}))}, {"tratti", std::move(serie)}};
}

// A board's text and a stop's station, beside the cell's own fields.
std::pair<std::string, std::string> testo_aggiunto(const modello& m, const cella& c) {
  const bool nella_tabella = c.dato_1 >= 1 && c.dato_1 <= slot_primo_cartello;
  if (c.tipo_cella == cella_cartello && nella_tabella)
    return {"testo", m.tabella_servizio[static_cast<std::size_t>(c.dato_1)].testo};
  if (c.tipo_cella == cella_fermata && nella_tabella)
    return {"nome della stazione", m.tabella_servizio[static_cast<std::size_t>(c.dato_1)].testo};
  return {};
}

// The script needs text that is safe inside a <script> element, in HTML and
// in XML alike: no <, > or & at all, which JSON lets one escape.
std::string sicuro_in_script(const std::string& testo) {
  std::string r;
  r.reserve(testo.size());
  for (const char c : testo) {
    switch (c) {
      case '<':
        r += "\\u003c";
        break;
      case '>':
        r += "\\u003e";
        break;
      case '&':
        r += "\\u0026";
        break;
      default:
        r += c;
    }
  }
  return r;
}

// The texts of the cells' records. Neighbouring cells mostly share theirs
// (the same speed, gradient and adhesion rows over kilometres): each text is
// written once, and each run of cells with the same list once, as its first
// cell and the texts' indexes.
json provenienza_in_tratti(std::size_t celle, const provenienza_celle& provenienza) {
  json testi = json::array();
  std::map<std::string, std::size_t> indici;
  json tratti = json::array();
  std::vector<std::size_t> prima;
  for (std::size_t k = 0; k < celle; ++k) {
    std::vector<std::size_t> elenco;
    for (const std::string& t : provenienza(static_cast<std::int32_t>(k))) {
      const auto [dove, nuovo] = indici.try_emplace(t, testi.size());
      if (nuovo) testi.push_back(utf8_di_sistema(t));
      elenco.push_back(dove->second);
    }
    if (k > 0 && elenco == prima) continue;
    tratti.push_back(k);
    tratti.push_back(elenco);
    prima = std::move(elenco);
  }
  return {{"testi", std::move(testi)}, {"tratti", std::move(tratti)}};
}

}  // namespace

std::string dati_lettura(const modello& m, const scena& s, const provenienza_celle& provenienza) {
  json d;
  d["passo"] = metri_cella;
  d["celle"] = m.celle.size();
  d["tratto"] = tratti_della_griglia(m.celle);

  // Kinds of event by their name and the names of their fields.
  json schemi = json::array();
  std::map<std::string, std::size_t> indici;
  json eventi = json::array();
  for (std::size_t k = 0; k < m.celle.size(); ++k) {
    const cella& c = m.celle[k];
    if (c.tipo_cella == cella_vuota) continue;
    const std::vector<campo_descritto> campi = campi_evento(c);
    const auto [nome_aggiunto, testo] = testo_aggiunto(m, c);
    json schema = {nome_tipo_cella(c.tipo_cella), nomi_e_unita(campi),
                   nome_aggiunto.empty() ? json() : json(nome_aggiunto)};
    const auto [dove, nuovo] = indici.try_emplace(schema.dump(), schemi.size());
    if (nuovo) schemi.push_back(std::move(schema));
    json evento = {k, dove->second};
    for (const campo_descritto& campo : campi) evento.push_back(campo.valore);
    if (!nome_aggiunto.empty()) evento.push_back(utf8_da_1252(testo));
    eventi.push_back(std::move(evento));
  }
  d["schemi"] = std::move(schemi);
  d["eventi"] = std::move(eventi);

  json quote = json::array();
  for (const punto_quota& q : s.quote) {
    quote.push_back(q.metro);
    quote.push_back(q.centimetri);
  }
  d["quote"] = std::move(quote);

  json stazioni = json::array();
  for (const stazione_scena& st : s.stazioni)
    stazioni.push_back({utf8_da_1252(st.nome), st.inizio_zona, st.fine_zona});
  d["stazioni"] = std::move(stazioni);

  d["provenienza"] = provenienza ? provenienza_in_tratti(m.celle.size(), provenienza) : json();
  return sicuro_in_script(d.dump());
}

}  // namespace compattatore
