#include "model/descrizione_campi.h"

#include <algorithm>
#include <utility>

namespace compattatore {

namespace {

constexpr std::string_view kmh = "km/h";

// A packed pair a·10 + b taken apart.
std::int64_t decine(std::int16_t v) {
  return v / 10;
}
std::int64_t unita(std::int16_t v) {
  return v % 10;
}

// A board's speed code, nearest(vd/5 + vs·20): the hundreds give vs / 5, the
// units vd / 5.
std::int64_t velocita_s(std::int16_t codice) {
  return codice / 100 * 5;
}
std::int64_t velocita_d(std::int16_t codice) {
  return codice % 100 * 5;
}

}  // namespace

std::string nome_tipo_cella(std::uint8_t tipo) {
  switch (tipo) {
    case cella_vuota:
      return "vuota";
    case cella_segnale:
      return "segnale";
    case cella_fine_rallentamento:
      return "fine rallentamento";
    case cella_inizio_rallentamento:
      return "inizio rallentamento";
    case cella_avviso_rallentamento:
      return "avviso rallentamento";
    case cella_preavviso_rallentamento:
      return "preavviso rallentamento";
    case cella_indicatore_v_max:
      return "indicatore velocita' massima";
    case cella_fermata:
      return "fermata";
    case cella_montagna:
      return "segno di montagna";
    case cella_abbattimento:
      return "abbattimento";
    case cella_abbattimento_nullo:
      return "abbattimento nullo";
    case cella_cartello:
      return "cartello indicatore";
    default:
      return "tipo " + std::to_string(tipo);
  }
}

std::string con_articolo(std::uint8_t tipo) {
  const std::string nome = nome_tipo_cella(tipo);
  switch (tipo) {
    case cella_fine_rallentamento:
    case cella_fermata:
      return "la " + nome;
    case cella_inizio_rallentamento:
    case cella_avviso_rallentamento:
    case cella_indicatore_v_max:
    case cella_abbattimento:
    case cella_abbattimento_nullo:
      return "l'" + nome;
    default:
      return "il " + nome;
  }
}

std::string occupata_da(const modello& m, std::int64_t k) {
  const std::size_t i = static_cast<std::size_t>(k);
  if (k < 0 || i >= m.celle.size()) return {};
  // da + il = dal, da + la = dalla, da + l' = dall'
  const std::string articolo = con_articolo(m.celle[i].tipo_cella);
  std::string testo =
      "da" + (articolo.starts_with("il ") ? "l" + articolo.substr(2) : "l" + articolo);
  if (i < m.origini.size()) {
    const origine o = m.origini[i].evento;
    const luogo_errore l = m.luogo_di(o);
    if (!l.file.empty()) {
      testo += o.fonte == fonte_origine::passata ? " aggiunto per il rallentamento di " : " di ";
      testo += l.file;
      if (l.riga > 0) testo += ":" + std::to_string(l.riga);
    }
  }
  return testo;
}

std::vector<std::string> origini_in_parole(const modello& m, std::int64_t k) {
  std::vector<std::string> righe;
  const std::size_t i = static_cast<std::size_t>(k);
  if (k < 0 || i >= m.origini.size() || i >= m.celle.size()) return righe;
  const origini_cella& o = m.origini[i];
  const std::string evento = nome_tipo_cella(m.celle[i].tipo_cella);
  const std::pair<const origine&, std::string> gruppi[] = {
      {o.evento, o.evento.fonte == fonte_origine::passata
                     ? evento + ", aggiunto dal programma per il rallentamento di questa riga"
                     : evento},
      {o.avviso, "avviso"},
      {o.montagna, "tipo_montagna"},
      {o.velocita, "velocita_linea"},
      {o.pendenza, "pendenza"},
      {o.aderenza, "aderenza"},
  };
  for (const auto& [da, cosa] : gruppi) {
    const luogo_errore l = m.luogo_di(da);
    if (l.file.empty()) continue;
    righe.push_back(file_e_riga(l.file, l.riga) + cosa);
  }
  return righe;
}

std::vector<campo_descritto> campi_evento(const cella& c) {
  switch (c.tipo_cella) {
    case cella_vuota:
    case cella_montagna:
    case cella_abbattimento_nullo:
      return {};
    case cella_segnale: {
      // dato_4 = rapp·10 + sx·3 + dx
      const std::int64_t lati = unita(c.dato_4);
      return {{"sx", lati / 3, ""},           {"s1", decine(c.dato_1), ""},
              {"s2", decine(c.dato_2), ""},   {"s3", decine(c.dato_3), ""},
              {"rapp", decine(c.dato_4), ""}, {"dx", lati % 3, ""},
              {"d1", unita(c.dato_1), ""},    {"d2", unita(c.dato_2), ""},
              {"d3", unita(c.dato_3), ""},    {"tempo", c.tempo_segnale, ""}};
    }
    case cella_fine_rallentamento:
    case cella_inizio_rallentamento:
      return {{"velocita", c.dato_1, kmh}, {"d_v", c.dato_2, ""}, {"f_tt", c.dato_3, ""}};
    case cella_avviso_rallentamento:
      return {{"velocita", c.dato_1, kmh}, {"d_v", c.dato_2, ""}};
    case cella_preavviso_rallentamento:
      return {{"ordine", c.dato_1, ""}, {"d_v", c.dato_2, ""}};
    case cella_indicatore_v_max:
      return {{"vas", velocita_s(c.dato_1), kmh}, {"vbs", velocita_s(c.dato_2), kmh},
              {"vcs", velocita_s(c.dato_3), kmh}, {"strisces", decine(c.dato_4), ""},
              {"vad", velocita_d(c.dato_1), kmh}, {"vbd", velocita_d(c.dato_2), kmh},
              {"vcd", velocita_d(c.dato_3), kmh}, {"strisced", unita(c.dato_4), ""}};
    case cella_fermata:
      return {{"stazione", c.dato_1, ""}};
    case cella_abbattimento:
      return {{"velocita", c.dato_1, kmh}};
    case cella_cartello:
      return {{"voce del testo", c.dato_1, ""}};
    default:
      return campi_dati(c);
  }
}

std::vector<campo_descritto> campi_dati(const cella& c) {
  return {{"dato_1", c.dato_1, ""},
          {"dato_2", c.dato_2, ""},
          {"dato_3", c.dato_3, ""},
          {"dato_4", c.dato_4, ""}};
}

std::vector<campo_descritto> campi_marca(const cella& c) {
  return {{"marca", c.dato_1, ""}, {"codice di controllo", c.dato_2, ""}};
}

std::vector<campo_descritto> campi_tratto(const cella& c) {
  return {{"avviso", c.avviso, ""},
          {"tipo_montagna", c.tipo_montagna, ""},
          {"velocita_linea", velocita_kmh(c.velocita_linea), kmh},
          {"pendenza", pendenza_per_mille(c.pendenza), "per mille"},
          {"aderenza", c.aderenza, "%"}};
}

std::string ruolo_voce(int slot, int primo_cartello) {
  switch (slot) {
    case 0:
      return "voce 0";
    case slot_progressiva_tre:
      return "progressiva tre";
    case slot_progressiva_due:
      return "progressiva due";
    case slot_progressiva_uno:
      return "progressiva uno";
    case slot_treno:
      return "treno";
    case slot_linea:
      return "linea";
    case slot_generale:
      return "generale";
    default:
      break;
  }
  if (slot >= primo_cartello && slot <= slot_primo_cartello)
    return "testo del cartello in voce " + std::to_string(slot);
  return "stazione " + std::to_string(slot);
}

std::int64_t conta_celle(const std::vector<cella>& celle, std::uint8_t tipo) {
  std::int64_t n = 0;
  for (const cella& c : celle) n += c.tipo_cella == tipo;
  return n;
}

std::string quanti(std::int64_t n, std::string_view uno, std::string_view molti) {
  return std::to_string(n) + " " + std::string(n == 1 ? uno : molti);
}

int primo_cartello(const std::vector<cella>& celle) {
  int primo = slot_primo_cartello + 1;
  for (const cella& c : celle)
    if (c.tipo_cella == cella_cartello && c.dato_1 >= 1 && c.dato_1 <= slot_primo_cartello)
      primo = std::min<int>(primo, c.dato_1);
  return primo;
}

std::vector<campo_descritto> campi_voce(int slot, int primo_cartello, const voce_servizio& v) {
  switch (slot) {
    case slot_progressiva_tre:
    case slot_progressiva_due:
    case slot_progressiva_uno:
      return {{"valore_1", v.valore_1, "m"},
              {"valore_2", v.valore_2, "m"},
              {"valore_3", v.valore_3, ""}};
    case slot_treno:
      return {{"massa frenata", v.valore_1, "%"},
              {"lunghezza percorso", v.valore_2, "m"},
              {"vetture", v.valore_3, ""}};
    case slot_linea:
      return {{"sfondo uno", v.valore_1, ""},
              {"sfondo tre", v.valore_2, ""},
              {"sfondo due", v.valore_3, ""},
              {"marca", v.intero_1, ""},
              {"codice di controllo", v.orario, ""}};
    case slot_generale:
      return {{"ripetizione inizio", v.valore_1, "m"}, {"ripetizione fine", v.valore_2, "m"},
              {"ripetizione codici", v.valore_3, ""},  {"sabbia", v.intero_1, ""},
              {"orologio 1", v.intero_3, ""},          {"orologio 2", v.intero_4, ""},
              {"orologio 3", v.intero_5, ""}};
    default:
      break;
  }
  if (slot >= primo_cartello && slot <= slot_primo_cartello) return {};
  return {{"tipo", v.tipo_voce, ""},      {"inizio zona", v.valore_1, "m"},
          {"fine zona", v.valore_2, "m"}, {"posizione", v.valore_3, "m"},
          {"codice_1", v.codice_1, ""},   {"intero_1", v.intero_1, ""},
          {"intero_2", v.intero_2, ""},   {"intero_3", v.intero_3, ""},
          {"intero_4", v.intero_4, ""},   {"intero_5", v.intero_5, ""},
          {"codice_2", v.codice_2, ""},   {"codice_3", v.codice_3, ""},
          {"codice_4", v.codice_4, ""},   {"codice_5", v.codice_5, ""},
          {"orario", v.orario, "s"}};
}

}  // namespace compattatore
