#!/bin/bash
# Fails when a Windows executable imports a DLL or function that Windows 7 lacks, as
# listed in windows8-imports.txt; the loader would refuse to start it there.
#   check-imports.sh <program.exe> [objdump]
set -u
program=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
deny_list="$(dirname "$0")/windows8-imports.txt"

# "dll:<name>" for each imported DLL, then the names of the functions taken from it.
imports=$("$objdump" -p "$program" | awk '
  /^\tDLL Name: / { print "dll:" $3; in_dll = 1; next }
  /^$/ { in_dll = 0 }
  in_dll && /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print $3 }') || exit 1
if ! grep -q '^dll:' <<<"$imports"; then
  echo "$program: no import table found"
  exit 1
fi

shopt -s nocasematch
found=0
while read -r pattern; do
  [[ -z $pattern || $pattern == \#* ]] && continue
  while read -r name; do
    # shellcheck disable=SC2053 # the pattern may hold wildcards
    if [[ $name == $pattern ]]; then
      echo "$program: imports $name, which Windows 7 does not have"
      found=1
    fi
  done <<<"$imports"
done <"$deny_list"
(( found == 0 )) && echo "$program: $(grep -vc '^dll:' <<<"$imports") imports, all on Windows 7"
exit "$found"
