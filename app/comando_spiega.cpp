// `spiega DIR LINEA TRENO METRI`: what the simulator will find at a chainage
// of an author's scenario, and where each value came from.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/fonte_disco.h"
#include "app/messaggi.h"
#include "app/piattaforma.h"
#include "output/compattazione.h"
#include "spiegazione/spiegazione.h"

namespace compattatore {

namespace {

struct opzioni_spiega {
  scenario_autore scenario;
  std::string metri;
  std::string cella;
  bool senza_tracciato = false;
};

// A whole number, or a usage error naming the argument.
std::int64_t intero(const std::string& testo, const std::string& nome) {
  if (const std::optional<std::int64_t> v = intero_non_negativo(testo)) return *v;
  throw errore_uso(nome + " vuole un numero intero non negativo: " + testo);
}

int spiega(const opzioni_spiega& o) {
  modello m;
  m.nome_linea = o.scenario.linea;
  m.numero_treno = o.scenario.treno;
  fonte_disco fonte(o.scenario.directory, o.scenario.linea, o.scenario.treno, /*consuma=*/false);
  // A check reads past the errors: what can be read is explained.
  controlla(m, fonte, o.senza_tracciato ? 0 : 1);
  std::string testo;
  if (m.numero_errori > 0)
    testo += "lo scenario ha " + totali(m.numero_errori, m.numero_avvisi) +
             " (compattatore controlla li elenca): segue cio' che si e' potuto leggere\n";
  if (!m.interruzione.empty() || !m.griglia_dimensionata()) {
    piattaforma::scrivi_errore(elenco_controllo(m));
    return stato_errore_scenario;
  }
  const std::int64_t ultima = static_cast<std::int64_t>(m.celle.size()) - 1;
  std::int64_t cella = 0;
  std::optional<std::int32_t> metro;
  if (!o.cella.empty()) {
    cella = intero(o.cella, "--cella");
    if (cella > ultima)
      throw errore_uso("--cella " + o.cella + " oltre l'ultima cella della griglia, " +
                       std::to_string(ultima));
  } else {
    const std::int64_t m_metri = intero(o.metri, "METRI");
    if (m_metri >= inizio_cella(ultima + 1))
      throw errore_uso("METRI " + o.metri + " oltre la fine della griglia, " +
                       std::to_string(inizio_cella(ultima + 1)) + " m");
    metro = static_cast<std::int32_t>(m_metri);
    cella = m_metri / metri_cella;
  }
  testo += spiega_cella(m, cella, metro, leggi_righe(fonte));
  if (const int stato = scrivi_su_uscita(testo); stato != stato_fatto) return stato;
  return m.numero_errori > 0 ? stato_errore_scenario : stato_fatto;
}

}  // namespace

void aggiungi_spiega(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "spiega", "dice che cosa trovera' il simulatore a una progressiva, e da dove viene",
      "Compatta in memoria DIR/LINEA_linea.txt e DIR/LINEA_TRENO-.txt (senza scrivere\n"
      "nulla) e descrive la cella che contiene METRI (o, con --cella N, la cella N): ogni\n"
      "campo con il suo valore e il record che l'ha scritto (FILE:RIGA e la riga stessa),\n"
      "o l'abbattimento aggiunto per un rallentamento; il punto del tracciato con la sua\n"
      "direzione; la zona di stazione e la sezione di segnale in cui cade. Se lo scenario\n"
      "ha errori lo dice prima, e spiega cio' che si e' potuto leggere (stato 1).");
  const auto o = std::make_shared<opzioni_spiega>();
  argomenti_scenario(comando, o->scenario);
  comando.add_option("METRI", o->metri, "la progressiva, in metri dall'inizio della linea")
      ->type_name("");
  comando.add_option("--cella", o->cella, "la cella da spiegare, al posto di METRI")
      ->type_name("N");
  comando.add_flag("--senza-tracciato", o->senza_tracciato, "non disegna il tracciato");
  quando_scelto(comando, scelta, [o] {
    richiedi_scenario(o->scenario);
    if (o->metri.empty() == o->cella.empty())
      throw errore_uso(o->metri.empty() ? "manca METRI (o --cella N)"
                                        : "METRI e --cella insieme: uno solo");
    return spiega(*o);
  });
}

}  // namespace compattatore
