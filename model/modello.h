// The route model: the cell grid, the service table, the plotted track and the
// module state that the readers fill and the writers save. One `modello` lives
// for the whole run, owned by the window object.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace compattatore {

// What stands in a cell (`tipo_cella`). The values are stored in the cell file.
enum tipo_cella_codice : std::uint8_t {
  cella_vuota = 0,
  cella_segnale = 1,
  cella_fine_rallentamento = 2,
  cella_inizio_rallentamento = 3,
  cella_avviso_rallentamento = 4,
  cella_preavviso_rallentamento = 5,
  cella_indicatore_v_max = 6,
  cella_fermata = 10,
  cella_montagna = 11,
  cella_abbattimento = 12,
  cella_abbattimento_nullo = 13,
  cella_cartello = 14,
};

// One 50 m cell of the grid, in the order of its fields in the cell file.
struct cella {
  std::uint8_t tipo_cella = 0;
  std::int16_t dato_1 = 0;
  std::int16_t dato_2 = 0;
  std::int16_t dato_3 = 0;
  std::int16_t dato_4 = 0;
  std::uint8_t tempo_segnale = 0;
  std::uint8_t avviso = 0;
  std::uint8_t tipo_montagna = 0;
  std::uint8_t velocita_linea = 0;
  std::uint8_t pendenza = 0;
  std::uint8_t aderenza = 0;

  bool operator==(const cella&) const = default;
};

// One slot of the service table, in the order of its fields in the .sim file.
struct voce_servizio {
  std::uint8_t tipo_voce = 0;
  std::int32_t valore_1 = 0;
  std::int32_t valore_2 = 0;
  std::int32_t valore_3 = 0;
  std::uint8_t codice_1 = 0;
  std::string testo;  // Windows-1252 bytes
  std::int16_t intero_1 = 0;
  std::int16_t intero_2 = 0;
  std::int16_t intero_3 = 0;
  std::int16_t intero_4 = 0;
  std::int16_t intero_5 = 0;
  std::uint8_t codice_2 = 0;
  std::uint8_t codice_3 = 0;
  std::uint8_t codice_4 = 0;
  std::uint8_t codice_5 = 0;
  std::int32_t orario = 0;

  bool operator==(const voce_servizio&) const = default;
};

// Slots of `tabella_servizio` with a fixed use.
inline constexpr int numero_voci = 87;  // slots 0 to 86
inline constexpr int slot_primo_cartello = 80;
inline constexpr int slot_progressiva_tre = 81;
inline constexpr int slot_progressiva_due = 82;
inline constexpr int slot_progressiva_uno = 83;
inline constexpr int slot_treno = 84;
inline constexpr int slot_linea = 85;
inline constexpr int slot_generale = 86;

inline constexpr int lunghezza_massima_percorso = 1000000;
inline constexpr int margine_griglia = 7000;  // metres of grid beyond the route's end
inline constexpr int massimo_montagne = 80;

// Kind of a track element, numbered as in the track file's tags.
enum class tipo_elemento : std::uint8_t { vuoto = 0, intero = 2, reale = 5 };

// The plotted track: two components for every metre 0..lunghezza, each element
// empty, a 16-bit integer or a double. The plotting records runs (metres 0 and
// 1, then stretches that each repeat the step before them, straight or turned
// at a constant rate), not points: a long route's two million values are
// computed again, in order, when the file is written. They are stored only
// when a metre is asked for or set one by one.
class tracciato_piano {
 public:
  tracciato_piano() = default;
  // Metres 0..lunghezza, every element empty.
  explicit tracciato_piano(std::int32_t lunghezza) : ultimo_metro_(lunghezza) {}

  bool vuoto() const { return ultimo_metro_ < 0; }
  std::int32_t ultimo_metro() const { return ultimo_metro_; }
  std::size_t numero_elementi() const {
    return 2 * static_cast<std::size_t>(static_cast<std::int64_t>(ultimo_metro_) + 1);
  }

  // Plotting. Metres 0 and 1 as 16-bit integers (0, 0) and (0, 1).
  void origine();
  // Metres metro_successivo() to `fino`, each repeating the step between the
  // two metres before it, turned by c (x + c·dy, y − c·dx) when `in_curva`.
  // Needs the origin and fino <= ultimo_metro().
  void prolunga(std::int32_t fino, bool in_curva, double c);
  std::int32_t metro_successivo() const { return metro_successivo_; }

  // One metre; the first call computes and keeps the whole track.
  tipo_elemento tipo(std::int32_t metro, int componente) const {
    materializza();
    return static_cast<tipo_elemento>(tipi_[indice(metro, componente)]);
  }
  double valore(std::int32_t metro, int componente) const {
    materializza();
    return valori_[indice(metro, componente)];
  }
  void imposta_intero(std::int32_t metro, int componente, std::int16_t v);
  void imposta_reale(std::int32_t metro, int componente, double v);

  // Element i in file order (component 0 of every metre, then component 1).
  tipo_elemento tipo_in_ordine(std::size_t i) const {
    materializza();
    return static_cast<tipo_elemento>(tipi_[i]);
  }
  double valore_in_ordine(std::size_t i) const {
    materializza();
    return valori_[i];
  }

  // Every element in file order, computed as it goes: f(tipo, valore).
  template <class F>
  void in_ordine(F&& f) const;

 private:
  struct tratto {
    std::int32_t fino;
    bool in_curva;
    double c;
  };
  // Metres 2 up to the last run's end of one component, by the runs.
  template <class F>
  void ripercorri(int componente, F&& f) const;
  void materializza() const;
  std::size_t indice(std::int32_t metro, int componente) const {
    return static_cast<std::size_t>(componente) * (static_cast<std::size_t>(ultimo_metro_) + 1) +
           static_cast<std::size_t>(metro);
  }

  std::int32_t ultimo_metro_ = -1;
  bool origine_ = false;
  std::int32_t metro_successivo_ = 2;
  std::vector<tratto> tratti_;
  // The stored elements, once some metre has been asked for or set.
  mutable bool materializzato_ = false;
  mutable std::vector<std::uint8_t> tipi_;
  mutable std::vector<double> valori_;
};

template <class F>
void tracciato_piano::ripercorri(int componente, F&& f) const {
  // Plain doubles in the order written, the same as when the track is
  // stored: every build, and both ways, give the same bytes.
  double x0 = 0, y0 = 0, x1 = 0, y1 = 1;
  std::int32_t metro = 2;
  for (const tratto& t : tratti_) {
    for (; metro <= t.fino; ++metro) {
      const double dx = x1 - x0;
      const double dy = y1 - y0;
      double x;
      double y;
      if (t.in_curva) {
        x = (x1 + dx) + t.c * dy;
        y = (y1 + dy) - t.c * dx;
      } else {
        x = x1 + dx;
        y = y1 + dy;
      }
      f(componente == 0 ? x : y);
      x0 = x1;
      y0 = y1;
      x1 = x;
      y1 = y;
    }
  }
}

template <class F>
void tracciato_piano::in_ordine(F&& f) const {
  if (materializzato_) {
    for (std::size_t i = 0; i < tipi_.size(); ++i)
      f(static_cast<tipo_elemento>(tipi_[i]), valori_[i]);
    return;
  }
  if (vuoto()) return;
  for (int k = 0; k < 2; ++k) {
    std::int32_t metro = 0;
    if (origine_ && ultimo_metro_ >= 1) {
      f(tipo_elemento::intero, 0.0);
      f(tipo_elemento::intero, k == 0 ? 0.0 : 1.0);
      metro = 2;
      ripercorri(k, [&](double v) { f(tipo_elemento::reale, v); });
      metro = metro_successivo_;
    }
    for (; metro <= ultimo_metro_; ++metro) f(tipo_elemento::vuoto, 0.0);
  }
}

// Where a recorded error was found in the sources, for the author's message.
struct luogo_errore {
  std::string file;       // source file name as the author knows it; empty if none
  std::int32_t riga = 0;  // 1-based line where the refused record starts; 0 if none
  std::string dettaglio;  // what was wrong, in a few words; may be empty
};

class modello {
 public:
  // Module strings, set first in every run; every file name is built from them.
  std::string nome_linea;
  std::string numero_treno;

  std::vector<cella> celle;  // cells 0..numero_celle; empty until the grid is sized
  std::array<voce_servizio, numero_voci> tabella_servizio{};
  tracciato_piano tracciato;  // only when genera_linea is set

  std::int32_t genera_linea = 0;
  std::int32_t lunghezza_griglia = 0;
  std::int32_t numero_celle = 0;
  std::int32_t numero_montagne = 0;
  std::array<std::int32_t, massimo_montagne + 1> inizi_montagne{};
  std::array<std::int32_t, massimo_montagne + 1> fini_montagne{};

  // The error record: the last error number (0 = none) and its position in metres.
  std::int32_t codice_errore = 0;
  std::int32_t posizione_errore = 0;
  luogo_errore luogo;  // set together with codice_errore where a source line is known

  std::string riga;  // the source item just read

  bool griglia_dimensionata() const { return !celle.empty(); }

  // Every slot 0..86: all numbers 0, empty text.
  void svuota_tabella();
  // Sizes the grid (and, with genera_linea, the track) for a route of
  // `lunghezza` metres; everything sized before is discarded.
  void dimensiona(std::int32_t lunghezza);
  // Records an error; the position stays as it was.
  void registra_errore(std::int32_t codice) { codice_errore = codice; }
  void registra_errore(std::int32_t codice, std::int32_t posizione) {
    codice_errore = codice;
    posizione_errore = posizione;
  }
};

// The integer nearest to x, a value exactly halfway going to the even
// neighbour (nearest(2.5) = 2, nearest(3.5) = 4). Not range-checked.
std::int64_t nearest(double x);

// The cell index of a position: nearest(metri / 50 + scarto), the division
// made as a real number and nearest() taken of the whole expression.
std::int64_t cella_di(double metri, double scarto = 0);

// A cell is free for a point event when it holds nothing or a mountain marker.
inline bool cella_libera(const cella& c) {
  return c.tipo_cella == cella_vuota || c.tipo_cella == cella_montagna;
}

}  // namespace compattatore
