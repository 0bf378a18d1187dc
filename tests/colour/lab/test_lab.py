#!/usr/bin/env python3
"""The lab's own parts checked on their own: its CIEDE2000 on pairs of the reference
paper (Sharma, Wu and Dalal, 2005), its white point, and the limits of its film."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import colorimetry  # noqa: E402
import lab  # noqa: E402

# (L*a*b* 1, L*a*b* 2, dE00) from the paper's table of test data.
SHARMA_PAIRS = [
    ((50.0, 2.6772, -79.7751), (50.0, 0.0, -82.7485), 2.0425),
    ((50.0, 0.0, 0.0), (50.0, -1.0, 2.0), 2.3669),
    ((50.0, 2.49, -0.001), (50.0, -2.49, 0.0009), 7.1792),
    ((50.0, 2.49, -0.001), (50.0, -2.49, 0.0011), 7.2195),
    ((50.0, -0.001, 2.49), (50.0, 0.0009, -2.49), 4.8045),
    ((50.0, -0.001, 2.49), (50.0, 0.0011, -2.49), 4.7461),
    ((50.0, 2.5, 0.0), (73.0, 25.0, -18.0), 27.1492),
    ((60.2574, -34.0099, 36.2677), (60.4626, -34.1751, 39.4387), 1.2644),
    ((61.2901, 3.7196, -5.3901), (61.4292, 2.2480, -4.9620), 1.8731),
    ((90.8027, -2.0831, 1.4410), (91.1528, -1.6435, 0.0447), 1.4441),
    ((2.0776, 0.0795, -1.1350), (0.9033, -0.0636, -0.5514), 0.9082),
]

# D65 under the 10-degree observer: the published white point.
D65_WHITE = (94.811, 100.0, 107.304)


class ColorimetryTest(unittest.TestCase):
    def test_ciede2000_on_the_papers_pairs(self):
        for first, second, expected in SHARMA_PAIRS:
            with self.subTest(first=first, second=second):
                self.assertAlmostEqual(colorimetry.delta_e_2000(first, second), expected, places=4)
                self.assertAlmostEqual(colorimetry.delta_e_2000(second, first), expected, places=4)

    def test_white_point_of_d65_ten_degrees(self):
        for value, expected in zip(colorimetry.WHITE, D65_WHITE):
            self.assertAlmostEqual(value, expected, delta=0.05)


class FilmTest(unittest.TestCase):
    def test_thick_film_is_kubelka_munk_at_complete_hiding(self):
        for k, s in ((0.1, 100.0), (5.0, 20.0), (40.0, 3.0)):
            ratio = k / s
            hiding = 1.0 + ratio - (ratio * ratio + 2.0 * ratio) ** 0.5
            self.assertAlmostEqual(lab.film_reflectance(k, s, thickness=100.0), hiding, places=9)

    def test_thin_film_shows_the_card(self):
        self.assertAlmostEqual(lab.film_reflectance(0.5, 0.5, thickness=1e-9), lab.CARD, places=6)

    def test_strength_falls_off_at_high_loads(self):
        white = lab.PASTES[lab.WHITE]
        self.assertAlmostEqual(white.effective(0.1) / 0.1, 1.0, delta=1e-3)
        self.assertLess(white.effective(120.0) / 120.0, 0.94)


if __name__ == '__main__':
    unittest.main()
