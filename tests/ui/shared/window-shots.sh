#!/bin/bash
# Runs a window test program under Wine and keeps the pictures it took as PNG files.
#   window-shots.sh <tests.exe> <docs folder> <picture name>...
TESTS=$1
DOCS=$2
shift 2
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# Without a window manager Wine waits about two seconds on every managed window shown
# or hidden; this program's windows are made unmanaged, for it alone.
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$TESTS")\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
windowsShots=$(winepath -w "$shots")
[[ -n $windowsShots ]] || { echo "winepath did not name $shots"; exit 1; }
LACQUERON_SHOTS=$windowsShots bash "$(dirname "$0")/../../support/run-gtest.sh" wine "$TESTS" || exit
for name in "$@"; do
  [[ -f $shots/$name.bmp ]] || { echo "no picture $name"; exit 1; }
  # -strip: no dates in the file, so an unchanged picture gives an unchanged file. PNG:
  # because the temporary name's ending would not tell convert the format.
  convert "$shots/$name.bmp" -strip "PNG:$DOCS/$name.png.$$" && mv -f "$DOCS/$name.png.$$" "$DOCS/$name.png" ||
    { echo "could not save $name.png"; exit 1; }
done
