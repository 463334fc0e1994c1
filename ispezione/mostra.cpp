#include "ispezione/mostra.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "ispezione/formato.h"
#include "ispezione/tratti.h"
#include "model/descrizione_campi.h"
#include "model/testo_valori.h"
#include "output/immagini.h"

namespace compattatore {

namespace {

std::vector<campo_mostrato> mostrati(const std::vector<campo_descritto>& campi) {
  std::vector<campo_mostrato> out;
  out.reserve(campi.size());
  for (const campo_descritto& c : campi)
    out.push_back({std::string(c.nome), c.valore, std::string(c.unita)});
  return out;
}

campo_mostrato intero(std::string nome, std::int64_t v, std::string unita = "") {
  return {std::move(nome), v, std::move(unita)};
}

campo_mostrato reale_mostrato(std::string nome, double v, int decimali, std::string unita) {
  return {std::move(nome), v, std::move(unita), decimali};
}

bool ha_evento(std::size_t indice, const cella& c) {
  return c.tipo_cella != cella_vuota || c.avviso != 0 || c.tempo_segnale != 0 || c.dato_1 != 0 ||
         c.dato_2 != 0 || c.dato_3 != 0 || c.dato_4 != 0 || indice == cella_marcata;
}

bool stessi_tratti(const cella& a, const cella& b) {
  return a.tipo_montagna == b.tipo_montagna && a.velocita_linea == b.velocita_linea &&
         a.pendenza == b.pendenza && a.aderenza == b.aderenza;
}

// The event's fields of a cell; a free cell shows what it carries besides.
std::vector<campo_mostrato> campi_evento_cella(std::size_t indice, const cella& c) {
  std::vector<campo_mostrato> campi = mostrati(campi_evento(c));
  if (indice == cella_marcata) {
    for (const campo_mostrato& m : mostrati(campi_marca(c))) campi.push_back(m);
  } else if (campi.empty() && (c.dato_1 != 0 || c.dato_2 != 0 || c.dato_3 != 0 || c.dato_4 != 0)) {
    campi = mostrati(campi_dati(c));
  }
  return campi;
}

riga_mostrata riga_cella(std::size_t primo, std::size_t ultimo, const cella& c,
                         const tabella_letta* tabella) {
  riga_mostrata r;
  r.oggetto = primo == ultimo ? "cella" : "celle";
  r.primo = static_cast<std::int64_t>(primo);
  r.ultimo = static_cast<std::int64_t>(ultimo);
  r.metri = std::array<std::int64_t, 2>{inizio_cella(r.primo), inizio_cella(r.ultimo + 1)};
  r.genere = nome_tipo_cella(c.tipo_cella);
  if (c.tipo_cella == cella_cartello || c.tipo_cella == cella_fermata)
    r.testo = testo_voce(tabella, c.dato_1);
  std::vector<campo_mostrato> evento = campi_evento_cella(primo, c);
  if (!evento.empty()) r.gruppi.push_back({"evento", std::move(evento)});
  r.gruppi.push_back({"tratto", mostrati(campi_tratto(c))});
  return r;
}

bool solo_testo(const voce_servizio& v) {
  voce_servizio senza_testo = v;
  senza_testo.testo.clear();
  return !v.testo.empty() && senza_testo == voce_servizio{};
}

// The first cell of a given type whose dato_1 names `voce`.
std::optional<std::size_t> cella_con_voce(const std::vector<cella>& celle, std::uint8_t tipo,
                                          int voce) {
  for (std::size_t k = 0; k < celle.size(); ++k)
    if (celle[k].tipo_cella == tipo && celle[k].dato_1 == voce) return k;
  return std::nullopt;
}

std::string testo_valore(const campo_mostrato& c) {
  if (const auto* i = std::get_if<std::int64_t>(&c.valore))
    return c.unita == "s" ? orario_completo(*i) : std::to_string(*i);
  const double v = std::get<double>(c.valore);
  return c.decimali < 0 ? reale_breve(v) : numero(v, c.decimali);
}

nlohmann::json json_valore(const campo_mostrato& c) {
  if (const auto* i = std::get_if<std::int64_t>(&c.valore)) return *i;
  const double v = std::get<double>(c.valore);
  // JSON has no NaN nor infinity: a damaged track's values go as text.
  if (!std::isfinite(v)) return reale_breve(v);
  return v;
}

// "nome valore unita".
std::string testo_campo(const campo_mostrato& c) {
  std::string t = c.nome + " " + testo_valore(c);
  if (!c.unita.empty() && c.unita != "s") t += " " + c.unita;
  return t;
}

std::string intestazione(const file_mostrato& f) {
  std::string t = nome_genere(f.genere);
  for (std::size_t i = 0; i < f.sommario.size(); ++i)
    t += (i == 0 ? ": " : ", ") + testo_campo(f.sommario[i]);
  return t + "\n";
}

}  // namespace

std::optional<std::string> testo_voce(const tabella_letta* t, std::int64_t voce) {
  if (t == nullptr || voce < 0 || voce >= numero_voci) return std::nullopt;
  return da_windows_1252((*t)[static_cast<std::size_t>(voce)].testo);
}

int primo_cartello(const tabella_letta& t, const std::vector<cella>* celle) {
  if (celle != nullptr) return primo_cartello(*celle);
  int primo = slot_primo_cartello + 1;
  while (primo > 1 && solo_testo(t[static_cast<std::size_t>(primo - 1)])) --primo;
  return primo;
}

file_mostrato mostra_griglia(const std::vector<cella>& celle, const tabella_letta* tabella,
                             const opzioni_mostra& o) {
  file_mostrato f;
  f.genere = genere_file::griglia;
  const auto n = static_cast<std::int64_t>(celle.size());
  f.sommario = {intero("celle", n), intero("lunghezza", n * metri_cella, "m")};
  std::int64_t da = 0;
  std::int64_t a = n - 1;
  if (o.celle) {
    da = std::max<std::int64_t>(o.celle->first, 0);
    a = std::min<std::int64_t>(o.celle->second, n - 1);
  }
  std::optional<std::size_t> inizio_tratto;  // first cell of the run being folded
  const auto chiudi_tratto = [&](std::size_t fine) {
    if (!inizio_tratto) return;
    f.righe.push_back(riga_cella(*inizio_tratto, fine, celle[*inizio_tratto], tabella));
    inizio_tratto.reset();
  };
  for (std::int64_t i = da; i <= a; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const cella& c = celle[k];
    if (o.tutte || ha_evento(k, c)) {
      chiudi_tratto(k - 1);
      f.righe.push_back(riga_cella(k, k, c, tabella));
    } else if (c == cella{}) {
      chiudi_tratto(k - 1);
    } else if (!inizio_tratto || !stessi_tratti(celle[*inizio_tratto], c)) {
      chiudi_tratto(k - 1);
      inizio_tratto = k;
    }
  }
  if (a >= da) chiudi_tratto(static_cast<std::size_t>(a));
  return f;
}

file_mostrato mostra_tabella(const tabella_letta& t, const std::vector<cella>* celle) {
  file_mostrato f;
  f.genere = genere_file::tabella;
  std::size_t testi = 0;
  for (const voce_servizio& v : t) testi += v.testo.size();
  f.sommario = {intero("voci", numero_voci),
                intero("byte", static_cast<std::int64_t>(dimensione_file_tabella(testi)))};
  const int cartelli = primo_cartello(t, celle);
  if (celle == nullptr && cartelli <= slot_primo_cartello)
    f.note.push_back("senza la griglia, le voci da " + std::to_string(cartelli) + " a " +
                     std::to_string(slot_primo_cartello) +
                     " sono prese per testi di cartelli perche' hanno solo il testo");
  for (int slot = 0; slot < numero_voci; ++slot) {
    const voce_servizio& v = t[static_cast<std::size_t>(slot)];
    if (v == voce_servizio{}) continue;
    riga_mostrata r;
    r.oggetto = "voce";
    r.primo = r.ultimo = slot;
    r.genere = ruolo_voce(slot, cartelli);
    if (!v.testo.empty()) r.testo = da_windows_1252(v.testo);
    std::vector<campo_mostrato> campi = mostrati(campi_voce(slot, cartelli, v));
    if (!campi.empty()) r.gruppi.push_back({"campi", std::move(campi)});
    if (celle != nullptr && slot >= 1 && slot <= slot_primo_cartello) {
      const bool cartello = slot >= cartelli;
      const std::optional<std::size_t> k =
          cella_con_voce(*celle, cartello ? cella_cartello : cella_fermata, slot);
      if (k)
        r.gruppi.push_back({"griglia",
                            {intero(cartello ? "cella del cartello" : "cella di fermata",
                                    static_cast<std::int64_t>(*k))}});
    }
    f.righe.push_back(std::move(r));
  }
  return f;
}

file_mostrato mostra_tracciato(const tracciato_letto& t, const opzioni_mostra& o) {
  file_mostrato f;
  f.genere = genere_file::tracciato;
  f.sommario = {intero("ultimo metro", t.ultimo_metro),
                intero("elementi", static_cast<std::int64_t>(t.numero_elementi()))};
  if (o.passo > 0) {
    for (std::int64_t m = 0; m <= t.ultimo_metro;
         m = m == t.ultimo_metro ? m + 1 : std::min<std::int64_t>(m + o.passo, t.ultimo_metro)) {
      riga_mostrata r;
      r.oggetto = "metro";
      r.primo = r.ultimo = m;
      const auto metro = static_cast<std::int32_t>(m);
      if (t.ha_punto(metro)) {
        r.gruppi.push_back(
            {"campi",
             {reale_mostrato("x", t.x[static_cast<std::size_t>(m)].valore, 3, "m"),
              reale_mostrato("y", t.y[static_cast<std::size_t>(m)].valore, 3, "m")}});
      } else {
        r.genere = "vuoto";
      }
      f.righe.push_back(std::move(r));
    }
    return f;
  }
  for (const tratto_letto& tr : tratti(t)) {
    riga_mostrata r;
    r.oggetto = "metri";
    r.primo = tr.primo;
    r.ultimo = tr.ultimo;
    r.genere = nome_tratto(tr);
    std::vector<campo_mostrato> campi;
    if (tr.genere == genere_tratto::curva) {
      const int grado = grado_curva(tr.curvatura);
      if (grado != 0) campi.push_back(intero("grado", grado));
      campi.push_back(
          reale_mostrato("curvatura", curvatura_mostrata(tr.curvatura), -1, "per metro"));
      campi.push_back(intero("raggio", nearest(1 / std::fabs(tr.curvatura)), "m"));
    }
    if (tr.genere != genere_tratto::vuoto) {
      campi.push_back(reale_mostrato("direzione entrata", tr.direzione_entrata, 4, "gradi"));
      campi.push_back(reale_mostrato("direzione uscita", tr.direzione_uscita, 4, "gradi"));
      campi.push_back(reale_mostrato("x fine", tr.x_fine, 3, "m"));
      campi.push_back(reale_mostrato("y fine", tr.y_fine, 3, "m"));
      r.gruppi.push_back({"campi", std::move(campi)});
    }
    f.righe.push_back(std::move(r));
  }
  return f;
}

std::string testo_riga(const riga_mostrata& r) {
  std::string t = r.oggetto + " " + std::to_string(r.primo);
  if (r.ultimo != r.primo) t += "-" + std::to_string(r.ultimo);
  if (r.metri)
    t += ", " + std::to_string((*r.metri)[0]) + "-" + std::to_string((*r.metri)[1]) + " m";
  if (!r.genere.empty()) t += ", " + r.genere;
  if (r.testo) t += " " + tra_virgolette(*r.testo);
  for (std::size_t g = 0; g < r.gruppi.size(); ++g) {
    t += g == 0 ? ": " : "; ";
    const std::vector<campo_mostrato>& campi = r.gruppi[g].campi;
    for (std::size_t i = 0; i < campi.size(); ++i)
      t += (i == 0 ? "" : ", ") + testo_campo(campi[i]);
  }
  return t;
}

std::string testo_mostrato(const std::vector<file_mostrato>& file) {
  std::string t;
  for (const file_mostrato& f : file) {
    if (file.size() > 1) t += "file " + f.nome + "\n";
    t += intestazione(f);
    for (const std::string& n : f.note) t += "nota: " + n + "\n";
    for (const riga_mostrata& r : f.righe) t += testo_riga(r) + "\n";
  }
  return t;
}

std::string json_mostrato(const std::vector<file_mostrato>& file) {
  nlohmann::ordered_json tutti = nlohmann::ordered_json::array();
  for (const file_mostrato& f : file) {
    nlohmann::ordered_json j;
    j["file"] = f.nome;
    j["genere"] = nome_genere(f.genere);
    nlohmann::ordered_json unita = nlohmann::ordered_json::object();
    const auto campi = [&unita](const std::vector<campo_mostrato>& cc) {
      nlohmann::ordered_json o = nlohmann::ordered_json::object();
      for (const campo_mostrato& c : cc) {
        o[c.nome] = json_valore(c);
        if (!c.unita.empty()) unita[c.nome] = c.unita;
      }
      return o;
    };
    j["sommario"] = campi(f.sommario);
    j["note"] = f.note;
    nlohmann::ordered_json righe = nlohmann::ordered_json::array();
    for (const riga_mostrata& r : f.righe) {
      nlohmann::ordered_json jr;
      jr["oggetto"] = r.oggetto;
      jr["primo"] = r.primo;
      jr["ultimo"] = r.ultimo;
      if (r.metri) jr["metri"] = *r.metri;
      if (!r.genere.empty()) jr["genere"] = r.genere;
      if (r.testo) jr["testo"] = *r.testo;
      for (const gruppo_mostrato& g : r.gruppi) jr[g.nome] = campi(g.campi);
      righe.push_back(std::move(jr));
    }
    j["unita"] = std::move(unita);
    j["righe"] = std::move(righe);
    tutti.push_back(std::move(j));
  }
  return tutti.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace compattatore
