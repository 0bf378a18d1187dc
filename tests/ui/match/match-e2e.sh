#!/bin/bash
# The painter's path through "Подбор цвета" in the running program, with the data folder
# in the prefix: L*a*b* typed, a bad one refused with its message, the drafts against
# `datapack match` line for line, the first opened for weighing at 500 g, saved as an own
# recipe that keeps its target (read back with the tool), and found again among the
# similar colours by that target.
#   match-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
PROGRAM=$1
DRIVER=$2
DATAPACK=$3
SOURCES=$4
source "$(dirname "$0")/../../app/e2e-lib.sh"
# Cyrillic arguments reach uidriver through the Unix locale.
export LANG=C.UTF-8
e2e_start

BENCH='HKCU\Software\VELM\Lacqueron\1.0\Bench'
PAINTS=343 AMOUNT_FIELD=148 PURPOSE=354 MAIN_MATCH=3751
KIND=3760 TEXT=3761 RUN=3767 STATUS=3768 DRAFTS=3769 SIMILAR=3770 WEIGH=3771 SAVE=3772 CLOSE=3773
LAB_KIND=2 DRAFT_COUNT=5
EDIT_CODE=2620 EDIT_NAME=2621 WEIGH_AMOUNT=2304 WEIGH_CLOSE=2319 IDOK=1 IDYES=6
TARGET='52,3 -4,1 18' TARGET_OPTION=52.3,-4.1,18 BAD='120 0 0'
CODE=К-0099 NAME='Олива заказчика'
# The fourth purpose of the main dialog's list is purpose 4 of the package.
PURPOSE_INDEX=3 PURPOSE_NUMBER=4

DATA=$WINEPREFIX/drive_c/lacqueron-data
mkdir -p "$DATA" || fatal "no data folder"
STORE=$DATA/recipes.lqr
wine reg add "$BENCH" /v DataFolder /t REG_SZ /d 'C:\lacqueron-data' /f >/dev/null 2>&1 </dev/null ||
  fatal "could not store DataFolder"

# The tool's drafts as the window shows them: "ΔE00 CODE grams, CODE grams, ...".
tool_drafts() {
  "$DATAPACK" match --sources "$SOURCES" --purpose $PURPOSE_NUMBER --lab $TARGET_OPTION --top $DRAFT_COUNT |
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
expected=$(tool_drafts)
[[ -n $expected ]] || fatal "datapack match gave no drafts"
expect_equal "the drafts against datapack match" "$(window_drafts)" "$expected"

# The first draft weighed at the main dialog's 500 g.
step "Взвесить... did not open the weighing" wait-dialog $DRAFTS 5000 select-row $DRAFTS 0 press $WEIGH \
  wait-dialog $WEIGH_AMOUNT 10000
weigh_amount=$(driver wait-dialog $WEIGH_AMOUNT 5000 get-text $WEIGH_AMOUNT)
[[ $weigh_amount == *500* ]] || fail "the weighing is not for 500 g: $weigh_amount"
# The correction round (a trial measured, additions poured) goes here once the weighing
# dialog takes a measurement.
step "the weighing did not close" wait-dialog $WEIGH_AMOUNT 5000 press $WEIGH_CLOSE
driver wait-window '#32770' - 2000 press $IDYES >/dev/null 2>&1  # a question on leaving, if any
step "the matching window is gone" wait-dialog $DRAFTS 10000

# Saved as an own recipe: the editor filled in, the target kept in the store.
step "Сохранить как свой рецепт... did not open the editor" wait-dialog $DRAFTS 5000 select-row $DRAFTS 0 \
  press $SAVE wait-dialog $EDIT_CODE 10000
step "could not save $CODE" wait-dialog $EDIT_CODE 5000 set-text $EDIT_CODE "$CODE" set-text $EDIT_NAME "$NAME" \
  press $IDOK wait-dialog $DRAFTS 10000
target=$("$DATAPACK" own --store "$STORE" export | tr -d '\r' | awk -F';' -v code="$CODE" '$1 == code { print $7; exit }')
expect_equal "the saved recipe's target" "$target" "$TARGET"

# Found again among the similar colours by the colour it was matched to.
search "$TARGET"
step "no similar colours" wait-dialog $DRAFTS 5000 wait-count $DRAFTS $DRAFT_COUNT 20000
expect_equal "the nearest similar colour" "$(driver wait-dialog $SIMILAR 5000 cell-text $SIMILAR 0 2)" "$CODE"
expect_equal "its place" "$(driver wait-dialog $SIMILAR 5000 cell-text $SIMILAR 0 1)" "свой"

step "the window did not close" wait-dialog $DRAFTS 5000 press $CLOSE wait-dialog $PAINTS 5000
e2e_finish
