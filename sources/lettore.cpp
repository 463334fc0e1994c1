#include "sources/lettore.h"

#include <algorithm>
#include <utility>

#include "model/descrizione_campi.h"
#include "model/errori.h"
#include "sources/lettura.h"

namespace compattatore {

std::uint8_t codifica_pendenza(std::int32_t g) {
  return static_cast<std::uint8_t>(std::int64_t{g} + 100);
}

namespace {

// How the other rows' values become their cell fields: the adhesion keeps
// its low 8 bits; the line speed is counted in units of 5 km/h and must fit
// a byte.

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

bool stesse_lettere(std::string_view a, std::string_view b) {
  return a.size() == b.size() && contiene_nc(a, b);
}

// A cell and the metres where it starts, as messages name it.
std::string nome_cella(std::int64_t k) {
  return "cella " + std::to_string(k) + " (" + std::to_string(inizio_cella(k)) + " m)";
}

}  // namespace

void memorizza_dati(modello& m, fonte_sorgenti& fonte) {
  lettura(m, fonte, false).esegui();
}

void controlla_dati(modello& m, fonte_sorgenti& fonte) {
  lettura(m, fonte, true).esegui();
}

lettura::lettura(modello& m, fonte_sorgenti& fonte, bool prosegui)
    : m_(m),
      fonte_(fonte),
      prosegui_(prosegui),
      pendenze_(&cella::pendenza, &origini_cella::pendenza, codifica_pendenza, false),
      velocita_(&cella::velocita_linea, &origini_cella::velocita, codifica_velocita, true),
      aderenze_(&cella::aderenza, &origini_cella::aderenza, codifica_aderenza, false) {}

void lettura::esegui() {
  m_.tabella_servizio[slot_linea].testo = m_.nome_linea;
  m_.tabella_servizio[slot_generale].testo = m_.numero_treno;
  m_.numero_stazioni = 0;
  try {
    if (leggi_linea() == esito::termina) return;
    leggi_servizio();
  } catch (const fallimento_lettura& f) {
    fallisci(f);
    if (prosegui_) interrompi("la lettura non puo' proseguire oltre questo errore");
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
  riga_ultimo_record_ = 0;
  if (!fonte_.esiste(s)) return false;
  testo_ = fonte_.leggi(s);
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
  registra_fallimento(f);
  chiudi(sorgente::linea);
  chiudi(sorgente::servizio);
}

void lettura::registra_fallimento(const fallimento_lettura& f) {
  luogo_errore l = luogo(f.what());
  if (f.riga() != 0) l.riga = f.riga();
  // A cause of the whole file explains any failure in it.
  if (voci_ && !voci_->causa_del_file().empty()) {
    l.dettaglio += "; ";
    l.dettaglio += voci_->causa_del_file();
  }
  m_.registra_errore(errore_lettura, std::nullopt, std::move(l));
}

lettura::esito lettura::rifiuta_lettura(const fallimento_lettura& f) {
  if (!prosegui_) throw f;
  registra_fallimento(f);
  voci_->salta_riga();
  // The rest of the record's line is not to be read as keywords.
  riga_senza_avvisi_ = riga_parola_;
  return esito::rifiutato;
}

lettura::esito lettura::interrompi(std::string motivo) {
  m_.interruzione = std::move(motivo);
  return esito::termina;
}

void lettura::riempi(riempimento& r, std::int32_t p, std::int32_t v) {
  fino_a_riuscire(r, [&] { r.riga(m_, p, v, qui()); });
}

void lettura::completa(riempimento& r) {
  fino_a_riuscire(r, [&] { r.completa(m_); });
}

void lettura::fino_a_riuscire(riempimento& r, const std::function<void()>& passo) {
  for (;;) {
    try {
      passo();
      return;
    } catch (const fallimento_lettura& f) {
      if (!prosegui_) throw;
      // The value of an earlier row failed as it was written: that row is
      // passed over, the one before it goes on, and the fill is resumed.
      registra_fallimento(f);
      r.scarta_valore();
    }
  }
}

void lettura::leggi_parola() {
  riga_parola_ = voci_->riga();
  voci_->leggi_testo(parola_);
}

// The next keyword item, false at the end. The last item of a file is never
// taken as a keyword; items with "-" are comments, up to the part's limit.
bool lettura::prossima_parola(int limite_commenti, bool fine_dopo_sostituzione) {
  for (;;) {
    try {
      if (voci_->fine()) return false;
      leggi_parola();
      if (voci_->fine()) return false;
      for (int k = 0; k < limite_commenti && contiene(parola_, "-"); ++k) {
        leggi_parola();
        if (fine_dopo_sostituzione && voci_->fine()) return false;
      }
      return true;
    } catch (const fallimento_lettura& f) {
      // A keyword that cannot be read (quotes never closed): in a check, its
      // line is passed over.
      rifiuta_lettura(f);
    }
  }
}

bool lettura::corrisponde(const regola& r, bool senza_maiuscole) const {
  if (r.maiuscole && !senza_maiuscole)
    return contiene(parola_, r.parola_1) && contiene(parola_, r.parola_2);
  return contiene_nc(parola_, r.parola_1) && contiene_nc(parola_, r.parola_2);
}

// Every record whose words the keyword item holds, in table order; an item
// may pass several tests and then reads the fields of each.
lettura::esito lettura::applica(const parte& p) {
  bool riconosciuta = false;
  for (const regola& r : p.regole) {
    if (!corrisponde(r, false)) continue;
    riconosciuta = true;
    if (r.solo_con_tracciato && m_.genera_linea == 0) {
      // A curve record without the track: its numbers are read as keyword
      // items next, and are no typos worth a warning.
      riga_senza_avvisi_ = riga_parola_;
      continue;
    }
    voci_->segna_inizio_record();
    const std::size_t sostituzioni = m_.sostituzioni.size();
    esito e = esito::continua;
    try {
      e = (this->*r.gestisci)(r.argomento);
    } catch (const fallimento_lettura& f) {
      e = rifiuta_lettura(f);
    }
    if (e == esito::rifiutato) {
      // In a check: a record refused before all its fields were read leaves
      // the rest of its line, which is not to be read as records.
      if (voci_->riga() == riga_parola_) voci_->salta_riga();
      return esito::continua;
    }
    if (e != esito::continua) return e;
    avvisa_sostituzioni(sostituzioni);
    dopo_il_record(r);
  }
  if (!riconosciuta) parola_non_riconosciuta(p);
  return esito::continua;
}

// What a record read past its own line, or a quoted text that ran over line
// ends, took from the records that follow.
void lettura::dopo_il_record(const regola& r) {
  if (const auto v = voci_->prendi_virgolette_su_piu_righe())
    avvisa(v->apertura, "il testo tra virgolette aperto alla riga " + std::to_string(v->apertura) +
                            " si chiude alla riga " + std::to_string(v->chiusura) +
                            ": contiene i fine riga e tutto cio' che sta in mezzo, che non viene "
                            "letto come record");
  else if (const auto& altrove = voci_->voce_su_altra_riga())
    avvisa("il record \"" + std::string(r.nome) + "\" prende campi dalla riga " +
           std::to_string(altrove->riga) + ", a cominciare da \"" + altrove->testo +
           "\": gli manca un campo? Quella riga non viene letta come record a se'");
  // Its line is done; items left on it are the record's, not records.
  ultimo_record_ = r.nome;
  riga_ultimo_record_ = voci_->riga_ultima_voce();
  if (riga_ultimo_record_ != riga_parola_) riga_senza_avvisi_ = riga_ultimo_record_;
}

void lettura::parola_non_riconosciuta(const parte& p) {
  if (const auto v = voci_->prendi_virgolette_su_piu_righe()) {
    avvisa(v->apertura, "il testo tra virgolette aperto alla riga " + std::to_string(v->apertura) +
                            " si chiude alla riga " + std::to_string(v->chiusura) +
                            ": le righe in mezzo non vengono lette");
    riga_senza_avvisi_ = v->chiusura;
    return;
  }
  const std::string_view parola = senza_spazi(parola_);
  // An item with "-" is a comment, even past the comment rule's limit.
  if (parola.empty() || contiene(parola, "-") || riga_parola_ == riga_senza_avvisi_) return;
  // The rest of the line is this item's record: one warning is enough.
  riga_senza_avvisi_ = riga_parola_;
  const std::string mostrata = "\"" + leggibile(parola) + "\"";

  if (riga_parola_ == riga_ultimo_record_) {
    avvisa("voci in piu' dopo il record \"" + std::string(ultimo_record_) + "\": " + mostrata +
           " e il resto della riga vengono ignorati (il record e' stato letto)");
    return;
  }
  if (parola.front() == '[' && parola.back() == ']') {
    if (!intestazione_nota(parola, p.intestazioni))
      avvisa("intestazione di sezione sconosciuta " + mostrata + ", ignorata");
    return;
  }
  for (const regola& r : p.regole) {
    if (!r.maiuscole || !corrisponde(r, true)) continue;
    avvisa(mostrata + " non e' il record \"" + std::string(r.nome) + "\": le sue parole \"" +
           std::string(r.parola_1) + "\" e \"" + std::string(r.parola_2) +
           "\" vanno scritte in minuscolo; record ignorato");
    return;
  }
  // Records of the data part: the [generale] part runs on further than
  // the author thinks.
  if (std::any_of(p.dati_seguenti.begin(), p.dati_seguenti.end(),
                  [&](const regola& r) { return contiene_nc(parola, r.parola_1); })) {
    if (dati_in_generale_++ == 0) {
      riga_primi_dati_in_generale_ = riga_parola_;
      avvisa(mostrata +
             " e' un record della parte dei dati, ma sta ancora nella parte [generale], che "
             "non lo legge: manca l'intestazione che chiude [generale] (per esempio "
             "[curve])?");
    }
    return;
  }
  avvisa("parola chiave sconosciuta " + mostrata + ", record ignorato");
}

bool lettura::intestazione_nota(std::string_view parola, std::span<const std::string_view> note) {
  const std::string_view p = senza_spazi(parola);
  return std::any_of(note.begin(), note.end(),
                     [&](std::string_view i) { return stesse_lettere(p, i); });
}

origine lettura::qui() const {
  return {corrente_ == sorgente::linea ? fonte_origine::linea : fonte_origine::servizio,
          riga_parola_};
}

luogo_errore lettura::luogo(std::string dettaglio, std::string spiegazione) const {
  return {nome_corrente_, riga_parola_, std::move(dettaglio), std::move(spiegazione)};
}

void lettura::avvisa(std::string testo) {
  avvisa(riga_parola_, std::move(testo));
}

void lettura::avvisa(std::int32_t riga, std::string testo) {
  m_.registra_avviso(nome_corrente_, riga, std::move(testo));
}

void lettura::fuori_intervallo(std::string_view campo, std::int64_t valore, std::int64_t minimo,
                               std::int64_t massimo, std::string_view conseguenza) {
  if (valore >= minimo && valore <= massimo) return;
  std::string testo = std::string(campo) + " " + std::to_string(valore) +
                      " fuori dall'intervallo da " + std::to_string(minimo) + " a " +
                      std::to_string(massimo);
  if (!conseguenza.empty()) testo += ": " + std::string(conseguenza);
  avvisa(std::move(testo));
}

void lettura::avvisa_sostituzioni(std::size_t da) {
  for (std::size_t i = da; i < m_.sostituzioni.size(); ++i) {
    const sostituzione& s = m_.sostituzioni[i];
    const luogo_errore prima = m_.luogo_di(s.prima);
    std::string di;
    if (!prima.file.empty()) di = " di " + prima.file + ":" + std::to_string(prima.riga);
    switch (s.gruppo) {
      case gruppo_campi::evento:
        avvisa(con_articolo(static_cast<std::uint8_t>(s.valore_dopo)) + " nella " +
               nome_cella(s.cella) + " sostituisce " +
               con_articolo(static_cast<std::uint8_t>(s.valore_prima)) + di + ", che va perso");
        break;
      case gruppo_campi::avviso:
        avvisa("il codice di avvicinamento " + std::to_string(s.valore_dopo) + " nella " +
               nome_cella(s.cella) + " sostituisce il codice " + std::to_string(s.valore_prima) +
               di);
        break;
      case gruppo_campi::montagna: {
        // One line for the run of cells where this record covers another.
        std::size_t j = i;
        while (j + 1 < m_.sostituzioni.size() &&
               m_.sostituzioni[j + 1].gruppo == gruppo_campi::montagna &&
               m_.sostituzioni[j + 1].prima == s.prima &&
               m_.sostituzioni[j + 1].cella == m_.sostituzioni[j].cella + 1)
          ++j;
        avvisa("il tipo di montagna " + std::to_string(s.valore_dopo) + " dalla " +
               nome_cella(s.cella) + " alla " + nome_cella(m_.sostituzioni[j].cella) +
               " sostituisce il tipo " + std::to_string(s.valore_prima) + " del tratto" + di);
        i = j;
        break;
      }
    }
  }
}

// UTF-8 sequences of two to four bytes: the simulator reads Windows-1252 and
// shows each of their bytes as a character of its own.
void lettura::controlla_codifica(std::string_view testo) {
  for (std::size_t i = 0; i < testo.size(); ++i) {
    const auto c = static_cast<unsigned char>(testo[i]);
    const std::size_t seguenti = c >= 0xF0 && c <= 0xF4   ? 3
                                 : c >= 0xE0 && c <= 0xEF ? 2
                                 : c >= 0xC2 && c <= 0xDF ? 1
                                                          : 0;
    if (seguenti == 0 || i + seguenti >= testo.size()) continue;
    bool utf8 = true;
    for (std::size_t k = 1; k <= seguenti; ++k)
      utf8 = utf8 && (static_cast<unsigned char>(testo[i + k]) & 0xC0) == 0x80;
    if (!utf8) continue;
    avvisa("il testo \"" + leggibile(testo) +
           "\" sembra scritto in UTF-8: il simulatore legge Windows-1252 e ne mostra le lettere "
           "accentate come due o tre caratteri estranei (salvate il file in Windows-1252)");
    return;
  }
}

lettura::esito lettura::rifiuta(codice_errore_numero codice, std::optional<std::int32_t> posizione,
                                std::string spiegazione) {
  m_.registra_errore(codice, posizione, luogo({}, std::move(spiegazione)));
  if (prosegui_) return esito::rifiutato;
  chiudi(corrente_);
  return esito::termina;
}

lettura::esito lettura::rifiuta(const esito_collocazione& e, std::int32_t posizione) {
  std::string spiegazione;
  if (e.codice == errore_fuori_griglia)
    spiegazione = "la cella " + std::to_string(e.cella) +
                  " e' fuori dalla griglia, che va dalla cella 0 alla cella " +
                  std::to_string(m_.numero_celle) + "; " + estensione_griglia();
  else
    spiegazione = nome_cella(e.cella) + " gia' occupata " + occupata_da(m_, e.cella);
  return rifiuta(e.codice, posizione, std::move(spiegazione));
}

bool lettura::fuori_griglia(std::int64_t posizione, int margine) {
  if (in_celle(static_cast<double>(posizione + margine)) <= m_.numero_celle) return false;
  const std::int64_t massimo = inizio_cella(m_.numero_celle) - margine;
  m_.registra_errore(errore_fuori_griglia, static_cast<std::int32_t>(posizione),
                     luogo("la posizione " + std::to_string(posizione) + " supera il massimo di " +
                               std::to_string(massimo) + " m",
                           estensione_griglia()));
  return true;
}

// How far the grid reaches, and the record that sized it.
std::string lettura::estensione_griglia() const {
  return "la griglia arriva a " + std::to_string(m_.lunghezza_griglia) +
         " m (lunghezza del percorso " + std::to_string(lunghezza_percorso_) + " m, " +
         m_.file_linea + ":" + std::to_string(riga_lunghezza_) + ")";
}

}  // namespace compattatore
