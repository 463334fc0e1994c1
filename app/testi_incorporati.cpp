#include "app/testi_incorporati.h"

#include <array>

#include "app/piattaforma.h"
#include "documents/documenti.h"
#include "model/nomi_file.h"
#include "sources/scenario.h"

namespace compattatore {

namespace {

std::string nome_linea(const std::string& linea, const std::string&) {
  return nome_sorgente_linea(linea);
}

// In the order of quale_testo.
constexpr std::array<testo_incorporato, 5> tabella = {{
    {nome_linea, righe_linea},
    {nome_sorgente_servizio, righe_treno},
    {nome_note, righe_note},
    {nome_rallentamenti, righe_rallentamenti},
    {nome_scheda, righe_scheda},
}};

}  // namespace

std::span<const testo_incorporato> testi_incorporati() {
  return tabella;
}

const testo_incorporato& testo(quale_testo q) {
  return tabella[static_cast<std::size_t>(q)];
}

void scrivi_testo(const std::string& directory, const testo_incorporato& t,
                  const std::string& linea, const std::string& treno) {
  piattaforma::sostituisci_file(piattaforma::percorso(directory, t.nome(linea, treno)),
                                testo_da_righe(t.righe()));
}

}  // namespace compattatore
