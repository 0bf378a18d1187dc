#!/bin/bash
# Runs a GoogleTest program for ctest: a run that passed with skipped tests exits 77,
# which ctest counts as a skip rather than a pass. Output goes through a file: Wine's
# helper processes can keep a pipe open after the program ends.
#   run-gtest.sh [emulator] <program> [arguments...]
SKIPPED=77
out=$(mktemp /tmp/lacqueron-gtest.XXXXXX)
"$@" >"$out" 2>&1 </dev/null
code=$?
cat "$out"
if ((code == 0)) && grep -q '^\[  SKIPPED \]' "$out"; then
  code=$SKIPPED
fi
rm -f "$out"
exit $code
