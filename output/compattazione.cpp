#include "output/compattazione.h"

#include <chrono>
#include <stdexcept>

#include "model/nomi_file.h"
#include "output/codici_gara.h"
#include "output/marcatura.h"

namespace compattatore {

namespace {

// Adds the time since the last mark to the register, when there is one.
class cronometro {
 public:
  explicit cronometro(registro_tempi* tempi) : tempi_(tempi) {}
  void fase(const char* nome) {
    if (tempi_ == nullptr) return;
    const auto adesso = std::chrono::steady_clock::now();
    tempi_->push_back({nome, std::chrono::duration<double>(adesso - inizio_).count()});
    inizio_ = adesso;
  }

 private:
  registro_tempi* tempi_;
  std::chrono::steady_clock::time_point inizio_ = std::chrono::steady_clock::now();
};

// A producer that hands over an image built whole.
std::function<void(const scrittore&)> intera(immagine img) {
  return [img = std::move(img)](const scrittore& scrivi) { scrivi(img); };
}

}  // namespace

immagine file_compattato::contenuto() const {
  immagine out;
  produci([&out](std::string_view pezzo) { out.append(pezzo); });
  return out;
}

void controlla(modello& m, fonte_sorgenti& fonte, std::int32_t j) {
  m.genera_linea = j;
  m.azzera_errori();
  m.svuota_tabella();
  controlla_dati(m, fonte);
  if (!m.interruzione.empty()) return;
  if (!m.griglia_dimensionata()) {
    m.interruzione = "la griglia non e' stata dimensionata";
    return;
  }
  marca_abbattimenti(m);
  timbra_codici(m);
}

risultato_compattazione compatta(modello& m, fonte_sorgenti& fonte, std::int32_t j,
                                 registro_tempi* tempi) {
  cronometro cronometro(tempi);
  m.genera_linea = j;
  m.azzera_errori();
  m.svuota_tabella();

  memorizza_dati(m, fonte);
  cronometro.fase("lettura");
  // A reader that stopped before the route length has left no grid to work on.
  if (!m.griglia_dimensionata()) {
    if (m.primo_errore() == nullptr)
      throw std::logic_error("griglia non dimensionata senza errore");
    return {m.primo_errore()->codice, {}};
  }

  marca_abbattimenti(m);
  cronometro.fase("marcatura");
  timbra_codici(m);
  cronometro.fase("codici");

  // A scenario with a recorded error is never written: the simulator would
  // load a half-read model as if it were sound. The first error is the one
  // reported; what follows it may only be its consequence.
  if (m.primo_errore() != nullptr) return {m.primo_errore()->codice, {}};

  risultato_compattazione r;
  // The track goes to its file straight from the model: its image would
  // double the memory of a long route.
  if (m.genera_linea != 0)
    r.file.push_back(
        {nome_file_tracciato(m.nome_linea),
         [&t = m.tracciato](const scrittore& scrivi) { produci_tracciato(t, scrivi); }});
  r.file.push_back({nome_file_tabella(m.nome_linea, m.numero_treno),
                    intera(immagine_tabella(m.tabella_servizio))});
  r.file.push_back(
      {nome_file_celle(m.nome_linea, m.numero_treno), intera(immagine_celle(m.celle))});
  return r;
}

}  // namespace compattatore
