#!/bin/bash
# The painter's path from a typed colour to a saved recipe in the running program, with
# the data folder in the prefix: L*a*b* typed, a bad one refused with its message, the
# drafts against `datapack match` line for line, the first weighed at 500 g, a trial's
# measurement typed against the target the weighing took from the draft, the additions
# poured, the batch as poured saved as an own recipe that keeps the target (read back with
# the tool), the draft saved as one too, both found again among the similar colours, and
# the round in the journal. Then the shop's calibration from the own recipes manager: the
# test lab's ladders imported through the open dialog and fitted as `datapack calibrate`
# fits them, kept in the data folder (read back with the tool), the drafts naming it and
# agreeing with the tool over the table kept, and the vendor's table back, named again by
# the next drafts. The correction dialog's inputs and bad input are weigh_tests'; the
# calibration window's bad input is calibration_window_tests'.
#   match-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PAINTS=343 AMOUNT_FIELD=148 PURPOSE=354 MAIN_MATCH=3751
KIND=3760 TEXT=3761 RUN=3767 STATUS=3768 DRAFTS=3769 SIMILAR=3770 WEIGH=3771 SAVE=3772 CLOSE=3773
LAB_KIND=2 DRAFT_COUNT=5
EDIT_CODE=2620 EDIT_NAME=2621 WEIGH_AMOUNT=2304 WEIGH_CLOSE=2319 IDOK=1
INSTRUCTION=2305 READING=2307 MESSAGE=2309 PLAN=2310 NOTE=2320 SAVE_RECIPE=2325
MEASURE=3850 MEASURE_TARGET=3852 MEASURE_NOTE=3853 TRIAL=3854 COMPUTE=3857 RESULT=3858
JOURNAL_BUTTON=361 JOURNAL_LIST=2501 DETAILS=2502
TARGET='52,3 -4,1 18' TARGET_OPTION=52.3,-4.1,18 BAD='120 0 0'
# The trial came out lighter than the draft's target and nothing else.
TRIAL_LAB='55 -4 18'
POURED_CODE=К-0099 POURED_NAME='Олива заказчика' CODE=К-0098 NAME='Олива, подбор'
# The fourth purpose of the main dialog's list is purpose 4 of the package.
PURPOSE_INDEX=3 PURPOSE_NUMBER=4

e2e_data_folder lacqueron-data
STORE=$DATA/recipes.lqr

# The tool's drafts as the window shows them: "ΔE00 CODE grams, CODE grams, ...".
tool_drafts() {
  "$DATAPACK" match --sources "$SOURCES" --purpose $PURPOSE_NUMBER --lab $TARGET_OPTION --top $DRAFT_COUNT "$@" |
    tr -d '\r' | awk -F'\t' '
      $1 == "draft" { if (line != "") print line; line = $4; sep = " "; next }
      NF == 2 && $1 != "OSN" { line = line sep $1 " " $2; sep = ", " }
      END { if (line != "") print line }'
}

# The window's drafts the same way: the ΔE00's figure without its word, then the pastes.
window_drafts() {
  local row args=()
  for ((row = 0; row < DRAFT_COUNT; row++)); do args+=(cell-text $DRAFTS $row 1 cell-text $DRAFTS $row 2); done
  driver wait-dialog $DRAFTS 5000 "${args[@]}" | paste - - | awk -F'\t' '{ split($1, d, " "); print d[1] " " $2 }'
}

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

# The target an own recipe keeps, as the tool exports it.
own_target() {
  "$DATAPACK" own --store "$STORE" export | tr -d '\r' | awk -F';' -v code="$1" '$1 == code { print $7; exit }'
}

search() {
  step "the search for '$1' did not start" wait-dialog $DRAFTS 5000 set-text $TEXT "$1" press $RUN
}

program_start
step "could not choose the purpose and amount" wait-dialog $PAINTS 5000 pick-combo $PURPOSE $PURPOSE_INDEX \
  set-text $AMOUNT_FIELD "" focus $AMOUNT_FIELD type 500 wait-text $AMOUNT_FIELD 500 5000
step "По&добрать... did not open the window" wait-dialog $PAINTS 5000 press $MAIN_MATCH wait-dialog $DRAFTS 10000
step "could not choose L*a*b*" wait-dialog $DRAFTS 5000 pick-combo $KIND $LAB_KIND

# A lightness beyond 100 is refused in words and drafts nothing.
search "$BAD"
step "no message for L* beyond 100" wait-dialog $DRAFTS 5000 \
  wait-text $STATUS "Светлота L* в «$BAD» должна быть от 0 до 100." 10000 wait-count $DRAFTS 0 1000

search "$TARGET"
step "no drafts for $TARGET" wait-dialog $DRAFTS 5000 wait-count $DRAFTS $DRAFT_COUNT 20000
status=$(driver wait-dialog $DRAFTS 5000 get-text $STATUS)
[[ $status == *"Оптика паст: данные поставщика."* ]] || fail "the drafts do not name their optics: $status"
expected=$(tool_drafts)
[[ -n $expected ]] || fatal "datapack match gave no drafts"
expect_equal "the drafts against datapack match" "$(window_drafts)" "$expected"

# The first draft weighed at the main dialog's 500 g.
step "Взвесить... did not open the weighing" wait-dialog $DRAFTS 5000 select-row $DRAFTS 0 press $WEIGH \
  wait-dialog $WEIGH_AMOUNT 10000
weigh_amount=$(driver wait-dialog $WEIGH_AMOUNT 5000 get-text $WEIGH_AMOUNT)
[[ $weigh_amount == *500* ]] || fail "the weighing is not for 500 g: $weigh_amount"
expect_equal "correction before a reading" "$(driver wait-dialog $PLAN 5000 is-enabled $MEASURE)" "0"
pour_as_instructed
step "the note was not asked for" wait-dialog $NOTE 10000 set-text $NOTE "" press $IDOK wait-gone 5000
step "the batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000

# The correction starts from the draft's target; the trial is typed.
step "no correction dialog" wait-dialog $PLAN 5000 press $MEASURE wait-dialog $RESULT 10000 \
  wait-text $MEASURE_NOTE "Цель из подбора." 5000
expect_equal "the correction's target" "$(driver wait-dialog $RESULT 5000 get-text $MEASURE_TARGET)" "52.3 -4.1 18.0"
step "could not type the trial" wait-dialog $RESULT 5000 set-text $TRIAL "$TRIAL_LAB" press $COMPUTE
wait_for 10 eval '[[ -n $(driver wait-dialog $RESULT 5000 get-text $RESULT) ]]' || fatal "nothing computed"
result=$(driver wait-dialog $RESULT 5000 get-text $RESULT)
[[ $result == "Проба светлее цели, ΔE00 = "* ]] || fail "the difference: $result"
[[ $result == *"Добавить:"* && $result == *"Оптика паст: данные поставщика."* ]] || fail "the proposal: $result"
step "the additions were not taken" wait-dialog $RESULT 5000 press $IDOK wait-gone 5000
added=$(driver wait-dialog $PLAN 5000 get-text $MESSAGE)
[[ $added == "Добавлена паста "* ]] || fail "after the additions: $added"
pour_as_instructed
step "the corrected batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000

# What was really poured, saved with the target it was matched and corrected to.
step "could not save the batch as a recipe" wait-dialog $PLAN 5000 press $SAVE_RECIPE wait-dialog $EDIT_CODE 10000 \
  set-text $EDIT_CODE "$POURED_CODE" set-text $EDIT_NAME "$POURED_NAME" press $IDOK wait-gone 10000
step "the weighing did not close" wait-dialog $PLAN 5000 press $WEIGH_CLOSE wait-gone 5000
step "the matching window is gone" wait-dialog $DRAFTS 10000
expect_equal "the poured recipe's target" "$(own_target "$POURED_CODE")" "$TARGET"

# Saved as an own recipe: the editor filled in, the target kept in the store.
step "Сохранить как свой рецепт... did not open the editor" wait-dialog $DRAFTS 5000 select-row $DRAFTS 0 \
  press $SAVE wait-dialog $EDIT_CODE 10000
step "could not save $CODE" wait-dialog $EDIT_CODE 5000 set-text $EDIT_CODE "$CODE" set-text $EDIT_NAME "$NAME" \
  press $IDOK wait-dialog $DRAFTS 10000
expect_equal "the saved draft's target" "$(own_target "$CODE")" "$TARGET"

# Both found again as the nearest similar colours by the colour they were matched to.
search "$TARGET"
step "no similar colours" wait-dialog $DRAFTS 5000 wait-count $DRAFTS $DRAFT_COUNT 20000
# The similar colours are listed after the drafts: wait for them too.
SIMILAR_SECONDS=20
nearest_listed() {
  nearest=$(driver wait-dialog $SIMILAR 5000 cell-text $SIMILAR 0 2 cell-text $SIMILAR 1 2 | sort | paste -sd' ')
  [[ -n ${nearest// /} ]]
}
wait_for $SIMILAR_SECONDS nearest_listed
expect_equal "the nearest similar colours" "$nearest" "$(printf '%s\n' "$CODE" "$POURED_CODE" | sort | paste -sd' ')"
expect_equal "their place" "$(driver wait-dialog $SIMILAR 5000 cell-text $SIMILAR 0 1 cell-text $SIMILAR 1 1 |
  paste -sd' ')" "свой свой"
step "the window did not close" wait-dialog $DRAFTS 5000 press $CLOSE wait-dialog $PAINTS 5000

# The journal shows the round against the draft's target.
step "no journal" wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 \
  wait-rows $JOURNAL_LIST 10000
details=$(driver wait-dialog $JOURNAL_LIST 5000 get-text $DETAILS)
[[ $details == *"Поправка по замеру 1: цель 52.30 -4.10 18.00, проба 55.00 -4.00 18.00, ΔE00 "* ]] ||
  fail "the journal's details lack the round: $details"
[[ $details == *"предложено: "*"; налито: "* && $details != *"налито: ничего"* ]] ||
  fail "the round's proposal and pour: $details"
step "could not close the journal" wait-dialog $JOURNAL_LIST 5000 close wait-gone 5000

# The shop's calibration, from the own recipes manager.
RECIPES_BUTTON=362 OWN_LIST=2601 OWN_CLOSE=2612 OWN_MATCH=3753 OWN_CALIBRATE=3971
IN_FORCE=3972 IMPORT=3973 FITS=3975 SUMMARY=3976 CALIB_STATUS=3977 CALIB_SAVE=3978 VENDOR=3979 CALIB_CLOSE=3980
# The file name field of the standard open dialog: a combo box in the Explorer style, an edit in the old one.
FILE_NAME_COMBO=1148 FILE_NAME_EDIT=1152
LADDERS=$DATA/ladders.txt OPTICS=$DATA/optics.lqo
TOOL_OPTICS=$WINEPREFIX/tool-optics.txt SHOP_OPTICS=$WINEPREFIX/shop-optics.txt
python3 "$(dirname "$0")/../../colour/lab/lab.py" ladders "$LADDERS" >/dev/null || fatal "the lab made no ladders"
tool_fit=$("$DATAPACK" calibrate --sources "$SOURCES" --ladders "$LADDERS" --out "$TOOL_OPTICS" | tr -d '\r' |
  awk -F'\t' '$1 == "fit" { print $3, $5 }')
[[ -n $tool_fit ]] || fatal "datapack calibrate did not fit the ladders"

open_calibration() {
  step "Калибровка паст... did not open the window" wait-dialog $OWN_LIST 5000 press $OWN_CALIBRATE \
    wait-dialog $FITS 10000
}
# The open dialog, in Wine's English or Russian, given the file.
choose_file() {
  local title
  for title in Open 'Открыть'; do
    driver wait-window '#32770' "$title" 300 set-text $FILE_NAME_COMBO "$1" press $IDOK >/dev/null && return 0
    driver wait-window '#32770' "$title" 300 set-text $FILE_NAME_EDIT "$1" press $IDOK >/dev/null && return 0
  done
  return 1
}
summary_shown() {
  summary=$(driver wait-dialog $FITS 5000 get-text $SUMMARY)
  [[ $summary == "Образцов: "* ]]
}

step "no manager" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000
open_calibration
expect_equal "the table in force at first" "$(driver wait-dialog $FITS 5000 get-text $IN_FORCE)" \
  "Действует: данные поставщика."
step "no open dialog for the ladders" wait-dialog $FITS 5000 press $IMPORT
wait_for 10 choose_file 'C:\lacqueron-data\ladders.txt' || fatal "could not choose the ladders"
wait_for 30 summary_shown || fatal "no fit shown: $summary"
# The window's median and largest ΔE00 against the tool's, to a hundredth.
window_fit=$(sed -n 's/^Образцов: [0-9]*; ΔE00: медиана \([0-9.]*\), наибольшее \([0-9.]*\)\..*$/\1 \2/p' \
  <<<"${summary%%$'\n'*}")
awk -v w="$window_fit" -v t="$tool_fit" 'BEGIN { split(w, a, " "); split(t, b, " ");
  exit !(a[1] != "" && a[1] - b[1] <= 0.01 && b[1] - a[1] <= 0.01 && a[2] - b[2] <= 0.01 && b[2] - a[2] <= 0.01) }' ||
  fail "the window's fit '$window_fit' is not the tool's '$tool_fit'"
expect_equal "pastes fitted" "$(driver wait-dialog $FITS 5000 list-count $FITS)" 13
step "the calibration was not kept" wait-dialog $FITS 5000 press $CALIB_SAVE \
  wait-text $CALIB_STATUS "Калибровка сохранена." 10000
kept=$("$DATAPACK" optics --store "$OPTICS" --out "$SHOP_OPTICS" | tr -d '\r') || fatal "the tool cannot read $OPTICS"
day=$(awk -F'\t' '$1 == "calibration" { print $2; exit }' <<<"$kept")
expect_equal "the record kept" "$(awk -F'\t' '$1 == "calibration" { print $3; exit }' <<<"$kept")" \
  'C:\lacqueron-data\ladders.txt'
expect_equal "the table in force after the save" "$(driver wait-dialog $FITS 5000 get-text $IN_FORCE)" \
  "Действует: калибровка мастерской от $day."
step "could not close the calibration" wait-dialog $FITS 5000 press $CALIB_CLOSE wait-dialog $OWN_LIST 5000

# The drafts name the shop's calibration and agree with the tool over the table kept.
# Sets status to the line above the drafts.
draft_from_manager() {
  step "Подбор... did not open the window" wait-dialog $OWN_LIST 5000 press $OWN_MATCH wait-dialog $DRAFTS 10000 \
    pick-combo $KIND $LAB_KIND
  search "$TARGET"
  step "no drafts for $TARGET" wait-dialog $DRAFTS 5000 wait-count $DRAFTS $DRAFT_COUNT 20000
  status=$(driver wait-dialog $DRAFTS 5000 get-text $STATUS)
}
draft_from_manager
[[ $status == *"Оптика паст: калибровка мастерской от $day."* ]] || fail "the drafts do not name the calibration: $status"
expect_equal "the drafts against datapack match over the shop's table" "$(window_drafts)" \
  "$(tool_drafts --optics "$SHOP_OPTICS")"
step "the window did not close" wait-dialog $DRAFTS 5000 press $CLOSE wait-dialog $OWN_LIST 5000

# Back to the vendor's table: a record of its own, and the next drafts name it.
open_calibration
step "the vendor's table did not come back" wait-dialog $FITS 5000 press $VENDOR \
  wait-text $CALIB_STATUS "Возвращены данные поставщика." 10000 wait-text $IN_FORCE "Действует: данные поставщика." 5000
step "could not close the calibration" wait-dialog $FITS 5000 press $CALIB_CLOSE wait-dialog $OWN_LIST 5000
expect_equal "the records kept" "$("$DATAPACK" optics --store "$OPTICS" | tr -d '\r' | cut -f1)" \
  $'calibration\nvendor\nin force'
expect_equal "the table in force in the store" "$("$DATAPACK" optics --store "$OPTICS" | tr -d '\r' | tail -1)" \
  $'in force\tvendor'
draft_from_manager
[[ $status == *"Оптика паст: данные поставщика."* ]] || fail "the drafts after the return: $status"
step "the window did not close" wait-dialog $DRAFTS 5000 press $CLOSE wait-dialog $OWN_LIST 5000
step "could not close the manager" wait-dialog $OWN_LIST 5000 press $OWN_CLOSE wait-gone 5000
e2e_finish
