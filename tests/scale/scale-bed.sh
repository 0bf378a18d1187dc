# Sourced by the scale test and the latency benchmark: a fresh Wine prefix in which
# COM5 is the simulated scale (scale-sim.py on a pseudo-terminal). scale_bed_start
# [simulator arguments...] sets SCALE_BED_PORT, SCALE_BED_WORK (a scratch directory)
# and SCALE_BED_CONTROL (the control file as a Windows path); all ends on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../app/e2e-lib.sh"
scale_bed_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SCALE_BED_PORT=5
scale_bed_sim_pid=""
SCALE_BED_START_SECONDS=10
# How long the simulator may take to apply a control line.
SCALE_BED_ACK_SECONDS=10

# scale_control KEY=VALUE...: rewrites the simulator's control line whole and waits
# until the simulator has applied it.
scale_bed_seq=1
scale_control() {
  scale_bed_seq=$((scale_bed_seq + 1))
  printf 'seq=%s %s\n' "$scale_bed_seq" "$*" >"$SCALE_BED_WORK/control.new"
  mv "$SCALE_BED_WORK/control.new" "$SCALE_BED_WORK/control"
  wait_for "$SCALE_BED_ACK_SECONDS" scale_bed_acknowledged || fatal "the simulated scale did not take '$*'"
}

scale_bed_ack() { cat "$SCALE_BED_WORK/control.ack" 2>/dev/null; }
scale_bed_acknowledged() { [[ $(scale_bed_ack) == "seq=$scale_bed_seq "* ]]; }

# scale_wait_sent COUNT SECONDS: waits until the simulator has sent COUNT lines since
# the last control line.
scale_bed_sent_at_least() {
  local sent
  sent=$(scale_bed_ack)
  sent=${sent##*sent=}
  [[ $sent =~ ^[0-9]+$ ]] && ((sent >= $1))
}
scale_wait_sent() { wait_for "$2" scale_bed_sent_at_least "$1"; }

scale_bed_finish() {
  [[ -n $scale_bed_sim_pid ]] && kill "$scale_bed_sim_pid" 2>/dev/null && wait "$scale_bed_sim_pid" 2>/dev/null
  rm -rf "$SCALE_BED_WORK"
  e2e_cleanup
}

# Wine reads the ports' mapping as the prefix's services first start, so it goes into the
# copied prefix's registry file before any Wine program runs there: setting it with reg
# would need the server and its services started a second time.
scale_bed_map_port() {
  local ports='[Software\\\\Wine\\\\Ports]' registry=$WINEPREFIX/system.reg
  awk -v ports="$ports " -v entry="\"COM$SCALE_BED_PORT\"=\"$SCALE_BED_WORK/scale-tty\"" '
    { print }
    index($0, ports) == 1 { getline; print; print entry }' "$registry" >"$registry.new" &&
    mv "$registry.new" "$registry" || fatal "could not map COM$SCALE_BED_PORT"
  grep -q "^\"COM$SCALE_BED_PORT\"=" "$registry" || fatal "the prefix has no ports key to map COM$SCALE_BED_PORT in"
}

scale_bed_start() {
  SCALE_BED_WORK=$(mktemp -d /tmp/lacqueron-scale.XXXXXX)
  E2E_PREFIX_HOOK=scale_bed_map_port E2E_CLEANUP=scale_bed_finish e2e_start
  local link=$SCALE_BED_WORK/scale-tty control=$SCALE_BED_WORK/control
  printf 'seq=%s\n' "$scale_bed_seq" >"$control"
  python3 "$scale_bed_dir/scale-sim.py" --link "$link" --control "$control" "$@" &
  scale_bed_sim_pid=$!
  wait_for "$SCALE_BED_START_SECONDS" test -L "$link" || fatal "the simulated scale did not start"
  SCALE_BED_CONTROL=$(winepath -w "$control" 2>/dev/null)
}
