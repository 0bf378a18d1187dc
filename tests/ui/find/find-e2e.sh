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
RECENT_WAIT_SECONDS=30

recent_value() {
  wine reg query "$RECENT" /v Colours >"$E2E_OUT" 2>/dev/null </dev/null
  tr -d '\r' <"$E2E_OUT" | awk '$1 == "Colours" { $1 = ""; print }'
}

recent_has_2010() { [[ $(recent_value) == *"REG_MULTI_SZ"*"RAL 2010"* ]]; }

# Each step starts from where the one before left the list, so a miss stops the test.
program_start
step "typing 3020 into the list did not choose RAL 3020" \
  wait-dialog 343 5000 focus 343 type 3020 wait-text 344 "Код: RAL 3020" 5000
step "Ctrl+F, сигнальный and Enter did not choose RAL 1003" \
  wait-dialog 343 5000 key ctrl+f wait-dialog 2401 5000 type "сигнальный" key enter \
  wait-dialog 343 5000 wait-text 344 "Код: RAL 1003" 5000
step "F3 did not go on to RAL 2010" wait-dialog 343 5000 key f3 wait-text 344 "Код: RAL 2010" 5000

wait_for $RECENT_WAIT_SECONDS recent_has_2010 || fatal "RAL 2010 kept selected is not recent: '$(recent_value)'"
step "could not press Закончить" wait-dialog 343 5000 press 1
program_expect_exit 0

program_start
first=$(driver wait-dialog 343 5000 key ctrl+f wait-dialog 2402 5000 row-text 2402 0 key escape wait-gone 5000) ||
  fatal "the find dialog did not open and close"
expect_equal "first row of the find dialog after a restart" "$first" "RAL 2010"
step "could not press Закончить" wait-dialog 343 5000 press 1
program_expect_exit 0
e2e_finish
