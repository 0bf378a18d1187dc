# Helpers for the end-to-end tests: a fresh Wine prefix per test (copied from a
# prepared one), the program started in the background, uidriver, registry checks.
# Needs PROGRAM and DRIVER set to the two .exe paths.
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
  local version=${LACQUERON_WINDOWS_VERSION:-}
  local template
  template=/tmp/lacqueron-e2e-template-$(id -u)${version:+-$version}
  (
    flock 9
    if [[ ! -f $template/.prepared ]]; then
      rm -rf "$template"
      export WINEPREFIX=$template
      wineboot -i >/dev/null 2>&1
      # Without a window manager, unmanaged windows show at once and get Wine's own frame.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      if [[ -n $version ]]; then e2e_set_windows_version "$version" || exit 1; fi
      wineserver -w
      touch "$template/.prepared"
    fi
  ) 9>"$template.lock" || fatal "could not prepare the Wine prefix $template"
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/lacqueron-e2e.XXXXXX)
  cp -a "$template/." "$WINEPREFIX/"
  # Names the prefix's server directory: a copy must get its own, or it would talk to
  # the wineserver of the template or of another copy.
  rm -f "$WINEPREFIX/wineserver"
  # Wine makes a new one on the first command and asks for that command again.
  wine reg query 'HKCU\Software' >/dev/null 2>&1
  [[ -n $version ]] && e2e_check_windows_version "$version"
  return 0
}

# Makes Wine report the given Windows version (win7, win81, win10, win11). This Wine has
# no win11: Windows 11 is Windows 10 from build 22000 on, and Wine takes the build from
# the registry.
WINDOWS_11_BUILD=22631
e2e_set_windows_version() {
  local name=$1
  wine winecfg /v "${name/win11/win10}" >/dev/null 2>&1 || fatal "winecfg refused $name"
  if [[ $name == win11 ]]; then
    local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion' value
    for value in CurrentBuild CurrentBuildNumber; do
      wine reg add "$key" /v $value /d $WINDOWS_11_BUILD /f >/dev/null 2>&1 || fatal "could not set $value"
    done
  fi
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

e2e_start() {
  PROGRAM_PID=""
  WINEPREFIX=""
  E2E_OUT=$(mktemp /tmp/lacqueron-e2e-out.XXXXXX)
  trap e2e_cleanup EXIT
  trap 'exit 1' TERM INT
  wine_env_display || fatal "no X display"
  e2e_prefix
}

e2e_cleanup() {
  [[ -n $PROGRAM_PID ]] && kill "$PROGRAM_PID" 2>/dev/null
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

# Through a file, not a pipe: Wine's helper processes started by a call can keep its
# output open, and a reader would wait for them.
driver() {
  wine "$DRIVER" "$@" >"$E2E_OUT" </dev/null
  local code=$?
  tr -d '\r' <"$E2E_OUT"
  return $code
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

expect_reg() {
  local got
  got=$(reg_value "$1")
  [[ "$got" == "$2" ]] || fail "$1 is '$got', want '$2'"
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
