// `confronta A B` and `confronta DIR1 DIR2 LINEA TRENO`: what differs between
// two compacted files of one kind, or two builds, in railway terms.
#include <CLI/CLI.hpp>
#include <memory>

#include "app/comandi.h"
#include "app/piattaforma.h"
#include "ispezione/confronto.h"
#include "ispezione/lettura_file.h"
#include "model/nomi_file.h"

namespace compattatore {

namespace {

// Exit statuses of `confronta`, as `diff` has them.
constexpr int stato_uguali = 0;
constexpr int stato_diversi = 1;
constexpr int stato_file_non_valido = 2;

struct opzioni_confronta {
  std::string a;
  std::string b;
  std::string linea;
  std::string treno;
};

// A file that breaks its layout, already worded with its name.
class file_rifiutato : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

template <class F>
auto leggendo(const std::string& file, F&& f) {
  try {
    return f();
  } catch (const file_non_valido& e) {
    throw file_rifiutato(file + ": " + e.what());
  }
}

// A build's files: the grid and the table must be there, the track may not
// (a build made without it).
insieme_letto leggi_insieme(const std::string& directory, const std::string& linea,
                            const std::string& treno) {
  insieme_letto s;
  const std::string griglia = piattaforma::percorso(directory, nome_file_celle(linea, treno));
  const std::string tabella = piattaforma::percorso(directory, nome_file_tabella(linea, treno));
  const std::string tracciato = piattaforma::percorso(directory, nome_file_tracciato(linea));
  s.tabella = leggendo(tabella, [&] {
    return leggi_tabella(contenuto_file(tabella, byte_massimi_file_compattato));
  });
  s.celle = leggendo(griglia, [&] {
    return leggi_griglia(contenuto_file(griglia, byte_massimi_file_compattato));
  });
  leggendo(griglia, [&] { verifica_griglia(*s.celle, *s.tabella); });
  if (piattaforma::presente(tracciato)) {
    s.tracciato = leggendo(tracciato, [&] {
      return leggi_tracciato(contenuto_file(tracciato, byte_massimi_file_compattato));
    });
    leggendo(tracciato, [&] { verifica_tracciato(*s.tracciato, *s.tabella); });
  }
  return s;
}

insieme_letto leggi_uno(const std::string& file, genere_file& genere) {
  file_letto l = leggendo(file, [&] {
    return leggi_file_compattato(file, contenuto_file(file, byte_massimi_file_compattato));
  });
  genere = l.genere;
  insieme_letto s;
  switch (l.genere) {
    case genere_file::griglia:
      s.celle = std::move(l.celle);
      break;
    case genere_file::tabella:
      s.tabella = std::move(l.tabella);
      break;
    case genere_file::tracciato:
      s.tracciato = std::move(l.tracciato);
      break;
  }
  return s;
}

int confronta_file(const opzioni_confronta& o) {
  insieme_letto a, b;
  try {
    if (o.linea.empty()) {
      genere_file ga{}, gb{};
      a = leggi_uno(o.a, ga);
      b = leggi_uno(o.b, gb);
      if (ga != gb)
        throw errore_uso("A e B non sono dello stesso tipo: " + o.a + " e' " + nome_genere(ga) +
                         ", " + o.b + " e' " + nome_genere(gb));
    } else {
      a = leggi_insieme(o.a, o.linea, o.treno);
      b = leggi_insieme(o.b, o.linea, o.treno);
    }
  } catch (const file_rifiutato& e) {
    piattaforma::scrivi_errore(std::string(e.what()) + "\n");
    return stato_file_non_valido;
  }
  std::string uscita;
  for (const std::string& riga : confronta(a, b)) uscita += riga + "\n";
  scrivi_risultato(uscita);
  return uscita.empty() ? stato_uguali : stato_diversi;
}

}  // namespace

void aggiungi_confronta(CLI::App& app, azione_comando& scelta) {
  CLI::App& comando = nuovo_comando(
      app, "confronta", "confronta due file compattati, o due compattazioni, in termini di linea",
      "Con due file dello stesso tipo (griglia, tabella o tracciato) li confronta; con\n"
      "DIR1 DIR2 LINEA TRENO confronta i tre file di LINEA e TRENO nelle due cartelle.\n"
      "Scrive una riga per modifica, dicendo che cosa e' cambiato lungo la linea.\n"
      "Stato di uscita: 0 uguali, 1 diversi, 2 un file non valido o illeggibile.");
  const auto o = std::make_shared<opzioni_confronta>();
  argomento(comando, "A", o->a, "il primo file, o la prima cartella");
  argomento(comando, "B", o->b, "il secondo file, o la seconda cartella");
  comando.add_option("LINEA", o->linea, "con due cartelle: il nome della linea")->type_name("");
  comando.add_option("TRENO", o->treno, "con due cartelle: il numero del treno")->type_name("");
  quando_scelto(comando, scelta, [o] {
    if (!o->linea.empty()) {
      if (o->treno.empty()) throw errore_uso("manca TRENO");
      richiedi_scenario({o->a, o->linea, o->treno});
      richiedi_scenario({o->b, o->linea, o->treno});
    }
    return confronta_file(*o);
  });
}

}  // namespace compattatore
