// The service source half of the reader: train values, line speeds,
// adhesion, signals, slowdowns, speed check points and stations; then the
// chainage check, the reader's last step.
#include "model/collocazione.h"
#include "model/errori.h"
#include "sources/lettura.h"

namespace compattatore {

namespace {

constexpr int commenti_dati = 2;
constexpr int primo_codice_fermata = 80;  // approach codes 81 to 84 before a stop
constexpr int tipo_senza_fermata = 25;    // station types from here on have no stop

}  // namespace

void lettura::leggi_servizio() {
  if (!apri(sorgente::servizio)) throw fallimento_lettura("file mancante");

  // Without a "[generale]" item the data loop ends at once.
  bool generale = false;
  while (!generale && !voci_->fine()) {
    leggi_parola();
    generale = contiene_nc(m_.riga, "[generale]");
  }
  if (!generale && avvisa_)
    avvisa_(nome_corrente_, 0, "nessun \"[generale]\": nessun dato del file viene letto");
  stazione_ = 1;
  cella_velocita_corrente_ = 0;
  cella_aderenza_corrente_ = 0;

  static constexpr regola regole[] = {
      {"frenata", "massa", false, &lettura::massa_frenata},
      {"vetture", "", false, &lettura::vetture},
      {"velocit", "", false, &lettura::velocita},
      {"aderenza", "", false, &lettura::aderenza},
      {"orologio", "", false, &lettura::orologio},
      {"sabbia", "", false, &lettura::sabbia},
      {"segnale", "", false, &lettura::segnale},
      {"rallentamento", "", false, &lettura::rallentamento},
      {"abbattimento", "", false, &lettura::abbattimento},
      {"stazione", "", false, &lettura::stazione},
  };
  while (prossima_parola(commenti_dati, true)) {
    const esito e = applica(regole, true);
    if (e == esito::termina) return;
    if (e == esito::fine_dati) break;
  }

  chiudi(sorgente::servizio);
  // The last three cells keep 0 unless a record reached them.
  const std::int64_t ultima = std::int64_t{m_.numero_celle} - 2;
  do scrivi_velocita();
  while (cella_velocita_corrente_ < ultima);
  do scrivi_aderenza();
  while (cella_aderenza_corrente_ < ultima);
  controlla_progressive();
}

lettura::esito lettura::massa_frenata(int) {
  m_.tabella_servizio[slot_treno].valore_1 = voci_->leggi_32("percentuale massa frenata");
  return esito::continua;
}

lettura::esito lettura::vetture(int) {
  m_.tabella_servizio[slot_treno].valore_3 = voci_->leggi_32("numero vetture");
  return esito::continua;
}

// The speed in units of 5 km/h; a speed whose fifth does not fit a byte is a
// reading failure, told at the row that gave it.
void lettura::scrivi_velocita() {
  if (cella_velocita_corrente_ <= m_.numero_celle) {
    const std::int64_t codice = nearest(velocita_corrente_ / 5.0);
    if (codice < 0 || codice > 255) {
      riga_parola_ = riga_velocita_;
      throw fallimento_lettura("velocita' di " + std::to_string(velocita_corrente_) +
                               " km/h: il suo quinto non sta in un byte (da 0 a 1277 km/h)");
    }
    m_.celle[static_cast<std::size_t>(cella_velocita_corrente_)].velocita_linea =
        static_cast<std::uint8_t>(codice);
  }
  ++cella_velocita_corrente_;
}

void lettura::scrivi_aderenza() {
  if (cella_aderenza_corrente_ <= m_.numero_celle)
    m_.celle[static_cast<std::size_t>(cella_aderenza_corrente_)].aderenza =
        static_cast<std::uint8_t>(aderenza_corrente_);
  ++cella_aderenza_corrente_;
}

lettura::esito lettura::velocita(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t v = voci_->leggi_32("velocita'");
  if (fuori_griglia(p, margine_controllo)) return esito::fine_dati;
  const std::int64_t n = cella_di(p);
  // Before the first row, when it starts past 0, the cells get speed 0.
  if (n > 0) {
    do {
      if (cella_velocita_corrente_ >= m_.numero_celle) break;
      scrivi_velocita();
    } while (cella_velocita_corrente_ < n);
  }
  velocita_corrente_ = v;
  riga_velocita_ = riga_parola_;
  return esito::continua;
}

lettura::esito lettura::aderenza(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t a = voci_->leggi_32("aderenza");
  if (fuori_griglia(p, margine_controllo)) return esito::fine_dati;
  const std::int64_t n = cella_di(p);
  if (n > 0) {
    do scrivi_aderenza();
    while (cella_aderenza_corrente_ < n);
  }
  aderenza_corrente_ = a;
  return esito::continua;
}

lettura::esito lettura::orologio(int) {
  voce_servizio& v = m_.tabella_servizio[slot_generale];
  v.intero_3 = voci_->leggi_16("orologio, primo valore");
  v.intero_4 = voci_->leggi_16("orologio, secondo valore");
  v.intero_5 = voci_->leggi_16("orologio, terzo valore");
  return esito::continua;
}

lettura::esito lettura::sabbia(int) {
  m_.tabella_servizio[slot_generale].intero_1 = voci_->leggi_16("sabbia");
  return esito::continua;
}

lettura::esito lettura::segnale(int) {
  const std::int32_t posizione = voci_->leggi_32("posizione");
  const std::int32_t sx = voci_->leggi_32("sx");
  const std::int32_t s1 = voci_->leggi_32("s1");
  const std::int32_t s2 = voci_->leggi_32("s2");
  const std::int32_t s3 = voci_->leggi_32("s3");
  const std::int32_t rapp = voci_->leggi_32("rapp");
  const std::int32_t dx = voci_->leggi_32("dx");
  const std::int32_t d1 = voci_->leggi_32("d1");
  const std::int32_t d2 = voci_->leggi_32("d2");
  const std::int32_t d3 = voci_->leggi_32("d3");
  std::int32_t tempo = voci_->leggi_32("tempo");
  if (fuori_griglia(posizione, margine_controllo)) return esito::fine_dati;
  if (!memo_segnale(m_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo))
    return rifiutato_da_collocazione(posizione);
  return esito::continua;
}

lettura::esito lettura::rallentamento(int) {
  const std::int32_t x = voci_->leggi_32("x");
  const std::int32_t v = voci_->leggi_32("v");
  const std::int32_t l = voci_->leggi_32("l");
  const std::int32_t f_tt = voci_->leggi_32("f_tt");
  const std::int32_t f_ta = voci_->leggi_32("f_ta");
  const std::int32_t d_v = voci_->leggi_32("d_v");
  if (fuori_griglia(x, margine_controllo)) return esito::fine_dati;
  if (!memo_rallentamento(m_, x, v, l, f_tt, f_ta, d_v)) return rifiutato_da_collocazione(x);
  return esito::continua;
}

lettura::esito lettura::abbattimento(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t w = voci_->leggi_32("valore");
  if (fuori_griglia(p, margine_controllo)) return esito::fine_dati;
  const std::int64_t n = cella_di(p);
  if (n < 0 || n > m_.numero_celle) return rifiuta(errore_fuori_griglia, p);
  cella& c = m_.celle[static_cast<std::size_t>(n)];
  if (!cella_libera(c)) return rifiuta(errore_abbattimento, p);
  if (w > 0) {
    c.tipo_cella = cella_abbattimento;
    c.dato_1 = static_cast<std::int16_t>(w);
  } else {
    c.tipo_cella = cella_abbattimento_nullo;
  }
  return esito::continua;
}

lettura::esito lettura::stazione(int) {
  const std::int32_t i = stazione_;
  voce_servizio& s = m_.tabella_servizio[static_cast<std::size_t>(i)];

  const std::int32_t p = voci_->leggi_32("posizione della stazione");
  s.valore_3 = p;
  if (fuori_griglia(p, margine_stazione)) return esito::fine_dati;
  if (p % 50 != 0) return rifiuta(errore_stazione_posizione, p);
  s.tipo_voce = voci_->leggi_8("tipo della stazione");
  const std::int32_t lunghezza = voci_->leggi_32("lunghezza della zona");
  if (lunghezza % 100 != 0) return rifiuta(errore_stazione_lunghezza, p);
  // Items 4 to 6 are crossed: codice_1, then codice_5, then codice_4.
  s.codice_1 = voci_->leggi_8("codice_1");
  s.codice_5 = voci_->leggi_8("codice_5");
  s.codice_4 = voci_->leggi_8("codice_4");
  s.intero_1 = voci_->leggi_16("intero_1");
  s.intero_2 = voci_->leggi_16("intero_2");
  s.codice_2 = voci_->leggi_8("codice_2");
  s.intero_3 = voci_->leggi_16("intero_3");
  s.intero_4 = voci_->leggi_16("intero_4");
  s.intero_5 = voci_->leggi_16("intero_5");
  s.codice_3 = voci_->leggi_8("codice_3");
  const std::int64_t ore = voci_->leggi_32("ore");
  const std::int64_t minuti = voci_->leggi_32("minuti");
  const std::int64_t secondi = voci_->leggi_32("secondi");
  voci_->leggi_testo(voce_testo_);
  s.testo = voce_testo_;
  const std::int64_t orario = (ore * 60 + minuti) * 60 + secondi;
  if (!sta_in_32_bit(orario))
    throw fallimento_lettura("orario della stazione di " + std::to_string(orario) +
                             " secondi: non sta in 32 bit");
  s.orario = static_cast<std::int32_t>(orario);

  // The zone.
  const std::int64_t l = lunghezza;
  std::int64_t inizio_zona = 0;
  std::int64_t fine_zona = 0;
  switch (s.tipo_voce) {
    case 5:
    case 6:
      inizio_zona = p - l;
      fine_zona = std::int64_t{p} + 150;
      s.codice_4 = 0;
      break;
    case 7:
    case 8:
      inizio_zona = p - l;
      fine_zona = p + l;
      s.codice_4 = 0;
      break;
    default:
      inizio_zona = nearest(p - l / 2.0);
      fine_zona = nearest(p + l / 2.0) + (s.codice_4 != 0 ? 50 : 0);
      break;
  }
  if (!sta_in_32_bit(inizio_zona) || !sta_in_32_bit(fine_zona))
    throw fallimento_lettura("zona della stazione da " + std::to_string(inizio_zona) + " a " +
                             std::to_string(fine_zona) + " m: non sta in 32 bit");
  s.valore_1 = static_cast<std::int32_t>(inizio_zona);
  s.valore_2 = static_cast<std::int32_t>(fine_zona);
  if (lunghezza < 600) s.codice_5 = 0;
  if (i == 1) {
    s.codice_4 = 0;
    s.codice_5 = 0;
  }

  // Approach codes and stop point.
  if (s.tipo_voce < tipo_senza_fermata) {
    const double fine = s.valore_2 / 50.0;
    const bool ha_fermata = fine - 1 > 1;
    const std::int64_t fermata = nearest(fine - 1);
    if (ha_fermata && fermata > m_.numero_celle) return rifiuta(errore_fuori_griglia, p);
    if (s.tipo_voce != 5 && s.tipo_voce != 6) {
      for (int k = 1; k <= 4; ++k) {
        if (fine - k - 1 <= 1) continue;
        m_.celle[static_cast<std::size_t>(nearest(fine - k - 1))].avviso =
            static_cast<std::uint8_t>(primo_codice_fermata + k);
      }
    }
    if (!ha_fermata) return rifiuta(errore_fermata_iniziale);
    cella& c = m_.celle[static_cast<std::size_t>(fermata)];
    c.tipo_cella = cella_fermata;
    c.dato_1 = static_cast<std::int16_t>(i);
  }

  if (i > 1 && std::int64_t{s.valore_1} - 350 <
                   m_.tabella_servizio[static_cast<std::size_t>(i - 1)].valore_2)
    return rifiuta(errore_distanza_stazioni, p);
  ++stazione_;
  if (stazione_ >= slot_cartello_) return rifiuta(errore_troppe_stazioni);
  return esito::continua;
}

// A chainage value not a multiple of 50 is told at the line source record
// that gave it.
void lettura::controlla_progressive() {
  for (int k = 0; k < 3; ++k) {
    const voce_servizio& v = m_.tabella_servizio[slot_progressiva_tre + k];
    if (v.valore_1 % 50 == 0 && v.valore_2 % 50 == 0) continue;
    m_.registra_errore(errore_progressiva);
    m_.luogo = {fonte_.nome(sorgente::linea), righe_progressive_[k], {}};
    return;
  }
}

}  // namespace compattatore
