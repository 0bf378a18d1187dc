# Helpers for the end-to-end tests: a fresh Wine prefix per test (copied from a
# prepared one), the program started in the background, uidriver, registry checks.
# Needs PROGRAM and DRIVER set to the two .exe paths (e2e_tool_arguments sets them).
#
# A check that fails is counted and the scenario goes on; a step the rest builds on
# (the program starting or ending, a key that must reach it) stops the scenario at
# once, so no later wait runs into the ctest timeout.

set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env"
wine_env_variables
PROFILE='HKCU\Software\VELM\Lacqueron\1.0\Profile'
FAILURES=0
# How long the program may take to end after it was told to.
PROGRAM_END_SECONDS=30

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }

# wait_for SECONDS COMMAND...: runs the command until it succeeds or SECONDS have
# passed; fails in the second case. For states that no driver command waits on.
WAIT_POLL_SECONDS=0.1
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep "$WAIT_POLL_SECONDS"
  done
}

fatal() {
  echo "FAIL: $* (stopping)"
  exit 1
}

# A fresh prefix, copied from one prepared once per user (and Windows version) and kept
# for later runs.
e2e_prefix() {
  local version=${LACQUERON_WINDOWS_VERSION:-} template
  template=$(wine_env_template "$version") || fatal "could not prepare the Wine prefix for ${version:-Wine}"
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/lacqueron-e2e.XXXXXX)
  wine_env_copy_prefix "$template" "$WINEPREFIX"
  # What a scenario writes into the prefix's files before Wine first reads them.
  ${E2E_PREFIX_HOOK:-}
  e2e_server_start
  # Wine makes a new server directory on the first command and asks for that command again.
  wine reg query 'HKCU\Software' >/dev/null 2>&1
  [[ -n $version ]] && e2e_check_windows_version "$version"
  return 0
}

# Checks that a program with Lacqueron's manifest, LACQUERON_VERSION_PROBE, is told
# the given version.
e2e_check_windows_version() {
  local name=$1 expected told
  case $name in
    win7) expected='6.1.*' ;;
    win81) expected='6.3.*' ;;
    win10) expected='10.0.1*' ;;
    win11) expected='10.0.2[2-9][0-9][0-9][0-9]' ;;
    *) fatal "unknown Windows version $name" ;;
  esac
  [[ -n ${LACQUERON_VERSION_PROBE:-} ]] || fatal "LACQUERON_VERSION_PROBE is not set"
  # Through a file, as driver does: under load a pipe gave nothing back.
  wine "$LACQUERON_VERSION_PROBE" >"$E2E_OUT" 2>/dev/null </dev/null || fatal "the version probe failed"
  told=$(tr -d '\r' <"$E2E_OUT")
  # shellcheck disable=SC2053 # expected is a pattern
  [[ $told == $expected ]] || fatal "Wine reports Windows $told, not $name"
  echo "Windows version $name: $told"
}

# One wineserver for the whole scenario, started before any command: a registry write at
# a scenario's start now and then failed while Wine commands started side by side. A
# scenario that waits for every Wine process to end (wineserver -w) needs the server to
# end too, and keeps Wine's default.
# Long enough for any pause between a scenario's commands; a scenario that was killed
# leaves a server that ends by itself after it.
E2E_SERVER_IDLE_SECONDS=60
e2e_server_start() {
  [[ -n ${E2E_DRIVER_ONE_SHOT:-} ]] || wineserver --persistent=$E2E_SERVER_IDLE_SECONDS
}

# The scenarios that check the program against datapack take
#   <Lacqueron.exe> <uidriver.exe> <datapack> [<catalogue dir>]
e2e_tool_arguments() {
  PROGRAM=$1 DRIVER=$2 DATAPACK=$3 SOURCES=${4:-}
}

BENCH='HKCU\Software\VELM\Lacqueron\1.0\Bench'

# e2e_data_folder NAME: C:\NAME of the prefix becomes the program's data folder; DATA is
# its Unix path.
e2e_data_folder() {
  DATA=$WINEPREFIX/drive_c/$1
  mkdir -p "$DATA" || fatal "no data folder"
  wine reg add "$BENCH" /v DataFolder /t REG_SZ /d "C:\\$1" /f >/dev/null 2>&1 </dev/null ||
    fatal "could not store DataFolder"
}

e2e_start() {
  PROGRAM_PID=""
  WINEPREFIX=""
  E2E_OUT=$(mktemp /tmp/lacqueron-e2e-out.XXXXXX)
  # A bed that starts more than the program (a simulated scale) names its own cleanup.
  trap "${E2E_CLEANUP:-e2e_cleanup}" EXIT
  trap 'exit 1' TERM INT
  # The test command runs the window tests beside the scenarios; they press keys on the
  # display it started, so a scenario takes one of its own.
  [[ -n ${LACQUERON_E2E_OWN_DISPLAY:-} ]] && unset DISPLAY
  wine_env_display || fatal "no X display"
  e2e_prefix
  if [[ -n ${DRIVER:-} && -z ${E2E_DRIVER_ONE_SHOT:-} ]]; then driver_server_start; fi
}

e2e_cleanup() {
  [[ -n $PROGRAM_PID ]] && kill "$PROGRAM_PID" 2>/dev/null
  driver_server_stop
  if [[ $WINEPREFIX == /tmp/lacqueron-e2e.* ]]; then
    wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
  fi
  wine_env_stop_display
  rm -f "$E2E_OUT"
}

# Starts the program; its main dialog (343, the list) must come up.
program_start() {
  wine "$PROGRAM" >/dev/null 2>&1 </dev/null &
  PROGRAM_PID=$!
  driver wait-dialog 343 30000 >/dev/null || fatal "the main dialog did not appear"
}

# Waits for the program to end by itself and checks its exit code; a program that
# does not end stops the scenario.
program_gone() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }

program_expect_exit() {
  local code
  wait_for "$PROGRAM_END_SECONDS" program_gone || fatal "the program did not end"
  wait "$PROGRAM_PID"
  code=$?
  PROGRAM_PID=""
  [[ $code == "$1" ]] || fail "exit code $code, want $1"
}

# uidriver runs as a server for the whole scenario (uidriver serve): a run of it is a
# request file and a reply file, not a Wine process start of about a second. A scenario
# that waits for every Wine process to end sets E2E_DRIVER_ONE_SHOT, and each run then
# starts uidriver as before.
DRIVER_SERVER_PID=""
DRIVER_FOLDER=""
DRIVER_RUNS=0
# How long a run may take beyond the longest wait it was given.
DRIVER_REPLY_SECONDS=60
driver_server_start() {
  DRIVER_FOLDER=$(mktemp -d /tmp/lacqueron-driver.XXXXXX)
  # Every prefix maps / as Z:, so the path needs no Wine process to translate it.
  wine "$DRIVER" serve "Z:${DRIVER_FOLDER//\//\\}" >/dev/null </dev/null &
  DRIVER_SERVER_PID=$!
}

driver_server_stop() {
  [[ -n $DRIVER_SERVER_PID ]] && kill "$DRIVER_SERVER_PID" 2>/dev/null
  DRIVER_SERVER_PID=""
  [[ $DRIVER_FOLDER == /tmp/lacqueron-driver.* ]] && rm -rf "$DRIVER_FOLDER"
  DRIVER_FOLDER=""
}

# After the prefix's wineserver was ended, which ends uidriver with it.
driver_server_restart() {
  [[ -n $DRIVER_SERVER_PID ]] || return 0
  driver_server_stop
  driver_server_start
}

# The longest wait, in seconds, that a run's arguments give (they are in milliseconds).
driver_longest_wait() {
  local word longest=0
  for word in "$@"; do
    [[ $word =~ ^[0-9]{3,7}$ ]] && ((word / 1000 > longest)) && longest=$((word / 1000))
  done
  echo "$longest"
}

driver_server_alive() { kill -0 "$DRIVER_SERVER_PID" 2>/dev/null; }

# Through a file, not a pipe: Wine's helper processes started by a call can keep its
# output open, and a reader would wait for them.
driver_one_shot() {
  local out code
  out=$(mktemp /tmp/lacqueron-e2e-out.XXXXXX)
  wine "$DRIVER" "$@" >"$out" </dev/null
  code=$?
  tr -d '\r' <"$out"
  rm -f "$out"
  return $code
}

driver() {
  [[ -n $DRIVER_SERVER_PID ]] || { driver_one_shot "$@"; return; }
  # Runs may overlap (a scenario drives two copies at once): each has a name of its own.
  DRIVER_RUNS=$((DRIVER_RUNS + 1))
  local run=$BASHPID-$DRIVER_RUNS code
  local reply=$DRIVER_FOLDER/reply-$run
  printf '%s\0' "$@" >"$DRIVER_FOLDER/part-$run"
  mv "$DRIVER_FOLDER/part-$run" "$DRIVER_FOLDER/request-$run"
  driver_replied_or_gone() { [[ -f $reply ]] || ! driver_server_alive; }
  wait_for $(($(driver_longest_wait "$@") + DRIVER_REPLY_SECONDS)) driver_replied_or_gone ||
    fatal "uidriver did not answer '$*'"
  [[ -f $reply ]] || fatal "uidriver ended during '$*'"
  { read -r code; tr -d '\r'; } <"$reply"
  rm -f "$reply"
  [[ $code =~ ^[0-9]+$ ]] || fatal "uidriver gave no exit code for '$*'"
  return "$code"
}

# A driver step the scenario cannot go on without.
step() {
  local what=$1
  shift
  driver "$@" >/dev/null || fatal "$what"
}

# Stores a profile value; a value that cannot be stored stops the scenario.
set_reg() {
  wine reg add "$PROFILE" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1 </dev/null || fatal "could not store $1"
}

delete_reg() { wine reg delete "$PROFILE" /v "$1" /f >/dev/null 2>&1 </dev/null; }

# Prints "<type> <data>" of a profile value, or nothing when it is missing.
reg_value() {
  wine reg query "$PROFILE" /v "$1" >"$E2E_OUT" 2>/dev/null </dev/null
  tr -d '\r' <"$E2E_OUT" | awk -v name="$1" '$1 == name { print $2, $3 }'
}

# A read under a busy wineserver now and then comes back empty, so a value that is not
# the one wanted is read again for a few seconds before the check fails.
REG_READ_SECONDS=5
expect_reg() {
  local got
  reg_value_is() { got=$(reg_value "$1"); [[ "$got" == "$2" ]]; }
  wait_for "$REG_READ_SECONDS" reg_value_is "$1" "$2" || fail "$1 is '$got', want '$2'"
}

expect_equal() {
  [[ "$2" == "$3" ]] || fail "$1: got '$2', want '$3'"
}

e2e_finish() {
  if ((FAILURES)); then
    echo "$FAILURES check(s) failed"
    exit 1
  fi
  echo "passed"
  exit 0
}
