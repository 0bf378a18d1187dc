# Helpers for the end-to-end tests: a fresh Wine prefix per test (copied from a
# prepared one), Lacqueron.exe started in the background, uidriver, registry checks.
# Needs PROGRAM and DRIVER set to the two .exe paths.

set -u
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
PROFILE='HKCU\Software\VELM\Lacqueron\1.0\Profile'
FAILURES=0
E2E_XVFB_PID=""

fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }

# A display: the one given, else a private Xvfb of E2E_SCREEN (width x height x depth).
e2e_display() {
  [[ -n "${DISPLAY:-}" ]] && return
  local n
  for n in $(seq 150 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
    E2E_XVFB_PID=$!
    export DISPLAY=":$n"
    break
  done
  local tries=0
  until xdpyinfo >/dev/null 2>&1 || ((++tries > 100)); do sleep 0.1; done
}

# A fresh prefix, copied from one prepared once per user and kept for later runs.
e2e_prefix() {
  local template=/tmp/lacqueron-e2e-template-$(id -u)
  (
    flock 9
    if [[ ! -f $template/.prepared ]]; then
      rm -rf "$template"
      WINEPREFIX=$template wineboot -i >/dev/null 2>&1
      # Without a window manager, unmanaged windows show at once and get Wine's own frame.
      WINEPREFIX=$template wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      WINEPREFIX=$template wineserver -w
      touch "$template/.prepared"
    fi
  ) 9>"$template.lock"
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/lacqueron-e2e.XXXXXX)
  cp -a "$template/." "$WINEPREFIX/"
  # Names the prefix's server directory: a copy must get its own, or it would talk to
  # the wineserver of the template or of another copy.
  rm -f "$WINEPREFIX/wineserver"
  # Wine makes a new one on the first command and asks for that command again.
  wine reg query 'HKCU\Software' >/dev/null 2>&1
}

e2e_start() {
  e2e_display
  e2e_prefix
  trap e2e_cleanup EXIT
}

e2e_cleanup() {
  [[ -n "${PROGRAM_PID:-}" ]] && kill "$PROGRAM_PID" 2>/dev/null
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1
  [[ $WINEPREFIX == /tmp/lacqueron-e2e.* ]] && rm -rf "$WINEPREFIX"
  [[ -n "$E2E_XVFB_PID" ]] && kill "$E2E_XVFB_PID" 2>/dev/null
}

# Starts the program and waits for its main dialog.
program_start() {
  wine "$PROGRAM" &
  PROGRAM_PID=$!
  driver wait-dialog 343 30000 >/dev/null || fail "the main dialog did not appear"
}

# Waits for the program to end and checks its exit code.
program_expect_exit() {
  local code
  wait "$PROGRAM_PID"
  code=$?
  PROGRAM_PID=""
  [[ $code == "$1" ]] || fail "exit code $code, want $1"
}

driver() { wine "$DRIVER" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# Prints "<type> <data>" of a profile value, or nothing when it is missing.
reg_value() {
  wine reg query "$PROFILE" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { print $2, $3 }'
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
