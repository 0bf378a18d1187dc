#!/bin/bash
# From the main dialog's "Взвесить..." button, enabled only for a correct recipe above
# amount 0: the smallest batch set as the main dialog's amount; then the first paint for
# glossy plastic at 500 g, its first step poured, the second over-poured and the
# correction accepted, against the plan that the datapack tool computes from the
# catalogue sources; then the scale resolution changed, the batch closed midway with
# confirmation into the journal with a note; the batch found in the journal window and
# repeated in the main dialog, and the setting found in the registry at the end.
#   weigh-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir> [screenshot.png]
PROGRAM=$1
DRIVER=$2
DATAPACK=$3
SOURCES=$4
SCREENSHOT=${5:-}
source "$(dirname "$0")/../../app/e2e-lib.sh"
# Cyrillic arguments reach uidriver through the Unix locale.
export LANG=C.UTF-8
e2e_start

BENCH='HKCU\Software\VELM\Lacqueron\1.0\Bench'
WEIGH_BUTTON=360
AMOUNT=2304 INSTRUCTION=2305 READING=2307 PLAN=2310 CORRECTION=2313 ACCEPT=2314 RESOLUTION=2316
SMALLEST_TEXT=2317 SMALLEST=2318 CLOSE=2319 NOTE=2320
JOURNAL_BUTTON=361 JOURNAL_LIST=2501 DETAILS=2502 REPEAT=2503
PAINTS=343 AMOUNT_FIELD=148 CODE=344 PURPOSE=354 RECIPE=150
IDOK=1 IDYES=6

# "<name>: налейте до <target> г" for the first waiting step of `datapack pour` after the readings.
instruction_after() {
  "$DATAPACK" pour --sources "$SOURCES" --row 0 --purpose 4 --unit g --amount 500 --accept "$@" |
    awk -F'\t' '$6 == "ждёт" || $6 == "долить" { printf "%s: налейте до %s г\n", $2, $4; exit }'
}

# Types a reading into the weighing dialog and presses Enter; waits until it is taken.
pour() {
  driver wait-dialog $PLAN 5000 set-text $READING "$1" focus $READING key enter wait-text $READING "" 5000 \
    >/dev/null || fail "reading $1 was not taken"
}

program_start
expect_equal "weighing before a choice" "$(driver wait-dialog 343 5000 is-enabled $WEIGH_BUTTON)" "0"
driver wait-dialog 343 5000 select-row 343 0 pick-combo 354 3 set-text 148 "" >/dev/null ||
  fail "could not choose the paint and purpose"
expect_equal "weighing at amount 0" "$(driver wait-dialog 343 5000 is-enabled $WEIGH_BUTTON)" "0"
driver wait-dialog 343 5000 focus 148 type 500 wait-text 148 500 5000 >/dev/null || fail "could not type the amount"
expect_equal "weighing for a correct recipe" "$(driver wait-dialog 343 5000 is-enabled $WEIGH_BUTTON)" "1"

driver wait-dialog 343 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000 >/dev/null || fail "no weighing dialog"
smallest=$(driver wait-dialog $PLAN 5000 get-text $SMALLEST_TEXT | sed -n 's/^Наименьшая партия: \([0-9]*\) грамм$/\1/p')
[[ -n $smallest ]] || fail "no smallest batch"
driver wait-dialog $PLAN 5000 press $SMALLEST wait-text $AMOUNT "Количество: $smallest грамм" 5000 press $CLOSE \
  >/dev/null || fail "the smallest batch was not taken"
expect_equal "main amount after the smallest batch" "$(driver wait-dialog 343 5000 get-text 148)" "$smallest"
driver wait-dialog 343 5000 set-text 148 "" focus 148 type 500 wait-text 148 500 5000 press $WEIGH_BUTTON \
  wait-dialog $PLAN 10000 >/dev/null || fail "no weighing dialog at 500"
expect_equal "first step" "$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)" "$(instruction_after)"
pour 446.48
expect_equal "second step" "$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)" "$(instruction_after 446.48)"
# 505 is more than a tenth of the white paste's 53.13 over its target: asked first.
driver wait-dialog $PLAN 5000 set-text $READING 505 focus $READING key enter >/dev/null || fail "reading 505 not typed"
driver wait-window '#32770' 'Подтверждение' 5000 press $IDYES >/dev/null || fail "the far-over reading was not asked about"
driver wait-dialog $PLAN 5000 wait-text $READING "" 5000 >/dev/null || fail "reading 505 was not taken"
expect_equal "correction offered" "$(driver wait-dialog $PLAN 5000 is-visible $ACCEPT)" "1"
correction=$(driver wait-dialog $PLAN 5000 get-text $CORRECTION)
[[ $correction == *"в 1.1014 раза, новый итог 550.74 г"* ]] || fail "correction text: $correction"

if [[ -n $SCREENSHOT ]]; then
  shot=$(mktemp --suffix=.bmp)
  rect=$(driver wait-dialog $PLAN 5000 rect) || fail "no window rectangle"
  driver wait-dialog $PLAN 5000 screenshot "$(winepath -w "$shot")" >/dev/null || fail "no screenshot"
  convert "$shot" -crop "$rect" +repage "$SCREENSHOT" || fail "could not convert the screenshot"
  rm -f "$shot"
fi

driver wait-dialog $PLAN 5000 press $ACCEPT wait-text $CORRECTION "" 5000 >/dev/null || fail "could not accept"
expect_equal "after the correction" "$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)" \
  "$(instruction_after 446.48 505)"
driver wait-dialog $PLAN 5000 pick-combo $RESOLUTION 1 focus $READING key escape >/dev/null || fail "no escape"
driver wait-window '#32770' 'Подтверждение' 5000 press $IDYES >/dev/null || fail "closing midway was not confirmed"
driver wait-dialog $NOTE 10000 set-text $NOTE "Иванов, заказ 17" press $IDOK wait-gone 5000 >/dev/null ||
  fail "the note was not asked for"
[[ $(driver wait-dialog $PAINTS 5000 is-enabled $WEIGH_BUTTON) == 1 ]] || fail "the main dialog is not back"

# The journal holds the batch left midway; repeating it brings back the colour, purpose
# and amount after the main dialog has moved on.
code=$(driver wait-dialog $PAINTS 5000 get-text $CODE)
code=${code#Код: }
recipe=$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)
driver wait-dialog $PAINTS 5000 select-row $PAINTS 5 pick-combo $PURPOSE 0 set-text $AMOUNT_FIELD 100 >/dev/null ||
  fail "could not move the main dialog on"
[[ $(driver wait-dialog $PAINTS 5000 get-text $CODE) != "$code" ]] || fail "the main dialog did not move on"
driver wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 >/dev/null || fail "no journal"
expect_equal "batches in the journal" "$(driver wait-dialog $JOURNAL_LIST 5000 list-count $JOURNAL_LIST)" 1
details=$(driver wait-dialog $JOURNAL_LIST 5000 get-text $DETAILS)
for part in "$code" "Итого: 505.00 г" "прервано" "Иванов, заказ 17"; do
  [[ $details == *"$part"* ]] || fail "the journal's details lack '$part': $details"
done
driver wait-dialog $JOURNAL_LIST 5000 press $REPEAT wait-gone 5000 >/dev/null || fail "could not repeat the batch"
expect_equal "colour repeated" "$(driver wait-dialog $PAINTS 5000 get-text $CODE)" "Код: $code"
expect_equal "amount repeated" "$(driver wait-dialog $PAINTS 5000 get-text $AMOUNT_FIELD)" "500"
expect_equal "recipe repeated" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)" "$recipe"
driver wait-dialog $PAINTS 5000 close >/dev/null
program_expect_exit 0

resolution=$(wine reg query "$BENCH" /v Resolution 2>/dev/null | tr -d '\r' | awk '$1 == "Resolution" { print $2, $3 }')
expect_equal "resolution kept" "$resolution" "REG_DWORD 0xa"
expect_reg TargetWeight "REG_DWORD 0x1f4"
e2e_finish
