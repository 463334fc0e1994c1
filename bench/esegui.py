#!/usr/bin/env python3
"""Benchmark of the whole job against the cost of writing its output.

    python3 bench/esegui.py [--ripetizioni N] [--senza-build] [--scenari NOMI]

Builds the Release program and the floor into build/bench (bench/CMakeLists.txt),
generates the 500 km and the 1,000,000 m scenarios (bench/genera_scenario.py),
exports the built-in one, and for each scenario times, with runs interleaved:
  - `compattatore compatta DIR LINEA TRENO --tempi`, in a fresh directory each run;
  - the fixed job (built-in scenario only): a copy of the executable in a fresh
    directory, started with no argument;
  - the floor (bench/pavimento.cpp) on the same output bytes, written the same way;
  - `mostra` on each compacted file, and `confronta` of that build against one
    with its first curve turned the other way.
It prints Markdown tables: medians, program/floor ratio, peak memory against its
limit, the median of every stage from --tempi, and the cost per km, which shows
any growth worse than linear. The authors' commands that write nothing but their
output (controlla, spiega, ...) are timed on the same scenarios, beside compatta.
Then the route page: `disegna` timed the same way, the page's size, and, where
chromium is installed, the time the page reports it took to be drawn in the
headless browser (from the start of the navigation to the end of its script,
layout included).
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys

RADICE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(RADICE, "build", "bench")
LAVORO = os.path.join(BUILD, "corse")
PROGRAMMA = os.path.join(BUILD, "compattatore", "compattatore")
# The environment of every measured process (--ambiente adds to it).
AMBIENTE = dict(os.environ)
PAVIMENTO = os.path.join(BUILD, "pavimento")
MISURA = os.path.join(BUILD, "misura")

RAPPORTO_MASSIMO = 1.5
# The route page: at most this size, written and drawn within these times.
PAGINA_MASSIMA, DISEGNA_MASSIMO, NAVIGATORE_MASSIMO = 2 * 2**20, 1.0, 1.0
# Peak memory may reach this many times the largest output file, plus 10 MB.
MEMORIA_PER_USCITA, MEMORIA_FISSA = 3, 10 * 2**20


class scenario:
    def __init__(self, nome, metri, linea, treno):
        self.nome, self.metri, self.linea, self.treno = nome, metri, linea, treno
        self.sorgenti = os.path.join(LAVORO, "sorgenti", nome)

    def file_sorgenti(self):
        return [f"{self.linea}_linea.txt", f"{self.linea}_{self.treno}-.txt"]

    def file_uscita(self):
        # In the order the program writes them.
        return [f"{self.linea}_linea.dat", f"{self.linea}_{self.treno}.sim",
                f"{self.linea}_{self.treno}.dat"]


SCENARI = {
    "built-in": scenario("built-in", 106000, "Quarve_Lentra", "58213"),
    "500km": scenario("500km", 500000, "Prova_500km", "90001"),
    "1000km": scenario("1000km", 1000000, "Prova_1000km", "90001"),
}


def esegui(comando, **kw):
    subprocess.run(comando, check=True, **kw)


def prepara(con_build):
    if con_build:
        esegui(["cmake", "-S", os.path.join(RADICE, "bench"), "-B", BUILD,
                "-DCMAKE_BUILD_TYPE=Release"], stdout=subprocess.DEVNULL)
        esegui(["cmake", "--build", BUILD, "--target", "compattatore", "pavimento", "misura",
                "-j2"],
               stdout=subprocess.DEVNULL)
    shutil.rmtree(LAVORO, ignore_errors=True)
    os.makedirs(LAVORO)


def genera_sorgenti(s):
    os.makedirs(s.sorgenti)
    if s.nome == "built-in":
        esegui([PROGRAMMA, "esporta", s.sorgenti])
        return f"{s.linea}: the built-in scenario, {s.metri} m"
    return subprocess.run([sys.executable, os.path.join(RADICE, "bench", "genera_scenario.py"),
                           s.sorgenti, str(s.metri), "--linea", s.linea, "--treno", s.treno],
                          check=True, stdout=subprocess.PIPE, text=True).stdout.strip()


def misura(comando, cwd=None, uscite=("0",)):
    """Wall time, peak resident memory (bytes), stderr of one process whose exit
    status is one of `uscite`."""
    p = subprocess.run([MISURA, *comando], cwd=cwd, env=AMBIENTE, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE)
    errori = p.stderr.decode("cp1252").splitlines()
    if p.returncode != 0 or not errori or not errori[-1].startswith("misura: "):
        raise SystemExit(f"{' '.join(comando)}: cannot be measured\n" + "\n".join(errori))
    _, secondi, _, kb, _, uscita = errori[-1].split()
    if uscita not in uscite:
        raise SystemExit(f"{' '.join(comando)}: exit {uscita}\n" + "\n".join(errori))
    return float(secondi), int(kb) * 1024, "\n".join(errori[:-1])


def ripeti(corsa, ripetizioni):
    """Median wall time and peak memory of `ripetizioni` calls of corsa(), which
    returns (seconds, bytes, ...), and what the last call returned."""
    tempi, memorie = [], []
    for _ in range(ripetizioni):
        ultima = corsa()
        tempi.append(ultima[0])
        memorie.append(ultima[1])
    return statistics.median(tempi), max(memorie), ultima


def cartella_nuova(nome):
    d = os.path.join(LAVORO, nome)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    return d


def corsa_compatta(s):
    d = cartella_nuova("giro")
    for f in s.file_sorgenti():
        shutil.copy(os.path.join(s.sorgenti, f), d)
    durata, memoria, errori = misura([PROGRAMMA, "compatta", d, s.linea, s.treno, "--tempi"])
    fasi = {}
    for riga in errori.splitlines():
        if riga.startswith("tempo ") and riga.endswith(" s"):
            fase, valore = riga[len("tempo "):-2].rsplit(": ", 1)
            fasi[fase] = float(valore)
    return durata, memoria, fasi, d


def corsa_lavoro_fisso():
    d = cartella_nuova("giro")
    shutil.copy(PROGRAMMA, os.path.join(d, "compattatore"))
    # Started from elsewhere: the job must work in the executable's directory.
    durata, memoria, _ = misura([os.path.join(d, "compattatore")], cwd=LAVORO)
    return durata, memoria, d


def corsa_pavimento(riferimento, operazioni):
    d = cartella_nuova("giro")
    durata, memoria, errori = misura([PAVIMENTO, riferimento, d, *operazioni])
    lettura = next(float(r.split()[1]) for r in errori.splitlines() if r.startswith("lettura:"))
    return durata - lettura, memoria, d


def conserva(d, nome):
    destinazione = os.path.join(LAVORO, nome)
    shutil.rmtree(destinazione, ignore_errors=True)
    os.rename(d, destinazione)
    return destinazione


def stesso_contenuto(a, b, nomi):
    for n in nomi:
        with open(os.path.join(a, n), "rb") as fa, open(os.path.join(b, n), "rb") as fb:
            if fa.read() != fb.read():
                raise SystemExit(f"{n}: {a} and {b} differ")


def confronta_corse(s, ripetizioni):
    """Medians of compatta and the fixed job against their floors."""
    # A first run of each gives the reference output, and warms the caches.
    *_, d = corsa_compatta(s)
    rif_compatta = conserva(d, "rif_" + s.nome)
    uscite = s.file_uscita()
    for f in uscite:
        if not os.path.exists(os.path.join(rif_compatta, f)):
            raise SystemExit(f"{s.nome}: compatta wrote no {f}")
    corse = [("compatta", lambda: corsa_compatta(s)[:3], rif_compatta, ["+" + f for f in uscite])]

    if s.nome == "built-in":
        *_, d = corsa_lavoro_fisso()
        rif_fisso = conserva(d, "rif_lavoro_fisso")
        stesso_contenuto(rif_compatta, rif_fisso, uscite)
        documenti = sorted(f for f in os.listdir(rif_fisso) if f.endswith(".txt"))
        # The fixed job writes the sources, then the documents, consumes the
        # sources and writes the compacted files: so does its floor.
        for f in s.file_sorgenti():
            shutil.copy(os.path.join(s.sorgenti, f), rif_fisso)
        operazioni = (["+" + f for f in s.file_sorgenti()] + ["+" + f for f in documenti] +
                      ["-" + f for f in s.file_sorgenti()] + ["+" + f for f in uscite])
        corse.append(("fixed job", lambda: corsa_lavoro_fisso()[:2] + ({},), rif_fisso,
                      operazioni))

    uscita_massima = max(os.path.getsize(os.path.join(rif_compatta, f)) for f in uscite)
    risultati = []
    for nome_corsa, corsa, riferimento, operazioni in corse:
        tempi, memorie, tempi_pav, fasi = [], [], [], {}
        for _ in range(ripetizioni):
            durata, memoria, fasi_corsa = corsa()
            tempi.append(durata)
            memorie.append(memoria)
            for k, v in fasi_corsa.items():
                fasi.setdefault(k, []).append(v)
            tempi_pav.append(corsa_pavimento(riferimento, operazioni)[0])
        risultati.append({
            "scenario": s, "corsa": nome_corsa, "tempo": statistics.median(tempi),
            "pavimento": statistics.median(tempi_pav), "memoria": max(memorie),
            "uscita_massima": uscita_massima,
            "fasi": {k: statistics.median(v) for k, v in fasi.items()},
        })
    shutil.rmtree(os.path.join(LAVORO, "giro"), ignore_errors=True)
    return risultati


def corsa_disegna(s):
    d = cartella_nuova("giro")
    for f in s.file_sorgenti():
        shutil.copy(os.path.join(s.sorgenti, f), d)
    durata, memoria, _ = misura([PROGRAMMA, "disegna", d, s.linea, s.treno])
    return durata, memoria, d


def tempo_navigatore(pagina):
    """The drawing time the page reports in headless chromium, seconds."""
    profilo = cartella_nuova("chromium")
    p = subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                        "--disable-background-networking", "--disable-component-update",
                        "--disable-sync", "--user-data-dir=" + profilo, "--window-size=1280,900",
                        "--dump-dom", "file://" + pagina],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=120)
    shutil.rmtree(profilo, ignore_errors=True)
    radice = re.search(r"<html[^>]*>", p.stdout)
    stato = re.search(r'data-stato="([^"]*)"', radice.group(0)) if radice else None
    tempo = re.search(r'data-tempo-ms="([0-9]+)"', radice.group(0)) if radice else None
    if not stato or stato.group(1) != "pronto" or not tempo:
        raise SystemExit(f"{pagina}: the page did not finish its script in chromium")
    return int(tempo.group(1)) / 1000


def confronta_disegna(s, ripetizioni):
    """Medians of disegna and of the page's drawing in the browser."""
    tempo, memoria, (*_, d) = ripeti(lambda: corsa_disegna(s), ripetizioni)
    pagina = conserva(d, "pagina_" + s.nome)
    pagina = os.path.join(pagina, f"{s.linea}_{s.treno}.html")
    navigatore = None
    if shutil.which("chromium"):
        navigatore = statistics.median(tempo_navigatore(pagina) for _ in range(min(ripetizioni, 5)))
    return {"scenario": s, "tempo": tempo, "memoria": memoria,
            "pagina": os.path.getsize(pagina), "navigatore": navigatore}


def stampa_disegna(risultati):
    print("\nThe route page (`disegna`), median ms; browser: the time the page reports in "
          "headless chromium:\n")
    print("| scenario | route m | disegna ms | peak RSS MB | page MB | browser ms | within targets |")
    print("|---|---:|---:|---:|---:|---:|---|")
    for r in risultati:
        esito = []
        if r["pagina"] > PAGINA_MASSIMA:
            esito.append("size")
        if r["tempo"] > DISEGNA_MASSIMO:
            esito.append("time")
        if r["navigatore"] is not None and r["navigatore"] > NAVIGATORE_MASSIMO:
            esito.append("browser")
        navigatore = "" if r["navigatore"] is None else f"{r['navigatore'] * 1000:.0f}"
        print(f"| {r['scenario'].nome} | {r['scenario'].metri} | {r['tempo'] * 1000:.1f} | "
              f"{mb(r['memoria']):.1f} | {mb(r['pagina']):.2f} | {navigatore} | "
              f"{'yes' if not esito else 'NO: ' + ', '.join(esito)} |")


# The authors' commands that only read: name, arguments after the program, given
# the scenario and a directory holding its sources and compacted files.
def comandi_lettura(s, d):
    return [
        ("controlla", ["controlla", d, s.linea, s.treno]),
        ("spiega", ["spiega", d, s.linea, s.treno, str(s.metri // 2)]),
    ]


def confronta_comandi(s, ripetizioni, compatta_ms):
    """Medians and peak memory of the reading commands, on compatta's own output
    and the sources it left beside it."""
    d = os.path.join(LAVORO, "rif_" + s.nome)
    risultati = []
    for nome, argomenti in comandi_lettura(s, d):
        tempo, memoria, _ = ripeti(lambda: misura([PROGRAMMA, *argomenti]), ripetizioni)
        risultati.append({"scenario": s, "comando": nome, "tempo": tempo, "memoria": memoria,
                          "compatta": compatta_ms})
    return risultati


def stampa_comandi(risultati):
    print("\nThe commands that only read, on the same scenarios (median ms, peak RSS MB; "
          "controlla must take no longer than compatta):\n")
    print("| scenario | command | ms | compatta ms | peak RSS MB | within targets |")
    print("|---|---|---:|---:|---:|---|")
    for r in risultati:
        esito = "yes"
        if r["comando"] == "controlla" and r["tempo"] > r["compatta"]:
            esito = "NO: slower than compatta"
        print(f"| {r['scenario'].nome} | {r['comando']} | {r['tempo'] * 1000:.1f} | "
              f"{r['compatta'] * 1000:.1f} | {mb(r['memoria']):.1f} | {esito} |")


def gira_curva(testo):
    """The line source with its first curve, right or left, turned the other way."""
    curve = [(testo.find(da), da, a) for da, a in (("curvad", "curvas"), ("curvas", "curvad"))]
    curve = [c for c in curve if c[0] >= 0]
    if not curve:
        raise SystemExit("the line source has no curve to turn")
    i, da, a = min(curve)
    return testo[:i] + a + testo[i + len(da):]


def corse_ispezione(s, ripetizioni):
    """Medians of `mostra` on each compacted file and of `confronta` of the
    reference build against one with its first curve turned the other way."""
    rif = os.path.join(LAVORO, "rif_" + s.nome)
    altra = os.path.join(LAVORO, "altra_" + s.nome)
    shutil.rmtree(altra, ignore_errors=True)
    os.makedirs(altra)
    for f in s.file_sorgenti():
        with open(os.path.join(s.sorgenti, f), "rb") as fin:
            testo = fin.read().decode("cp1252")
        if f.endswith("_linea.txt"):
            testo = gira_curva(testo)
        with open(os.path.join(altra, f), "wb") as fout:
            fout.write(testo.encode("cp1252"))
    esegui([PROGRAMMA, "compatta", altra, s.linea, s.treno], stdout=subprocess.DEVNULL)
    tracciato, tabella, griglia = (os.path.join(rif, f) for f in s.file_uscita())
    comandi = [
        ("mostra grid", [PROGRAMMA, "mostra", griglia], ("0",)),
        ("mostra table", [PROGRAMMA, "mostra", tabella], ("0",)),
        ("mostra track", [PROGRAMMA, "mostra", tracciato], ("0",)),
        ("mostra --json, all three", [PROGRAMMA, "mostra", "--json", griglia, tabella, tracciato],
         ("0",)),
        ("confronta two builds", [PROGRAMMA, "confronta", rif, altra, s.linea, s.treno], ("1",)),
    ]
    risultati = []
    for nome, comando, uscite in comandi:
        tempo, memoria, _ = ripeti(lambda: misura(comando, uscite=uscite), ripetizioni)
        risultati.append({"scenario": s, "comando": nome, "tempo": tempo, "memoria": memoria})
    return risultati


def stampa_ispezione(risultati):
    print("\nInspection (`mostra`, `confronta`) on the compacted files, median ms:\n")
    print("| scenario | route m | command | ms | peak RSS MB |")
    print("|---|---:|---|---:|---:|")
    for r in risultati:
        print(f"| {r['scenario'].nome} | {r['scenario'].metri} | {r['comando']} | "
              f"{r['tempo'] * 1000:.1f} | {mb(r['memoria']):.1f} |")


def mb(byte):
    return byte / 2**20


def nome_fase(fase, s):
    for file, breve in zip(s.file_uscita(), ["write track", "write table", "write cells"]):
        if fase == "scrittura " + file:
            return breve
    return fase


def stampa(descrizioni, risultati, ripetizioni, misurato):
    if misurato:
        print(f"Measured: {misurato}\n")
    print("Scenarios:\n")
    for d in descrizioni:
        print(f"- {d}")
    print(f"\nMedian of {ripetizioni} runs; floor = the same files written the same way "
          f"(bench/pavimento.cpp).\n")
    print("| scenario | route m | run | program ms | floor ms | program/floor | "
          "peak RSS MB | largest file MB | RSS limit MB | within targets |")
    print("|---|---:|---|---:|---:|---:|---:|---:|---:|---|")
    for r in risultati:
        s = r["scenario"]
        rapporto = r["tempo"] / r["pavimento"]
        limite = MEMORIA_PER_USCITA * r["uscita_massima"] + MEMORIA_FISSA
        esito = []
        if rapporto > RAPPORTO_MASSIMO:
            esito.append("time")
        if r["memoria"] > limite:
            esito.append("memory")
        print(f"| {s.nome} | {s.metri} | {r['corsa']} | {r['tempo'] * 1000:.1f} | "
              f"{r['pavimento'] * 1000:.1f} | {rapporto:.2f} | {mb(r['memoria']):.1f} | "
              f"{mb(r['uscita_massima']):.2f} | {mb(limite):.1f} | "
              f"{'yes' if not esito else 'NO: ' + ', '.join(esito)} |")

    compatte = [r for r in risultati if r["corsa"] == "compatta"]
    fasi = []
    for r in compatte:
        for f in r["fasi"]:
            if nome_fase(f, r["scenario"]) not in fasi:
                fasi.append(nome_fase(f, r["scenario"]))
    print("\nStages of `compatta --tempi`, median ms:\n")
    print("| scenario | " + " | ".join(fasi) + " |")
    print("|---|" + "---:|" * len(fasi))
    for r in compatte:
        valori = {nome_fase(f, r["scenario"]): v for f, v in r["fasi"].items()}
        print(f"| {r['scenario'].nome} | " +
              " | ".join(f"{valori[f] * 1000:.2f}" if f in valori else "" for f in fasi) + " |")

    print("\nGrowth with the route length (compatta), per km of route:\n")
    print("| scenario | route km | program ms/km | floor ms/km | reading ms/km | "
          "peak RSS KB/km |")
    print("|---|---:|---:|---:|---:|---:|")
    for r in compatte:
        km = r["scenario"].metri / 1000
        lettura = r["fasi"].get("lettura")
        print(f"| {r['scenario'].nome} | {km:g} | {r['tempo'] * 1000 / km:.3f} | "
              f"{r['pavimento'] * 1000 / km:.3f} | "
              f"{'' if lettura is None else f'{lettura * 1000 / km:.3f}'} | "
              f"{r['memoria'] / 1024 / km:.1f} |")


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--ripetizioni", type=int, default=9)
    a.add_argument("--senza-build", action="store_true", help="use the programs already built")
    a.add_argument("--scenari", default=",".join(SCENARI), help="comma-separated: " +
                   ", ".join(SCENARI))
    a.add_argument("--programma", help="measure this executable instead of the one built "
                   "here (a candidate fix, built elsewhere)")
    a.add_argument("--ambiente", action="append", default=[], metavar="VAR=VALORE",
                   help="set in the environment of the measured processes")
    o = a.parse_args()
    global PROGRAMMA
    if o.programma:
        PROGRAMMA = os.path.abspath(o.programma)
    for v in o.ambiente:
        nome, _, valore = v.partition("=")
        AMBIENTE[nome] = valore
    prepara(not o.senza_build)
    scelti = [SCENARI[n] for n in o.scenari.split(",")]
    descrizioni, risultati, comandi, pagine, ispezione = [], [], [], [], []
    for s in scelti:
        descrizioni.append(genera_sorgenti(s))
        corse = confronta_corse(s, o.ripetizioni)
        risultati += corse
        compatta_ms = next(r["tempo"] for r in corse if r["corsa"] == "compatta")
        comandi += confronta_comandi(s, o.ripetizioni, compatta_ms)
        pagine.append(confronta_disegna(s, o.ripetizioni))
        ispezione += corse_ispezione(s, o.ripetizioni)
    misurato = " ".join(([PROGRAMMA] if o.programma else []) + o.ambiente)
    stampa(descrizioni, risultati, o.ripetizioni, misurato)
    stampa_comandi(comandi)
    stampa_disegna(pagine)
    stampa_ispezione(ispezione)


if __name__ == "__main__":
    main()
