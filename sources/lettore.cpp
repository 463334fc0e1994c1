#include "sources/lettore.h"

#include <utility>

#include "model/errori.h"
#include "sources/lettura.h"

namespace compattatore {

namespace {

// How a row's value becomes its cell field: the gradient plus 100 and the
// adhesion keep their low 8 bits; the line speed is counted in units of
// 5 km/h and must fit a byte.
std::uint8_t codifica_pendenza(std::int32_t g) {
  return static_cast<std::uint8_t>(std::int64_t{g} + 100);
}

std::uint8_t codifica_velocita(std::int32_t v) {
  const std::int64_t codice = nearest(v / 5.0);
  if (codice < 0 || codice > 255)
    throw fallimento_lettura("velocita' di " + std::to_string(v) +
                             " km/h: il suo quinto non sta in un byte (da 0 a 1277 km/h)");
  return static_cast<std::uint8_t>(codice);
}

std::uint8_t codifica_aderenza(std::int32_t a) {
  return static_cast<std::uint8_t>(a);
}

}  // namespace

void memorizza_dati(modello& m, fonte_sorgenti& fonte, const avviso_lettura& avvisa) {
  lettura(m, fonte, avvisa).esegui();
}

lettura::lettura(modello& m, fonte_sorgenti& fonte, const avviso_lettura& avvisa)
    : m_(m),
      fonte_(fonte),
      avvisa_(avvisa),
      pendenze_(&cella::pendenza, &origini_cella::pendenza, codifica_pendenza, false),
      velocita_(&cella::velocita_linea, &origini_cella::velocita, codifica_velocita, true),
      aderenze_(&cella::aderenza, &origini_cella::aderenza, codifica_aderenza, false) {}

void lettura::esegui() {
  m_.tabella_servizio[slot_linea].testo = m_.nome_linea;
  m_.tabella_servizio[slot_generale].testo = m_.numero_treno;
  try {
    if (leggi_linea() == esito::termina) return;
    leggi_servizio();
  } catch (const fallimento_lettura& f) {
    fallisci(f);
  }
}

// Reads the whole file into memory. False when it does not exist; a file
// that exists but cannot be read is a reading failure.
bool lettura::apri(sorgente s) {
  corrente_ = s;
  nome_corrente_ = fonte_.nome(s);
  (s == sorgente::linea ? m_.file_linea : m_.file_servizio) = nome_corrente_;
  voci_.reset();
  riga_parola_ = 0;
  riga_senza_avvisi_ = 0;
  if (!fonte_.esiste(s)) return false;
  std::optional<std::string> testo = fonte_.leggi(s);
  if (!testo) throw fallimento_lettura("impossibile aprire il file");
  testo_ = std::move(*testo);
  voci_.emplace(testo_);
  return true;
}

// The end of a file's reading: the source decides whether that deletes it.
// Each file is consumed once at most, and only while it exists.
void lettura::chiudi(sorgente s) {
  bool& fatto = consumata_[static_cast<std::size_t>(s)];
  if (fatto) return;
  fatto = true;
  if (fonte_.esiste(s)) fonte_.consuma(s);
}

// Error 25: everything closed, both sources gone where they still exist.
void lettura::fallisci(const fallimento_lettura& f) {
  luogo_errore l = luogo(f.what());
  if (f.riga() != 0) l.riga = f.riga();
  if (voci_ && !voci_->causa_del_file().empty()) {
    l.dettaglio += "; ";
    l.dettaglio += voci_->causa_del_file();
  }
  m_.registra_errore(errore_lettura, std::nullopt, std::move(l));
  chiudi(sorgente::linea);
  chiudi(sorgente::servizio);
}

void lettura::leggi_parola() {
  riga_parola_ = voci_->riga();
  voci_->leggi_testo(parola_);
}

// The next keyword item, false at the end. The last item of a file is never
// taken as a keyword; items with "-" are comments, up to the part's limit.
bool lettura::prossima_parola(int limite_commenti, bool fine_dopo_sostituzione) {
  if (voci_->fine()) return false;
  leggi_parola();
  if (voci_->fine()) return false;
  for (int k = 0; k < limite_commenti && contiene(parola_, "-"); ++k) {
    leggi_parola();
    if (fine_dopo_sostituzione && voci_->fine()) return false;
  }
  return true;
}

// Every record whose words the keyword item holds, in table order; an item
// may pass several tests and then reads the fields of each.
lettura::esito lettura::applica(std::span<const regola> regole, bool parte_dati) {
  bool riconosciuta = false;
  for (const regola& r : regole) {
    const bool corrisponde =
        r.maiuscole ? contiene(parola_, r.parola_1) && contiene(parola_, r.parola_2)
                    : contiene_nc(parola_, r.parola_1) && contiene_nc(parola_, r.parola_2);
    if (!corrisponde) continue;
    riconosciuta = true;
    if (r.solo_con_tracciato && m_.genera_linea == 0) {
      // A curve record without the track: its numbers are read as keyword
      // items next, and are no typos worth a warning.
      riga_senza_avvisi_ = riga_parola_;
      continue;
    }
    const esito e = (this->*r.gestisci)(r.argomento);
    if (e != esito::continua) return e;
  }
  if (!riconosciuta && parte_dati) avvisa_parola_sconosciuta();
  return esito::continua;
}

void lettura::avvisa_parola_sconosciuta() {
  if (!avvisa_) return;
  const std::string_view parola = parola_;
  const std::size_t primo = parola.find_first_not_of(" \t");
  if (primo == std::string_view::npos) return;
  const std::size_t ultimo = parola.find_last_not_of(" \t");
  const bool intestazione = parola[primo] == '[' && parola[ultimo] == ']';
  // An item with "-" is a comment, even past the comment rule's limit.
  if (intestazione || contiene(parola, "-") || riga_parola_ == riga_senza_avvisi_) return;
  avvisa_(nome_corrente_, riga_parola_,
          "parola chiave sconosciuta \"" + parola_ + "\", record ignorato");
  // The rest of the line is the misspelt record's fields: one warning is enough.
  riga_senza_avvisi_ = riga_parola_;
}

origine lettura::qui() const {
  return {corrente_ == sorgente::linea ? fonte_origine::linea : fonte_origine::servizio,
          riga_parola_};
}

luogo_errore lettura::luogo(std::string dettaglio) const {
  return {nome_corrente_, riga_parola_, std::move(dettaglio)};
}

lettura::esito lettura::rifiuta(codice_errore_numero codice,
                                std::optional<std::int32_t> posizione) {
  m_.registra_errore(codice, posizione, luogo());
  chiudi(corrente_);
  return esito::termina;
}

bool lettura::fuori_griglia(std::int64_t posizione, int margine) {
  if (in_celle(static_cast<double>(posizione + margine)) <= m_.numero_celle) return false;
  const std::int64_t massimo = inizio_cella(m_.numero_celle) - margine;
  m_.registra_errore(errore_fuori_griglia, static_cast<std::int32_t>(posizione),
                     luogo("la posizione " + std::to_string(posizione) + " supera il massimo di " +
                           std::to_string(massimo) + " m"));
  return true;
}

}  // namespace compattatore
