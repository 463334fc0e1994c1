// The plan: the track to scale in its own coordinates (metres, y turned so
// that the drawing's y grows downwards and a right curve turns right), and on
// it what stands along the route, each at the middle of its cell.
#include <algorithm>
#include <cstdint>
#include <string>

#include "disegno/parti_pagina.h"
#include "disegno/pianta.h"
#include "disegno/testo_html.h"

namespace compattatore {

namespace {

std::string coordinate(const punto_pianta& p) {
  return numero(p.x, 1) + "," + numero(p.y, 1);
}

std::string polilinea(const std::vector<punto_pianta>& punti, std::size_t da, std::size_t a) {
  std::string s;
  for (std::size_t i = da; i < a && i < punti.size(); ++i) {
    if (!s.empty()) s += ' ';
    s += coordinate(punti[i]);
  }
  return s;
}

// A zero-length stroke: a dot of the stroke's width at p.
std::string punto(const punto_pianta& p) {
  return std::string("M") + numero(p.x, 1) + " " + numero(p.y, 1) + "h0";
}

// The drawn line from metre `da` to metre `a`.
std::string tratto(const std::vector<punto_pianta>& punti, double da, double a) {
  std::string s = coordinate(punto_al_metro(punti, da));
  for (const punto_pianta& p : punti)
    if (p.metro > da && p.metro < a) s.append(" ").append(coordinate(p));
  return s + " " + coordinate(punto_al_metro(punti, a));
}

std::string punti_di_tipo(const modello& m, const std::vector<punto_pianta>& punti,
                          std::uint8_t tipo) {
  std::string d;
  for (std::size_t k = 0; k < m.celle.size(); ++k)
    if (m.celle[k].tipo_cella == tipo) d += punto(punto_al_metro(punti, centro_cella(k)));
  return d;
}

// A dot with a name beside it, to the right or (a_sinistra) to the left; the
// name's offset is in ems, so that it stays the same on the screen whatever
// the zoom.
std::string segno(const std::string& classe, const punto_pianta& p, const std::string& nome,
                  const std::string& attributi = "", bool a_sinistra = false) {
  return "<g class=\"" + classe + "\"" + attributi + "><path class=\"punti\" d=\"" + punto(p) +
         "\"/><text class=\"nome\" x=\"" + numero(p.x, 1) + "\" y=\"" + numero(p.y, 1) +
         (a_sinistra ? "\" dx=\"-0.7em\" text-anchor=\"end\"" : "\" dx=\"0.7em\"") +
         " dy=\"0.35em\">" + nome + "</text></g>\n";
}

}  // namespace

std::string svg_pianta(const modello& m, const scena& s) {
  const std::optional<std::int32_t> ultimo = ultimo_metro_tracciato(m.tracciato);
  if (!ultimo)
    return "<p class=\"vuoto\">Nessun tracciato: la lettura si e' fermata prima delle curve.</p>\n";
  const inquadratura q = inquadra(m.tracciato, *ultimo);
  const std::int32_t fine = std::clamp(s.lunghezza_percorso, 0, *ultimo);
  const std::vector<punto_pianta> punti =
      semplifica_tracciato(m.tracciato, *ultimo, q.tolleranza, {fine});

  std::string o;
  o += "<svg id=\"pianta\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" + numero(q.x, 1) + " " +
       numero(q.y, 1) + " " + numero(q.larghezza, 1) + " " + numero(q.altezza, 1) +
       "\" preserveAspectRatio=\"xMidYMid meet\" font-size=\"" +
       numero(corpo_pianta_px / q.pixel_per_metro, 1) + "\" data-corpo=\"" +
       numero(corpo_pianta_px / larghezza_pianta_px, 6) + "\" data-ingrandimento-massimo=\"" +
       numero(q.ingrandimento_massimo, 1) + "\" data-tolleranza=\"" + numero(q.tolleranza, 3) +
       "\" role=\"img\" aria-label=\"pianta del tracciato\">\n";
  o += "<polyline id=\"tratto_mostrato\" class=\"mostrato\" points=\"\"/>\n";
  std::string metri;
  for (const punto_pianta& p : punti) {
    if (!metri.empty()) metri += ' ';
    metri += std::to_string(p.metro);
  }
  o += "<polyline id=\"tracciato\" class=\"binario\" points=\"" +
       polilinea(punti, 0, punti.size()) + "\" data-metri=\"" + metri + "\"/>\n";
  if (fine < *ultimo) {
    // Beyond the route's end the grid and the track go on for the margin.
    const auto primo = std::find_if(punti.begin(), punti.end(),
                                    [fine](const punto_pianta& p) { return p.metro >= fine; });
    const std::string oltre =
        polilinea(punti, static_cast<std::size_t>(primo - punti.begin()), punti.size());
    o += "<polyline class=\"copertura\" points=\"" + oltre +
         "\" fill=\"none\" stroke=\"#fff\" stroke-width=\"3\"/>\n";
    o += "<polyline id=\"oltre_fine\" class=\"oltre\" points=\"" + oltre + "\"/>\n";
  }
  o += "<g id=\"rallentamenti_pianta\">\n";
  for (const rallentamento_scena& r : s.rallentamenti)
    o += std::string("<polyline class=\"rallentamento\" points=\"") +
         tratto(punti, r.inizio * double{metri_cella}, (r.fine + 1) * double{metri_cella}) +
         "\"/>\n";
  o += "</g>\n";
  o += "<path id=\"indicatori_pianta\" class=\"punti indicatori\" d=\"" +
       punti_di_tipo(m, punti, cella_indicatore_v_max) + "\"/>\n";
  o += "<path id=\"cartelli_pianta\" class=\"punti cartelli\" d=\"" +
       punti_di_tipo(m, punti, cella_cartello) + "\"/>\n";
  o += "<path id=\"segnali_pianta\" class=\"punti segnali\" d=\"" +
       punti_di_tipo(m, punti, cella_segnale) + "\"/>\n";
  o += "<g id=\"estremi_pianta\">\n";
  // To the left: the first and the last station stand there too.
  o += segno("estremo", punti.front(), "inizio", "", true);
  o += segno("estremo", punto_al_metro(punti, fine), "fine", "", true);
  // The errors first: where names would cover one another, the first wins.
  for (const errore_registrato& e : m.errori)
    if (e.posizione)
      o += segno("errore", punto_al_metro(punti, *e.posizione),
                 "errore " + std::to_string(e.codice));
  o += "</g>\n<g id=\"stazioni_pianta\">\n";
  for (const stazione_scena& st : s.stazioni)
    o += segno("stazione", punto_al_metro(punti, st.posizione), html(st.nome),
               " data-slot=\"" + std::to_string(st.slot) + "\"");
  o += "</g>\n";
  o += "<g id=\"scala\"><path d=\"\"/><text text-anchor=\"middle\"></text></g>\n";
  o += "<path id=\"cursore_pianta\" class=\"punti cursore\" d=\"\"/>\n";
  o += "</svg>\n";
  return o;
}

}  // namespace compattatore
