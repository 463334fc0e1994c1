#include "ispezione/confronto.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "ispezione/formato.h"
#include "ispezione/mostra.h"
#include "ispezione/tratti.h"
#include "model/collocazione.h"
#include "model/descrizione_campi.h"
#include "model/testo_valori.h"
#include "output/marcatura.h"

namespace compattatore {

namespace {

constexpr std::string_view freccia = " → ";
constexpr std::string_view trattino = "–";
// Cells from a slowdown's start back to its warning point.
constexpr std::int64_t celle_avviso_rallentamento =
    static_cast<std::int64_t>(distanza_avviso) / metri_cella;

// Lines come out by group, then along the route.
enum gruppo_differenza { generale = 0, lungo_la_linea = 1, del_tracciato = 2 };

struct differenza {
  int gruppo;
  std::int64_t chiave;
  std::string testo;
};

using campi = std::vector<campo_descritto>;

// Cells where what an edit brings with it may fall.
class zone {
 public:
  void aggiungi(std::int64_t da, std::int64_t a) { intervalli_.emplace_back(da, a); }
  bool contiene(std::int64_t k) const {
    return std::any_of(intervalli_.begin(), intervalli_.end(),
                       [k](const auto& i) { return k >= i.first && k <= i.second; });
  }

 private:
  std::vector<std::pair<std::int64_t, std::int64_t>> intervalli_;
};

std::string metri(std::int64_t m) {
  return std::to_string(m) + " m";
}

std::string tratto_metri(std::int64_t da, std::int64_t a) {
  return std::to_string(da) + std::string(trattino) + std::to_string(a) + " m";
}

std::string valore(std::int64_t v, std::string_view unita) {
  return unita == "s" ? orario_breve(v) : std::to_string(v);
}

std::string con_unita(const campo_descritto& c) {
  std::string t = std::string(c.nome) + " " + valore(c.valore, c.unita);
  if (!c.unita.empty() && c.unita != "s") t += " " + std::string(c.unita);
  return t;
}

std::string elenco(const campi& cc) {
  std::string t;
  for (const campo_descritto& c : cc) t += (t.empty() ? "" : ", ") + con_unita(c);
  return t;
}

std::string cambio(std::string_view nome, const std::string& a, const std::string& b,
                   std::string_view unita = "") {
  std::string t = std::string(nome) + " " + a + std::string(freccia) + b;
  if (!unita.empty()) t += " " + std::string(unita);
  return t;
}

// The fields that differ, "nome a → b"; two lists of other names side by side.
std::string cambi(const campi& a, const campi& b) {
  bool stessi_nomi = a.size() == b.size();
  for (std::size_t i = 0; stessi_nomi && i < a.size(); ++i)
    stessi_nomi = a[i].nome == b[i].nome && a[i].unita == b[i].unita;
  if (!stessi_nomi) return "(" + elenco(a) + ")" + std::string(freccia) + "(" + elenco(b) + ")";
  std::string t;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].valore == b[i].valore) continue;
    const std::string_view unita = a[i].unita == "s" ? "" : a[i].unita;
    t += (t.empty() ? "" : ", ") +
         cambio(a[i].nome, valore(a[i].valore, a[i].unita), valore(b[i].valore, b[i].unita), unita);
  }
  return t;
}

// ---- The grid as railway objects ------------------------------------------

// A point event, or a whole slowdown at its start cell.
struct evento {
  std::size_t cella = 0;
  std::uint8_t tipo = 0;
  campi valori;
  std::optional<std::string> testo;  // a text board's text, when the table is known
  std::int64_t zona_da = 0;          // where what it brings with it falls
  std::int64_t zona_a = 0;

  bool stessi_valori(const evento& o) const { return valori == o.valori && testo == o.testo; }
};

struct scena {
  std::map<std::uint8_t, std::vector<evento>> eventi;  // by type, in cell order
  std::map<std::int64_t, std::size_t> fermate;         // station slot -> its stop cell
};

std::string nome_evento(std::uint8_t tipo) {
  return tipo == cella_inizio_rallentamento ? "rallentamento" : nome_tipo_cella(tipo);
}

// Where an author places the event: p lands in cell nearest(p/50 + 1), a
// check point in nearest(p/50).
std::int64_t posizione(const evento& e) {
  const auto c = static_cast<std::int64_t>(e.cella);
  return e.tipo == cella_abbattimento || e.tipo == cella_abbattimento_nullo ? inizio_cella(c)
                                                                            : inizio_cella(c - 1);
}

std::optional<std::size_t> cerca(const std::vector<cella>& celle, std::int64_t da, std::int64_t a,
                                 std::uint8_t tipo, const std::set<std::size_t>& prese) {
  for (std::int64_t k = da; k <= a; ++k) {
    if (k < 0 || k >= static_cast<std::int64_t>(celle.size())) continue;
    const auto i = static_cast<std::size_t>(k);
    if (celle[i].tipo_cella == tipo && !prese.contains(i)) return i;
  }
  return std::nullopt;
}

// A slowdown from its start cell: the end is the next end cell before another
// start, the warning point 24 cells before the start (give or take the
// rounding of a position that is not a multiple of 50), the pre-warnings the
// four cells before the warning point.
evento rallentamento(const std::vector<cella>& celle, std::size_t s, std::set<std::size_t>& prese) {
  evento e;
  e.cella = s;
  e.tipo = cella_inizio_rallentamento;
  const cella& inizio = celle[s];
  std::optional<std::size_t> fine;
  for (std::size_t k = s + 1; k < celle.size(); ++k) {
    if (celle[k].tipo_cella == cella_inizio_rallentamento) break;
    if (celle[k].tipo_cella == cella_fine_rallentamento && !prese.contains(k)) {
      fine = k;
      break;
    }
  }
  const auto is = static_cast<std::int64_t>(s);
  const std::int64_t atteso = is - celle_avviso_rallentamento;
  std::optional<std::size_t> avviso =
      cerca(celle, atteso, atteso, cella_avviso_rallentamento, prese);
  if (!avviso) avviso = cerca(celle, atteso - 1, atteso + 1, cella_avviso_rallentamento, prese);
  int preavvisi = 0;
  if (avviso) {
    prese.insert(*avviso);
    const auto trovato = static_cast<std::int64_t>(*avviso);
    for (std::int64_t k = trovato - celle_di_avviso; k < trovato; ++k)
      if (const auto p = cerca(celle, k, k, cella_preavviso_rallentamento, prese)) {
        prese.insert(*p);
        ++preavvisi;
      }
  }
  if (fine) prese.insert(*fine);
  e.valori = {{"velocita", inizio.dato_1, "km/h"}};
  if (fine)
    e.valori.push_back({"lunghezza", (static_cast<std::int64_t>(*fine) - is) * metri_cella, "m"});
  e.valori.push_back({"f_tt", inizio.dato_3, ""});
  e.valori.push_back({"d_v", inizio.dato_2, ""});
  e.valori.push_back({"avviso", avviso ? 1 : 0, ""});
  e.valori.push_back({"preavvisi", preavvisi, ""});
  // The marking pass works from 22 cells before the warning point (a check
  // point up to 2 cells before a signal it finds there) to 13 after the end
  // (the cell past the last it searches for a signal).
  e.zona_da = std::min<std::int64_t>(avviso ? static_cast<std::int64_t>(*avviso) : is, is) -
              (avviso_portata + 2);
  e.zona_a = static_cast<std::int64_t>(fine.value_or(s)) + ricerca_segnale + 1;
  return e;
}

scena leggi_scena(const std::vector<cella>& celle, const tabella_letta* tabella) {
  scena s;
  std::set<std::size_t> prese;
  for (std::size_t k = 0; k < celle.size(); ++k)
    if (celle[k].tipo_cella == cella_inizio_rallentamento)
      s.eventi[cella_inizio_rallentamento].push_back(rallentamento(celle, k, prese));
  for (std::size_t k = 0; k < celle.size(); ++k) {
    const cella& c = celle[k];
    const auto ik = static_cast<std::int64_t>(k);
    switch (c.tipo_cella) {
      case cella_vuota:
      case cella_montagna:
      case cella_inizio_rallentamento:
        continue;
      case cella_fermata:
        s.fermate.try_emplace(c.dato_1, k);
        continue;
      default:
        break;
    }
    if (prese.contains(k)) continue;
    evento e;
    e.cella = k;
    e.tipo = c.tipo_cella;
    e.valori = campi_evento(c);
    if (c.tipo_cella == cella_cartello && tabella != nullptr) {
      // Slots shift when a board is added: a board is its text.
      e.testo = testo_voce(tabella, c.dato_1).value_or("");
      e.valori.clear();
    }
    // A signal's approach codes lie on every other cell up to 8 cells before
    // it and the check points the pass adds for it 1 or 2; any event may push
    // a check point of its group aside by up to 2 cells.
    e.zona_da = ik - (c.tipo_cella == cella_segnale ? 2 * celle_di_avviso : 2);
    e.zona_a = ik + 2;
    s.eventi[c.tipo_cella].push_back(std::move(e));
  }
  return s;
}

std::string descrivi(const evento& e) {
  if (e.testo) return tra_virgolette(*e.testo);
  return "(" + elenco(e.valori) + ")";
}

// One kind of event on both sides: changed in place, moved (same values
// elsewhere, the nearest pairs first), taken away, added.
void confronta_eventi(const std::vector<evento>& a, const std::vector<evento>& b,
                      std::vector<differenza>& out, zone& z) {
  std::map<std::size_t, const evento*> in_a, in_b;
  for (const evento& e : a) in_a[e.cella] = &e;
  for (const evento& e : b) in_b[e.cella] = &e;
  const auto segna = [&z](const evento& e) { z.aggiungi(e.zona_da, e.zona_a); };
  std::vector<const evento*> tolti, aggiunti;
  for (const auto& [k, ea] : in_a) {
    const auto ib = in_b.find(k);
    if (ib == in_b.end()) {
      tolti.push_back(ea);
      continue;
    }
    const evento& eb = *ib->second;
    if (ea->stessi_valori(eb)) continue;
    segna(*ea);
    segna(eb);
    const std::string modifica = ea->testo && eb.testo ? cambio("testo", tra_virgolette(*ea->testo),
                                                                tra_virgolette(*eb.testo))
                                                       : cambi(ea->valori, eb.valori);
    out.push_back({lungo_la_linea, posizione(*ea),
                   metri(posizione(*ea)) + ": " + nome_evento(ea->tipo) + ": " + modifica});
  }
  for (const auto& [k, eb] : in_b)
    if (!in_a.contains(k)) aggiunti.push_back(eb);

  std::vector<std::tuple<std::int64_t, std::size_t, std::size_t>> coppie;
  for (std::size_t i = 0; i < tolti.size(); ++i)
    for (std::size_t j = 0; j < aggiunti.size(); ++j)
      if (tolti[i]->stessi_valori(*aggiunti[j]))
        coppie.emplace_back(std::abs(static_cast<std::int64_t>(tolti[i]->cella) -
                                     static_cast<std::int64_t>(aggiunti[j]->cella)),
                            i, j);
  std::sort(coppie.begin(), coppie.end());
  std::vector<bool> tolto_usato(tolti.size()), aggiunto_usato(aggiunti.size());
  for (const auto& [distanza, i, j] : coppie) {
    if (tolto_usato[i] || aggiunto_usato[j]) continue;
    tolto_usato[i] = aggiunto_usato[j] = true;
    segna(*tolti[i]);
    segna(*aggiunti[j]);
    out.push_back({lungo_la_linea, posizione(*tolti[i]),
                   metri(posizione(*tolti[i])) + ": " + nome_evento(tolti[i]->tipo) +
                       " spostato a " + metri(posizione(*aggiunti[j]))});
  }
  for (std::size_t i = 0; i < tolti.size(); ++i) {
    if (tolto_usato[i]) continue;
    segna(*tolti[i]);
    out.push_back({lungo_la_linea, posizione(*tolti[i]),
                   metri(posizione(*tolti[i])) + ": " + nome_evento(tolti[i]->tipo) + " tolto " +
                       descrivi(*tolti[i])});
  }
  for (std::size_t j = 0; j < aggiunti.size(); ++j) {
    if (aggiunto_usato[j]) continue;
    segna(*aggiunti[j]);
    out.push_back({lungo_la_linea, posizione(*aggiunti[j]),
                   metri(posizione(*aggiunti[j])) + ": " + nome_evento(aggiunti[j]->tipo) +
                       " aggiunto " + descrivi(*aggiunti[j])});
  }
}

// A check point that the marking pass may have put: speed 180, or none.
bool come_marcatura(const evento* e) {
  return e == nullptr || (e->tipo == cella_abbattimento && e->valori.size() == 1 &&
                          e->valori[0].valore == velocita_abbattimento);
}

// Check points compared after every other event: those the marking pass
// moved because of another edit are that edit's, not lines of their own.
void confronta_abbattimenti(std::vector<evento> a, std::vector<evento> b,
                            std::vector<differenza>& out, zone& z) {
  std::map<std::size_t, const evento*> in_a, in_b;
  for (const evento& e : a) in_a[e.cella] = &e;
  for (const evento& e : b) in_b[e.cella] = &e;
  std::set<std::size_t> diverse;
  for (const auto& [k, e] : in_a)
    if (!in_b.contains(k) || in_b[k]->tipo != e->tipo || !in_b[k]->stessi_valori(*e))
      diverse.insert(k);
  for (const auto& [k, e] : in_b)
    if (!in_a.contains(k)) diverse.insert(k);
  const auto trova = [](const std::map<std::size_t, const evento*>& m, std::size_t k) {
    const auto i = m.find(k);
    return i == m.end() ? nullptr : i->second;
  };
  std::set<std::size_t> della_marcatura;
  for (std::size_t k : diverse) {
    if (come_marcatura(trova(in_a, k)) && come_marcatura(trova(in_b, k)))
      della_marcatura.insert(k);
    else
      z.aggiungi(static_cast<std::int64_t>(k) - 2, static_cast<std::int64_t>(k) + 2);
  }
  const auto togli = [&](std::vector<evento>& v) {
    std::erase_if(v, [&](const evento& e) {
      return della_marcatura.contains(e.cella) && z.contiene(static_cast<std::int64_t>(e.cella));
    });
  };
  togli(a);
  togli(b);
  for (const std::uint8_t tipo :
       {std::uint8_t{cella_abbattimento}, std::uint8_t{cella_abbattimento_nullo}}) {
    std::vector<evento> da_a, da_b;
    std::copy_if(a.begin(), a.end(), std::back_inserter(da_a),
                 [tipo](const evento& e) { return e.tipo == tipo; });
    std::copy_if(b.begin(), b.end(), std::back_inserter(da_b),
                 [tipo](const evento& e) { return e.tipo == tipo; });
    confronta_eventi(da_a, da_b, out, z);
  }
}

// The stretch values: runs of cells that changed from one same value to
// another same value.
struct campo_tratto {
  const char* nome;
  std::int64_t (*valore)(const cella&);
  const char* unita;
  bool montagna;
};

const campo_tratto campi_tratto_confrontati[] = {
    {"velocita di linea",
     [](const cella& c) -> std::int64_t { return velocita_kmh(c.velocita_linea); }, "km/h", false},
    {"pendenza", [](const cella& c) -> std::int64_t { return pendenza_per_mille(c.pendenza); }, "",
     false},
    {"aderenza", [](const cella& c) -> std::int64_t { return c.aderenza; }, "%", false},
    {"tipo di montagna", [](const cella& c) -> std::int64_t { return c.tipo_montagna; }, "", true},
};

void confronta_tratti(const std::vector<cella>& a, const std::vector<cella>& b, std::size_t n,
                      std::vector<differenza>& out, zone& montagna_cambiata) {
  for (const campo_tratto& campo : campi_tratto_confrontati) {
    for (std::size_t k = 0; k < n;) {
      const std::int64_t va = campo.valore(a[k]);
      const std::int64_t vb = campo.valore(b[k]);
      if (va == vb) {
        ++k;
        continue;
      }
      std::size_t fine = k + 1;
      while (fine < n && campo.valore(a[fine]) == va && campo.valore(b[fine]) == vb) ++fine;
      const auto da = static_cast<std::int64_t>(k);
      const auto a_cella = static_cast<std::int64_t>(fine) - 1;
      if (campo.montagna) montagna_cambiata.aggiungi(da, a_cella);
      std::string t = std::string(campo.nome) + " " +
                      tratto_metri(inizio_cella(da), inizio_cella(a_cella + 1)) + ": " +
                      std::to_string(va) + std::string(freccia) + std::to_string(vb);
      if (*campo.unita != '\0') t += " " + std::string(campo.unita);
      out.push_back({lungo_la_linea, inizio_cella(da), std::move(t)});
      k = fine;
    }
  }
}

// Mountain markers that came or went, one line per mountain stretch; not
// those an event took the place of, nor those of a stretch whose type
// changed.
void confronta_segni(const std::vector<cella>& a, const std::vector<cella>& b, std::size_t n,
                     const zone& montagna_cambiata, std::vector<differenza>& out) {
  std::size_t k = 0;
  while (k < n) {
    const auto in_montagna = [&](std::size_t i) {
      return a[i].tipo_montagna != 0 || b[i].tipo_montagna != 0 ||
             a[i].tipo_cella == cella_montagna || b[i].tipo_cella == cella_montagna;
    };
    if (!in_montagna(k)) {
      ++k;
      continue;
    }
    std::optional<std::size_t> primo;
    std::size_t ultimo = 0;
    int aggiunti = 0;
    int tolti = 0;
    for (; k < n && in_montagna(k); ++k) {
      const bool in_a = a[k].tipo_cella == cella_montagna;
      const bool in_b = b[k].tipo_cella == cella_montagna;
      if (in_a == in_b || !cella_libera(in_a ? b[k] : a[k]) ||
          montagna_cambiata.contiene(static_cast<std::int64_t>(k)))
        continue;
      if (!primo) primo = k;
      ultimo = k;
      ++(in_b ? aggiunti : tolti);
    }
    if (!primo) continue;
    std::string quanti;
    if (aggiunti > 0)
      quanti += std::to_string(aggiunti) + (aggiunti == 1 ? " aggiunto" : " aggiunti");
    if (tolti > 0)
      quanti +=
          (quanti.empty() ? "" : ", ") + std::to_string(tolti) + (tolti == 1 ? " tolto" : " tolti");
    const auto da = static_cast<std::int64_t>(*primo);
    const auto fino = static_cast<std::int64_t>(ultimo);
    out.push_back({lungo_la_linea, inizio_cella(da),
                   "segni di montagna " + tratto_metri(inizio_cella(da), inizio_cella(fino + 1)) +
                       ": " + quanti});
  }
}

campi dati_liberi(std::size_t k, const cella& c) {
  if (k == cella_marcata) return campi_marca(c);
  return campi_dati(c);
}

// What the table says of the stations, for the grid's stops: which changed.
using stazioni_cambiate = std::set<std::int64_t>;

void confronta_griglie(const std::vector<cella>& a, const std::vector<cella>& b,
                       const tabella_letta* ta, const tabella_letta* tb,
                       const stazioni_cambiate& cambiate, std::vector<differenza>& out) {
  const bool con_tabelle = ta != nullptr && tb != nullptr;
  if (a.size() != b.size())
    out.push_back({generale, -1,
                   cambio("griglia: celle", std::to_string(a.size()), std::to_string(b.size()))});
  const std::size_t n = std::min(a.size(), b.size());
  scena sa = leggi_scena(a, con_tabelle ? ta : nullptr);
  scena sb = leggi_scena(b, con_tabelle ? tb : nullptr);
  zone z;
  std::set<std::uint8_t> tipi;
  for (const auto& [t, v] : sa.eventi) tipi.insert(t);
  for (const auto& [t, v] : sb.eventi) tipi.insert(t);
  for (std::uint8_t t : tipi)
    if (t != cella_abbattimento && t != cella_abbattimento_nullo)
      confronta_eventi(sa.eventi[t], sb.eventi[t], out, z);

  // Stops, by station: one that moved with its station is the station's.
  std::set<std::int64_t> stazioni;
  for (const auto& [i, k] : sa.fermate) stazioni.insert(i);
  for (const auto& [i, k] : sb.fermate) stazioni.insert(i);
  for (std::int64_t i : stazioni) {
    const auto fa = sa.fermate.find(i);
    const auto fb = sb.fermate.find(i);
    const std::optional<std::size_t> ka =
        fa == sa.fermate.end() ? std::nullopt : std::optional(fa->second);
    const std::optional<std::size_t> kb =
        fb == sb.fermate.end() ? std::nullopt : std::optional(fb->second);
    if (ka == kb) continue;
    for (const auto& k : {ka, kb})
      if (k)
        z.aggiungi(static_cast<std::int64_t>(*k) - celle_di_avviso, static_cast<std::int64_t>(*k));
    if (con_tabelle && cambiate.contains(i)) continue;
    const std::string stazione = "stazione " + std::to_string(i) + ": fermata ";
    const auto m = [](std::size_t k) { return metri(inizio_cella(static_cast<std::int64_t>(k))); };
    std::string t;
    if (ka && kb)
      t = stazione + "spostata da " + m(*ka) + " a " + m(*kb);
    else if (ka)
      t = stazione + "tolta a " + m(*ka);
    else
      t = stazione + "aggiunta a " + m(*kb);
    out.push_back({lungo_la_linea, inizio_cella(static_cast<std::int64_t>(ka ? *ka : *kb)), t});
  }

  const auto abbattimenti = [](scena& s) {
    std::vector<evento> v = s.eventi[cella_abbattimento];
    for (const evento& e : s.eventi[cella_abbattimento_nullo]) v.push_back(e);
    return v;
  };
  confronta_abbattimenti(abbattimenti(sa), abbattimenti(sb), out, z);

  zone montagna_cambiata;
  confronta_tratti(a, b, n, out, montagna_cambiata);
  confronta_segni(a, b, n, montagna_cambiata, out);

  for (std::size_t k = 0; k < n; ++k) {
    const auto ik = static_cast<std::int64_t>(k);
    if (a[k].avviso != b[k].avviso && !z.contiene(ik))
      out.push_back({lungo_la_linea, inizio_cella(ik),
                     metri(inizio_cella(ik)) + ": " +
                         cambio("codice di avviso", std::to_string(a[k].avviso),
                                std::to_string(b[k].avviso))});
    // What a free cell carries besides its type: cell 1's mark and check code.
    if (a[k].tipo_cella == b[k].tipo_cella && cella_libera(a[k])) {
      const campi va = dati_liberi(k, a[k]);
      const campi vb = dati_liberi(k, b[k]);
      if (va != vb)
        out.push_back({k == cella_marcata ? generale : lungo_la_linea, inizio_cella(ik),
                       "cella " + std::to_string(k) + ": " + cambi(va, vb)});
    }
  }
}

// ---- The service table ------------------------------------------------------

bool vuota(const voce_servizio& v) {
  return v == voce_servizio{};
}

std::string nome_stazione(const voce_servizio& v) {
  return v.testo.empty() ? "" : " " + da_windows_1252(v.testo);
}

void confronta_stazioni(const tabella_letta& a, const tabella_letta& b, int ca, int cb,
                        std::vector<differenza>& out, stazioni_cambiate& cambiate) {
  for (int i = 1; i < std::max(ca, cb); ++i) {
    const voce_servizio& va = a[static_cast<std::size_t>(i)];
    const voce_servizio& vb = b[static_cast<std::size_t>(i)];
    const bool in_a = i < ca && !vuota(va);
    const bool in_b = i < cb && !vuota(vb);
    if (!in_a && !in_b) continue;
    if (in_a && in_b && va == vb) continue;
    cambiate.insert(i);
    const std::string stazione = "stazione " + std::to_string(i);
    if (!in_b) {
      out.push_back(
          {lungo_la_linea, va.valore_3,
           stazione + nome_stazione(va) + " tolta (posizione " + metri(va.valore_3) + ")"});
      continue;
    }
    if (!in_a) {
      out.push_back(
          {lungo_la_linea, vb.valore_3,
           stazione + nome_stazione(vb) + " aggiunta (posizione " + metri(vb.valore_3) + ")"});
      continue;
    }
    // A station moved whole: its position and both ends of its zone by the
    // same distance, nothing else.
    voce_servizio spostata = va;
    const std::int64_t d = std::int64_t{vb.valore_3} - va.valore_3;
    spostata.valore_1 = vb.valore_1;
    spostata.valore_2 = vb.valore_2;
    spostata.valore_3 = vb.valore_3;
    std::string t;
    if (d != 0 && spostata == vb && std::int64_t{vb.valore_1} - va.valore_1 == d &&
        std::int64_t{vb.valore_2} - va.valore_2 == d) {
      t = "spostata da " + metri(va.valore_3) + " a " + metri(vb.valore_3);
    } else {
      t = cambi(campi_voce(i, ca, va), campi_voce(i, cb, vb));
      if (va.testo != vb.testo)
        t += (t.empty() ? "" : ", ") + cambio("nome", tra_virgolette(da_windows_1252(va.testo)),
                                              tra_virgolette(da_windows_1252(vb.testo)));
    }
    out.push_back({lungo_la_linea, va.valore_3, stazione + nome_stazione(va) + ": " + t});
  }
}

void confronta_voce(const tabella_letta& a, const tabella_letta& b, int slot, int ca, int cb,
                    int gruppo, std::vector<differenza>& out) {
  const voce_servizio& va = a[static_cast<std::size_t>(slot)];
  const voce_servizio& vb = b[static_cast<std::size_t>(slot)];
  if (va == vb) return;
  std::string t = cambi(campi_voce(slot, ca, va), campi_voce(slot, cb, vb));
  if (va.testo != vb.testo)
    t += (t.empty() ? "" : ", ") + cambio("testo", tra_virgolette(da_windows_1252(va.testo)),
                                          tra_virgolette(da_windows_1252(vb.testo)));
  if (t.empty()) {
    // Fields that the slot's role does not name (a station's in slot 0): all
    // of them, as a station slot in a table with no board texts has them.
    campi tutti_a = campi_voce(1, slot_primo_cartello + 1, va);
    campi tutti_b = campi_voce(1, slot_primo_cartello + 1, vb);
    t = cambi(tutti_a, tutti_b);
  }
  out.push_back({gruppo, slot, ruolo_voce(slot, cb) + ": " + t});
}

// Board texts that no text board cell names: with the grids they are seen
// through their boards, these are not.
std::set<int> voci_dei_cartelli(const std::vector<cella>& celle) {
  std::set<int> voci;
  for (const cella& c : celle)
    if (c.tipo_cella == cella_cartello) voci.insert(c.dato_1);
  return voci;
}

void confronta_tabelle(const tabella_letta& a, const tabella_letta& b,
                       const std::vector<cella>* celle_a, const std::vector<cella>* celle_b,
                       std::vector<differenza>& out, stazioni_cambiate& cambiate) {
  const bool con_griglie = celle_a != nullptr && celle_b != nullptr;
  const int ca = primo_cartello(a, con_griglie ? celle_a : nullptr);
  const int cb = primo_cartello(b, con_griglie ? celle_b : nullptr);
  for (int slot : {0, slot_progressiva_tre, slot_progressiva_due, slot_progressiva_uno, slot_treno,
                   slot_linea, slot_generale})
    confronta_voce(a, b, slot, ca, cb, generale, out);
  confronta_stazioni(a, b, ca, cb, out, cambiate);
  const std::set<int> nominate_a = con_griglie ? voci_dei_cartelli(*celle_a) : std::set<int>{};
  const std::set<int> nominate_b = con_griglie ? voci_dei_cartelli(*celle_b) : std::set<int>{};
  for (int slot = std::min(ca, cb); slot <= slot_primo_cartello; ++slot) {
    if (slot < ca && slot < cb) continue;
    if (nominate_a.contains(slot) || nominate_b.contains(slot)) continue;
    // A slot that is a station on one side and a text on the other is told
    // as a station above.
    if ((slot < ca && !vuota(a[static_cast<std::size_t>(slot)])) ||
        (slot < cb && !vuota(b[static_cast<std::size_t>(slot)])))
      continue;
    confronta_voce(a, b, slot, ca, cb, lungo_la_linea, out);
  }
}

// ---- The track --------------------------------------------------------------

bool stesso_elemento(const elemento_letto& a, const elemento_letto& b) {
  return a.tipo == b.tipo &&
         std::bit_cast<std::uint64_t>(a.valore) == std::bit_cast<std::uint64_t>(b.valore);
}

// The one run that differs in kind or rate, same metres on both sides.
std::optional<std::string> tratto_cambiato(const tracciato_letto& a, const tracciato_letto& b) {
  const std::vector<tratto_letto> ta = tratti(a);
  const std::vector<tratto_letto> tb = tratti(b);
  if (ta.size() != tb.size()) return std::nullopt;
  std::optional<std::size_t> unico;
  for (std::size_t i = 0; i < ta.size(); ++i) {
    if (ta[i].primo != tb[i].primo || ta[i].ultimo != tb[i].ultimo) return std::nullopt;
    if (ta[i].genere == tb[i].genere && stessa_curvatura(ta[i].curvatura, tb[i].curvatura))
      continue;
    if (unico) return std::nullopt;
    unico = i;
  }
  if (!unico) return std::nullopt;
  const tratto_letto& ra = ta[*unico];
  const tratto_letto& rb = tb[*unico];
  const auto descrizione = [](const tratto_letto& r) {
    std::string t = nome_tratto(r);
    if (r.genere == genere_tratto::curva) {
      const int g = grado_curva(r.curvatura);
      t += g != 0 ? " di grado " + std::to_string(g)
                  : " di curvatura " + reale_breve(curvatura_mostrata(r.curvatura));
    }
    return t;
  };
  return "metri " + std::to_string(ra.primo) + std::string(trattino) + std::to_string(ra.ultimo) +
         ": " + descrizione(ra) + std::string(freccia) + descrizione(rb);
}

void confronta_tracciati(const tracciato_letto& a, const tracciato_letto& b,
                         std::vector<differenza>& out) {
  const std::int32_t comune = std::min(a.ultimo_metro, b.ultimo_metro);
  std::optional<std::int32_t> primo;
  std::int32_t ultimo = 0;
  double massimo = -1;
  std::int32_t dove = 0;
  for (std::int32_t m = 0; m <= comune; ++m) {
    const auto i = static_cast<std::size_t>(m);
    if (stesso_elemento(a.x[i], b.x[i]) && stesso_elemento(a.y[i], b.y[i])) continue;
    if (!primo) primo = m;
    ultimo = m;
    if (a.ha_punto(m) && b.ha_punto(m)) {
      const double d = std::hypot(a.x[i].valore - b.x[i].valore, a.y[i].valore - b.y[i].valore);
      if (d > massimo) {
        massimo = d;
        dove = m;
      }
    }
  }
  // The empty metres at the end do not end a difference.
  std::int32_t ultimo_punto = comune;
  while (ultimo_punto > 0 && !a.ha_punto(ultimo_punto) && !b.ha_punto(ultimo_punto)) --ultimo_punto;
  std::string t;
  if (a.ultimo_metro != b.ultimo_metro)
    t = cambio("metri", "0" + std::string(trattino) + std::to_string(a.ultimo_metro),
               "0" + std::string(trattino) + std::to_string(b.ultimo_metro));
  if (primo) {
    if (!t.empty()) t += ", ";
    if (massimo >= 0)
      t += "scostamento massimo " + numero(massimo, massimo >= 0.05 ? 1 : 3) + " m a " +
           metri(dove) + ", ";
    t += ultimo >= ultimo_punto && a.ultimo_metro == b.ultimo_metro
             ? "da " + metri(*primo) + " in poi"
             : "da " + metri(*primo) + " a " + metri(ultimo);
    if (const auto r = tratto_cambiato(a, b)) t += " (" + *r + ")";
  }
  if (!t.empty()) out.push_back({del_tracciato, 0, "tracciato: " + t});
}

}  // namespace

std::vector<std::string> confronta(const insieme_letto& a, const insieme_letto& b) {
  std::vector<differenza> out;
  stazioni_cambiate cambiate;
  const std::vector<cella>* celle_a = a.celle ? &*a.celle : nullptr;
  const std::vector<cella>* celle_b = b.celle ? &*b.celle : nullptr;
  if (a.tabella && b.tabella)
    confronta_tabelle(*a.tabella, *b.tabella, celle_a, celle_b, out, cambiate);
  if (a.celle && b.celle)
    confronta_griglie(*a.celle, *b.celle, a.tabella ? &*a.tabella : nullptr,
                      b.tabella ? &*b.tabella : nullptr, cambiate, out);
  if (a.tracciato && b.tracciato) {
    confronta_tracciati(*a.tracciato, *b.tracciato, out);
  } else if (a.tracciato || b.tracciato) {
    out.push_back({del_tracciato, 0,
                   std::string("tracciato: solo ") + (a.tracciato ? "nel primo" : "nel secondo")});
  }
  std::stable_sort(out.begin(), out.end(), [](const differenza& x, const differenza& y) {
    return std::tie(x.gruppo, x.chiave) < std::tie(y.gruppo, y.chiave);
  });
  std::vector<std::string> righe;
  for (differenza& d : out) righe.push_back(std::move(d.testo));
  // Bytes that differ always give a line, even where no rule names them.
  if (righe.empty()) {
    if (a.celle && b.celle && *a.celle != *b.celle) righe.push_back("griglia: celle diverse");
    if (a.tabella && b.tabella && *a.tabella != *b.tabella)
      righe.push_back("tabella: voci diverse");
  }
  return righe;
}

}  // namespace compattatore
