#!/usr/bin/env python3
"""The engine against the lab, end to end through datapack:

  calibrate on the lab's ladders -> optics;
  for each of the lab's targets: match (the best draft) -> the shop pours it -> dE00;
  correct from the trial's measurement -> the shop adds the additions -> dE00.

Grades each batch by the lab's own colour of what is really in the can, and asserts
first drafts at a median dE00 <= 0.5 and a 90th percentile <= 1.0, a median <= 0.2
after one correction, and corrections seldom making a batch worse.

  accuracy_test.py DATAPACK SOURCES [--targets N] [--seed N] [--keep DIR]
"""

import argparse
import math
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import colorimetry  # noqa: E402
import lab  # noqa: E402

PURPOSE = '4'  # the gloss plastic base the ladders are made in, pigment factor 1
BASE = 'OSN'
BASE_GRAMS = 1000.0  # the shop mixes each draft in 1000 g of base...
CAN_GRAMS = 1500.0   # ...in a can that holds 1.5 kg
FIRST_MEDIAN = 0.5
FIRST_P90 = 1.0
CORRECTED_MEDIAN = 0.2
# "Seldom worse": a correction may leave a batch worse by more than WORSE_BY in at
# most this share of the targets.
WORSE_BY = 0.05
WORSE_SHARE = 0.1


def percentile(values, share):
    """The nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share * len(ordered)) - 1)]


class Datapack:
    def __init__(self, program, sources, optics):
        self.program, self.sources, self.optics = program, sources, optics

    def run(self, *args):
        command = [self.program, args[0], '--sources', self.sources] + list(args[1:])
        done = subprocess.run(command, capture_output=True, text=True, timeout=60)
        if done.returncode != 0:
            raise SystemExit('FAIL: %s\nexit %d\n%s%s' % (' '.join(command), done.returncode, done.stdout,
                                                          done.stderr))
        return done.stdout

    def match(self, target_file, sample):
        """The best draft: {code: grams per 1000 g of base}, without the base."""
        out = self.run('match', '--optics', self.optics, '--purpose', PURPOSE, '--spectrum', target_file,
                       '--sample', sample, '--top', '1')
        lines = out.splitlines()
        first = next((i for i, line in enumerate(lines) if line.startswith('draft\t')), None)
        if first is None:
            raise SystemExit('FAIL: match printed no draft for %s:\n%s' % (sample, out))
        recipe = {}
        for line in lines[first + 1:]:
            if not line.strip():
                break
            code, grams = line.split('\t')
            if code != BASE:
                recipe[code] = float(grams)
        return recipe

    def correct(self, target_file, sample, poured, trial_file, trial_sample):
        """The additions the engine proposes, {code: grams}, and its predicted dE00."""
        poured = [(BASE, BASE_GRAMS)] + list(poured.items())
        out = self.run('correct', '--optics', self.optics, '--purpose', PURPOSE, '--spectrum', target_file,
                       '--sample', sample, '--poured', ','.join('%s=%.3f' % item for item in poured),
                       '--capacity', '%g' % CAN_GRAMS, '--trial-spectrum', trial_file, '--trial-sample', trial_sample)
        additions, predicted = {}, None
        for line in out.splitlines():
            parts = line.split('\t')
            if parts[0] == 'add' and len(parts) == 3:
                additions[parts[1]] = additions.get(parts[1], 0.0) + float(parts[2])
            elif parts[0] == 'predicted' and len(parts) == 3:
                predicted = float(parts[2])
        return additions, predicted


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('datapack')
    parser.add_argument('sources')
    parser.add_argument('--targets', type=int, default=30)
    parser.add_argument('--seed', type=int, default=2026)
    parser.add_argument('--keep', help='a folder to leave the files in')
    options = parser.parse_args()

    if options.keep:
        os.makedirs(options.keep, exist_ok=True)
        return run(options, options.keep)
    with tempfile.TemporaryDirectory(prefix='lacqueron-lab-') as folder:
        return run(options, folder)


def run(options, folder):
    started = time.monotonic()
    rng = random.Random(options.seed)
    ladder_file = os.path.join(folder, 'ladders.cgats')
    lab.write_cgats(ladder_file, lab.ladders(rng), lab.LADDER_FORM, lab.CODES, 'Ladders in the gloss plastic base')
    optics = os.path.join(folder, 'optics.txt')
    engine = Datapack(options.datapack, options.sources, optics)
    print(engine.run('calibrate', '--ladders', ladder_file, '--out', optics).rstrip())

    found = lab.targets(rng, options.targets)
    target_file = os.path.join(folder, 'targets.cgats')
    lab.write_cgats(target_file, [(t[0], t[0], None, t[2]) for t in found], lab.TARGET_FORM, (), 'Targets')

    first, corrected = [], []
    print('target\tfirst\tafter\tpredicted\trecipe -> draft + additions')
    for sample, recipe, _, target_lab in found:
        draft = engine.match(target_file, sample)
        batch = lab.Batch(rng)
        batch.pour(draft)
        first.append(colorimetry.delta_e_2000(target_lab, batch.lab()))
        trial_file = os.path.join(folder, 'trial-%s.cgats' % sample)
        lab.write_cgats(trial_file, [('TRIAL', 'TRIAL', None, batch.measure())], lab.TRIAL_FORM)
        additions, predicted = engine.correct(target_file, sample, draft, trial_file, 'TRIAL')
        batch.pour(additions)
        corrected.append(colorimetry.delta_e_2000(target_lab, batch.lab()))
        print('%s\t%.2f\t%.2f\t%s\t%s -> %s + %s' % (
            sample, first[-1], corrected[-1], '-' if predicted is None else '%.2f' % predicted,
            ','.join('%s=%g' % item for item in sorted(recipe.items())),
            ','.join('%s=%g' % item for item in sorted(draft.items())),
            ','.join('%s=%g' % item for item in sorted(additions.items())) or 'nothing'))

    worse = sum(1 for before, after in zip(first, corrected) if after > before + WORSE_BY)
    figures = {
        'first median': (statistics.median(first), FIRST_MEDIAN),
        'first p90': (percentile(first, 0.9), FIRST_P90),
        'corrected median': (statistics.median(corrected), CORRECTED_MEDIAN),
        'corrected worse share': (worse / len(first), WORSE_SHARE),
    }
    print('corrected p90: %.2f' % percentile(corrected, 0.9))
    failed = False
    for name, (value, limit) in figures.items():
        verdict = 'ok' if value <= limit else 'OVER'
        failed |= value > limit
        print('%s: %.2f (limit %.2f) %s' % (name, value, limit, verdict))
    print('%d targets in %.1f s' % (len(found), time.monotonic() - started))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
