#!/bin/bash
# Correction by measurement in the running program: a batch of the first paint for
# glossy plastic at 500 g poured whole, the trial's L*a*b* typed against a typed target,
# the proposed additions poured as the weighing dialog asks, and the round in the
# journal's details, and the batch as really poured saved as an own recipe. The dialog's inputs and bad input are weigh_tests'.
#   measure-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
PROGRAM=$1
DRIVER=$2
DATAPACK=$3
SOURCES=$4
source "$(dirname "$0")/../../app/e2e-lib.sh"
# Cyrillic arguments reach uidriver through the Unix locale.
export LANG=C.UTF-8
e2e_start

WEIGH_BUTTON=360
INSTRUCTION=2305 READING=2307 MESSAGE=2309 PLAN=2310 CLOSE=2319 NOTE=2320 SAVE_RECIPE=2325
EDIT_CODE=2620 EDIT_NAME=2621 OWN_CODE=К-0100
MEASURE=3850 TARGET=3852 TRIAL=3854 COMPUTE=3857 RESULT=3858
JOURNAL_BUTTON=361 JOURNAL_LIST=2501 DETAILS=2502
PAINTS=343 AMOUNT_FIELD=148 PURPOSE=354
IDOK=1
# The trial came out darker, redder and bluer than the colour asked for.
TARGET_LAB="45 50 45" TRIAL_LAB="42 55 35"

# Types a reading and presses Enter; fatal unless the field empties, as it does once taken.
enter_reading() {
  step "reading $1 was not taken" wait-dialog $PLAN 5000 set-text $READING "$1" focus $READING key enter \
    wait-text $READING "" 5000
}

# Pours each step at the reading its instruction asks for until none is left.
pour_as_instructed() {
  local instruction target
  for _ in $(seq 1 20); do
    instruction=$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)
    target=$(sed -n 's/^.*: налейте до \([0-9.]*\) г$/\1/p' <<<"$instruction")
    [[ -n $target ]] || return 0
    enter_reading "$target"
  done
  fatal "the steps did not end"
}

DATA=$WINEPREFIX/drive_c/lacqueron-data
mkdir -p "$DATA" || fatal "no data folder"
wine reg add 'HKCU\Software\VELM\Lacqueron\1.0\Bench' /v DataFolder /t REG_SZ /d 'C:\lacqueron-data' /f \
  >/dev/null 2>&1 </dev/null || fatal "could not store DataFolder"

program_start
step "could not choose the paint, purpose and amount" \
  wait-dialog $PAINTS 5000 select-row $PAINTS 0 pick-combo $PURPOSE 3 set-text $AMOUNT_FIELD "" focus $AMOUNT_FIELD \
  type 500 wait-text $AMOUNT_FIELD 500 5000
step "no weighing dialog" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
expect_equal "correction before a reading" "$(driver wait-dialog $PLAN 5000 is-enabled $MEASURE)" "0"
pour_as_instructed
step "the note was not asked for" wait-dialog $NOTE 10000 set-text $NOTE "" press $IDOK wait-gone 5000
step "the batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000

step "no correction dialog" wait-dialog $PLAN 5000 press $MEASURE wait-dialog $RESULT 10000 \
  set-text $TARGET "$TARGET_LAB" set-text $TRIAL "$TRIAL_LAB" press $COMPUTE
wait_for 10 eval '[[ -n $(driver wait-dialog $RESULT 5000 get-text $RESULT) ]]' || fatal "nothing computed"
result=$(driver wait-dialog $RESULT 5000 get-text $RESULT)
[[ $result == "Проба темнее, краснее и синее цели, ΔE00 = "* ]] || fail "the difference: $result"
[[ $result == *"Добавить:"* && $result == *"Оптика паст: данные поставщика."* ]] || fail "the proposal: $result"
step "the additions were not taken" wait-dialog $RESULT 5000 press $IDOK wait-gone 5000
added=$(driver wait-dialog $PLAN 5000 get-text $MESSAGE)
[[ $added == "Добавлена паста "* ]] || fail "after the additions: $added"
pour_as_instructed
step "the corrected batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000
step "could not save the batch as a recipe" wait-dialog $PLAN 5000 press $SAVE_RECIPE wait-dialog $EDIT_CODE 10000 \
  set-text $EDIT_CODE $OWN_CODE set-text $EDIT_NAME "Подобран по замеру" press $IDOK wait-gone 10000
step "could not close the weighing" wait-dialog $PLAN 5000 press $CLOSE wait-gone 5000
# The recipe is in the shop's store in the data folder.
own=$("$DATAPACK" own --store "$DATA/recipes.lqr" export | tr -d '\r')
[[ $own == *"$OWN_CODE;"* ]] || fail "the own recipe was not saved: $own"

step "no journal" wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000
details=$(driver wait-dialog $JOURNAL_LIST 5000 get-text $DETAILS)
[[ $details == *"Поправка по замеру 1: цель 45.00 50.00 45.00, проба 42.00 55.00 35.00, ΔE00 "* ]] ||
  fail "the journal's details lack the round: $details"
[[ $details == *"предложено: "*"; налито: "* && $details != *"налито: ничего"* ]] ||
  fail "the round's proposal and pour: $details"
step "could not close the journal" wait-dialog $JOURNAL_LIST 5000 close wait-gone 5000
step "could not close the main dialog" wait-dialog $PAINTS 5000 close
program_expect_exit 0
e2e_finish
