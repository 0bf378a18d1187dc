# Sourced by the weighing tests on the simulated scale (COM5, see tests/scale/scale-bed.sh):
# the weighing dialog opened for the first paint for glossy plastic at 500 g, readings
# poured on the scale, and the plan that the datapack tool computes for the same
# readings to check the dialog against. Expects e2e_tool_arguments called.
source "$(dirname "${BASH_SOURCE[0]}")/../../scale/scale-bed.sh"

WEIGH_BUTTON=360
INSTRUCTION=2305 READING=2307 PLAN=2310 SUMMARY=2311 ACCEPT=2314 CLOSE=2319
SCALE_STATE=2355 AUTO_RECORD=2356 MESSAGE=2309
NOTE=2320 WITHOUT_NOTE=2
readings=()

plan_after() {
  "$DATAPACK" pour --sources "$SOURCES" --row 0 --purpose 4 --unit g --amount 500 --accept "$@"
}

# "<name>: налейте до <target> г" for the first waiting step after the readings, or "Готово".
instruction_after() {
  plan_after "$@" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { printf "%s: налейте до %s г\n", $2, $4; found = 1; exit }
                                END { if (!found) print "Готово" }'
}

target_after() {
  plan_after "$@" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }'
}

expect_instruction() {
  driver wait-dialog $PLAN 5000 wait-text $INSTRUCTION "$(instruction_after "${readings[@]}")" 10000 >/dev/null ||
    fail "$1: instruction $(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)"
}

# The scale shows the weight; once the reading field has it, Enter records it.
pour_on_scale() {
  scale_control "weight=$1 stable=1"
  step "the scale's $1 did not reach the reading field" wait-dialog $PLAN 5000 wait-text $READING "$1" 10000 \
    focus $READING key enter
  readings+=("$1")
}

# The scale's port in the bench key, the program started and the weighing dialog opened.
open_weighing() {
  wine reg add "$BENCH" /v ScalePort /t REG_SZ /d "COM$SCALE_BED_PORT" /f >/dev/null 2>&1 || fatal "no bench key"
  program_start
  step "could not choose the paint and purpose" wait-dialog 343 5000 select-row 343 0 pick-combo 354 3 set-text 148 ""
  step "could not type the amount" wait-dialog 343 5000 focus 148 type 500 wait-text 148 500 5000
  step "no weighing dialog" wait-dialog 343 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
}

# "<type> <data>" of a value in the bench key, read after the program has stored it.
bench_value() {
  wine reg query "$BENCH" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { print $2, $3 }'
}
