// The profile along the chainage. Each band is an inner <svg> drawn in metres
// along and in its own unit upwards (metres of altitude, km/h, percent),
// stretched to its box; zooming only changes the bands' viewBox. Labels stand
// outside the bands, in the profile's own units, and carry their chainage in
// data-m for the script to move them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "disegno/parti_pagina.h"
#include "disegno/testo_html.h"
#include "model/descrizione_campi.h"

namespace compattatore {

namespace {

// The profile's own units: about one pixel each in a window 1280 wide.
constexpr double larghezza_profilo = 900;
constexpr double altezza_profilo = 376;
constexpr double x0 = 58;
constexpr double larghezza_dati = 832;
constexpr double riga_stazioni_1 = 12;
constexpr double riga_stazioni_2 = 26;
constexpr double y_asse = 330;

// A band: its box in the profile and the part of its own y axis it shows.
struct fascia {
  const char* id;
  double y;
  double altezza;
  double vb_y;
  double vb_altezza;

  // The profile's y of the band's value v.
  double y_di(double v) const { return y + (v - vb_y) / vb_altezza * altezza; }
};

class profilo {
 public:
  profilo(const modello& m, const scena& s)
      : m_(m), s_(s), metri_(static_cast<double>(s.metri_griglia())) {}

  std::string disegna();

 private:
  double x_di(double metro) const { return x0 + metro / metri_ * larghezza_dati; }
  static std::string n(double v) { return numero(v, 1); }

  void apri(const fascia& f) {
    o_ += "<svg id=\"" + std::string(f.id) + "\" class=\"fascia\" x=\"" + n(x0) + "\" y=\"" +
          n(f.y) + "\" width=\"" + n(larghezza_dati) + "\" height=\"" + n(f.altezza) +
          "\" viewBox=\"0 " + numero(f.vb_y, 2) + " " + n(metri_) + " " + numero(f.vb_altezza, 2) +
          "\" preserveAspectRatio=\"none\">\n";
  }
  void chiudi(const fascia& f) {
    o_ += "</svg>\n<rect class=\"cornice\" x=\"" + n(x0) + "\" y=\"" + n(f.y) + "\" width=\"" +
          n(larghezza_dati) + "\" height=\"" + n(f.altezza) + "\"/>\n";
  }
  // A label that the script moves along with its chainage; labels of one
  // group share a row and are thinned where they would overlap.
  enum class lato { centro, destra, sinistra };
  void etichetta(const std::string& gruppo, const std::string& classe, double metro, double y,
                 const std::string& testo, lato l = lato::centro) {
    const char* ancora = l == lato::centro   ? " text-anchor=\"middle\""
                         : l == lato::destra ? " text-anchor=\"start\" dx=\"5\""
                                             : " text-anchor=\"end\" dx=\"-5\"";
    etichette_ += "<text class=\"" + classe + "\" data-gruppo=\"" + gruppo + "\" data-m=\"" +
                  n(metro) + "\" x=\"" + n(x_di(metro)) + "\" y=\"" + n(y) + "\"" + ancora + ">" +
                  testo + "</text>\n";
  }
  void titolo_a_sinistra(const fascia& f, const std::string& testo) {
    etichette_fisse_ += "<text class=\"titolo_fascia\" x=\"" + n(x0 - 4) + "\" y=\"" +
                        n(f.y + f.altezza / 2 + 3.5) + "\" text-anchor=\"end\">" + testo +
                        "</text>\n";
  }
  void titolo(const fascia& f, const std::string& testo) {
    etichette_fisse_ += "<text class=\"titolo_fascia\" x=\"" + n(x0 + 4) + "\" y=\"" + n(f.y + 11) +
                        "\">" + testo + "</text>\n";
  }
  void valore_asse(double y, const std::string& testo, const std::string& id = "") {
    etichette_fisse_ += "<text" + (id.empty() ? std::string() : " id=\"" + id + "\"") +
                        " class=\"valore_asse\" x=\"" + n(x0 - 4) + "\" y=\"" + n(y + 3.5) +
                        "\" text-anchor=\"end\">" + testo + "</text>\n";
  }
  // A stretch of cells drawn from the start of its first cell to the end of
  // its last.
  std::string rettangolo(const char* classe, double da, double a, double y, double altezza) {
    return "<rect class=\"" + std::string(classe) + "\" x=\"" + n(da) + "\" y=\"" + numero(y, 2) +
           "\" width=\"" + n(a - da) + "\" height=\"" + numero(altezza, 2) + "\"/>\n";
  }
  // The step line of one stretch value, v(valore) on the band's y axis.
  template <class F>
  std::string gradini(const std::vector<tratto_costante>& t, F y) {
    std::string d;
    for (std::size_t i = 0; i < t.size(); ++i) {
      const double da = static_cast<double>(t[i].cella) * metri_cella;
      d += i == 0 ? std::string("M") + n(da) + " " : std::string("V");
      d += numero(y(t[i].valore), 2);
      d += 'H';
      d += n(i + 1 < t.size() ? static_cast<double>(t[i + 1].cella) * metri_cella : metri_);
    }
    return d;
  }

  void sfondo(const fascia& f);
  void quota(const fascia& f);
  void velocita(const fascia& f);
  void eventi(const fascia& f);
  void aderenza(const fascia& f);
  void asse(const fascia& f);
  void stazioni();

  const modello& m_;
  const scena& s_;
  double metri_;
  std::string o_;
  std::string etichette_;
  std::string etichette_fisse_;
  std::int64_t alta_ = 0;  // centimetres
  std::int64_t bassa_ = 0;
};

void profilo::sfondo(const fascia& f) {
  apri(f);
  for (const stazione_scena& st : s_.stazioni)
    o_ += rettangolo("zona_stazione", st.inizio_zona, st.fine_zona, 0, f.vb_altezza);
  if (s_.lunghezza_percorso < metri_) {
    o_ += rettangolo("oltre_fine", s_.lunghezza_percorso, metri_, 0, f.vb_altezza);
    o_ += "<path class=\"fine_percorso\" d=\"M" + n(s_.lunghezza_percorso) + " 0V" +
          n(f.vb_altezza) + "\"/>\n";
    etichetta("fine", "valore_asse", s_.lunghezza_percorso, f.y + 12, "fine del percorso",
              lato::sinistra);
  }
  o_ += "<g id=\"righe_km\" class=\"riga_km\" data-altezza=\"" + n(f.vb_altezza) + "\"></g>\n";
  std::string linee;
  for (const stazione_scena& st : s_.stazioni)
    linee += std::string("M") + n(st.posizione) + " 0V" + n(f.vb_altezza);
  o_ += "<path class=\"linea_stazione\" d=\"" + linee + "\"/>\n";
  for (const errore_registrato& e : m_.errori) {
    if (!e.posizione) continue;
    o_ += std::string("<path class=\"errore_profilo\" d=\"M") + n(*e.posizione) + " 0V" +
          n(f.vb_altezza) + "\"/>\n";
    etichetta("errore", "testo_errore", *e.posizione, f.y + 24,
              "errore " + std::to_string(e.codice), lato::destra);
  }
  chiudi(f);
}

void profilo::quota(const fascia& f) {
  apri(f);
  titolo(f, "quota (m, da 0 all'inizio)");
  std::vector<tratto_costante> montagne =
      tratti(m_.celle, [](const cella& c) { return std::int32_t{c.tipo_montagna}; });
  for (std::size_t i = 0; i < montagne.size(); ++i) {
    const std::int32_t tipo = montagne[i].valore;
    if (tipo == 0) continue;
    const double da = static_cast<double>(montagne[i].cella) * metri_cella;
    const double a =
        i + 1 < montagne.size() ? static_cast<double>(montagne[i + 1].cella) * metri_cella : metri_;
    const std::string classe = tipo <= 3 ? "montagna" + std::to_string(tipo) : "montagna_altro";
    o_ += rettangolo(classe.c_str(), da, a, f.vb_y, f.vb_altezza);
  }
  std::string punti;
  for (const punto_quota& q : s_.quote)
    punti +=
        std::string(punti.empty() ? "" : " ") + n(q.metro) + "," + numero(-q.centimetri / 100.0, 2);
  o_ += "<polygon class=\"area_quota\" points=\"" + punti + " " + n(metri_) + "," +
        numero(f.vb_y + f.vb_altezza, 2) + " 0," + numero(f.vb_y + f.vb_altezza, 2) + "\"/>\n";
  o_ += "<polyline id=\"quota\" class=\"linea_quota\" points=\"" + punti + "\"/>\n";
  chiudi(f);
  // The script moves these two with the highest and lowest point shown.
  valore_asse(f.y_di(-alta_ / 100.0), numero(alta_ / 100.0, 0), "quota_alta");
  valore_asse(f.y_di(-bassa_ / 100.0), numero(bassa_ / 100.0, 0), "quota_bassa");
}

std::int64_t valore(const std::vector<campo_descritto>& campi, std::string_view nome) {
  for (const campo_descritto& c : campi)
    if (c.nome == nome) return c.valore;
  return 0;
}

void profilo::velocita(const fascia& f) {
  apri(f);
  titolo(f, "velocita' (km/h)");
  // Grid lines every 20 or 40 km/h.
  const double passo = f.vb_altezza > 200 ? 40 : 20;
  std::string righe;
  for (double v = passo; v < f.vb_altezza; v += passo) {
    righe += "M0 " + n(-v) + "H" + n(metri_);
    valore_asse(f.y_di(-v), numero(v, 0));
  }
  o_ += "<g class=\"riga\"><path d=\"" + righe + "\"/></g>\n";
  for (const rallentamento_scena& r : s_.rallentamenti) {
    const double da = r.inizio * double{metri_cella};
    const double a = (r.fine + 1) * double{metri_cella};
    o_ += rettangolo("rallentamento_zona", da, a, -r.velocita, r.velocita);
    etichetta("rallentamenti", "testo_rallentamento", (da + a) / 2, f.y_di(-r.velocita) - 4,
              "rallentamento " + std::to_string(r.velocita) + " km/h");
  }
  std::string avvisi, preavvisi, aste, indicatori;
  for (std::size_t k = 0; k < m_.celle.size(); ++k) {
    const cella& c = m_.celle[k];
    const std::string x = n(centro_cella(k));
    if (c.tipo_cella == cella_avviso_rallentamento) {
      avvisi += "M" + x + " 0V" + n(-std::clamp<double>(c.dato_1, 0, f.vb_altezza));
      etichetta("avvisi", "testo_rallentamento", centro_cella(k), f.y + f.altezza - 4, "avviso");
    } else if (c.tipo_cella == cella_preavviso_rallentamento) {
      preavvisi += "M" + x + " 0V" + n(-f.vb_altezza * 0.3);
    } else if (c.tipo_cella == cella_indicatore_v_max) {
      const std::vector<campo_descritto> campi = campi_evento(c);
      const std::int64_t vas = valore(campi, "vas"), vbs = valore(campi, "vbs"),
                         vcs = valore(campi, "vcs");
      const double y = -std::clamp<double>(static_cast<double>(vas), 0, f.vb_altezza);
      aste += "M" + x + " 0V" + n(y);
      indicatori += "M" + x + " " + n(y) + "h0";
      std::string testo = std::to_string(vas);
      if (vbs != vas || vcs != vas) testo += "/" + std::to_string(vbs) + "/" + std::to_string(vcs);
      etichetta("indicatori", "velocita_indicatore", centro_cella(k), f.y_di(y) - 6, testo);
    }
  }
  o_ += "<path class=\"tacche_preavviso\" d=\"" + preavvisi + "\"/>\n";
  o_ += "<path class=\"tacche_rallentamento\" d=\"" + avvisi + "\"/>\n";
  o_ += "<path class=\"aste_indicatori\" d=\"" + aste + "\"/>\n";
  const std::vector<tratto_costante> linea =
      tratti(m_.celle, [](const cella& c) { return velocita_kmh(c.velocita_linea); });
  o_ += std::string("<path id=\"velocita_linea\" class=\"linea_velocita\" d=\"") +
        gradini(linea, [](std::int32_t v) { return -static_cast<double>(v); }) + "\"/>\n";
  o_ += "<path class=\"punti indicatori_profilo\" d=\"" + indicatori + "\"/>\n";
  chiudi(f);
}

void profilo::eventi(const fascia& f) {
  apri(f);
  titolo_a_sinistra(f, "eventi");
  std::string segnali, fermate, cartelli, abbattimenti, nulli;
  for (std::size_t k = 0; k < m_.celle.size(); ++k) {
    const cella& c = m_.celle[k];
    const std::string x = n(centro_cella(k));
    switch (c.tipo_cella) {
      case cella_segnale:
        segnali += "M" + x + " 6V38";
        break;
      case cella_fermata:
        fermate += "M" + x + " 52h0";
        break;
      case cella_cartello:
        cartelli += "M" + x + " 52h0";
        break;
      case cella_abbattimento:
        abbattimenti += "M" + x + " 80h0";
        etichetta("abbattimenti", "testo_abbattimento", centro_cella(k), f.y_di(80) + 3.5,
                  std::to_string(c.dato_1), lato::destra);
        break;
      case cella_abbattimento_nullo:
        nulli += "M" + x + " 80h0";
        break;
      default:
        break;
    }
  }
  o_ += "<path id=\"segnali_profilo\" class=\"segnali_profilo\" d=\"" + segnali + "\"/>\n";
  o_ += "<path class=\"punti fermate_profilo\" d=\"" + fermate + "\"/>\n";
  o_ += "<path class=\"punti cartelli_profilo\" d=\"" + cartelli + "\"/>\n";
  o_ += "<path class=\"punti abbattimenti_nulli_profilo\" d=\"" + nulli + "\"/>\n";
  o_ += "<path class=\"punti abbattimenti_profilo\" d=\"" + abbattimenti + "\"/>\n";
  chiudi(f);
}

void profilo::aderenza(const fascia& f) {
  apri(f);
  const std::vector<tratto_costante> t =
      tratti(m_.celle, [](const cella& c) { return std::int32_t{c.aderenza}; });
  o_ += std::string("<path class=\"linea_aderenza\" d=\"") +
        gradini(t, [](std::int32_t v) { return -static_cast<double>(v); }) + "\"/>\n";
  chiudi(f);
  for (std::size_t i = 0; i < t.size(); ++i) {
    const double da = static_cast<double>(t[i].cella) * metri_cella;
    etichetta("aderenza", "valore_asse", da, f.y_di(-t[i].valore) - 2,
              std::to_string(t[i].valore) + " %", lato::destra);
  }
  titolo_a_sinistra(f, "aderenza");
}

void profilo::asse(const fascia& f) {
  apri(f);
  const voce_servizio& generale = m_.tabella_servizio[slot_generale];
  if (generale.valore_3 != 0 && generale.valore_2 > generale.valore_1) {
    o_ += rettangolo("ripetizione", generale.valore_1, generale.valore_2, 0, 4);
    etichetta("asse", "valore_asse", std::max<double>(generale.valore_1, 0), f.y + f.altezza + 1,
              "ripetizione segnali, " + std::to_string(generale.valore_3) + " codici",
              lato::destra);
  }
  std::string progressive;
  for (int slot = slot_progressiva_tre; slot <= slot_progressiva_uno; ++slot) {
    const voce_servizio& v = m_.tabella_servizio[static_cast<std::size_t>(slot)];
    if (v.valore_1 == 0 && v.valore_2 == 0 && v.valore_3 == 0) continue;
    progressive += "M" + n(v.valore_1) + " 0V10";
    etichetta("asse", "valore_asse", v.valore_1, f.y + f.altezza + 1,
              "progressiva " + std::to_string(v.valore_1) + ", " + std::to_string(v.valore_2) +
                  ", " + std::to_string(v.valore_3),
              lato::destra);
  }
  o_ += "<path class=\"progressive\" d=\"" + progressive + "\"/>\n";
  o_ += "</svg>\n";
}

void profilo::stazioni() {
  for (std::size_t i = 0; i < s_.stazioni.size(); ++i) {
    const stazione_scena& st = s_.stazioni[i];
    etichetta(i % 2 == 0 ? "stazioni1" : "stazioni2", "nome_stazione", st.posizione,
              i % 2 == 0 ? riga_stazioni_1 : riga_stazioni_2, html(st.nome));
  }
}

std::string profilo::disegna() {
  o_ += "<svg id=\"profilo\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
        n(larghezza_profilo) + " " + n(altezza_profilo) + "\" data-x0=\"" + n(x0) +
        "\" data-larghezza=\"" + n(larghezza_dati) + "\" data-metri=\"" + n(metri_) +
        "\" data-fine=\"" + std::to_string(s_.lunghezza_percorso) +
        "\" role=\"img\" aria-label=\"profilo lungo la progressiva\">\n";

  sfondo({"fascia_sfondo", 32, 296, 0, 296});

  for (const punto_quota& q : s_.quote) {
    alta_ = std::max(alta_, q.centimetri);
    bassa_ = std::min(bassa_, q.centimetri);
  }
  const double margine = std::max<double>(static_cast<double>(alta_ - bassa_) * 0.08, 500) / 100;
  quota({"fascia_quota", 34, 128, -alta_ / 100.0 - margine,
         static_cast<double>(alta_ - bassa_) / 100 + 2 * margine});

  double piu_alta = 50;
  for (const cella& c : m_.celle) {
    piu_alta = std::max<double>(piu_alta, velocita_kmh(c.velocita_linea));
    if (c.tipo_cella == cella_indicatore_v_max)
      piu_alta = std::max<double>(piu_alta, static_cast<double>(valore(campi_evento(c), "vas")));
    if (c.tipo_cella == cella_inizio_rallentamento) piu_alta = std::max<double>(piu_alta, c.dato_1);
  }
  piu_alta = std::ceil(piu_alta * 1.15 / 10) * 10;
  velocita({"fascia_velocita", 168, 100, -piu_alta, piu_alta});

  eventi({"fascia_eventi", 274, 30, 0, 100});

  std::int32_t aderenza_min = 255, aderenza_max = 0;
  for (const cella& c : m_.celle) {
    aderenza_min = std::min<std::int32_t>(aderenza_min, c.aderenza);
    aderenza_max = std::max<std::int32_t>(aderenza_max, c.aderenza);
  }
  aderenza({"fascia_aderenza", 308, 18, -aderenza_max - 12.0,
            static_cast<double>(aderenza_max - aderenza_min) + 24});

  o_ += "<g id=\"asse_km\" data-y=\"" + n(y_asse) + "\"></g>\n";
  asse({"fascia_asse", 352, 8, 0, 10});
  stazioni();

  o_ +=
      "<line id=\"cursore_profilo\" x1=\"0\" x2=\"0\" y1=\"32\" y2=\"328\" "
      "style=\"display:none\"/>\n";
  o_ += etichette_fisse_;
  o_ += "<g id=\"etichette_profilo\">\n" + etichette_ + "</g>\n";
  o_ += "</svg>\n";
  return o_;
}

}  // namespace

std::string svg_profilo(const modello& m, const scena& s) {
  if (s.celle_in_griglia == 0)
    return "<p class=\"vuoto\">Nessuna griglia: la lettura si e' fermata prima della lunghezza "
           "del percorso.</p>\n";
  return profilo(m, s).disegna();
}

}  // namespace compattatore
