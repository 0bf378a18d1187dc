#!/usr/bin/env bash
# The locked program from outside: the prompt over the visible, disabled main dialog;
# a wrong password, Escape and the right one; after a refusal the program still ends
# through its shutdown, with exit code 0 and the profile values stored.
#
#   password-e2e.sh <LacqueronLocked.exe> <uidriver.exe>
#
# Needs Wine with DISPLAY and WINEPREFIX set. Exit code 77 without them.
set -uo pipefail

program=$1
driver=$2
password='Замок 7'
profile='HKCU\Software\VELM\Lacqueron\1.0\Profile'
work=$(mktemp -d /tmp/lacqueron-password.XXXXXX)
program_pid=""
failures=0

[[ -n ${DISPLAY:-} && -n ${WINEPREFIX:-} ]] || { echo "password-e2e: skipped: no DISPLAY or WINEPREFIX"; exit 77; }

cleanup() {
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

check() { [[ $2 == "$3" ]] || { echo "password-e2e: FAILED: $1: got '$2', want '$3'"; failures=$((failures + 1)); }; }

# Through a file, not a pipe: Wine's helper processes keep a pipe open.
run_driver() {
  wine "$driver" "$@" >"$work/driver.out" 2>&1 </dev/null
  local rc=$?
  tr -d '\r' <"$work/driver.out"
  return $rc
}

reg_value() {
  wine reg query "$profile" /v "$1" >"$work/reg.out" 2>/dev/null </dev/null
  tr -d '\r' <"$work/reg.out" | awk -v name="$1" '$1 == name { print $2, $3 }'
}

start_program() {
  wine "$program" >/dev/null 2>&1 </dev/null &
  program_pid=$!
}

# Waits for the program to end by itself; its exit code goes to exit_code. Not in a
# subshell: only this shell can wait for its child.
program_exit() {
  wait "$program_pid"
  exit_code=$?
  program_pid=""
}

# Known stored values, one of them missing: the shutdown must write it.
wine reg add "$profile" /v TargetWeight /t REG_DWORD /d 250 /f >/dev/null 2>&1 </dev/null
wine reg add "$profile" /v WeightType /t REG_DWORD /d 2 /f >/dev/null 2>&1 </dev/null
wine reg delete "$profile" /v Purpose /f >/dev/null 2>&1 </dev/null

# 1. A wrong password: the error box, then the whole shutdown.
start_program
run_driver wait-dialog 103 30000 >/dev/null || check "the prompt" "absent" "shown"
check "main dialog visible and disabled behind the prompt" \
  "$(run_driver wait-dialog 343 5000 is-visible 0 is-enabled 0 | tr '\n' ' ')" "1 0 "
check "help button" "$(run_driver wait-dialog 103 5000 is-enabled 9)" "0"
run_driver wait-dialog 103 5000 set-text 103 'замок 7' press 1 wait-gone 10000 >/dev/null
check "refusal box" "$(run_driver wait-window '#32770' 'Ошибка' 10000 get-text 0 get-text 65535 press 1 wait-gone 10000)" \
  $'Ошибка\nНеправильный пароль. В доступе отказано.'
program_exit
check "exit code after a refusal" "$exit_code" "0"
check "Purpose stored after a refusal" "$(reg_value Purpose)" "REG_DWORD 0x1"
check "TargetWeight stored after a refusal" "$(reg_value TargetWeight)" "REG_DWORD 0xfa"
check "WeightType stored after a refusal" "$(reg_value WeightType)" "REG_DWORD 0x2"

# 2. Escape: no box, the same orderly end.
wine reg delete "$profile" /v Purpose /f >/dev/null 2>&1 </dev/null
start_program
run_driver wait-dialog 103 30000 set-text 103 "$password" focus 103 key escape wait-gone 10000 >/dev/null ||
  check "Escape closes the prompt" "no" "yes"
program_exit
check "exit code after Escape" "$exit_code" "0"
check "Purpose stored after Escape" "$(reg_value Purpose)" "REG_DWORD 0x1"

# 3. The right password, typed and confirmed with Enter: the program runs.
start_program
run_driver wait-dialog 103 30000 focus 103 type "$password" key enter wait-gone 10000 >/dev/null ||
  check "Enter closes the prompt" "no" "yes"
check "main dialog enabled after the right password" "$(run_driver wait-dialog 343 5000 is-enabled 0)" "1"
if run_driver wait-window '#32770' 'Ошибка' 1500 >/dev/null; then check "box after the right password" "shown" "none"; fi
run_driver wait-dialog 343 5000 key ctrl+x >/dev/null
program_exit
check "exit code after a normal run" "$exit_code" "0"

if ((failures)); then
  echo "password-e2e: $failures check(s) failed"
  exit 1
fi
echo "password-e2e: passed"
