#include "app/messaggi.h"

#include "app/piattaforma.h"
#include "model/errori.h"

namespace compattatore {

namespace {

std::string descrizione(const modello& m, std::int32_t codice) {
  std::string d(descrizione_errore(codice));
  if (!m.luogo.dettaglio.empty()) d += ": " + m.luogo.dettaglio;
  return d;
}

std::string luogo_per_autore(const modello& m, std::int32_t codice) {
  const std::string d = descrizione(m, codice);
  if (codice == errore_marca_linea || codice == errore_codice_gara) {
    const bool in_tabella = codice == errore_marca_linea
                                ? m.tabella_servizio[slot_linea].intero_1 != 0
                                : m.tabella_servizio[slot_linea].orario != 0;
    return (in_tabella ? "voce 85: " : "cella 1: ") + d;
  }
  if (codice >= errore_segnale_avviso && codice <= errore_abbattimento_interno) {
    return "cella " + std::to_string(m.posizione_errore / 50) + " (" +
           std::to_string(m.posizione_errore) + " m): " + d;
  }
  if (!m.luogo.file.empty()) {
    std::string l = m.luogo.file + ":";
    if (m.luogo.riga > 0) l += std::to_string(m.luogo.riga) + ":";
    return l + " " + d;
  }
  return d;
}

}  // namespace

std::string testo_errore(const modello& m, const std::string& numero, bool per_autore) {
  std::string testo = " Errore n. " + numero;
  const bool guardia = numero == "1250" || numero == "1251";
  // The guards' message is the number alone; an author is also told where.
  if (guardia && !per_autore) return testo;
  if (!guardia && numero != std::to_string(m.codice_errore)) return testo;
  const std::int32_t codice = std::stoi(numero);
  if (errore_ha_posizione(codice))
    testo += "\nPosizione: " + std::to_string(m.posizione_errore) + " m";
  testo += '\n';
  testo += per_autore ? luogo_per_autore(m, codice) : descrizione(m, codice);
  return testo;
}

std::string testo_avviso(const std::string& file, std::int32_t riga, const std::string& testo) {
  std::string t = file;
  if (riga > 0) t += ":" + std::to_string(riga);
  t += ": attenzione: ";
  t += testo;
  return t;
}

std::string testo_fallimento(const std::exception& e) {
  // errore_file's text is already "file: reason".
  if (dynamic_cast<const piattaforma::errore_file*>(&e) != nullptr)
    return std::string("Errore sul file ") + e.what();
  return std::string("Errore di esecuzione: ") + e.what();
}

}  // namespace compattatore
