#!/bin/bash
# Start-up and shutdown of Lacqueron.exe end to end, the scenarios named one after
# another in one prefix, each from a profile the program has never written; a scenario
# named <scenario>@<version> runs with Wine reporting that Windows version from then on:
#   e2e.sh "<scenario>[@<version>] ..." <Lacqueron.exe> <uidriver.exe>
SCENARIOS=$1
PROGRAM=$2
DRIVER=$3
source "$(dirname "$0")/e2e-lib.sh"
e2e_start

expect_saved() {
  expect_reg TargetWeight "REG_DWORD $1"
  expect_reg WeightType "REG_DWORD $2"
  expect_reg Purpose "REG_DWORD $3"
}

expect_versions() {
  expect_reg VersionMajor "REG_DWORD 0x1"
  expect_reg VersionMinor "REG_DWORD 0x1"
  expect_reg VersionBuild "REG_DWORD 0x14"
}

# Amount 450, grams, the fourth purpose: what the exits below must store.
change_values() {
  step "could not change the values" wait-dialog 343 5000 set-text 148 450 pick-combo 353 0 pick-combo 354 3
}

# Everything the program keeps in the registry, gone: as a fresh prefix has it.
OWN_KEY='HKCU\Software\VELM'
own_key_gone() {
  wine reg delete "$OWN_KEY" /f >/dev/null 2>&1 </dev/null
  ! wine reg query "$OWN_KEY" >/dev/null 2>&1 </dev/null
}

run_scenario() {
case $1 in
first-run)
  program_start
  expect_versions
  expect_reg TargetWeight ""
  shown=$(driver wait-dialog 343 5000 get-text 148 get-text 353 get-text 354)
  expect_equal "values shown" "$shown" $'100\nграмм\nторпедный материал PVC (Vinolux) матовая'
  step "could not press Закончить" wait-dialog 343 5000 press 1
  program_expect_exit 0
  expect_saved 0x64 0x1 0x1
  ;;
stored-as-text)
  set_reg TargetWeight REG_SZ 250
  set_reg WeightType REG_SZ 2
  set_reg Purpose REG_SZ 2
  program_start
  expect_equal "amount shown" "$(driver wait-dialog 343 5000 get-text 148)" "100"
  step "could not close the window" wait-dialog 343 5000 close
  program_expect_exit 0
  expect_saved 0x64 0x1 0x1
  ;;
stored-values)
  set_reg TargetWeight REG_DWORD 300
  set_reg WeightType REG_DWORD 2
  set_reg Purpose REG_DWORD 5
  program_start
  shown=$(driver wait-dialog 343 5000 get-text 148 get-text 353 get-text 354)
  expect_equal "values shown" "$shown" $'300\nмиллилитров\nпластик (Polira Matt) матовая - оттенок светлее RAL, стандартное кол-во пасты'
  step "could not press Закончить" wait-dialog 343 5000 press 1
  program_expect_exit 0
  expect_saved 0x12c 0x2 0x5
  ;;
exit-paths)
  # Ctrl+X, Закончить and the close box each store the values shown, from a profile
  # that held none.
  for way in "focus 148 key ctrl+x" "press 1" "close"; do
    for name in TargetWeight WeightType Purpose; do
      # Again while a busy wineserver leaves it in place, as reads now and then miss.
      cleared() { delete_reg "$1"; [[ -z $(reg_value "$1") ]]; }
      wait_for "$REG_READ_SECONDS" cleared $name || fatal "could not clear $name"
    done
    program_start
    change_values
    # shellcheck disable=SC2086 # the way is several driver words
    step "could not end the program with '$way'" wait-dialog 343 5000 $way
    program_expect_exit 0
    expect_saved 0x1c2 0x1 0x4
  done
  ;;
log-off)
  program_start
  change_values
  answers=$(driver wait-window LacqueronHost - 5000 send 0x11 0 0 send 0x16 1 0 wait-gone 5000) ||
    fatal "the host window did not take the log-off and go"
  expect_equal "WM_QUERYENDSESSION and WM_ENDSESSION answers" "$answers" $'1\n0'
  # Stored at the log-off itself, while the program still runs.
  expect_saved 0x1c2 0x1 0x4
  # The main dialog stays; ending it now finds no profile key and writes nothing more.
  step "could not press Закончить" wait-dialog 343 5000 set-text 148 999 press 1
  program_expect_exit 0
  expect_saved 0x1c2 0x1 0x4
  ;;
log-off-cancelled)
  program_start
  change_values
  step "could not send WM_ENDSESSION" wait-window LacqueronHost - 5000 send 0x16 0 0
  driver wait-window LacqueronHost - 1000 >/dev/null || fail "the host window went away"
  expect_reg TargetWeight ""
  step "could not press Закончить" wait-dialog 343 5000 press 1
  program_expect_exit 0
  expect_saved 0x1c2 0x1 0x4
  ;;
ctrl-f1)
  program_start
  step "could not press Ctrl+F1" wait-dialog 343 5000 focus 148 key ctrl+f1
  # Nothing opens: no about dialog within a generous wait, and the program goes on.
  if driver wait-dialog 113 2000 >/dev/null 2>&1; then fail "Ctrl+F1 opened a dialog"; fi
  expect_equal "amount after Ctrl+F1" "$(driver wait-dialog 343 5000 get-text 148)" "100"
  step "could not press Закончить" wait-dialog 343 5000 press 1
  program_expect_exit 0
  ;;
main-window-fails)
  # A control class the system does not know makes template 220 fail, as a damaged
  # program file would: the program must say so and end with a non-zero code.
  broken="$WINEPREFIX/drive_c/Lacqueron.exe"
  perl -0777 -pe 's/S\0Y\0S\0L\0I\0S\0T\0V\0I\0E\0W\x003\x002\0/S\0Y\0S\0L\0I\0S\0T\0V\0I\0E\0W\0X\0X\0/gi' \
    "$PROGRAM" >"$broken"
  cmp -s "$PROGRAM" "$broken" && { fail "the list view class was not found in the program file"; return; }
  wine "$broken" &
  PROGRAM_PID=$!
  # The failing main dialog is itself briefly a window of the dialog class: wait for
  # the box by its caption and for its text, which it gets after it appears.
  driver wait-window '#32770' 'Ошибка' 30000 \
    wait-text 65535 'Не удалось открыть главное окно программы. Программа будет закрыта.' 10000 \
    press 1 wait-gone 10000 >/dev/null ||
    fatal "no error box with the expected text that OK closes"
  program_expect_exit 1
  ;;
*)
  echo "unknown scenario $1"
  exit 2
  ;;
esac
}

for scenario in $SCENARIOS; do
  echo "== $scenario"
  if [[ $scenario == *@* ]]; then
    wine_env_set_version "${scenario#*@}" || fatal "could not make Wine report ${scenario#*@}"
    e2e_check_windows_version "${scenario#*@}"
  fi
  # Again while a busy wineserver leaves it in place, as reads now and then miss.
  wait_for "$REG_READ_SECONDS" own_key_gone || fatal "could not clear the program's registry key"
  run_scenario "${scenario%@*}"
done
e2e_finish
