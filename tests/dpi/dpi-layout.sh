#!/bin/bash
# Runs dpi_layout_tests at each DPI in a fresh Wine prefix whose registry sets that
# DPI, and keeps the screenshots as PNG files.
#   dpi-layout.sh <dpi_layout_tests.exe> <screenshot folder>
TESTS=$1
SHOTS=$2
source "$(dirname "$0")/../app/e2e-lib.sh"
# A screen of its own, large enough for the main dialog at 200 %.
unset DISPLAY
WINE_ENV_SCREEN=2560x1600x24
e2e_start

work=$(mktemp -d)
trap 'rm -rf "$work"; e2e_cleanup' EXIT
mkdir -p "$SHOTS"
# 100, 125, 150 and 200 % scaling. 96 comes first: the others compare sizes with it.
for dpi in 96 120 144 192; do
  # Wine reads the DPI when a process starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    fail "could not set $dpi DPI"
  LACQUERON_DPI=$dpi LACQUERON_DPI_SHOTS=$(winepath -w "$work") wine "$TESTS" || fail "layout at $dpi DPI"
  for shot in "$work"/*-"$dpi".bmp; do
    [[ -f $shot ]] || { fail "no screenshots at $dpi DPI"; break; }
    # -strip: no dates in the file, so an unchanged picture gives an unchanged file.
    convert "$shot" -strip "$SHOTS/$(basename "${shot%.bmp}").png" || fail "could not convert $shot"
  done
done
e2e_finish
