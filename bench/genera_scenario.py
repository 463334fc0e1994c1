#!/usr/bin/env python3
"""Writes a dense scenario of a given route length for the benchmark.

    genera_scenario.py DIR LUNGHEZZA [--linea NOME] [--treno NUMERO] [--seme N]

writes DIR/NOME_linea.txt and DIR/NOME_NUMERO-.txt in the layout of the built-in
scenario's sources (CR LF, the same sections and rows), and prints one summary
line. The content is drawn from a fixed seed, so the same arguments always give
the same bytes.

Every point event is given a cell of its own, and the stretches around the
stations and the slowdowns are kept clear, so that the scenario compacts
without any error, the approach marking pass included: the pass needs free
cells before a slowdown, inside it every 400 m, and beside the signals that
stand near its warning point or right after its end.
"""

import argparse
import os
import random
import sys

# The service table holds stations from slot 1 up and board texts from slot 80
# down: with four boards 74 stations fit, and a few are kept spare.
MASSIMO_STAZIONI = 70
NUMERO_CARTELLI = 4
# The track may not pass this metre while a curve is being plotted.
METRO_MASSIMO_CURVE = 999999

SILLABE = ["MA", "RO", "VEN", "TA", "LI", "SAN", "CO", "BER", "GA", "NO", "PRA", "DE",
           "LUN", "VAL", "MON", "TE", "SER", "RA", "FOR", "NA", "CAS", "TEL", "PO", "DI"]


def cella_di(metri, scarto=0):
    # Python's round() sends halves to the even neighbour, like the reader.
    return round(metri / 50 + scarto)


class griglia:
    """Which cells hold a point event, and which stretches are kept clear."""

    def __init__(self, numero_celle):
        self.numero_celle = numero_celle
        self.occupate = {}
        # (first, last, kind): no point event but the owner's in these cells.
        self.riservate = []
        # Cells where a signal may not stand although the stretch is reserved
        # for a slowdown; signals elsewhere in that stretch are wanted.
        self.vietate_ai_segnali = []

    def occupa(self, cella, cosa):
        assert cella not in self.occupate, (cella, cosa, self.occupate.get(cella))
        assert 2 <= cella <= self.numero_celle - 3, (cella, cosa)
        self.occupate[cella] = cosa

    def riservata(self, cella, per_segnale=False):
        for primo, ultimo, tipo in self.riservate:
            if primo <= cella <= ultimo:
                if per_segnale and tipo == "rallentamento":
                    continue
                return True
        if per_segnale:
            for primo, ultimo in self.vietate_ai_segnali:
                if primo <= cella <= ultimo:
                    return True
        return False

    def libera(self, cella, per_segnale=False):
        return (2 <= cella <= self.numero_celle - 3 and cella not in self.occupate and
                not self.riservata(cella, per_segnale))

    def avvicinamento_libero(self, cella):
        """A signal's approach codes, 2 to 8 cells before it, stay off a station's."""
        for k in range(1, 5):
            for primo, ultimo, tipo in self.riservate:
                if tipo == "stazione" and primo <= cella - 2 * k <= ultimo:
                    return False
        return True


def multiplo_50(x):
    return int(x) // 50 * 50


def nome_stazione(rng, usati):
    while True:
        nome = "".join(rng.choice(SILLABE) for _ in range(rng.randint(2, 3)))
        if rng.random() < 0.15:
            nome += " " + rng.choice(["ALTA", "BASSA", "SCALO", "BORGO"])
        if nome not in usati:
            usati.add(nome)
            return nome


def zona_stazione(p, tipo, lunghezza, codice_4):
    if tipo in (5, 6):
        return p - lunghezza, p + 150
    if tipo in (7, 8):
        return p - lunghezza, p + lunghezza
    return round(p - lunghezza / 2), round(p + lunghezza / 2) + (50 if codice_4 else 0)


def genera_stazioni(rng, lunghezza, g):
    numero = max(2, min(MASSIMO_STAZIONI, lunghezza // 7500))
    passo = lunghezza / numero
    usati = set()
    stazioni = []
    ora = 55 * 60  # the train leaves the origin at 0:55
    precedente = 0
    for i in range(numero):
        if i == 0:
            p, tipo, zona = 0, 4, 1000
            campi = [0, 1, 0, 1, 1, 0, 4, 1, 1, 1]
        else:
            p = multiplo_50(i * passo + rng.uniform(-0.2, 0.2) * passo)
            p = min(p, lunghezza - 1500)
            tipo = rng.choice([3, 4, 4, 6, 12, 12, 22, 22, 25, 28])
            zona = rng.choice([400, 500, 600, 700, 800, 1000])
            campi = [rng.choice([0, 1]), rng.choice([0, 1]), 0, rng.choice([0, 1, 2, 4]),
                     rng.choice([0, 1]), rng.choice([0, 1]), rng.choice([0, 2, 4]),
                     rng.choice([0, 1, 2, 4]), rng.choice([0, 1, 2]),
                     rng.choice([0, 1, 30, 60, 110])]
            # About 60 km/h between stations, and a stop of one to three minutes.
            ora += round((p - precedente) / 1000 * 60) + rng.choice([60, 120, 180])
        precedente = p
        inizio, fine = zona_stazione(p, tipo, zona, campi[2])
        if stazioni:
            assert inizio - 350 >= stazioni[-1]["fine"]
        # The zone and the four approach cells before the stop are kept clear.
        g.riservate.append((max(0, cella_di(inizio) - 6), cella_di(fine) + 2, "stazione"))
        if tipo < 25:
            g.occupa(cella_di(fine, -1), "fermata")
        stazioni.append({"p": p, "tipo": tipo, "zona": zona, "campi": campi, "ora": ora,
                         "nome": "QUARVE" if i == 0 else nome_stazione(rng, usati),
                         "fine": fine})
    return stazioni


def riga_stazione(s):
    c = s["campi"]
    ore, resto = divmod(s["ora"], 3600)
    minuti, secondi = divmod(resto, 60)
    return (f"stazione,  {s['p']:6d},  {s['tipo']}, {s['zona']:4d},  {c[0]}, {c[1]}, {c[2]},  "
            f"{c[3]},{c[4]},{c[5]},  {c[6]},{c[7]},{c[8]},  {c[9]:3d},  {ore:2d},{minuti:2d},"
            f"{secondi:2d}, {s['nome']}")


def genera_rallentamenti(rng, lunghezza, stazioni, g):
    """One slowdown about every 50 km, each in a gap between two stations."""
    numero = max(1, lunghezza // 50000)
    rallentamenti = []
    intervalli = list(zip(stazioni, stazioni[1:]))
    passo = len(intervalli) / numero
    for k in range(numero):
        prima, dopo = intervalli[int(k * passo)]
        l = rng.choice([500, 800, 1000, 1500, 2000, 3000])
        v = rng.choice([30, 40, 50, 60, 80]) if k % 5 != 4 else 120
        # From the warning point's look-back (1200 m + 24 cells) to the end of
        # the search for the signal after it (15 cells).
        spazio_prima, spazio_dopo = 1200 + 26 * 50, l + 16 * 50
        minimo = prima["fine"] + 400 + spazio_prima
        massimo = dopo["p"] - dopo["zona"] - 400 - spazio_dopo
        if massimo < minimo:
            continue
        x = multiplo_50(rng.uniform(minimo, min(massimo, minimo + 2000)))
        f_tt, f_ta = rng.choice([0, 1]), rng.choice([0, 1])
        d_v = rng.choice([0, 0, 0, 10])
        w, s, e = cella_di(x - 1200, 1), cella_di(x, 1), cella_di(x + l, 1)
        g.occupa(w, "avviso")
        g.occupa(s, "inizio")
        g.occupa(e, "fine")
        if f_ta:
            for i in range(4):
                g.occupa(cella_di(x - 1200) - i, "preavviso")
        g.riservate.append((w - 26, e + 15, "rallentamento"))
        # A signal may stand in the look-back of the warning point or after the
        # end, but not among the slowdown's own cells, nor where the pass could
        # find no free cell before it.
        g.vietate_ai_segnali.append((w - 4, e + 2))
        rallentamenti.append((x, v, l, f_tt, f_ta, d_v))
    return rallentamenti


def genera_segnali(rng, lunghezza, g):
    """Pairs of a signal with 1 and one with 2, 1100 to 2050 m apart."""
    segnali = []
    p = 1550
    sx = 1
    while True:
        while not (g.libera(cella_di(p, 1), per_segnale=True) and
                   g.avvicinamento_libero(cella_di(p, 1))):
            p += 50
        if p > lunghezza - 300:
            break
        g.occupa(cella_di(p, 1), "segnale")
        if sx == 1:
            campi = [1, rng.choice([2, 3, 4]), 0, 0, 0, 1, rng.choice([1, 2, 3]), 0, 0, 0]
        else:
            campi = [2, rng.choice([2, 3, 4]), rng.choice([0, 0, 1, 3]), 0, rng.choice([0, 1]),
                     2, rng.choice([1, 2]), rng.choice([0, 1]), 0, 0]
        tempo = 255 if sx == 2 and rng.random() < 0.02 else 0
        segnali.append((p, campi, tempo))
        p += multiplo_50(rng.uniform(1100, 2050) if sx == 1 else rng.uniform(1050, 2000))
        sx = 3 - sx
    if segnali and segnali[-1][1][0] == 1:
        segnali.pop()
    return segnali


def riga_segnale(s):
    p, c, tempo = s
    return (f"segnale,  {p:6d},   {c[0]}, {c[1]}, {c[2]},  {c[3]}, {c[4]},    {c[5]},  "
            f"{c[6]},{c[7]},{c[8]}, {tempo}")


def sposta_su_libera(g, p, scarto=1, fino_a=None):
    while not g.libera(cella_di(p, scarto)):
        p += 50
    return p if fino_a is None or p <= fino_a else None


def genera_indicatori(rng, lunghezza, g):
    """A board every 4 km or so: alone, or a group of three with stripes 2, 1, 0."""
    righe = []
    p = 800
    while True:
        p = sposta_su_libera(g, p)
        if p > lunghezza - 2000:
            break
        a = rng.choice(range(30, 160, 5))
        b = rng.choice(range(a, 160, 5))
        c = rng.choice(range(b, 160, 5))
        if rng.random() < 0.35:
            gruppo = []
            q = p
            for strisce in (2, 1, 0):
                q = sposta_su_libera(g, q)
                gruppo.append((q, strisce))
                g.occupa(cella_di(q, 1), "indicatore")
                q += multiplo_50(rng.uniform(250, 500))
            for q, strisce in gruppo:
                righe.append(f"indicatori_vmax,  {q},  {a},  {b},  {c},  {strisce},  ,  ,  ,  0")
            p = q
        else:
            g.occupa(cella_di(p, 1), "indicatore")
            righe.append(f"indicatori_vmax,  {p},  {a},  {a},  {a},  0,  ,  ,  ,  0")
        p += multiplo_50(rng.uniform(2500, 5500))
    return righe


def genera_cartelli(rng, lunghezza, g):
    righe = []
    for k in range(NUMERO_CARTELLI):
        p = sposta_su_libera(g, multiplo_50(2800 + k * lunghezza / (NUMERO_CARTELLI + 1)))
        g.occupa(cella_di(p, 1), "cartello")
        nome = "".join(rng.choice(SILLABE) for _ in range(3))
        righe.append(f"cartello_indicatore,  {p},   ({nome})")
    return righe


def genera_abbattimenti(rng, lunghezza, g):
    righe = []
    for k in range(max(1, lunghezza // 100000)):
        p = sposta_su_libera(g, multiplo_50(rng.uniform(0.05, 0.95) * lunghezza), scarto=0)
        g.occupa(cella_di(p), "abbattimento")
        righe.append((p, f"abbattimento,  {p},  {rng.choice([0, 60, 80, 100])}"))
    return [r for _, r in sorted(righe)]


def genera_curve(rng, lunghezza):
    righe = []
    fine_massima = min(lunghezza - 500, METRO_MASSIMO_CURVE)
    a = 1850
    while True:
        b = rng.choice([150, 250, 300, 300, 300, 300, 450])
        if a + b > fine_massima:
            break
        lato = rng.choice("sd")
        righe.append(f"curva{lato}{rng.randint(1, 6)},  {a},  {b}")
        a += b + multiplo_50(rng.uniform(300, 2000))
    return righe


def genera_pendenze(rng, lunghezza):
    righe = ["pendenza,  0,   0"]
    p = multiplo_50(rng.uniform(1500, 5000))
    while p < lunghezza - 6000:
        righe.append(f"pendenza,  {p},   {rng.randint(-30, 28)}")
        p += multiplo_50(rng.uniform(1500, 5000))
    righe.append(f"pendenza,  {p},   0")
    return righe


def genera_montagne(rng, lunghezza):
    righe = []
    numero = min(20, max(3, lunghezza // 50000))
    passo = lunghezza / numero
    for k in range(numero):
        inizio = multiplo_50(k * passo + rng.uniform(0.05, 0.3) * passo)
        fine = multiplo_50(inizio + rng.uniform(2000, min(12000, 0.6 * passo)))
        righe.append(f"montagna,   {inizio},  {fine},  {rng.choice([1, 2, 11, 12])}")
    return righe


def genera_velocita(rng, lunghezza):
    righe = ["velocita,       0,    75"]
    p = multiplo_50(rng.uniform(5000, 15000))
    while p < lunghezza - 5000:
        righe.append(f"velocita,  {p},    {rng.choice(range(30, 160, 5))}")
        p += multiplo_50(rng.uniform(5000, 15000))
    righe.append(f"velocita,  {lunghezza + 1000},    30")
    return righe


def genera_aderenze(rng, lunghezza):
    righe = ["aderenza,       0,   110"]
    p = multiplo_50(rng.uniform(20000, 60000))
    while p < lunghezza:
        righe.append(f"aderenza,  {p},   {rng.choice([90, 100, 110])}")
        p += multiplo_50(rng.uniform(20000, 60000))
    return righe


def scrivi(percorso, righe):
    with open(percorso, "wb") as f:
        f.write("".join(r + "\r\n" for r in righe).encode("cp1252"))


def genera(directory, lunghezza, linea, treno, seme):
    if not 10000 <= lunghezza <= 1000000:
        raise SystemExit("LUNGHEZZA must lie between 10000 and 1000000 metres")
    rng = random.Random(seme * 1000003 + lunghezza)
    g = griglia(cella_di(lunghezza + 7000))
    stazioni = genera_stazioni(rng, lunghezza, g)
    rallentamenti = genera_rallentamenti(rng, lunghezza, stazioni, g)
    segnali = genera_segnali(rng, lunghezza, g)
    indicatori = genera_indicatori(rng, lunghezza, g)
    cartelli = genera_cartelli(rng, lunghezza, g)
    abbattimenti = genera_abbattimenti(rng, lunghezza, g)
    curve = genera_curve(rng, lunghezza)
    pendenze = genera_pendenze(rng, lunghezza)
    montagne = genera_montagne(rng, lunghezza)
    velocita = genera_velocita(rng, lunghezza)
    aderenze = genera_aderenze(rng, lunghezza)

    scrivi(os.path.join(directory, f"{linea}_linea.txt"), [
        "[generale]",
        f"lunghezza percorso,    {lunghezza}",
        "progressiva chilometrica uno,    1000,    0,    0",
        "progressiva chilometrica due,    0,    0,    0",
        "progressiva chilometrica tre,    0,    0,    0",
        "sfondo uno,    4000",
        "sfondo due,    1000",
        "sfondo tre,    1",
        f"ripetizione segnali 4 codici,    1000,    {lunghezza + 1500}",
        "[curve]", *curve,
        "[pendenze]", *pendenze,
        "[montagne]", *montagne,
        "[cartelli]", *indicatori,
        "[indicazioni]", *cartelli,
        "[fine]",
    ])
    scrivi(os.path.join(directory, f"{linea}_{treno}-.txt"), [
        ".",
        "[generale]",
        "numero vetture,    11",
        "percentuale massa frenata,    75",
        "sabbia,    300",
        "orologio,    0               54            0 ",
        "[aderenze]", *aderenze,
        "[vel_limite]", *velocita,
        "[stazioni]", *[riga_stazione(s) for s in stazioni],
        "[rallentamenti]",
        *[f"rallentamento,  {x},  {v},  {l}, {tt},  {ta},  {dv}"
          for x, v, l, tt, ta, dv in rallentamenti],
        "[segnali]", *[riga_segnale(s) for s in segnali],
        "[codici]", *abbattimenti,
        "[fine]",
    ])
    media = lunghezza / max(1, len(stazioni) - 1) / 1000
    limite = (f" (capped at {MASSIMO_STAZIONI}: the service table holds at most "
              f"{80 - NUMERO_CARTELLI - 2} with {NUMERO_CARTELLI} text boards)"
              if len(stazioni) == MASSIMO_STAZIONI else "")
    print(f"{linea}: {lunghezza} m, {len(segnali)} signals, {len(curve)} curves, "
          f"{len(stazioni)} stations{limite}, one every {media:.1f} km, "
          f"{len(rallentamenti)} slowdowns, {len(indicatori)} speed boards, "
          f"{len(montagne)} mountain stretches, {len(pendenze)} gradient rows")


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("directory")
    a.add_argument("lunghezza", type=int)
    a.add_argument("--linea", default=None)
    a.add_argument("--treno", default="90001")
    a.add_argument("--seme", type=int, default=58213)
    o = a.parse_args()
    if not os.path.isdir(o.directory):
        raise SystemExit(f"no such directory: {o.directory}")
    genera(o.directory, o.lunghezza, o.linea or f"Prova_{o.lunghezza // 1000}km", o.treno, o.seme)


if __name__ == "__main__":
    sys.exit(main())
