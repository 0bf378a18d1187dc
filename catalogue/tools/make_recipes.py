#!/usr/bin/env python3
"""Drafts catalogue/recipes.txt from colours.txt with a simple colour model.

Usage: make_recipes.py [--report]

Each colour gets a block: the header "RAL NNNN", the base line "OSN<TAB>100" and one
line per pigment paste with its amount in grams per 1000 g of base. The recipes are
demonstrations: a colour lab replaces them with measured ones.

Colour model (single-constant Kubelka-Munk):
- every paste has an assumed masstone (sRGB) and tinting strength (PASTES below);
- per channel, the masstone's linear reflectance R gives K/S = (1 - R)^2 / (2R);
- a mixture's K/S is the sum of the pastes' K/S weighted by their effective
  concentrations w (w >= 0, sum 1); the clear base only carries the pastes;
- w is fitted to the colour's sRGB by non-negative least squares on the reflectances,
  linearised around the current mixture and repeated a few times (Gauss-Newton);
- a paste's weight is w divided by its tinting strength; the paste weights are scaled
  to a load of 120 g per 1000 g of base and rounded to three significant digits;
  a paste that would need less than 0.1 g is left out and the others fitted again.
Everything is deterministic: the same colours give the same file.
"""

import math
import sys

from catalogue_tables import catalogue_path, read_colours, read_pigment_codes, write_text

BASE_CODE = "OSN"
BASE_AMOUNT = 1000
PASTE_LOAD = 120.0
SIGNIFICANT_DIGITS = 3
MIN_AMOUNT = 0.1  # g per 1000 g of base: 0.01 g in 100 g of paint, what a scale still weighs

# code: (assumed masstone sRGB, tinting strength)
PASTES = {
    "WHT": ((249, 249, 247), 1.0),
    "BLK": ((14, 14, 16), 4.0),
    "YOX": ((196, 140, 40), 1.2),
    "ROX": ((140, 50, 35), 1.5),
    "BOX": ((95, 60, 40), 1.5),
    "YEL": ((250, 205, 10), 2.5),
    "ORG": ((240, 110, 20), 2.5),
    "RED": ((200, 25, 30), 3.0),
    "MAG": ((160, 25, 90), 3.0),
    "VIO": ((70, 30, 110), 3.5),
    "BLU": ((20, 40, 120), 4.0),
    "ULT": ((40, 50, 160), 1.5),
    "GRN": ((0, 110, 80), 4.0),
}

MIN_REFLECTANCE = 0.002
MAX_REFLECTANCE = 0.995
SUM_WEIGHT = 10.0   # how hard the effective concentrations are held to a sum of 1
ITERATIONS = 8


def linear(channel):
    v = channel / 255.0
    r = v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    return min(max(r, MIN_REFLECTANCE), MAX_REFLECTANCE)


def to_srgb(r):
    v = 12.92 * r if r <= 0.0031308 else 1.055 * r ** (1 / 2.4) - 0.055
    return round(min(max(v, 0.0), 1.0) * 255)


def k_over_s(r):
    return (1 - r) ** 2 / (2 * r)


def reflectance(ks):
    """The inverse of k_over_s."""
    return 1 + ks - math.sqrt(ks * ks + 2 * ks)


def d_reflectance(ks):
    return 1 - (ks + 1) / math.sqrt(ks * ks + 2 * ks) if ks > 0 else -1e9


def solve(matrix, vector):
    """Gaussian elimination with partial pivoting; None when singular."""
    n = len(vector)
    a = [row[:] + [vector[i]] for i, row in enumerate(matrix)]
    for col in range(n):
        pivot = max(range(col, n), key=lambda r: abs(a[r][col]))
        if abs(a[pivot][col]) < 1e-14:
            return None
        a[col], a[pivot] = a[pivot], a[col]
        for r in range(col + 1, n):
            f = a[r][col] / a[col][col]
            for c in range(col, n + 1):
                a[r][c] -= f * a[col][c]
    x = [0.0] * n
    for r in range(n - 1, -1, -1):
        x[r] = (a[r][n] - sum(a[r][c] * x[c] for c in range(r + 1, n))) / a[r][r]
    return x


def least_squares(rows, rhs, columns):
    """Unconstrained least squares over the given columns, by the normal equations."""
    m = [[sum(row[i] * row[j] for row in rows) for j in columns] for i in columns]
    v = [sum(row[i] * b for row, b in zip(rows, rhs)) for i in columns]
    return solve(m, v)


def nnls(rows, rhs, tolerance=1e-12):
    """Lawson-Hanson non-negative least squares: min |rows x - rhs| with x >= 0."""
    n = len(rows[0])
    x = [0.0] * n
    passive = []
    for _ in range(3 * n):
        residual = [b - sum(r * xi for r, xi in zip(row, x)) for row, b in zip(rows, rhs)]
        gradient = [sum(row[j] * res for row, res in zip(rows, residual)) for j in range(n)]
        candidates = [j for j in range(n) if j not in passive and gradient[j] > tolerance]
        if not candidates:
            break
        passive.append(max(candidates, key=lambda j: gradient[j]))
        while True:
            z = least_squares(rows, rhs, passive)
            if z is None:
                passive.pop()
                break
            if all(zi > 0 for zi in z):
                for j, zi in zip(passive, z):
                    x[j] = zi
                break
            # Step back towards x until the first passive variable reaches zero.
            alpha = min(x[j] / (x[j] - zi) for j, zi in zip(passive, z) if zi <= 0)
            for j, zi in zip(passive, z):
                x[j] += alpha * (zi - x[j])
            passive = [j for j in passive if x[j] > tolerance]
            for j in range(n):
                if j not in passive:
                    x[j] = 0.0
    return x


def paste_k_over_s(codes):
    return [[k_over_s(linear(PASTES[code][0][c])) for code in codes] for c in range(3)]


def mixture_k_over_s(table, w):
    return [sum(ks * wi for ks, wi in zip(table[c], w)) for c in range(3)]


def fit(table, rgb):
    """Effective concentrations of the pastes that best give rgb."""
    target = [linear(v) for v in rgb]
    current = [k_over_s(r) for r in target]
    n = len(table[0])
    w = [0.0] * n
    for _ in range(ITERATIONS):
        rows, rhs = [], []
        for c in range(3):
            slope = d_reflectance(current[c])
            rows.append([slope * ks for ks in table[c]])
            rhs.append(target[c] - reflectance(current[c]) + slope * current[c])
        rows.append([SUM_WEIGHT] * n)
        rhs.append(SUM_WEIGHT)
        w = nnls(rows, rhs)
        total = sum(w)
        if total <= 0:
            break
        w = [wi / total for wi in w]
        current = mixture_k_over_s(table, w)
    return w


def lab(rgb_linear):
    x = 0.4124 * rgb_linear[0] + 0.3576 * rgb_linear[1] + 0.1805 * rgb_linear[2]
    y = 0.2126 * rgb_linear[0] + 0.7152 * rgb_linear[1] + 0.0722 * rgb_linear[2]
    z = 0.0193 * rgb_linear[0] + 0.1192 * rgb_linear[1] + 0.9505 * rgb_linear[2]

    def f(t):
        return t ** (1 / 3) if t > 0.008856 else 7.787 * t + 16 / 116

    fx, fy, fz = f(x / 0.9505), f(y), f(z / 1.089)
    return (116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz))


def round_significant(value):
    if value < MIN_AMOUNT:
        return 0.0
    decimals = SIGNIFICANT_DIGITS - 1 - math.floor(math.log10(value))
    return round(value, max(decimals, 0))


def format_amount(value):
    """Decimal comma, no trailing zeros, never an exponent."""
    text = f"{value:.6f}".rstrip("0").rstrip(".")
    return text.replace(".", ",")


def paste_amounts(codes, table, rgb):
    """Grams per 1000 g of base; a paste that would fall below MIN_AMOUNT is left out
    and the rest fitted again without it."""
    active = list(range(len(codes)))
    while True:
        sub_table = [[row[i] for i in active] for row in table]
        w = fit(sub_table, rgb)
        weights = [wi / PASTES[codes[i]][1] for wi, i in zip(w, active)]
        total = sum(weights)
        raw = [PASTE_LOAD * wt / total for wt in weights]
        tiny = [i for i, a in zip(active, raw) if 0 < a < MIN_AMOUNT]
        if not tiny:
            amounts = [0.0] * len(codes)
            for i, a in zip(active, raw):
                amounts[i] = round_significant(a)
            return amounts
        active = [i for i in active if i not in tiny]


def recipe(codes, table, rgb):
    """The block's lines and the colour that the rounded recipe predicts."""
    amounts = paste_amounts(codes, table, rgb)
    lines = [f"{BASE_CODE}\t{BASE_AMOUNT}"]
    lines += [f"{code}\t{format_amount(a)}" for code, a in zip(codes, amounts) if a > 0]
    effective = [a * PASTES[code][1] for a, code in zip(amounts, codes)]
    scale = sum(effective)
    predicted = [reflectance(ks) for ks in mixture_k_over_s(table, [e / scale for e in effective])]
    return lines, predicted


def main():
    codes = read_pigment_codes()
    unknown = [code for code in codes if code not in PASTES]
    missing = [code for code in PASTES if code not in codes]
    if unknown or missing:
        sys.exit(f"components.txt and the paste model differ: unknown {unknown}, missing {missing}")
    table = paste_k_over_s(codes)
    lines, errors = [], []
    for code, number, rgb, name in read_colours():
        block, predicted = recipe(codes, table, rgb)
        if lines:
            lines.append("")
        lines.append(code)
        lines += block
        target = lab([linear(v) for v in rgb])
        errors.append((math.dist(target, lab(predicted)), code, rgb, tuple(to_srgb(r) for r in predicted)))
    write_text(catalogue_path("recipes.txt"), lines)
    errors.sort(reverse=True)
    mean = sum(e[0] for e in errors) / len(errors)
    print(f"recipes.txt: {len(errors)} recipes, model error dE76 mean {mean:.1f}, max {errors[0][0]:.1f}")
    if "--report" in sys.argv:
        for error, code, rgb, predicted in errors:
            print(f"{code}\t{rgb}\t{predicted}\tdE {error:.1f}")


if __name__ == "__main__":
    main()
