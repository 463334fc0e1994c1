// The reading pass behind memorizza_dati and controlla_dati, shared by the line source half
// (lettore_linea.cpp) and the service source half (lettore_servizio.cpp).
// It reads records and hands them to the placement routines of
// model/collocazione.h; the errors it records carry the record's line, and
// it warns the author of everything written that the model leaves out or
// stores otherwise than written.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/collocazione.h"
#include "model/modello.h"
#include "sources/fonte.h"
#include "sources/lettore.h"
#include "sources/voci.h"

namespace compattatore {

// The range check: a record's position plus this many metres must lie on
// the grid (a station's plus margine_stazione).
inline constexpr int margine_controllo = 100;
inline constexpr int margine_stazione = 800;

inline bool sta_in_32_bit(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

// A gradient row's value as its cell field holds it: the gradient plus 100,
// its low 8 bits.
std::uint8_t codifica_pendenza(std::int32_t g);

// For slots 81, 82 and 83 after the ordering, the record each triple came
// from (0 "tre", 1 "due", 2 "uno"), or -1 for a slot left all zero.
using ordine_progressive = std::array<int, 3>;

// Orders the chainage references in slots 81 to 83 and raises `valore_2` by
// 100 where `valore_3` is 1. A raised value beyond 32 bits throws
// fallimento_lettura.
ordine_progressive progressive_ordina(modello& m);

class lettura {
 public:
  // With `prosegui` the reading is a check: after a refused record it goes on
  // as if the record were absent, so that the model's record lists every
  // error it can find; what cannot be gone past stops it, with
  // `modello::interruzione` saying why.
  lettura(modello& m, fonte_sorgenti& fonte, bool prosegui);

  void esegui();

 private:
  // What a record leaves the reader to do: go on, end the data loop as if
  // the file had ended (error 15), or end the reader; in a check, a refused
  // record is passed over and the reading goes on.
  enum class esito { continua, fine_dati, termina, rifiutato };

  // One record kind of a part: the keyword item holds both words (the second
  // may be empty), compared with exact case or without regard to case.
  struct regola {
    std::string_view nome;  // the record as the writer spells it, for messages
    std::string_view parola_1;
    std::string_view parola_2;
    bool maiuscole;
    esito (lettura::*gestisci)(int);
    int argomento = 0;
    bool solo_con_tracciato = false;
  };
  // What a part of a file is, for the keyword loop: its records, and for
  // the warnings the section headers its writer uses and, in a [generale]
  // part, the records of the data part after it.
  struct parte {
    std::span<const regola> regole;
    std::span<const std::string_view> intestazioni;
    std::span<const regola> dati_seguenti;
  };

  // Files.
  bool apri(sorgente s);
  void chiudi(sorgente s);
  void fallisci(const fallimento_lettura& f);

  // Keyword items under the end rule and the comment rule.
  void leggi_parola();
  bool prossima_parola(int limite_commenti, bool fine_dopo_sostituzione);
  esito applica(const parte& p);
  bool corrisponde(const regola& r, bool senza_maiuscole) const;
  void dopo_il_record(const regola& r);
  void parola_non_riconosciuta(const parte& p);
  // Whether `parola` is one of the headers, blanks and case aside.
  static bool intestazione_nota(std::string_view parola, std::span<const std::string_view> note);

  // The record being read: where its values come from, and where an error
  // found in it points.
  origine qui() const;
  luogo_errore luogo(std::string dettaglio = {}, std::string spiegazione = {}) const;

  // Warnings, at the record's line unless another is given.
  void avvisa(std::string testo);
  void avvisa(std::int32_t riga, std::string testo);
  // A value outside the range the authors' guide gives: the warning says
  // what the simulator will receive instead.
  void fuori_intervallo(std::string_view campo, std::int64_t valore, std::int64_t minimo,
                        std::int64_t massimo, std::string_view conseguenza);
  // What a placement replaced, told as it happens.
  void avvisa_sostituzioni(std::size_t da);
  // Texts the simulator shows in Windows-1252.
  void controlla_codifica(std::string_view testo);

  // An error recorded with the record's line. It ends the reader and closes
  // the current file; in a check only the record is refused.
  esito rifiuta(codice_errore_numero codice, std::optional<std::int32_t> posizione = {},
                std::string spiegazione = {});
  // A placement's refusal: the cell taken is named with what stands there.
  esito rifiuta(const esito_collocazione& e, std::int32_t posizione);
  // The range check of every positioned record: error 15, and the data loop
  // ends as if the file had ended.
  bool fuori_griglia(std::int64_t posizione, int margine);
  esito dopo_fuori_griglia() const { return prosegui_ ? esito::rifiutato : esito::fine_dati; }
  // A failure of the reading: error 25. It ends the reader; in a check the
  // record is passed over, and the reading goes on from the next line.
  void registra_fallimento(const fallimento_lettura& f);
  esito rifiuta_lettura(const fallimento_lettura& f);
  // A check that cannot go on: why.
  esito interrompi(std::string motivo);
  // A fill that failed on a value (a line speed whose fifth does not fit a
  // byte): in a check the row that gave it is passed over.
  void riempi(riempimento& r, std::int32_t p, std::int32_t v);
  void completa(riempimento& r);
  void fino_a_riuscire(riempimento& r, const std::function<void()>& passo);
  std::string estensione_griglia() const;

  // The line source.
  esito leggi_linea();
  static bool fine_generale(std::string_view parola);
  esito lunghezza_percorso(int);
  esito progressiva(int slot);
  esito sfondo(int valore);
  esito ripetizione_segnali(int);
  esito leggi_ripetizione_segnali();
  esito pendenza(int);
  esito curva(int);
  esito montagna(int);
  esito indicatori_v_max(int);
  esito cartello(int);

  // The service source.
  void leggi_servizio();
  esito massa_frenata(int);
  esito vetture(int);
  esito velocita(int);
  esito aderenza(int);
  esito orologio(int);
  esito sabbia(int);
  esito segnale(int);
  esito rallentamento(int);
  esito abbattimento(int);
  esito stazione(int);
  esito leggi_stazione(std::int32_t i);
  void controlla_progressive();

  // Reads one record that writes into slot `voce`; in a check, a refused
  // record (or one whose items cannot be read) leaves the slot as `prima`.
  template <class leggi_record>
  esito senza_tracce(voce_servizio& voce, voce_servizio prima, leggi_record leggi) {
    esito e = esito::continua;
    try {
      e = leggi();
    } catch (const fallimento_lettura&) {
      if (prosegui_) voce = prima;
      throw;
    }
    if (e == esito::rifiutato) voce = prima;
    return e;
  }

  modello& m_;
  fonte_sorgenti& fonte_;
  const bool prosegui_;

  std::array<bool, 2> consumata_{};
  sorgente corrente_ = sorgente::linea;
  std::string nome_corrente_;
  std::string testo_;
  std::optional<lettore_voci> voci_;
  std::string parola_;            // the keyword item being handled
  std::int32_t riga_parola_ = 0;  // its line
  std::int32_t riga_senza_avvisi_ = 0;
  // The last record read, for items left over on its line.
  std::string_view ultimo_record_;
  std::int32_t riga_ultimo_record_ = 0;
  std::string voce_testo_;

  // Line source state.
  bool lunghezza_letta_ = false;
  std::int32_t lunghezza_percorso_ = 0;
  std::int32_t riga_lunghezza_ = 0;
  std::array<std::int32_t, 3> righe_progressive_{};  // by slot 81..83
  riempimento pendenze_;
  std::int32_t slot_cartello_ = slot_primo_cartello;
  // Records of the data part met in the [generale] part: the first's line.
  std::int32_t dati_in_generale_ = 0;
  std::int32_t riga_primi_dati_in_generale_ = 0;
  // The last curve plotted: its line and its last metre.
  std::int32_t riga_ultima_curva_ = 0;
  std::int64_t fine_ultima_curva_ = 0;

  // Service source state.
  riempimento velocita_;
  riempimento aderenze_;
  std::int32_t stazione_ = 1;
  std::int32_t segnali_ = 0;
  std::int32_t righe_velocita_ = 0;
};

}  // namespace compattatore
