#!/bin/bash
# Finding a paint in the running program with real keys: "3020" typed into the list,
# Ctrl+F with a word and Enter, F3 for the next match. The paint kept selected becomes
# recent, and the find dialog of the next start lists it first.
#   find-e2e.sh <Lacqueron.exe> <uidriver.exe>
PROGRAM=$1
DRIVER=$2
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_start

RECENT='HKCU\Software\VELM\Lacqueron\1.0\Recent'
# Long enough for a colour kept selected (5 s) to be written on a slow machine.
RECENT_WAIT_TRIES=60

recent_value() {
  wine reg query "$RECENT" /v Colours 2>/dev/null | tr -d '\r' | awk '$1 == "Colours" { $1 = ""; print }'
}

program_start
driver wait-dialog 343 5000 focus 343 type 3020 wait-text 344 "Код: RAL 3020" 5000 >/dev/null ||
  fail "typing 3020 into the list did not choose RAL 3020"
driver wait-dialog 343 5000 key ctrl+f wait-dialog 2401 5000 type "сигнальный" key enter \
  wait-dialog 343 5000 wait-text 344 "Код: RAL 1003" 5000 >/dev/null ||
  fail "Ctrl+F, сигнальный and Enter did not choose RAL 1003"
driver wait-dialog 343 5000 key f3 wait-text 344 "Код: RAL 2010" 5000 >/dev/null ||
  fail "F3 did not go on to RAL 2010"

for ((try = 0; try < RECENT_WAIT_TRIES; try++)); do
  [[ $(recent_value) == *"RAL 2010"* ]] && break
done
[[ $(recent_value) == *"REG_MULTI_SZ"*"RAL 2010"* ]] || fail "RAL 2010 kept selected is not recent: '$(recent_value)'"
driver wait-dialog 343 5000 press 1 >/dev/null
program_expect_exit 0

program_start
first=$(driver wait-dialog 343 5000 key ctrl+f wait-dialog 2402 5000 row-text 2402 0 key escape)
expect_equal "first row of the find dialog after a restart" "$first" "RAL 2010"
driver wait-dialog 343 5000 press 1 >/dev/null
program_expect_exit 0
e2e_finish
