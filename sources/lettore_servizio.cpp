// The service source half of the reader: train values, line speeds,
// adhesion, signals, slowdowns, speed check points and stations; then the
// chainage check, the reader's last step.
#include "model/errori.h"
#include "sources/lettura.h"

namespace compattatore {

namespace {

constexpr int commenti_dati = 2;
// Zone lengths are whole multiples of this; below `lunghezza_codice_5` a
// station's codice_5 is cleared.
constexpr int passo_zona = 100;
constexpr int lunghezza_codice_5 = 600;
// Types 5 and 6 end their zone this far past the position; types 7 and 8
// and the others as their length says.
constexpr int oltre_fermata_breve = 150;
// Where codice_4 is set, an ordinary zone ends this much later.
constexpr int prolungamento_codice_4 = 50;
// A zone must start at least this far after the previous zone's end.
constexpr int distanza_minima_zone = 350;

// The section headers the writer of the service source uses.
constexpr std::string_view intestazioni[] = {"[aderenze]",      "[vel_limite]", "[stazioni]",
                                             "[rallentamenti]", "[segnali]",    "[codici]",
                                             "[fine]"};

}  // namespace

void lettura::leggi_servizio() {
  if (!apri(sorgente::servizio)) throw fallimento_lettura("file mancante");

  // Without a "[generale]" item the data loop ends at once.
  bool generale = false;
  while (!generale && !voci_->fine()) {
    leggi_parola();
    generale = contiene_nc(parola_, "[generale]");
  }
  if (!generale) {
    std::string testo = "nessun \"[generale]\": nessun dato del file viene letto";
    if (!voci_->causa_del_file().empty()) testo += "; " + std::string(voci_->causa_del_file());
    avvisa(0, std::move(testo));
  }
  stazione_ = 1;

  static constexpr regola regole[] = {
      {"percentuale massa frenata", "frenata", "massa", false, &lettura::massa_frenata},
      {"numero vetture", "vetture", "", false, &lettura::vetture},
      {"velocita", "velocit", "", false, &lettura::velocita},
      {"aderenza", "aderenza", "", false, &lettura::aderenza},
      {"orologio", "orologio", "", false, &lettura::orologio},
      {"sabbia", "sabbia", "", false, &lettura::sabbia},
      {"segnale", "segnale", "", false, &lettura::segnale},
      {"rallentamento", "rallentamento", "", false, &lettura::rallentamento},
      {"abbattimento", "abbattimento", "", false, &lettura::abbattimento},
      {"stazione", "stazione", "", false, &lettura::stazione},
  };
  const parte dati{regole, intestazioni, {}};
  bool finito = false;
  while (!finito && prossima_parola(commenti_dati, true)) {
    const esito e = applica(dati);
    if (e == esito::termina) return;
    finito = e == esito::fine_dati;
  }

  chiudi(sorgente::servizio);
  completa(velocita_);
  completa(aderenze_);
  // A service without these is hardly what its author meant; an error 15
  // has ended the reading early, and says why.
  if (!finito) {
    if (m_.numero_stazioni == 0) avvisa(0, "nessuna stazione nel file del servizio");
    if (segnali_ == 0) avvisa(0, "nessun segnale nel file del servizio");
    if (righe_velocita_ == 0)
      avvisa(0,
             "nessuna riga velocita nel file del servizio: la velocita' della linea e' 0 "
             "ovunque");
  }
  controlla_progressive();
}

lettura::esito lettura::massa_frenata(int) {
  const std::int32_t v = voci_->leggi_32("percentuale massa frenata");
  m_.tabella_servizio[slot_treno].valore_1 = v;
  if (v < 0) avvisa("percentuale di massa frenata negativa: " + std::to_string(v));
  return esito::continua;
}

lettura::esito lettura::vetture(int) {
  const std::int32_t n = voci_->leggi_32("numero vetture");
  m_.tabella_servizio[slot_treno].valore_3 = n;
  if (n < 0) avvisa("numero di vetture negativo: " + std::to_string(n));
  return esito::continua;
}

lettura::esito lettura::velocita(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t v = voci_->leggi_32("velocita'");
  if (fuori_griglia(p, margine_controllo)) return dopo_fuori_griglia();
  // Before the first row, when it starts past 0, the cells get speed 0.
  riempi(velocita_, p, v);
  ++righe_velocita_;
  if (v % 5 != 0 && v > 0)
    avvisa("velocita' di " + std::to_string(v) + " km/h, non multipla di 5: il simulatore riceve " +
           std::to_string(nearest(v / 5.0) * 5) + " km/h");
  return esito::continua;
}

lettura::esito lettura::aderenza(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t a = voci_->leggi_32("aderenza");
  if (fuori_griglia(p, margine_controllo)) return dopo_fuori_griglia();
  riempi(aderenze_, p, a);
  fuori_intervallo("aderenza", a, 0, 255,
                   "il simulatore riceve " + std::to_string(static_cast<std::uint8_t>(a)));
  return esito::continua;
}

lettura::esito lettura::orologio(int) {
  voce_servizio& v = m_.tabella_servizio[slot_generale];
  v.intero_3 = voci_->leggi_16("orologio, primo valore");
  v.intero_4 = voci_->leggi_16("orologio, secondo valore");
  v.intero_5 = voci_->leggi_16("orologio, terzo valore");
  fuori_intervallo("ore dell'orologio", v.intero_3, 0, 23, "");
  fuori_intervallo("minuti dell'orologio", v.intero_4, 0, 59, "");
  fuori_intervallo("secondi dell'orologio", v.intero_5, 0, 59, "");
  return esito::continua;
}

lettura::esito lettura::sabbia(int) {
  const std::int16_t s = voci_->leggi_16("sabbia");
  m_.tabella_servizio[slot_generale].intero_1 = s;
  if (s < 0) avvisa("scorta di sabbia negativa: " + std::to_string(s));
  return esito::continua;
}

lettura::esito lettura::segnale(int) {
  segnale_letto g;
  g.posizione = voci_->leggi_32("posizione");
  g.sx = voci_->leggi_32("sx");
  g.s1 = voci_->leggi_32("s1");
  g.s2 = voci_->leggi_32("s2");
  g.s3 = voci_->leggi_32("s3");
  g.rapp = voci_->leggi_32("rapp");
  g.dx = voci_->leggi_32("dx");
  g.d1 = voci_->leggi_32("d1");
  g.d2 = voci_->leggi_32("d2");
  g.d3 = voci_->leggi_32("d3");
  g.tempo = voci_->leggi_32("tempo");
  if (fuori_griglia(g.posizione, margine_controllo)) return dopo_fuori_griglia();
  const std::int32_t tempo = g.tempo;
  if (const auto e = memo_segnale(m_, g, qui())) return rifiuta(e, g.posizione);
  ++segnali_;
  // The values are packed two by two (s1·10 + d1, ..., rapp·10 + sx·3 + dx):
  // outside these ranges the simulator unpacks others.
  constexpr std::string_view confusi = "il simulatore legge male i valori del segnale";
  fuori_intervallo("sx", g.sx, 0, 2, confusi);
  fuori_intervallo("dx", g.dx, 0, 2, confusi);
  const std::pair<std::string_view, std::int32_t> cifre[] = {
      {"s1", g.s1}, {"s2", g.s2}, {"s3", g.s3}, {"rapp", g.rapp},
      {"d1", g.d1}, {"d2", g.d2}, {"d3", g.d3}};
  for (const auto& [nome, v] : cifre) fuori_intervallo(nome, v, 0, 9, confusi);
  if (g.sx == 2 && (tempo < 0 || tempo > 255))
    avvisa("tempo " + std::to_string(tempo) +
           " fuori dall'intervallo da 0 a 255: il simulatore riceve " +
           std::to_string(static_cast<std::uint8_t>(g.tempo)));
  else if (g.sx != 2 && tempo != 0)
    avvisa("tempo " + std::to_string(tempo) + " ignorato: conta solo quando sx e' 2");
  return esito::continua;
}

lettura::esito lettura::rallentamento(int) {
  const std::int32_t x = voci_->leggi_32("x");
  const std::int32_t v = voci_->leggi_32("v");
  const std::int32_t l = voci_->leggi_32("l");
  const std::int32_t f_tt = voci_->leggi_32("f_tt");
  const std::int32_t f_ta = voci_->leggi_32("f_ta");
  const std::int32_t d_v = voci_->leggi_32("d_v");
  if (fuori_griglia(x, margine_controllo)) return dopo_fuori_griglia();
  if (const auto e = memo_rallentamento(m_, x, v, l, f_tt, f_ta, d_v, qui())) return rifiuta(e, x);
  if (cella_di(static_cast<double>(x) + l, 1) <= cella_di(x, 1))
    avvisa("rallentamento di lunghezza " + std::to_string(l) +
           ": la sua fine non cade dopo la cella d'inizio, e il rallentamento resta senza fine");
  constexpr std::string_view sedici = "il simulatore ne riceve gli ultimi 16 bit";
  fuori_intervallo("velocita' del rallentamento", v, INT16_MIN, INT16_MAX, sedici);
  fuori_intervallo("f_tt", f_tt, 0, 1, "");
  fuori_intervallo("d_v", d_v, INT16_MIN, INT16_MAX, sedici);
  return esito::continua;
}

lettura::esito lettura::abbattimento(int) {
  const std::int32_t p = voci_->leggi_32("posizione");
  const std::int32_t w = voci_->leggi_32("valore");
  if (fuori_griglia(p, margine_controllo)) return dopo_fuori_griglia();
  if (const auto e = memo_abbattimento(m_, p, w, qui())) return rifiuta(e, p);
  fuori_intervallo("velocita' dell'abbattimento", w, INT16_MIN, INT16_MAX,
                   "il simulatore ne riceve gli ultimi 16 bit");
  return esito::continua;
}

// A refused station takes no slot, in a check.
lettura::esito lettura::stazione(int) {
  const std::int32_t i = stazione_;
  return senza_tracce(m_.tabella_servizio[static_cast<std::size_t>(i)], voce_servizio{},
                      [this, i] { return leggi_stazione(i); });
}

lettura::esito lettura::leggi_stazione(std::int32_t i) {
  voce_servizio& s = m_.tabella_servizio[static_cast<std::size_t>(i)];

  const std::int32_t p = voci_->leggi_32("posizione della stazione");
  s.valore_3 = p;
  if (fuori_griglia(p, margine_stazione)) return dopo_fuori_griglia();
  if (p % metri_cella != 0) return rifiuta(errore_stazione_posizione, p);
  s.tipo_voce = voci_->leggi_8("tipo della stazione");
  const std::int32_t lunghezza = voci_->leggi_32("lunghezza della zona");
  if (lunghezza % passo_zona != 0) return rifiuta(errore_stazione_lunghezza, p);
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
      fine_zona = std::int64_t{p} + oltre_fermata_breve;
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
      fine_zona = nearest(p + l / 2.0) + (s.codice_4 != 0 ? prolungamento_codice_4 : 0);
      break;
  }
  if (!sta_in_32_bit(inizio_zona) || !sta_in_32_bit(fine_zona))
    throw fallimento_lettura("zona della stazione da " + std::to_string(inizio_zona) + " a " +
                             std::to_string(fine_zona) + " m: non sta in 32 bit");
  s.valore_1 = static_cast<std::int32_t>(inizio_zona);
  s.valore_2 = static_cast<std::int32_t>(fine_zona);
  if (lunghezza < lunghezza_codice_5) s.codice_5 = 0;
  if (i == 1) {
    s.codice_4 = 0;
    s.codice_5 = 0;
  }

  // The stop and its approach codes, tested before the spacing, placed after.
  if (const auto e = prova_fermata(m_, s.tipo_voce, s.valore_2)) {
    if (e.codice == errore_fuori_griglia) return rifiuta(e, p);
    return rifiuta(e.codice, std::nullopt,
                   "la zona finisce a " + std::to_string(s.valore_2) +
                       " m, e la fermata vorrebbe la cella " + std::to_string(e.cella));
  }
  if (i > 1) {
    const voce_servizio& precedente = m_.tabella_servizio[static_cast<std::size_t>(i - 1)];
    if (std::int64_t{s.valore_1} - distanza_minima_zone < precedente.valore_2)
      return rifiuta(errore_distanza_stazioni, p,
                     "la zona comincia a " + std::to_string(s.valore_1) +
                         " m, e quella della stazione precedente (" + leggibile(precedente.testo) +
                         ") finisce a " + std::to_string(precedente.valore_2) + " m");
  }
  // One station too many for the slots the boards leave: refused before its
  // stop is placed, so that in a check it leaves nothing behind.
  if (i + 1 >= slot_cartello_)
    return rifiuta(errore_troppe_stazioni, std::nullopt,
                   "le voci da 1 a " + std::to_string(slot_primo_cartello) + " bastano per " +
                       std::to_string(slot_cartello_ - 2) + " stazioni con " +
                       std::to_string(slot_primo_cartello - slot_cartello_) + " cartelli");
  memo_fermata(m_, i, s.tipo_voce, s.valore_2, qui());
  m_.numero_stazioni = i;
  ++stazione_;

  fuori_intervallo("ore", ore, 0, 23, "");
  fuori_intervallo("minuti", minuti, 0, 59, "");
  fuori_intervallo("secondi", secondi, 0, 59, "");
  controlla_codifica(s.testo);
  return esito::continua;
}

// A chainage value not a multiple of 50 is told at the line source record
// that gave it.
void lettura::controlla_progressive() {
  for (int k = 0; k < 3; ++k) {
    const voce_servizio& v = m_.tabella_servizio[slot_progressiva_tre + k];
    if (v.valore_1 % metri_cella == 0 && v.valore_2 % metri_cella == 0) continue;
    m_.registra_errore(errore_progressiva, std::nullopt,
                       {fonte_.nome(sorgente::linea), righe_progressive_[k], {}, {}});
    return;
  }
}

}  // namespace compattatore
