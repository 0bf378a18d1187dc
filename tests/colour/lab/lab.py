#!/usr/bin/env python3
"""A simulated paint lab to test the colour engine against: its own pastes, its own
physics, a scale that errs and an instrument that is noisy.

What the engine models (two constants per paste, complete hiding, a surface term) is
only part of what happens here:
- each paste's absorption is a sum of smooth bands (in wavenumber) or an absorption
  edge, its scattering a power law: spectra of the lab's own, not the demo pastes';
- a paste's strength falls off at high loads: it acts as c_sat (1 - exp(-c / c_sat))
  grams, c_sat its own per paste;
- the white scatters a little better among other pastes (a small interaction);
- the film is finite, over a grey card (Kubelka's hyperbolic solution), thick enough
  to hide nearly everything the shop mixes;
- the surface is Saunderson's with k1 = 0.045 and k2 = 0.52, measured with the gloss;
- every weighing errs (relative and absolute), and the instrument has a 10 nm
  triangular band pass, a gain error and noise on every band.
Spectra live at 5 nm from 380 to 780 nm; the instrument reports 400-700 nm at 10 nm
or 380-730 nm at 5 nm, in the CGATS forms instruments export.

Usage:
  lab.py ladders OUT [--seed N]              the calibration ladders of every paste
  lab.py targets OUT [--count N] [--seed N]  colours mixed from random recipes
  lab.py pour CODE=G,... OUT [--seed N]      a recipe poured and measured; prints L*a*b*
  lab.py seeds DIR                           small files to start a fuzzer from
"""

import argparse
import math
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import colorimetry  # noqa: E402

NM = colorimetry.WAVELENGTHS

# The paste codes of the shipped package (catalogue/components.txt), each one the lab
# makes of its own stuff.
WHITE = 'WHT'

# --- spectra of the lab's pastes, per gram of paste in 1000 g of base ---


def band(centre_nm, width_per_cm, height):
    """An absorption band, Gaussian in wavenumber."""
    centre = 1e7 / centre_nm
    return [height * math.exp(-0.5 * ((1e7 / nm - centre) / width_per_cm) ** 2) for nm in NM]


def edge(at_nm, softness_nm, height):
    """An absorption edge: strong below at_nm, none above (inorganic pigments)."""
    return [height / (1.0 + math.exp((nm - at_nm) / softness_nm)) for nm in NM]


def power(height, exponent, at_nm=550.0):
    return [height * (at_nm / nm) ** exponent for nm in NM]


def plus(*spectra):
    return [sum(values) for values in zip(*spectra)]


def flat(value):
    return [value] * len(NM)


class Paste:
    def __init__(self, code, absorption, scattering, saturation):
        self.code = code
        self.k = absorption
        self.s = scattering
        self.saturation = saturation  # grams per 1000 g of base where the fall-off bends

    def effective(self, grams):
        return self.saturation * (1.0 - math.exp(-grams / self.saturation))


PASTES = {p.code: p for p in (
    Paste('WHT', plus(flat(0.0015), edge(400, 7, 1.0)), power(1.0, 1.3), 900),
    Paste('BLK', power(14.0, 0.35), power(0.12, 0.8), 400),
    Paste('YOX', plus(edge(540, 22, 2.0), band(440, 2500, 0.5), flat(0.02)), power(0.55, 0.9), 700),
    Paste('ROX', plus(edge(590, 15, 3.5), flat(0.05)), power(0.7, 1.0), 700),
    Paste('BOX', plus(edge(620, 50, 2.0), flat(0.4)), power(0.45, 0.9), 600),
    Paste('YEL', plus(edge(485, 13, 6.0), band(560, 1500, 0.1), flat(0.003)), power(0.18, 1.5), 500),
    Paste('ORG', plus(edge(540, 14, 7.0), flat(0.003)), power(0.16, 1.4), 500),
    Paste('RED', plus(edge(585, 12, 8.0), band(420, 1500, 1.0), flat(0.003)), power(0.15, 1.4), 450),
    Paste('MAG', plus(band(555, 1300, 8.0), band(515, 1100, 5.0), flat(0.003)), power(0.12, 1.3), 450),
    Paste('VIO', plus(band(590, 1300, 12.0), band(545, 1300, 9.0), flat(0.003)), power(0.10, 1.2), 350),
    Paste('BLU', plus(band(615, 900, 11.0), band(690, 800, 12.0), flat(0.003)), power(0.08, 1.2), 350),
    Paste('ULT', plus(band(595, 1800, 4.0), flat(0.003)), power(0.22, 1.6), 800),
    Paste('GRN', plus(band(640, 1100, 11.0), band(710, 900, 8.0), edge(435, 10, 6.0), flat(0.003)),
          power(0.09, 1.2), 350),
)}
CODES = tuple(PASTES)

# The gloss plastic base: a little yellow, a little haze from its filler.
BASE_K = [0.01 + 0.05 * (420.0 / nm) ** 8 for nm in NM]
BASE_S = power(0.3, 2.0)

# The white scatters up to this much better among other pastes, reached at about
# WHITE_HELP_GRAMS grams of them.
WHITE_HELP = 0.04
WHITE_HELP_GRAMS = 15.0

FILM_THICKNESS = 1.5  # in the units the per-gram constants are given for: hides all but a few masstones
CARD = 0.5            # the grey card under the film
SURFACE_K1 = 0.045    # Fresnel reflection of a surface of index 1.53
SURFACE_K2 = 0.52     # internal reflection at the surface, this lab's own

# --- what pouring and measuring adds ---
LADDER_RELATIVE_ERROR = 0.004   # ladders are weighed in 100 g of base
LADDER_ABSOLUTE_ERROR = 0.02    # grams per 1000 g of base
SHOP_RELATIVE_ERROR = 0.002     # the shop pours into 1000 g of base
SHOP_ABSOLUTE_ERROR = 0.005
INSTRUMENT_GAIN_ERROR = 0.001
INSTRUMENT_RELATIVE_NOISE = 0.002
INSTRUMENT_ABSOLUTE_NOISE = 0.0003


def coth(x):
    return 1.0 if x > 20.0 else math.cosh(x) / math.sinh(x)


def film_reflectance(k, s, thickness=FILM_THICKNESS):
    """Kubelka's finite layer over the card, before the surface."""
    a = 1.0 + k / s
    b = math.sqrt(a * a - 1.0)
    c = b * coth(b * s * thickness)
    return (1.0 - CARD * (a - c)) / (a - CARD + c)


def with_surface(r):
    return SURFACE_K1 + (1.0 - SURFACE_K1) * (1.0 - SURFACE_K2) * r / (1.0 - SURFACE_K2 * r)


def true_reflectance(grams):
    """The reflectance, gloss included, of a mix: code -> grams per 1000 g of base."""
    others = sum(g for code, g in grams.items() if code != WHITE)
    white_help = 1.0 + WHITE_HELP * (1.0 - math.exp(-others / WHITE_HELP_GRAMS))
    k = list(BASE_K)
    s = list(BASE_S)
    for code, g in grams.items():
        paste = PASTES[code]
        load = paste.effective(g)
        scatter = load * (white_help if code == WHITE else 1.0)
        for i in range(len(NM)):
            k[i] += load * paste.k[i]
            s[i] += scatter * paste.s[i]
    return [with_surface(film_reflectance(ki, si)) for ki, si in zip(k, s)]


def true_lab(grams):
    return colorimetry.lab(true_reflectance(grams))


def weighed(grams, rng, relative, absolute):
    """What really went in when the scale was asked for grams."""
    return {code: max(0.0, g * (1.0 + rng.gauss(0.0, relative)) + rng.gauss(0.0, absolute))
            for code, g in grams.items()}


def measured(reflectance, rng):
    """The instrument: a 10 nm triangular band pass, a gain error, noise on every band."""
    gain = 1.0 + rng.gauss(0.0, INSTRUMENT_GAIN_ERROR)
    last = len(reflectance) - 1
    result = []
    for i in range(len(reflectance)):
        smooth = (0.25 * reflectance[max(i - 1, 0)] + 0.5 * reflectance[i] + 0.25 * reflectance[min(i + 1, last)])
        noisy = smooth * gain * (1.0 + rng.gauss(0.0, INSTRUMENT_RELATIVE_NOISE))
        result.append(noisy + rng.gauss(0.0, INSTRUMENT_ABSOLUTE_NOISE))
    return result


# --- CGATS files as the instrument exports them ---

class Form:
    """How a file names and scales its spectra."""

    def __init__(self, prefix, first_nm, last_nm, step_nm, percent, line_end, separator):
        self.prefix, self.first_nm, self.last_nm, self.step_nm = prefix, first_nm, last_nm, step_nm
        self.percent, self.line_end, self.separator = percent, line_end, separator

    def bands(self):
        return list(range(self.first_nm, self.last_nm + 1, self.step_nm))


LADDER_FORM = Form('SPECTRAL_NM', 400, 700, 10, True, '\n', '\t')
TARGET_FORM = Form('SPECTRAL_NM_', 380, 730, 5, True, '\r\n', '\t')
TRIAL_FORM = Form('nm', 400, 700, 10, False, '\n', ' ')


def write_cgats(path, samples, form, codes=(), descriptor='Measurements'):
    """samples: (id, name, grams or None, measured spectrum at NM). Writes a file with
    the CONC_ columns of codes, L*a*b* and the spectrum in form."""
    sep = form.separator
    fields = ['SAMPLE_ID', 'SAMPLE_NAME'] + ['CONC_' + c for c in codes] + ['LAB_L', 'LAB_A', 'LAB_B']
    fields += [form.prefix + str(nm) for nm in form.bands()]
    lines = ['CGATS.17', 'ORIGINATOR\t"Lab spectrophotometer LS-45, d/8 SCI"',
             'DESCRIPTOR\t"%s"' % descriptor, 'CREATED\t"2026-12-08T09:30:00"',
             'KEYWORD\t"MEASUREMENT_GEOMETRY"', 'MEASUREMENT_GEOMETRY\t"d/8 SCI"',
             '# LAB_ columns under D65, 10 degree observer',
             'NUMBER_OF_FIELDS\t%d' % len(fields), 'BEGIN_DATA_FORMAT', sep.join(fields), 'END_DATA_FORMAT',
             'NUMBER_OF_SETS\t%d' % len(samples), 'BEGIN_DATA']
    for sample_id, name, grams, spectrum in samples:
        values = [sample_id, '"%s"' % name]
        values += ['%.3f' % (grams or {}).get(c, 0.0) for c in codes]
        values += ['%.2f' % v for v in colorimetry.lab(spectrum)]
        at = dict(zip(NM, spectrum))
        for nm in form.bands():
            values.append('%.2f' % (100.0 * at[nm]) if form.percent else '%.5f' % at[nm])
        lines.append(sep.join(values))
    lines.append('END_DATA')
    with open(path, 'w', encoding='utf-8', newline='') as f:
        f.write(form.line_end.join(lines) + form.line_end)


# --- ladders, targets and pours ---

# Per paste: the loads of its tints in WHITE_IN_TINTS grams of white, and of it alone.
WHITE_ALONE = (30.0, 60.0, 120.0)
WHITE_IN_TINTS = 100.0
TINT_LOADS = {
    'BLK': (0.3, 1.0, 3.0, 10.0, 30.0),
    'strong': (0.6, 2.0, 6.0, 20.0, 60.0),
    'medium': (1.0, 3.0, 10.0, 30.0, 100.0),
}
STRONG = ('RED', 'MAG', 'VIO', 'BLU', 'GRN')
ALONE_LOADS = (60.0, 120.0)


def ladder_recipes():
    recipes = [('%s %g' % (WHITE, g), {WHITE: g}) for g in WHITE_ALONE]
    for code in CODES:
        if code == WHITE:
            continue
        kind = code if code in TINT_LOADS else ('strong' if code in STRONG else 'medium')
        for g in TINT_LOADS[kind]:
            recipes.append(('%s %g + %s %g' % (code, g, WHITE, WHITE_IN_TINTS), {code: g, WHITE: WHITE_IN_TINTS}))
        for g in ALONE_LOADS:
            recipes.append(('%s %g' % (code, g), {code: g}))
    return recipes


def ladders(rng):
    """The ladder samples: nominal grams on the label, the weighed grams in the can."""
    samples = []
    for number, (name, grams) in enumerate(ladder_recipes(), 1):
        poured = weighed(grams, rng, LADDER_RELATIVE_ERROR, LADDER_ABSOLUTE_ERROR)
        samples.append(('L%02d' % number, name, grams, measured(true_reflectance(poured), rng)))
    return samples


# Random shop colours: 1 to 3 coloured pastes, usually with white, amounts spread
# evenly on a log scale within each kind's range (grams per 1000 g of base).
TARGET_RANGES = {'BLK': (0.05, 8.0), 'strong': (0.1, 20.0), 'medium': (0.3, 60.0)}
WHITE_RANGE = (10.0, 120.0)
MASSTONE_RANGE = (20.0, 100.0)
WHITE_CHANCE = 0.75


def log_uniform(rng, low, high):
    return math.exp(rng.uniform(math.log(low), math.log(high)))


def random_recipe(rng):
    colours = rng.sample([c for c in CODES if c != WHITE], rng.randint(1, 3))
    recipe = {}
    for code in colours:
        kind = code if code in TARGET_RANGES else ('strong' if code in STRONG else 'medium')
        recipe[code] = round(log_uniform(rng, *TARGET_RANGES[kind]), 3)
    if rng.random() < WHITE_CHANCE:
        recipe[WHITE] = round(log_uniform(rng, *WHITE_RANGE), 3)
    else:
        # Without white one paste carries the hiding, as in a full shade.
        recipe[colours[0]] = round(log_uniform(rng, *MASSTONE_RANGE), 3)
    return recipe


def targets(rng, count):
    """(id, recipe, measured spectrum, true L*a*b*) of colours mixed in the lab."""
    result = []
    for number in range(1, count + 1):
        recipe = random_recipe(rng)
        poured = weighed(recipe, rng, SHOP_RELATIVE_ERROR, SHOP_ABSOLUTE_ERROR)
        truth = true_reflectance(poured)
        result.append(('T%02d' % number, recipe, measured(truth, rng), colorimetry.lab(truth)))
    return result


class Batch:
    """A can in the shop: what is really in it, poured with the scale's errors."""

    def __init__(self, rng):
        self.rng = rng
        self.grams = {}

    def pour(self, recipe):
        for code, g in weighed(recipe, self.rng, SHOP_RELATIVE_ERROR, SHOP_ABSOLUTE_ERROR).items():
            self.grams[code] = self.grams.get(code, 0.0) + g

    def measure(self):
        return measured(true_reflectance(self.grams), self.rng)

    def lab(self):
        return true_lab(self.grams)


# --- command line ---

def parse_recipe(text):
    recipe = {}
    for part in text.split(','):
        code, _, grams = part.partition('=')
        if code not in PASTES:
            raise SystemExit('lab.py: no paste %r in the lab' % code)
        recipe[code] = float(grams)
    return recipe


def write_seeds(folder):
    """Small files in each form, for a fuzzer to start from."""
    rng = random.Random(7)
    os.makedirs(folder, exist_ok=True)
    few = [ladders(rng)[i] for i in (0, 5, 40)]
    write_cgats(os.path.join(folder, 'seed-ladder'), few, LADDER_FORM, CODES, 'Ladder')
    mixed = [(t[0], t[0], None, t[2]) for t in targets(rng, 2)]
    write_cgats(os.path.join(folder, 'seed-target'), mixed, TARGET_FORM)
    write_cgats(os.path.join(folder, 'seed-trial'), mixed[:1], TRIAL_FORM)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('what', choices=('ladders', 'targets', 'pour', 'seeds'))
    parser.add_argument('args', nargs='+')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--count', type=int, default=30)
    options = parser.parse_args()
    rng = random.Random(options.seed)
    if options.what == 'ladders':
        write_cgats(options.args[0], ladders(rng), LADDER_FORM, CODES, 'Ladders in the gloss plastic base')
    elif options.what == 'targets':
        found = targets(rng, options.count)
        write_cgats(options.args[0], [(t[0], t[0], None, t[2]) for t in found], TARGET_FORM, (), 'Targets')
        for sample_id, recipe, _, _ in found:
            print(sample_id, ','.join('%s=%g' % item for item in sorted(recipe.items())))
    elif options.what == 'pour':
        batch = Batch(rng)
        batch.pour(parse_recipe(options.args[0]))
        write_cgats(options.args[1], [('P1', 'P1', None, batch.measure())], TRIAL_FORM)
        print('%.2f,%.2f,%.2f' % batch.lab())
    else:
        write_seeds(options.args[0])


if __name__ == '__main__':
    main()
