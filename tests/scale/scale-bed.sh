# Sourced by the scale test and the latency benchmark: a fresh Wine prefix in which
# COM5 is the simulated scale (scale-sim.py on a pseudo-terminal). scale_bed_start
# [simulator arguments...] sets SCALE_BED_PORT, SCALE_BED_WORK (a scratch directory)
# and SCALE_BED_CONTROL (the control file as a Windows path); all ends on exit.
source "$(dirname "${BASH_SOURCE[0]}")/../app/e2e-lib.sh"
scale_bed_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SCALE_BED_PORT=5
scale_bed_sim_pid=""

scale_bed_finish() {
  [[ -n $scale_bed_sim_pid ]] && kill "$scale_bed_sim_pid" 2>/dev/null && wait "$scale_bed_sim_pid" 2>/dev/null
  rm -rf "$SCALE_BED_WORK"
  e2e_cleanup
}

scale_bed_start() {
  e2e_start
  SCALE_BED_WORK=$(mktemp -d /tmp/lacqueron-scale.XXXXXX)
  trap scale_bed_finish EXIT
  local link=$SCALE_BED_WORK/scale-tty control=$SCALE_BED_WORK/control
  printf 'seq=1\n' > "$control"
  python3 "$scale_bed_dir/scale-sim.py" --link "$link" --control "$control" "$@" &
  scale_bed_sim_pid=$!
  local tries=0
  until [[ -L $link ]] || ((++tries > 100)); do sleep 0.1; done
  [[ -L $link ]] || { echo "FAIL: the simulated scale did not start"; exit 1; }

  # The mapping is read when the prefix's server starts: set it, then start it again.
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$SCALE_BED_PORT" /d "$link" /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  SCALE_BED_CONTROL=$(winepath -w "$control" 2>/dev/null)
}
