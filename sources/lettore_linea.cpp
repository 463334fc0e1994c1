// The line source half of the reader: the [generale] part with the route
// length and the header values, then the data part with gradients, curves,
// mountain stretches, speed boards and text boards.
#include <algorithm>
#include <utility>

#include "model/descrizione_campi.h"
#include "model/errori.h"
#include "sources/lettura.h"
#include "sources/tracciamento.h"

namespace compattatore {

namespace {

// Replacement reads of the comment rule in each part.
constexpr int commenti_generale = 10;
constexpr int commenti_dati = 2;

// The section headers the writer of the line source uses after [generale].
constexpr std::string_view intestazioni_dati[] = {"[curve]",    "[pendenze]",    "[montagne]",
                                                  "[cartelli]", "[indicazioni]", "[fine]"};

// Values the authors' guide gives for the line source's fields.
constexpr std::int32_t pendenza_minima = -100;
constexpr std::int32_t pendenza_massima = 155;
constexpr std::int32_t velocita_massima_indicatore = 495;
constexpr std::int32_t strisce_massime = 9;

// A curve keyword as the writer spells it: "curva", "d" or "s", a digit 1 to 6.
bool curva_ben_scritta(std::string_view parola) {
  parola = senza_spazi(parola);
  if (parola.size() != 7 || !contiene_nc(parola.substr(0, 5), "curva")) return false;
  const char lato = parola[5];
  return (lato == 'd' || lato == 'D' || lato == 's' || lato == 'S') && parola[6] >= '1' &&
         parola[6] <= '6';
}

}  // namespace

ordine_progressive progressive_ordina(modello& m) {
  // Index 0 is "tre" (slot 81), 1 "due" (slot 82), 2 "uno" (slot 83).
  std::array<voce_servizio, 3> terne;
  for (int k = 0; k < 3; ++k) terne[k] = m.tabella_servizio[slot_progressiva_tre + k];
  const auto p = [&](int k) { return std::int64_t{terne[k].valore_1}; };
  const auto q = [&](int k) { return terne[k].valore_2; };

  ordine_progressive ordine{-1, -1, -1};
  if (p(0) + p(1) + p(2) != 0) {
    for (int k = 0; k < 3; ++k) {
      const int a = (k + 1) % 3;
      const int b = (k + 2) % 3;
      if (p(k) <= p(a) || p(k) <= p(b)) continue;
      // The other two by precedence uno, due, tre; the greater P goes first.
      int primo = std::max(a, b);
      int secondo = std::min(a, b);
      if (p(secondo) > p(primo)) std::swap(primo, secondo);
      ordine = {k, primo, secondo};
    }
  } else {
    if (q(0) > 0) ordine = {0, 1, 2};
    if (q(1) > 0) ordine = {1, 0, 2};
    if (q(2) > 0) ordine = {2, 1, 0};
  }

  for (int k = 0; k < 3; ++k) {
    voce_servizio& v = m.tabella_servizio[slot_progressiva_tre + k];
    v.valore_1 = v.valore_2 = v.valore_3 = 0;
    if (ordine[k] < 0) continue;
    const voce_servizio& da = terne[ordine[k]];
    v.valore_1 = da.valore_1;
    v.valore_2 = da.valore_2;
    v.valore_3 = da.valore_3;
    if (v.valore_3 == 1) {
      const std::int64_t alzato = std::int64_t{v.valore_2} + 100;
      if (!sta_in_32_bit(alzato))
        throw fallimento_lettura("progressiva chilometrica: " + std::to_string(v.valore_2) +
                                 " + 100 non sta in 32 bit");
      v.valore_2 = static_cast<std::int32_t>(alzato);
    }
  }
  return ordine;
}

lettura::esito lettura::leggi_linea() {
  if (!apri(sorgente::linea)) {
    m_.registra_errore(errore_manca_linea, std::nullopt, luogo());
    if (prosegui_) interrompi("senza il file della linea non si puo' verificare altro");
    return esito::termina;
  }

  // Preamble: the last item of the file is not looked at.
  for (;;) {
    if (!voci_->fine()) leggi_parola();
    if (voci_->fine()) {
      luogo_errore l = luogo(std::string(voci_->causa_del_file()));
      l.riga = 0;
      m_.registra_errore(errore_manca_generale, std::nullopt, std::move(l));
      chiudi(sorgente::linea);
      if (prosegui_) interrompi("senza [generale] il file della linea non si puo' leggere");
      return esito::termina;
    }
    if (contiene_nc(parola_, "[generale]")) break;
  }

  // Words written in capitals are not these records: "progressiva", "uno",
  // "due", "tre", "sfondo", "ripetizione" and "segnali" keep their case.
  static constexpr regola regole_generale[] = {
      {"lunghezza percorso", "percorso", "lunghezza", false, &lettura::lunghezza_percorso},
      {"progressiva chilometrica tre", "tre", "progressiva", true, &lettura::progressiva,
       slot_progressiva_tre},
      {"progressiva chilometrica due", "due", "progressiva", true, &lettura::progressiva,
       slot_progressiva_due},
      {"progressiva chilometrica uno", "uno", "progressiva", true, &lettura::progressiva,
       slot_progressiva_uno},
      {"sfondo uno", "sfondo", "uno", true, &lettura::sfondo, 1},
      {"sfondo due", "sfondo", "due", true, &lettura::sfondo, 3},
      {"sfondo tre", "sfondo", "tre", true, &lettura::sfondo, 2},
      {"ripetizione segnali", "segnali", "ripetizione", true, &lettura::ripetizione_segnali},
  };
  static constexpr regola regole_dati[] = {
      {"pendenza", "pendenza", "", false, &lettura::pendenza},
      {"curva", "curva", "", false, &lettura::curva, 0, /*solo_con_tracciato=*/true},
      {"montagna", "montagna", "", false, &lettura::montagna},
      {"indicatori_vmax", "indicatori_v", "", false, &lettura::indicatori_v_max},
      {"cartello_indicatore", "indicat", "cartello", false, &lettura::cartello},
  };
  const parte generale{regole_generale, intestazioni_dati, regole_dati};
  bool chiusa = false;
  while (prossima_parola(commenti_generale, false)) {
    if (fine_generale(parola_)) {
      chiusa = true;
      break;
    }
    if (applica(generale) == esito::termina) return esito::termina;
  }
  if (chiusa && !intestazione_nota(parola_, intestazioni_dati))
    avvisa("la parte [generale] finisce all'intestazione sconosciuta \"" + leggibile(parola_) +
           "\"");
  if (dati_in_generale_ > 1)
    avvisa(chiusa ? riga_parola_ : 0,
           "la parte [generale] finisce " +
               std::string(chiusa ? "qui" : "solo alla fine del file") + ": i " +
               std::to_string(dati_in_generale_) +
               " record della parte dei dati scritti prima, dalla riga " +
               std::to_string(riga_primi_dati_in_generale_) + ", non sono stati letti");
  if (!lunghezza_letta_) {
    // Without a grid no position can be checked: a check stops here, and
    // tells no further error that would only follow from this one.
    const fallimento_lettura f("la parte [generale] finisce senza la lunghezza del percorso");
    if (!prosegui_) throw f;
    if (m_.numero_errori == 0) registra_fallimento(f);
    chiudi(sorgente::linea);
    return interrompi(
        "senza una lunghezza del percorso utilizzabile non c'e' una griglia su "
        "cui verificare il resto");
  }

  const ordine_progressive ordine = progressive_ordina(m_);
  const std::array<std::int32_t, 3> righe = righe_progressive_;
  for (int k = 0; k < 3; ++k) righe_progressive_[k] = ordine[k] < 0 ? 0 : righe[ordine[k]];
  m_.numero_montagne = 0;
  slot_cartello_ = slot_primo_cartello;
  if (m_.genera_linea != 0) inizia_tracciato(m_.tracciato);

  const parte dati{regole_dati, intestazioni_dati, {}};
  while (prossima_parola(commenti_dati, true)) {
    const esito e = applica(dati);
    if (e == esito::termina) return e;
    if (e == esito::fine_dati) break;
  }

  chiudi(sorgente::linea);
  completa(pendenze_);
  if (m_.genera_linea != 0) completa_tracciato(m_.tracciato);
  return esito::continua;
}

// The [generale] part ends at a section header that is not a comment.
bool lettura::fine_generale(std::string_view parola) {
  const std::string_view scritta = senza_spazi(parola);
  return contiene(parola, "[") && contiene(parola, "]") && !scritta.empty() &&
         scritta.front() != '-';
}

lettura::esito lettura::lunghezza_percorso(int) {
  const std::int32_t lunghezza = voci_->leggi_32("lunghezza del percorso");
  if (lunghezza > lunghezza_massima_percorso) {
    m_.tabella_servizio[slot_treno].valore_2 = lunghezza;
    return rifiuta(errore_lunghezza_percorso);
  }
  if (lunghezza < 0)
    throw fallimento_lettura("lunghezza del percorso negativa: " + std::to_string(lunghezza));
  m_.tabella_servizio[slot_treno].valore_2 = lunghezza;
  if (lunghezza_letta_)
    avvisa("seconda lunghezza del percorso: sostituisce quella della riga " +
           std::to_string(riga_lunghezza_) + " e ridimensiona la griglia");
  m_.dimensiona(lunghezza);
  lunghezza_letta_ = true;
  lunghezza_percorso_ = lunghezza;
  riga_lunghezza_ = riga_parola_;
  return esito::continua;
}

lettura::esito lettura::progressiva(int slot) {
  voce_servizio& v = m_.tabella_servizio[slot];
  v.valore_1 = voci_->leggi_32("progressiva, primo valore");
  v.valore_2 = voci_->leggi_32("progressiva, secondo valore");
  v.valore_3 = voci_->leggi_32("progressiva, terzo valore");
  righe_progressive_[slot - slot_progressiva_tre] = riga_parola_;
  return esito::continua;
}

lettura::esito lettura::sfondo(int valore) {
  voce_servizio& v = m_.tabella_servizio[slot_linea];
  const std::int32_t letto = voci_->leggi_32("sfondo");
  (valore == 1 ? v.valore_1 : valore == 2 ? v.valore_2 : v.valore_3) = letto;
  return esito::continua;
}

// A refused record leaves slot 86 as it was, in a check.
lettura::esito lettura::ripetizione_segnali(int) {
  voce_servizio& v = m_.tabella_servizio[slot_generale];
  return senza_tracce(v, v, [this] { return leggi_ripetizione_segnali(); });
}

lettura::esito lettura::leggi_ripetizione_segnali() {
  voce_servizio& v = m_.tabella_servizio[slot_generale];
  v.valore_1 = voci_->leggi_32("ripetizione segnali, inizio");
  if (v.valore_1 % metri_cella != 0) return rifiuta(errore_ripetizione_inizio);
  v.valore_2 = voci_->leggi_32("ripetizione segnali, fine");
  if (v.valore_2 % metri_cella != 0) return rifiuta(errore_ripetizione_fine);
  if (contiene(parola_, "4"))
    v.valore_3 = 4;
  else if (contiene(parola_, "9"))
    v.valore_3 = 9;
  else
    return rifiuta(errore_ripetizione_codici);
  if (v.valore_2 == 0) v.valore_3 = 0;
  return esito::continua;
}

lettura::esito lettura::pendenza(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t g = voci_->leggi_32("pendenza");
  if (fuori_griglia(p, margine_controllo)) return dopo_fuori_griglia();
  riempi(pendenze_, p, g);
  fuori_intervallo(
      "pendenza", g, pendenza_minima, pendenza_massima,
      "il simulatore riceve " + std::to_string(pendenza_per_mille(codifica_pendenza(g))));
  return esito::continua;
}

lettura::esito lettura::curva(int) {
  const std::int32_t a = voci_->leggi_32("inizio della curva");
  const std::int32_t b = voci_->leggi_32("lunghezza della curva");
  if (fuori_griglia(a, margine_controllo)) return dopo_fuori_griglia();
  const std::int32_t da_metro = m_.tracciato.metro_successivo();
  if (const auto e = traccia_curva(m_.tracciato, parola_, a, b)) return rifiuta(e);

  if (!curva_ben_scritta(parola_)) {
    // Plotted, so read: it has a degree.
    const lettura_curva letta = *leggi_parola_curva(parola_);
    avvisa("la parola chiave \"" + leggibile(parola_) +
           "\" non ha la forma curvadN o curvasN: e' letta come curva a " +
           (letta.sinistra ? "sinistra (contiene una s)" : "destra") + " di grado " +
           std::to_string(letta.grado));
  }
  const std::int64_t fine = std::int64_t{a} + b;
  if (b <= 0)
    avvisa("curva di lunghezza " + std::to_string(b) + ": nessun tratto curvo viene tracciato");
  else if (a < da_metro && riga_ultima_curva_ > 0)
    avvisa("la curva comincia a " + std::to_string(a) +
           " m, prima della fine della curva della riga " + std::to_string(riga_ultima_curva_) +
           " (" + std::to_string(fine_ultima_curva_) + " m): viene disegnata da " +
           std::to_string(da_metro) + " m e il resto del tracciato risulta spostato");
  if (fine > lunghezza_percorso_)
    avvisa("la curva finisce a " + std::to_string(fine) + " m, oltre la fine del percorso (" +
           std::to_string(lunghezza_percorso_) + " m): quel tratto non si percorre");
  if (b > 0) {
    riga_ultima_curva_ = riga_parola_;
    fine_ultima_curva_ = fine;
  }
  return esito::continua;
}

lettura::esito lettura::montagna(int) {
  const std::int32_t inizio = voci_->leggi_32("inizio");
  const std::int32_t fine = voci_->leggi_32("fine");
  std::int32_t tipo = voci_->leggi_32("tipo");
  if (fuori_griglia(inizio, margine_controllo)) return dopo_fuori_griglia();
  const std::int32_t scritto = tipo;
  memo_montagna(m_, inizio, fine, tipo, qui());
  if (cella_di(inizio) > cella_di(fine, -1))
    avvisa("tratto di montagna vuoto: da " + std::to_string(inizio) + " a " + std::to_string(fine) +
           " m non copre nessuna cella");
  if (tipo < 0 || tipo > 255)
    avvisa("tipo di montagna " + std::to_string(scritto) + " fuori dall'intervallo da 0 a 255" +
           std::string(scritto > 10 ? " (piu' 10 per i marcatori)" : "") +
           ": il simulatore riceve " + std::to_string(static_cast<std::uint8_t>(tipo)));
  return esito::continua;
}

lettura::esito lettura::indicatori_v_max(int) {
  indicatore_letto i;
  i.posizione = voci_->leggi_32("posizione");
  i.vas = voci_->leggi_32("vas");
  i.vbs = voci_->leggi_32("vbs");
  i.vcs = voci_->leggi_32("vcs");
  i.strisces = voci_->leggi_32("strisces");
  i.vad = voci_->leggi_32("vad");
  i.vbd = voci_->leggi_32("vbd");
  i.vcd = voci_->leggi_32("vcd");
  i.strisced = voci_->leggi_32("strisced");
  if (fuori_griglia(i.posizione, margine_controllo)) return dopo_fuori_griglia();
  if (const auto e = memo_indicatori_v_max(m_, i, qui())) return rifiuta(e, i.posizione);
  // Each pair of speeds is packed as s / 5 · 100 + d / 5, the stripes as s · 10 + d.
  const std::pair<std::string_view, std::int32_t> velocita[] = {{"vas", i.vas}, {"vbs", i.vbs},
                                                                {"vcs", i.vcs}, {"vad", i.vad},
                                                                {"vbd", i.vbd}, {"vcd", i.vcd}};
  for (const auto& [nome, v] : velocita) {
    if (v >= 0 && v <= velocita_massima_indicatore && v % 5 == 0) continue;
    avvisa(std::string(nome) + " " + std::to_string(v) +
           " km/h: le velocita' degli indicatori vanno in multipli di 5 da 0 a " +
           std::to_string(velocita_massima_indicatore) +
           ", altrimenti il simulatore legge un'altra velocita'");
  }
  fuori_intervallo("strisces", i.strisces, 0, strisce_massime,
                   "il simulatore legge male le strisce");
  fuori_intervallo("strisced", i.strisced, 0, strisce_massime,
                   "il simulatore legge male le strisce");
  return esito::continua;
}

lettura::esito lettura::cartello(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  voci_->leggi_testo(voce_testo_);
  if (fuori_griglia(p, margine_controllo)) return dopo_fuori_griglia();
  // Slots 80 down to 1 hold 80 texts; slot 0 stays cleared.
  if (slot_cartello_ < 1) throw fallimento_lettura("oltre 80 cartelli indicatori");
  if (const auto e = memo_cartello(m_, p, slot_cartello_, voce_testo_, qui())) return rifiuta(e, p);
  --slot_cartello_;
  controlla_codifica(voce_testo_);
  return esito::continua;
}

}  // namespace compattatore
