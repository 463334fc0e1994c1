// The invariants of a compaction of arbitrary sources, checked by the fuzz
// target and by the replay of its saved inputs in the tests.
//
// Input: one flag byte (bit 0: plot the track; bit 1: no line source), then
// the line source, a NUL byte, the service source (absent when there is no
// NUL).
#include "tests/fuzz/verifica_compattazione.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "ispezione/lettura_file.h"
#include "model/errori.h"
#include "model/nomi_file.h"
#include "output/compattazione.h"
#include "sources/fonte_memoria.h"

namespace compattatore::prove {

namespace {

[[noreturn]] void violazione(const char* cosa, long valore) {
  std::fprintf(stderr, "invariante violata: %s (%ld)\n", cosa, valore);
  std::abort();
}

// Every file reads back as the model it was written from; the same file cut
// short is refused or read as another layout, never read past its end.
void verifica_rilettura(const modello& m, const file_compattato& f) {
  const immagine img = f.contenuto();
  try {
    const file_letto l = leggi_file_compattato(f.nome, img);
    switch (l.genere) {
      case genere_file::griglia:
        if (l.celle != m.celle) violazione("griglia riletta", static_cast<long>(l.celle.size()));
        break;
      case genere_file::tabella:
        if (l.tabella != m.tabella_servizio) violazione("tabella riletta", 0);
        break;
      case genere_file::tracciato:
        for (std::size_t i = 0; i < m.tracciato.numero_elementi(); ++i) {
          const std::size_t meta = l.tracciato.x.size();
          const elemento_letto& e = i < meta ? l.tracciato.x[i] : l.tracciato.y[i - meta];
          if (e.tipo != m.tracciato.tipo_in_ordine(i) ||
              (e.tipo != tipo_elemento::vuoto && e.valore != m.tracciato.valore_in_ordine(i)))
            violazione("tracciato riletto", static_cast<long>(i));
        }
        break;
    }
  } catch (const file_non_valido& e) {
    std::fprintf(stderr, "%s: %s\n", f.nome.c_str(), e.what());
    violazione("file compattato rifiutato", 0);
  }
  try {
    leggi_file_compattato(f.nome, std::string_view(img).substr(0, img.size() * 2 / 3));
  } catch (const file_non_valido&) {
  }
}

void verifica_immagini(const modello& m, const risultato_compattazione& r) {
  std::size_t testi = 0;
  for (const voce_servizio& v : m.tabella_servizio) testi += v.testo.size();
  for (const file_compattato& f : r.file) {
    const std::size_t dimensione = f.contenuto().size();
    if (f.nome == nome_file_celle(m.nome_linea, m.numero_treno)) {
      if (dimensione != dimensione_file_celle(m.numero_celle))
        violazione("dimensione del file delle celle", static_cast<long>(dimensione));
    } else if (f.nome == nome_file_tabella(m.nome_linea, m.numero_treno)) {
      if (dimensione != dimensione_file_tabella(testi))
        violazione("dimensione del file della tabella", static_cast<long>(dimensione));
    } else if (f.nome == nome_file_tracciato(m.nome_linea)) {
      const std::int32_t l = m.lunghezza_griglia;
      if (m.tracciato.numero_elementi() != 2 * (static_cast<std::size_t>(l) + 1))
        violazione("elementi del tracciato", static_cast<long>(m.tracciato.numero_elementi()));
      std::size_t byte = 0;
      for (std::size_t i = 0; i < m.tracciato.numero_elementi(); ++i) {
        switch (m.tracciato.tipo_in_ordine(i)) {
          case tipo_elemento::vuoto:
            byte += 2;
            break;
          case tipo_elemento::intero:
            byte += 4;
            break;
          case tipo_elemento::reale:
            byte += 10;
            break;
        }
      }
      if (dimensione != byte) violazione("dimensione del tracciato", static_cast<long>(byte));
      // Metres 0 and 1 are integers, the last two empty unless a curve reached them.
      if (m.tracciato.tipo(1, 1) != tipo_elemento::intero) violazione("metro 1", 1);
    } else {
      violazione("file inatteso", 0);
    }
    verifica_rilettura(m, f);
  }
}

}  // namespace

void verifica_compattazione(const std::uint8_t* dati, std::size_t n) {
  if (n == 0) return;
  const std::uint8_t flag = dati[0];
  const std::string resto(reinterpret_cast<const char*>(dati + 1), n - 1);
  const std::size_t nul = resto.find('\0');
  std::optional<std::string> linea = resto.substr(0, nul);
  std::optional<std::string> servizio;
  if (nul != std::string::npos) servizio = resto.substr(nul + 1);
  if (flag & 2) linea.reset();

  fonte_memoria fonte(linea, servizio);
  fonte.conserva_file();
  modello m;
  m.nome_linea = "Prova";
  m.numero_treno = "1";
  const risultato_compattazione r = compatta(m, fonte, flag & 1, {});

  // A check of the same sources finds the same first error, and none where
  // the compaction found none.
  fonte_memoria di_nuovo(linea, servizio);
  modello c;
  c.nome_linea = m.nome_linea;
  c.numero_treno = m.numero_treno;
  controlla(c, di_nuovo, flag & 1);
  if (r.errore == 0 && (c.numero_errori != 0 || !c.interruzione.empty()))
    violazione("errore trovato dalla verifica ma non dalla compattazione",
               c.errori.empty() ? 0 : c.errori.front().codice);
  if (r.errore != 0) {
    const errore_registrato* a = m.primo_errore();
    if (c.errori.empty()) violazione("errore non trovato dalla verifica", r.errore);
    const errore_registrato& b = c.errori.front();
    if (b.codice != a->codice || b.posizione != a->posizione || b.luogo.riga != a->luogo.riga ||
        b.luogo.file != a->luogo.file || b.luogo.dettaglio != a->luogo.dettaglio)
      violazione("primo errore diverso dalla verifica", b.codice);
  }
  if (r.errore != 0) {
    if (!codice_del_sistema(r.errore)) violazione("numero di errore sconosciuto", r.errore);
    if (!r.file.empty()) violazione("file scritti con un errore", r.errore);
    return;
  }
  if (r.file.size() != ((flag & 1) ? 3u : 2u))
    violazione("numero di file", static_cast<long>(r.file.size()));
  verifica_immagini(m, r);
}

}  // namespace compattatore::prove
