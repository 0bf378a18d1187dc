#!/usr/bin/env bash
# The port reader end to end: the simulated scale on a pseudo-terminal, mapped to a COM
# port through Wine's HKLM\Software\Wine\Ports, read by the Windows test program.
# Usage: port-e2e.sh SCALE_PORT_TEST_EXE
source "$(dirname "$0")/../app/e2e-lib.sh"
test_program=$1
here=$(cd "$(dirname "$0")" && pwd)
port=5

e2e_start
work=$(mktemp -d /tmp/lacqueron-scale.XXXXXX)
sim_pid=""
finish() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
  e2e_cleanup
}
trap finish EXIT

printf 'seq=1\n' > "$work/control"
python3 "$here/scale-sim.py" --link "$work/scale-tty" --control "$work/control" &
sim_pid=$!
tries=0
until [[ -L $work/scale-tty ]] || ((++tries > 100)); do sleep 0.1; done
[[ -L $work/scale-tty ]] || { echo "FAIL: the simulated scale did not start"; exit 1; }

# The mapping is read when the prefix's server starts: set it, then start it again.
wine reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /d "$work/scale-tty" /f >/dev/null 2>&1
wineserver -k
wineserver -w

LACQUERON_SCALE_PORT=$port LACQUERON_SCALE_CONTROL=$(winepath -w "$work/control" 2>/dev/null) \
  wine "$test_program"
