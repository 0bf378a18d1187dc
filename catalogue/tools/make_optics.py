#!/usr/bin/env python3
"""Writes the ladders from which catalogue/optics.txt is calibrated.

Usage: make_optics.py LADDERS.cgats
then:  datapack calibrate --sources catalogue --ladders LADDERS.cgats --out catalogue/optics.txt

The demonstration pastes were never measured. Each gets assumed absorption K and
scattering S spectra (400..700 nm, 10 nm) from its pigment type, shaped by hand
(PASTES below) and scaled by the tinting strength make_recipes.py assumes for it.
A drawdown of a mixture is then simulated as a shop would measure it: two-constant
Kubelka-Munk at complete hiding, Saunderson's surface (k1 0.04, k2 0.6), pastes losing
a little strength at high loads. The ladders are those a shop makes in the gloss
plastic base: the white alone, and every other paste alone and with 100 g of white at
ratios 1:1 to 1:243 (grams of paste per 1000 g of base). The table is whatever the
program's own calibration makes of them, so it holds exactly what a shop's table
would. Everything is deterministic: the same script gives the same file.
"""

import math
import sys

from catalogue_tables import read_pigment_codes
from make_recipes import PASTES as RECIPE_PASTES

FIRST, LAST, STEP = 400, 700, 10
K1, K2 = 0.04, 0.6
STRENGTH_LOSS = 0.0006   # a load c acts as c / (1 + loss c)
WHITE = "WHT"
WHITE_GRAMS = 100.0
MASSTONE_GRAMS = 100.0
RATIOS = [1.0, 1 / 3, 1 / 9, 1 / 27, 1 / 81, 1 / 243]


def gauss(nm, centre, width):
    return math.exp(-0.5 * ((nm - centre) / width) ** 2)


def edge(nm, at, width):
    """1 below `at`, 0 above: the absorption edge of a yellow, orange or red."""
    return 1 / (1 + math.exp((nm - at) / width))


# code: (K/S of the masstone, S); K is their product times the tinting strength.
PASTES = {
    "WHT": (lambda nm: 0.0008 + 0.06 * math.exp(-(nm - 400) / 12), lambda nm: 1.0 * (550 / nm) ** 1.2),
    "BLK": (lambda nm: 12 * (550 / nm) ** 0.3, lambda nm: 0.2),
    "YOX": (lambda nm: 0.06 + 6 * edge(nm, 530, 15), lambda nm: 0.45 * (550 / nm) ** 0.5),
    "ROX": (lambda nm: 0.08 + 12 * edge(nm, 585, 10), lambda nm: 0.55),
    "BOX": (lambda nm: 0.4 + 6 * edge(nm, 610, 40), lambda nm: 0.5),
    "YEL": (lambda nm: 0.03 + 25 * edge(nm, 490, 7), lambda nm: 0.04),
    "ORG": (lambda nm: 0.04 + 25 * edge(nm, 560, 7), lambda nm: 0.04),
    "RED": (lambda nm: 0.05 + 25 * edge(nm, 595, 6) + 3 * gauss(nm, 420, 25), lambda nm: 0.035),
    "MAG": (lambda nm: 0.06 + 20 * gauss(nm, 555, 40) + 3 * gauss(nm, 420, 25), lambda nm: 0.03),
    "VIO": (lambda nm: 0.15 + 22 * gauss(nm, 575, 55), lambda nm: 0.03),
    "BLU": (lambda nm: 0.1 + 25 * gauss(nm, 630, 50) + 3 * gauss(nm, 410, 20), lambda nm: 0.025),
    "ULT": (lambda nm: 0.2 + 10 * gauss(nm, 600, 65), lambda nm: 0.12),
    "GRN": (lambda nm: 0.1 + 18 * gauss(nm, 430, 40) + 22 * gauss(nm, 650, 55), lambda nm: 0.025),
}


def bands():
    return list(range(FIRST, LAST + 1, STEP))


def optics(code):
    ks, s = PASTES[code]
    strength = RECIPE_PASTES[code][1]
    return [strength * ks(nm) * s(nm) for nm in bands()], [s(nm) for nm in bands()]


def measure(loads, table):
    """The reflectance an instrument reads, in percent, for {code: grams}."""
    out = []
    for i in range(len(bands())):
        k = s = 0.0
        for code, grams in loads.items():
            c = grams / (1 + STRENGTH_LOSS * grams)
            k += c * table[code][0][i]
            s += c * table[code][1][i]
        q = k / s
        r = 1 + q - math.sqrt(q * q + 2 * q)
        out.append(100 * (K1 + (1 - K1) * (1 - K2) * r / (1 - K2 * r)))
    return out


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    codes = read_pigment_codes()
    missing = [code for code in codes if code not in PASTES]
    if missing:
        sys.exit("no assumed optics for " + ", ".join(missing))
    table = {code: optics(code) for code in codes}
    samples = [("WHT-alone", {WHITE: WHITE_GRAMS})]
    for code in codes:
        if code == WHITE:
            continue
        samples.append((code + "-alone", {code: MASSTONE_GRAMS}))
        for ratio in RATIOS:
            samples.append(("%s-1:%d" % (code, round(1 / ratio)), {WHITE: WHITE_GRAMS, code: WHITE_GRAMS * ratio}))
    fields = ["SAMPLE_ID", "SAMPLE_NAME"] + ["CONC_" + c for c in codes] + ["SPECTRAL_NM%d" % nm for nm in bands()]
    lines = ["CGATS.17", 'ORIGINATOR\t"catalogue/tools/make_optics.py"', "NUMBER_OF_FIELDS\t%d" % len(fields),
             "BEGIN_DATA_FORMAT", "\t".join(fields), "END_DATA_FORMAT", "NUMBER_OF_SETS\t%d" % len(samples),
             "BEGIN_DATA"]
    for n, (name, loads) in enumerate(samples, 1):
        row = [str(n), name] + ["%.4g" % loads.get(c, 0) for c in codes] + ["%.3f" % v for v in measure(loads, table)]
        lines.append("\t".join(row))
    lines.append("END_DATA")
    with open(sys.argv[1], "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
