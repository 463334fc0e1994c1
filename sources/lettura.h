// The reading pass behind memorizza_dati, shared by the line source half
// (lettore_linea.cpp) and the service source half (lettore_servizio.cpp).
// It reads records and hands them to the placement routines of
// model/collocazione.h; the errors it records carry the record's line.
#pragma once

#include <array>
#include <cstdint>
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

// For slots 81, 82 and 83 after the ordering, the record each triple came
// from (0 "tre", 1 "due", 2 "uno"), or -1 for a slot left all zero.
using ordine_progressive = std::array<int, 3>;

// Orders the chainage references in slots 81 to 83 and raises `valore_2` by
// 100 where `valore_3` is 1. A raised value beyond 32 bits throws
// fallimento_lettura.
ordine_progressive progressive_ordina(modello& m);

class lettura {
 public:
  lettura(modello& m, fonte_sorgenti& fonte, const avviso_lettura& avvisa);

  void esegui();

 private:
  // What a record leaves the reader to do: go on, end the data loop as if
  // the file had ended (error 15), or end the reader.
  enum class esito { continua, fine_dati, termina };

  // One record kind of a part: the keyword item holds both words (the second
  // may be empty), compared with exact case or without regard to case.
  struct regola {
    std::string_view parola_1;
    std::string_view parola_2;
    bool maiuscole;
    esito (lettura::*gestisci)(int);
    int argomento = 0;
    bool solo_con_tracciato = false;
  };

  // Files.
  bool apri(sorgente s);
  void chiudi(sorgente s);
  void fallisci(const fallimento_lettura& f);

  // Keyword items under the end rule and the comment rule.
  void leggi_parola();
  bool prossima_parola(int limite_commenti, bool fine_dopo_sostituzione);
  esito applica(std::span<const regola> regole, bool parte_dati);
  void avvisa_parola_sconosciuta();

  // The record being read: where its values come from, and where an error
  // found in it points.
  origine qui() const;
  luogo_errore luogo(std::string dettaglio = {}) const;

  // An error that ends the reader, recorded with the record's line; the
  // current file is closed.
  esito rifiuta(codice_errore_numero codice, std::optional<std::int32_t> posizione = {});
  // The range check of every positioned record: error 15, and the data loop
  // ends as if the file had ended.
  bool fuori_griglia(std::int64_t posizione, int margine);

  // The line source.
  esito leggi_linea();
  static bool fine_generale(std::string_view parola);
  esito lunghezza_percorso(int);
  esito progressiva(int slot);
  esito sfondo(int valore);
  esito ripetizione_segnali(int);
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
  void controlla_progressive();

  modello& m_;
  fonte_sorgenti& fonte_;
  const avviso_lettura& avvisa_;

  std::array<bool, 2> consumata_{};
  sorgente corrente_ = sorgente::linea;
  std::string nome_corrente_;
  std::string testo_;
  std::optional<lettore_voci> voci_;
  std::string parola_;            // the keyword item being handled
  std::int32_t riga_parola_ = 0;  // its line
  std::int32_t riga_senza_avvisi_ = 0;
  std::string voce_testo_;

  // Line source state.
  bool lunghezza_letta_ = false;
  std::array<std::int32_t, 3> righe_progressive_{};  // by slot 81..83
  riempimento pendenze_;
  std::int32_t slot_cartello_ = slot_primo_cartello;

  // Service source state.
  riempimento velocita_;
  riempimento aderenze_;
  std::int32_t stazione_ = 1;
};

}  // namespace compattatore
