#!/bin/bash
# A whole batch poured on the simulated scale (COM5, see tests/scale/scale-bed.sh)
# through Lacqueron.exe: the first paint for glossy plastic at 500 g, each reading taken
# from the scale with Enter, the second step over-poured and the correction accepted,
# the scale unplugged and plugged back in midway, the last steps recorded by
# auto-record (an unstable reading never is), and the summary checked against the
# plan that the datapack tool computes for the same readings.
#   scale-weigh-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/scale-pour-lib.sh"
e2e_tool_arguments "$@"
scale_bed_start

UNPLUGGED="Весы отключились. Подключите их снова: показания продолжатся сами."

# The auto-record rule holds a reading for a second; the scale is polled about ten
# times a second, so this many unstable readings span twice that.
UNSTABLE_READINGS=20
UNSTABLE_SECONDS=30

open_weighing
driver wait-dialog $PLAN 5000 wait-text $SCALE_STATE "Весы: 0.00 г — стабильно" 10000 >/dev/null ||
  fail "no live reading: $(driver wait-dialog $PLAN 5000 get-text $SCALE_STATE)"

pour_on_scale "$(target_after)"
expect_instruction "first step"
# 3.39 over the white paste's 53.13: an over-pour, but not far enough over to be asked about.
pour_on_scale 503.00
step "no correction offered" wait-dialog $PLAN 5000 press $ACCEPT wait-text $READING "503.00" 10000
expect_instruction "after the correction"

scale_control "plugged=0"
driver wait-dialog $PLAN 5000 wait-text $SCALE_STATE "$UNPLUGGED" 10000 >/dev/null ||
  fail "unplugging not shown: $(driver wait-dialog $PLAN 5000 get-text $SCALE_STATE)"
expect_equal "recorded while unplugged" "$(driver wait-dialog $PLAN 5000 cell-text $PLAN 1 3)" "503.00"
scale_control "plugged=1"
pour_on_scale "$(target_after "${readings[@]}")"
expect_instruction "after plugging back in"

step "no auto-record" wait-dialog $PLAN 5000 press $AUTO_RECORD
next=$(target_after "${readings[@]}")
scale_control "weight=$next stable=0"
scale_wait_sent $UNSTABLE_READINGS $UNSTABLE_SECONDS || fatal "the program did not poll the unstable reading"
expect_instruction "unstable reading held"
while [[ -n $next ]]; do
  scale_control "weight=$next stable=1"
  readings+=("$next")
  expect_instruction "auto-recorded $next"
  next=$(target_after "${readings[@]}")
done

# The finished batch goes into the journal; the note may be left out.
step "the note was not asked for" wait-dialog $NOTE 10000 press $WITHOUT_NOTE wait-gone 5000
step "the finished batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000

# The summary: per component the grams poured by the readings, then the total the plan
# ends at and the last reading.
plan_after "${readings[@]}" | awk -F'\t' '
  $1 == "step" || $1 == "top-up" { if (!($2 in poured)) order[n++] = $2; poured[$2] += $5 - last; last = $5 }
  $1 == "total" { total = $2 }
  END { for (i = 0; i < n; i++) printf "%s|%.2f\n", order[i], poured[order[i]]; printf "Итого|%s|%.2f\n", total, last }' \
  >"$SCALE_BED_WORK/expected"
rows=$(driver wait-dialog $PLAN 5000 list-count $SUMMARY)
: >"$SCALE_BED_WORK/shown"
for ((row = 0; row < rows; row++)); do
  cells=("$(driver wait-dialog $PLAN 5000 cell-text $SUMMARY $row 0)")
  ((row == rows - 1)) && cells+=("$(driver wait-dialog $PLAN 5000 cell-text $SUMMARY $row 1)")
  cells+=("$(driver wait-dialog $PLAN 5000 cell-text $SUMMARY $row 2)")
  (IFS='|'; echo "${cells[*]}") >>"$SCALE_BED_WORK/shown"
done
expect_equal "summary" "$(cat "$SCALE_BED_WORK/shown")" "$(cat "$SCALE_BED_WORK/expected")"

step "could not close the weighing" wait-dialog $PLAN 5000 press $CLOSE wait-gone 5000
step "could not close the main dialog" wait-dialog 343 5000 close
program_expect_exit 0

expect_equal "port kept" "$(bench_value ScalePort)" "REG_SZ COM$SCALE_BED_PORT"
expect_equal "baud kept" "$(bench_value ScaleBaud)" "REG_DWORD 0x2580"
expect_equal "auto-record kept" "$(bench_value AutoRecord)" "REG_DWORD 0x1"
e2e_finish
