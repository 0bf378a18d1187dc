#!/bin/bash
# The portable archive: one folder with the very program that was built and a readme that
# Notepad shows right on any Windows (UTF-8 with a byte-order mark, CRLF line ends).
# The program ships without its debug information, linked to the file that holds it.
#   portable-zip.sh <Lacqueron-<version>-portable.zip> <Lacqueron.exe> <objdump>
set -u
zip=$1
program=$2
objdump=$3
folder=$(basename "$zip" -portable.zip)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

listed=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
[[ $listed == "$folder/Lacqueron.exe"$'\n'"$folder/Readme.txt" ]] || fail "the archive holds: $listed"
unzip -p "$zip" "$folder/Lacqueron.exe" | cmp -s - "$program" || fail "the archived program is not the built one"
sections=$("$objdump" -h "$program" | awk '{ print $2 }')
grep -q '^\.debug_' <<<"$sections" && fail "the shipped program carries its debug information"
grep -qx '\.gnu_debuglink' <<<"$sections" || fail "the shipped program has no link to its debug information"
[[ -s $(dirname "$program")/Lacqueron.debug ]] || fail "no Lacqueron.debug beside the program"
readme=$(unzip -p "$zip" "$folder/Readme.txt" | od -An -tx1 -N3 | tr -d ' ')
[[ $readme == efbbbf ]] || fail "the readme does not start with a UTF-8 byte-order mark"
unzip -p "$zip" "$folder/Readme.txt" | grep -qv $'\r$' && fail "a readme line does not end in CRLF"
unzip -p "$zip" "$folder/Readme.txt" | grep -q "версия ${folder#Lacqueron-}" || fail "the readme does not name the version"

((failures == 0)) && echo passed
exit $((failures > 0))
