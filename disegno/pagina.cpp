// The route page put together. It is written so that it also reads as XML
// (every element closed, the style and the script in CDATA sections, no
// named character references), so that any XML tool can take it apart.
#include "disegno/pagina.h"

#include <string>
#include <string_view>

#include "disegno/parti_pagina.h"
#include "disegno/scena.h"
#include "disegno/testo_html.h"
#include "model/descrizione_campi.h"

namespace compattatore {

namespace {

std::string html_di_sistema(std::string_view testo) {
  return html_utf8(utf8_di_sistema(testo));
}

std::string sintesi(const modello& m, const scena& s) {
  if (s.celle_in_griglia == 0) return "percorso non letto";
  return "percorso " + std::to_string(s.lunghezza_percorso) + " m \u00b7 celle 0\u2013" +
         std::to_string(s.celle_in_griglia - 1) + " \u00b7 " +
         quanti(std::ssize(s.stazioni), "stazione", "stazioni") + " \u00b7 " +
         quanti(conta_celle(m.celle, cella_segnale), "segnale", "segnali") + " \u00b7 " +
         quanti(conta_celle(m.celle, cella_indicatore_v_max), "indicatore di velocita'",
                "indicatori di velocita'") +
         " \u00b7 " + quanti(conta_celle(m.celle, cella_cartello), "cartello", "cartelli") +
         " \u00b7 " + quanti(std::ssize(s.rallentamenti), "rallentamento", "rallentamenti") +
         " \u00b7 " + quanti(m.numero_montagne, "tratto di montagna", "tratti di montagna");
}

std::string messaggi(const std::vector<messaggio_pagina>& elenco) {
  if (elenco.empty()) return {};
  std::int64_t errori = 0;
  for (const messaggio_pagina& mp : elenco) errori += mp.errore;
  const std::int64_t avvisi = std::ssize(elenco) - errori;
  std::string titolo;
  if (errori > 0) titolo = quanti(errori, "errore", "errori");
  if (errori > 0 && avvisi > 0) titolo += ", ";
  if (avvisi > 0) titolo += quanti(avvisi, "avviso", "avvisi");
  if (errori > 0) titolo += ": la pagina mostra cio' che e' stato letto fino all'errore";
  std::string o = "<section id=\"messaggi\"" +
                  std::string(errori > 0 ? " class=\"con_errori\"" : "") + "><h2>" + titolo +
                  "</h2>\n<ul>\n";
  for (const messaggio_pagina& mp : elenco) {
    std::string dove;
    if (!mp.file.empty()) {
      dove = mp.file;
      if (mp.riga > 0) dove += ":" + std::to_string(mp.riga);
      dove += ": ";
    }
    o += "<li class=\"" + std::string(mp.errore ? "errore" : "avviso") + "\">" +
         html_di_sistema(dove + mp.testo) + "</li>\n";
  }
  return o + "</ul></section>\n";
}

// A small sample of each mark for the legend, drawn with the same classes.
std::string voce_legenda(const std::string& disegno, const std::string& testo) {
  return "<li><svg width=\"26\" height=\"14\" viewBox=\"0 0 26 14\">" + disegno + "</svg>" + testo +
         "</li>\n";
}

std::string legenda() {
  std::string o = "<aside id=\"legenda\" class=\"riquadro\"><h2>Legenda</h2><ul>\n";
  const auto linea = [](const std::string& classe) {
    return "<path class=\"" + classe + "\" d=\"M2 7H24\" fill=\"none\"/>";
  };
  const auto punto = [](const std::string& classe) {
    return "<path class=\"punti " + classe + "\" d=\"M13 7h0\"/>";
  };
  const auto area = [](const std::string& classe) {
    return "<rect class=\"" + classe + "\" x=\"2\" y=\"2\" width=\"22\" height=\"10\"/>";
  };
  o += voce_legenda(
      "<path d=\"M2 7H24\" stroke=\"var(--binario)\" stroke-width=\"2.2\" fill=\"none\"/>",
      "binario");
  o += voce_legenda("<path d=\"M2 7H24\" stroke=\"#ffc94d\" stroke-width=\"9\" opacity=\".75\"/>",
                    "tratto del profilo");
  o += voce_legenda(punto("fermate_profilo"), "stazione, fermata");
  o += voce_legenda("<path class=\"segnali_profilo\" d=\"M13 1V13\"/>", "segnale");
  o += voce_legenda(punto("indicatori_profilo"), "indicatore di velocita'");
  o += voce_legenda(punto("cartelli_profilo"), "cartello indicatore");
  o += voce_legenda(area("rallentamento_zona"), "rallentamento");
  o += voce_legenda(
      "<path class=\"tacche_rallentamento\" d=\"M10 1V13\"/>"
      "<path class=\"tacche_preavviso\" d=\"M16 6V13\"/>",
      "avviso, preavviso");
  o += voce_legenda(punto("abbattimenti_profilo"), "abbattimento");
  o += voce_legenda(linea("linea_quota"), "quota");
  o += voce_legenda(linea("linea_velocita"), "velocita' della linea");
  o += voce_legenda(linea("linea_aderenza"), "aderenza");
  o += voce_legenda(area("montagna1"), "montagna tipo 1");
  o += voce_legenda(area("montagna2"), "montagna tipo 2");
  o += voce_legenda(area("montagna3"), "montagna tipo 3");
  o += voce_legenda(area("zona_stazione"), "zona di stazione");
  o += voce_legenda(area("ripetizione"), "ripetizione segnali");
  o += voce_legenda(area("oltre_fine"), "oltre la fine");
  o += "</ul>\n<p class=\"aiuto\">Puntate la pianta o il profilo: a destra compare che cosa "
       "contiene la cella. Rotellina: ingrandisce; trascinare: sposta; clic sulla pianta o su "
       "una stazione della tabella: il profilo va li'.</p></aside>\n";
  return o;
}

// The scenario-wide values of slots 84 to 86.
std::string valori_scenario(const modello& m, const scena& s) {
  std::string o = "<aside id=\"scenario\" class=\"riquadro\"><h2>Scenario</h2>\n";
  for (const int slot : {slot_treno, slot_linea, slot_generale}) {
    o += "<h3>" + ruolo_voce(slot, s.primo_cartello) + " (voce " + std::to_string(slot) +
         ")</h3><div class=\"campi\">";
    for (const campo_descritto& c :
         campi_voce(slot, s.primo_cartello, m.tabella_servizio[static_cast<std::size_t>(slot)]))
      o += "<div class=\"campo\"><span class=\"nome\">" + std::string(c.nome) +
           "</span><span class=\"valore\">" + std::to_string(c.valore) +
           (c.unita.empty() ? std::string() : std::string(" ").append(c.unita)) + "</span></div>";
    o += "</div>\n";
  }
  return o + "</aside>\n";
}

std::string tabella_stazioni(const scena& s) {
  std::string o =
      "<section id=\"stazioni\" class=\"riquadro\"><div class=\"testata\"><h2>Stazioni</h2>"
      "<span class=\"nota\">" +
      quanti(std::ssize(s.stazioni), "stazione", "stazioni") +
      "; clic su una riga: il profilo va li'</span></div>\n"
      "<table>\n<thead><tr><th class=\"numero\">voce</th><th>nome</th>"
      "<th class=\"numero\">progressiva</th><th class=\"numero\">tipo</th><th>zona</th>"
      "<th class=\"numero\">cella di fermata</th><th class=\"numero\">orario</th></tr></thead>\n"
      "<tbody>\n";
  for (const stazione_scena& st : s.stazioni) {
    const std::string fermata = st.cella_fermata
                                    ? std::to_string(*st.cella_fermata) + " (" +
                                          std::to_string(*st.cella_fermata * metri_cella) + " m)"
                                    : "\u2014";
    o += "<tr class=\"riga_stazione\" data-metri=\"" + std::to_string(st.posizione) +
         "\"><td class=\"numero\">" + std::to_string(st.slot) + "</td><td>" + html(st.nome) +
         "</td><td class=\"numero\">" + progressiva(st.posizione) + "</td><td class=\"numero\">" +
         std::to_string(st.tipo) + "</td><td>" + std::to_string(st.inizio_zona) + " \u2013 " +
         std::to_string(st.fine_zona) + " m</td><td class=\"numero\">" + fermata +
         "</td><td class=\"numero\">" + ora(st.orario) + "</td></tr>\n";
  }
  return o + "</tbody></table></section>\n";
}

}  // namespace

std::string utf8_di_sistema(std::string_view testo) {
#ifdef _WIN32
  return utf8_da_1252(testo);
#else
  constexpr std::string_view sostituto = "\xEF\xBF\xBD";
  std::string uscita;
  uscita.reserve(testo.size());
  for (std::size_t i = 0; i < testo.size();) {
    // One character: its first byte gives its length and its first bits.
    const auto primo = static_cast<unsigned char>(testo[i]);
    const std::size_t lunghezza = primo < 0x80                     ? 1
                                  : primo >= 0xC2 && primo <= 0xDF ? 2
                                  : primo >= 0xE0 && primo <= 0xEF ? 3
                                  : primo >= 0xF0 && primo <= 0xF4 ? 4
                                                                   : 0;
    char32_t c = lunghezza < 2 ? primo : primo & (0x7F >> lunghezza);
    bool valido = lunghezza > 0 && i + lunghezza <= testo.size();
    for (std::size_t k = 1; valido && k < lunghezza; ++k) {
      const auto seguito = static_cast<unsigned char>(testo[i + k]);
      valido = (seguito & 0xC0) == 0x80;
      c = (c << 6) | (seguito & 0x3F);
    }
    // Not written with more bytes than it needs, not half of a UTF-16 pair,
    // within Unicode.
    valido = valido && !(lunghezza == 3 && c < 0x800) && !(lunghezza == 4 && c < 0x10000) &&
             !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
    if (!valido) {
      uscita += sostituto;
      ++i;
      continue;
    }
    // Control characters but tab, line feed and carriage return, and the two
    // that XML does not allow.
    const bool controllo = (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
                           (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF;
    if (controllo)
      uscita += sostituto;
    else
      uscita += testo.substr(i, lunghezza);
    i += lunghezza;
  }
  return uscita;
#endif
}

std::string pagina_percorso(const modello& m, const contenuto_pagina& contenuto) {
  const scena s = leggi_scena(m);
  const std::string titolo =
      html_di_sistema(m.nome_linea) + " \u00b7 treno " + html_di_sistema(m.numero_treno);
  std::string o;
  o += "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"it\" "
       "data-stato=\"caricamento\">\n<head>\n<meta charset=\"utf-8\"/>\n"
       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n<title>" +
       titolo + "</title>\n<style>/*<![CDATA[*/\n";
  o += stile_pagina;
  o += "/*]]>*/</style>\n</head>\n<body>\n";
  o += "<header><h1>" + titolo + "</h1><p class=\"sintesi\">" + sintesi(m, s) + "</p></header>\n";
  o += messaggi(contenuto.messaggi);
  o += "<main class=\"quadro\">\n";
  o += "<section id=\"riquadro_pianta\" class=\"riquadro\"><div class=\"testata\"><h2>Pianta</h2>"
       "<span class=\"nota\">in scala, dalle coordinate del tracciato</span>"
       "<span class=\"spazio\"></span><span class=\"comandi\">"
       "<button type=\"button\" data-azione=\"inquadra\">inquadra il tratto</button> "
       "<button type=\"button\" data-azione=\"pianta_intera\">tutta la pianta</button>"
       "</span></div>\n";
  o += svg_pianta(m, s);
  o += "</section>\n<div class=\"laterale\">\n";
  o += "<aside id=\"lettura\" class=\"riquadro\"><h2>Sotto il puntatore</h2>"
       "<div id=\"lettura_testo\"><p class=\"tenue\">Puntate la pianta o il profilo.</p></div>"
       "</aside>\n";
  o += valori_scenario(m, s);
  o += "</div>\n";
  o += "<section id=\"riquadro_profilo\" class=\"riquadro\"><div class=\"testata\">"
       "<h2>Profilo</h2><span id=\"tratto_testo\" class=\"nota\">tutto il percorso</span>"
       "<span class=\"spazio\"></span><span class=\"comandi\">"
       "<button type=\"button\" data-azione=\"indietro\" title=\"indietro\">\u25c0</button> "
       "<button type=\"button\" data-azione=\"meno\" title=\"meno ingrandito\">\u2212</button> "
       "<button type=\"button\" data-azione=\"piu\" title=\"piu' ingrandito\">+</button> "
       "<button type=\"button\" data-azione=\"avanti\" title=\"avanti\">\u25b6</button> "
       "<button type=\"button\" data-azione=\"tutto\">tutto</button></span></div>\n";
  o += svg_profilo(m, s);
  o += "</section>\n";
  o += legenda();
  o += "</main>\n";
  o += tabella_stazioni(s);
  o += "<script type=\"application/json\" id=\"dati\">" +
       dati_lettura(m, s, contenuto.provenienza) + "</script>\n";
  o += "<script>//<![CDATA[\n";
  o += script_pagina;
  o += "//]]></script>\n</body>\n</html>\n";
  return o;
}

}  // namespace compattatore
