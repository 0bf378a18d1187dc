"""The lab's own colorimetry: CIE 1964 10-degree observer under D65, spectra at 5 nm
from 380 to 780 nm, CIELAB and CIEDE2000 (Sharma, Wu and Dalal, 2005).

Written for the lab from the CIE formulas, apart from the engine, so a fault in either
shows as a disagreement.
"""

import math

import cie_tables

WAVELENGTHS = tuple(cie_tables.FIRST_NM + i * cie_tables.STEP_NM for i in range(len(cie_tables.D65)))

# The weights of each 5 nm step: illuminant times observer, scaled so Y of a perfect
# reflector is 100.
_NORMALISER = 100.0 / sum(e * y for e, y in zip(cie_tables.D65, cie_tables.Y_BAR))
_WEIGHTS = tuple(
    tuple(_NORMALISER * e * bar for e, bar in zip(cie_tables.D65, table))
    for table in (cie_tables.X_BAR, cie_tables.Y_BAR, cie_tables.Z_BAR))


def tristimulus(reflectance):
    """X, Y, Z of a reflectance spectrum given at WAVELENGTHS, as fractions."""
    return tuple(sum(w * r for w, r in zip(weights, reflectance)) for weights in _WEIGHTS)


WHITE = tristimulus([1.0] * len(WAVELENGTHS))

_EPSILON = (6.0 / 29.0) ** 3
_KAPPA_SLOPE = (29.0 / 6.0) ** 2 / 3.0


def _f(t):
    return t ** (1.0 / 3.0) if t > _EPSILON else _KAPPA_SLOPE * t + 4.0 / 29.0


def lab_of_xyz(xyz):
    fx, fy, fz = (_f(v / n) for v, n in zip(xyz, WHITE))
    return (116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz))


def lab(reflectance):
    return lab_of_xyz(tristimulus(reflectance))


def delta_e_2000(lab1, lab2):
    """CIEDE2000 with kL = kC = kH = 1."""
    l1, a1, b1 = lab1
    l2, a2, b2 = lab2
    c_mean = (math.hypot(a1, b1) + math.hypot(a2, b2)) / 2.0
    g = 0.5 * (1.0 - math.sqrt(c_mean ** 7 / (c_mean ** 7 + 25.0 ** 7)))
    a1p, a2p = (1.0 + g) * a1, (1.0 + g) * a2
    c1p, c2p = math.hypot(a1p, b1), math.hypot(a2p, b2)
    h1p = math.degrees(math.atan2(b1, a1p)) % 360.0 if c1p else 0.0
    h2p = math.degrees(math.atan2(b2, a2p)) % 360.0 if c2p else 0.0

    dl = l2 - l1
    dc = c2p - c1p
    if c1p * c2p == 0.0:
        dh = 0.0
    else:
        dh = h2p - h1p
        if dh > 180.0:
            dh -= 360.0
        elif dh < -180.0:
            dh += 360.0
    dh_big = 2.0 * math.sqrt(c1p * c2p) * math.sin(math.radians(dh / 2.0))

    l_mean = (l1 + l2) / 2.0
    cp_mean = (c1p + c2p) / 2.0
    if c1p * c2p == 0.0:
        h_mean = h1p + h2p
    elif abs(h1p - h2p) <= 180.0:
        h_mean = (h1p + h2p) / 2.0
    elif h1p + h2p < 360.0:
        h_mean = (h1p + h2p + 360.0) / 2.0
    else:
        h_mean = (h1p + h2p - 360.0) / 2.0

    t = (1.0 - 0.17 * math.cos(math.radians(h_mean - 30.0)) + 0.24 * math.cos(math.radians(2.0 * h_mean))
         + 0.32 * math.cos(math.radians(3.0 * h_mean + 6.0)) - 0.20 * math.cos(math.radians(4.0 * h_mean - 63.0)))
    d_theta = 30.0 * math.exp(-(((h_mean - 275.0) / 25.0) ** 2))
    r_c = 2.0 * math.sqrt(cp_mean ** 7 / (cp_mean ** 7 + 25.0 ** 7))
    s_l = 1.0 + 0.015 * (l_mean - 50.0) ** 2 / math.sqrt(20.0 + (l_mean - 50.0) ** 2)
    s_c = 1.0 + 0.045 * cp_mean
    s_h = 1.0 + 0.015 * cp_mean * t
    r_t = -math.sin(math.radians(2.0 * d_theta)) * r_c
    return math.sqrt((dl / s_l) ** 2 + (dc / s_c) ** 2 + (dh_big / s_h) ** 2
                     + r_t * (dc / s_c) * (dh_big / s_h))
