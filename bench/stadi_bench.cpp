// The inner stages of the compaction, timed one by one on real scenarios held
// in memory, so that a stage that grows badly with the route shows apart from
// the disk.
//
//   stadi_bench [--benchmark_...] DIR LINEA TRENO [DIR LINEA TRENO]...

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/modello.h"
#include "output/codici_gara.h"
#include "output/compattazione.h"
#include "output/immagini.h"
#include "output/marcatura.h"
#include "sources/fonte_memoria.h"
#include "sources/lettore.h"

namespace compattatore {
namespace {

// The two sources, read once from disk; every run reads them from memory.
struct scenario {
  std::string nome_linea;
  std::string numero_treno;
  std::string linea;
  std::string servizio;

  modello nuovo_modello() const {
    modello m;
    m.nome_linea = nome_linea;
    m.numero_treno = numero_treno;
    m.genera_linea = 1;
    return m;
  }
  // A model as the reader leaves it.
  modello letto() const {
    modello m = nuovo_modello();
    fonte_memoria f(linea, servizio);
    memorizza_dati(m, f);
    return m;
  }
};

std::string leggi_file(const std::string& percorso) {
  std::ifstream in(percorso, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "stadi_bench: cannot read %s\n", percorso.c_str());
    std::exit(2);
  }
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void lettura(benchmark::State& stato, const scenario& s) {
  for (auto _ : stato) {
    modello m = s.nuovo_modello();
    fonte_memoria f(s.linea, s.servizio);
    memorizza_dati(m, f);
    if (m.codice_errore != 0) stato.SkipWithError("the scenario has an error");
    benchmark::DoNotOptimize(m.celle.data());
  }
}

void marcatura(benchmark::State& stato, const scenario& s) {
  const modello letto = s.letto();
  modello m = letto;
  for (auto _ : stato) {
    stato.PauseTiming();
    m.celle = letto.celle;
    stato.ResumeTiming();
    marca_abbattimenti(m);
    benchmark::DoNotOptimize(m.celle.data());
  }
}

void codici(benchmark::State& stato, const scenario& s) {
  const modello letto = s.letto();
  modello m = letto;
  for (auto _ : stato) {
    stato.PauseTiming();
    m.celle = letto.celle;
    m.tabella_servizio = letto.tabella_servizio;
    stato.ResumeTiming();
    benchmark::DoNotOptimize(timbra_codici(m));
  }
}

void immagine_del_tracciato(benchmark::State& stato, const scenario& s) {
  const modello m = s.letto();
  for (auto _ : stato) benchmark::DoNotOptimize(immagine_tracciato(m.tracciato).data());
  stato.SetBytesProcessed(static_cast<std::int64_t>(stato.iterations()) *
                          static_cast<std::int64_t>(immagine_tracciato(m.tracciato).size()));
}

void immagine_delle_celle(benchmark::State& stato, const scenario& s) {
  const modello m = s.letto();
  for (auto _ : stato) benchmark::DoNotOptimize(immagine_celle(m.celle).data());
}

void compattazione(benchmark::State& stato, const scenario& s) {
  for (auto _ : stato) {
    modello m;
    m.nome_linea = s.nome_linea;
    m.numero_treno = s.numero_treno;
    fonte_memoria f(s.linea, s.servizio);
    const risultato_compattazione r = compatta(m, f, 1);
    if (r.errore != 0) stato.SkipWithError("the scenario has an error");
    benchmark::DoNotOptimize(r.file.data());
  }
}

}  // namespace
}  // namespace compattatore

int main(int argc, char** argv) {
  using namespace compattatore;
  benchmark::Initialize(&argc, argv);
  if (argc < 4 || (argc - 1) % 3 != 0) {
    std::fprintf(stderr, "uso: stadi_bench [--benchmark_...] DIR LINEA TRENO...\n");
    return 2;
  }
  // Kept alive for the whole run: the benchmarks hold references.
  static std::vector<std::unique_ptr<scenario>> scenari;
  for (int i = 1; i + 2 < argc; i += 3) {
    const std::string dir = argv[i];
    auto s = std::make_unique<scenario>();
    s->nome_linea = argv[i + 1];
    s->numero_treno = argv[i + 2];
    s->linea = leggi_file(dir + "/" + s->nome_linea + "_linea.txt");
    s->servizio = leggi_file(dir + "/" + s->nome_linea + "_" + s->numero_treno + "-.txt");
    scenari.push_back(std::move(s));
  }
  for (const auto& s : scenari) {
    const std::string n = "/" + s->nome_linea;
    benchmark::RegisterBenchmark(("lettura" + n).c_str(), lettura, std::cref(*s))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("marcatura" + n).c_str(), marcatura, std::cref(*s))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("codici" + n).c_str(), codici, std::cref(*s))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("immagine_tracciato" + n).c_str(), immagine_del_tracciato,
                                 std::cref(*s))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("immagine_celle" + n).c_str(), immagine_delle_celle,
                                 std::cref(*s))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("compatta" + n).c_str(), compattazione, std::cref(*s))
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
