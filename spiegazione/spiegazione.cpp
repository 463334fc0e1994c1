#include "spiegazione/spiegazione.h"

#include <cmath>
#include <numbers>

#include "model/descrizione_campi.h"
#include "model/testo_valori.h"
#include "sources/voci.h"

namespace compattatore {

namespace {

std::vector<std::string> dividi_righe(const std::string& testo) {
  std::vector<std::string> righe;
  std::size_t inizio = 0;
  while (inizio < testo.size()) {
    std::size_t fine = testo.find('\n', inizio);
    if (fine == std::string::npos) fine = testo.size();
    std::string r = testo.substr(inizio, fine - inizio);
    if (!r.empty() && r.back() == '\r') r.pop_back();
    righe.push_back(std::move(r));
    inizio = fine + 1;
  }
  return righe;
}

class spiegazione {
 public:
  spiegazione(const modello& m, const righe_sorgenti& r) : m_(m), righe_(r) {}

  // Where a value came from: "da FILE:LINE (the record as written)", or for
  // the pass "aggiunto per il rallentamento di FILE:LINE (...)".
  std::string da(origine o) const {
    if (o.fonte == fonte_origine::nessuna) return "da nessun record";
    const luogo_errore l = m_.luogo_di(o);
    std::string t = o.fonte == fonte_origine::passata
                        ? "aggiunto dal programma per il rallentamento di "
                        : "da ";
    t += l.file + ":" + std::to_string(l.riga);
    const std::vector<std::string>& righe =
        o.fonte == fonte_origine::linea ? righe_.linea : righe_.servizio;
    if (o.riga >= 1 && static_cast<std::size_t>(o.riga) <= righe.size())
      t += " (" + leggibile(righe[static_cast<std::size_t>(o.riga) - 1], 100) + ")";
    return t;
  }

  static std::string valore(const campo_descritto& c) {
    std::string t = std::string(c.nome) + " " + std::to_string(c.valore);
    if (!c.unita.empty()) t += " " + std::string(c.unita);
    return t;
  }

  std::string cella(std::int64_t k, std::optional<std::int32_t> metro) const {
    const std::size_t i = static_cast<std::size_t>(k);
    const struct cella& c = m_.celle[i];
    const origini_cella o = i < m_.origini.size() ? m_.origini[i] : origini_cella{};
    std::string t = m_.nome_linea + " " + m_.numero_treno + ", ";
    if (metro) t += std::to_string(*metro) + " m, ";
    t += "cella " + std::to_string(k) + ", da " + std::to_string(inizio_cella(k)) + " a " +
         std::to_string(inizio_cella(k + 1)) + " m\n";

    if (c.tipo_cella == cella_vuota) {
      t += "evento: nessuno\n";
    } else {
      t += "evento: " + nome_tipo_cella(c.tipo_cella) + ", " + da(o.evento) + "\n";
      const std::vector<campo_descritto> campi = campi_evento(c);
      if (!campi.empty()) {
        t += " ";
        for (const campo_descritto& f : campi) t += " " + valore(f);
        t += "\n";
      }
    }
    if (i == cella_marcata) {
      t += "marchio:";
      for (const campo_descritto& f : campi_marca(c)) t += " " + valore(f);
      t += ", scritti dal programma alla fine\n";
    }
    const std::vector<campo_descritto> tratto = campi_tratto(c);
    const origine origini[] = {o.avviso, o.montagna, o.velocita, o.pendenza, o.aderenza};
    for (std::size_t f = 0; f < tratto.size(); ++f) {
      const bool vuoto = origini[f].fonte == fonte_origine::nessuna;
      // An approach code or a mountain type nothing set is simply absent.
      if (vuoto && f < 2) {
        t += std::string(tratto[f].nome) + ": nessuno\n";
        continue;
      }
      t += valore(tratto[f]) + ", " + da(origini[f]) + "\n";
    }
    return t;
  }

  std::string tracciato(std::int32_t metro) const {
    const tracciato_piano& p = m_.tracciato;
    if (p.vuoto()) return "tracciato: non disegnato (compattato senza il tracciato)\n";
    if (metro < 0 || metro > p.ultimo_metro() || p.tipo(metro, 0) == tipo_elemento::vuoto)
      return "tracciato al metro " + std::to_string(metro) + ": vuoto\n";
    const double x = p.valore(metro, 0);
    const double y = p.valore(metro, 1);
    // The heading of the step into this metre (out of it at metre 0), from
    // the second component towards the first: a right turn grows it.
    const std::int32_t a = metro == 0 ? 0 : metro - 1;
    const std::int32_t b = metro == 0 ? 1 : metro;
    const double direzione =
        std::atan2(p.valore(b, 0) - p.valore(a, 0), p.valore(b, 1) - p.valore(a, 1)) * 180 /
        std::numbers::pi;
    return "tracciato al metro " + std::to_string(metro) + ": x " + numero(x, 3) + " m, y " +
           numero(y, 3) + " m, direzione " + numero(direzione, 4) + " gradi\n";
  }

  std::string stazione(std::int32_t metro) const {
    const auto nome = [&](int i) {
      return "stazione " + std::to_string(i) + " " +
             leggibile(m_.tabella_servizio[static_cast<std::size_t>(i)].testo);
    };
    int prima = 0;
    int dopo = 0;
    for (int i = 1; i <= m_.numero_stazioni; ++i) {
      const voce_servizio& s = m_.tabella_servizio[static_cast<std::size_t>(i)];
      if (metro >= s.valore_1 && metro < s.valore_2)
        return "zona di stazione: " + nome(i) + ", da " + std::to_string(s.valore_1) + " a " +
               std::to_string(s.valore_2) + " m\n";
      if (s.valore_2 <= metro) prima = i;
      if (s.valore_1 > metro && dopo == 0) dopo = i;
    }
    std::string t = "zona di stazione: nessuna";
    if (prima > 0)
      t += "; dopo " + nome(prima) + " (fino a " +
           std::to_string(m_.tabella_servizio[static_cast<std::size_t>(prima)].valore_2) + " m)";
    if (dopo > 0)
      t += "; prima di " + nome(dopo) + " (da " +
           std::to_string(m_.tabella_servizio[static_cast<std::size_t>(dopo)].valore_1) + " m)";
    return t + "\n";
  }

  std::string segnali(std::int64_t k) const {
    std::int64_t prima = -1;
    std::int64_t dopo = -1;
    for (std::int64_t j = k; j >= 0 && prima < 0; --j)
      if (m_.celle[static_cast<std::size_t>(j)].tipo_cella == cella_segnale) prima = j;
    for (std::size_t j = static_cast<std::size_t>(k) + 1; j < m_.celle.size() && dopo < 0; ++j)
      if (m_.celle[j].tipo_cella == cella_segnale) dopo = static_cast<std::int64_t>(j);
    const auto segnale = [&](std::int64_t j) {
      std::string t = "segnale della cella " + std::to_string(j) + " (" +
                      std::to_string(inizio_cella(j)) + " m";
      if (static_cast<std::size_t>(j) < m_.origini.size()) {
        const luogo_errore l = m_.luogo_di(m_.origini[static_cast<std::size_t>(j)].evento);
        if (!l.file.empty()) t += ", " + l.file + ":" + std::to_string(l.riga);
      }
      return t + ")";
    };
    std::string t = "sezione di segnale: ";
    if (prima < 0 && dopo < 0) return t + "nessun segnale sulla linea\n";
    t += prima >= 0 ? "dopo il " + segnale(prima) : "prima del primo segnale";
    t += dopo >= 0 ? ", prima del " + segnale(dopo) : ", dopo l'ultimo segnale";
    return t + "\n";
  }

 private:
  const modello& m_;
  const righe_sorgenti& righe_;
};

}  // namespace

righe_sorgenti leggi_righe(fonte_sorgenti& fonte) {
  righe_sorgenti r;
  for (sorgente s : {sorgente::linea, sorgente::servizio}) {
    try {
      if (!fonte.esiste(s)) continue;
      (s == sorgente::linea ? r.linea : r.servizio) = dividi_righe(fonte.leggi(s));
    } catch (const std::exception&) {
      // A file that cannot be read quotes nothing: the errors say why.
    }
  }
  return r;
}

std::string spiega_cella(const modello& m, std::int64_t cella, std::optional<std::int32_t> metro,
                         const righe_sorgenti& righe) {
  const spiegazione s(m, righe);
  const std::int32_t punto = metro.value_or(static_cast<std::int32_t>(inizio_cella(cella)));
  return s.cella(cella, metro) + s.tracciato(punto) + s.stazione(punto) + s.segnali(cella);
}

}  // namespace compattatore
