#!/bin/bash
# The weighing dialog's glue in the running program: the main dialog's "Взвесить..."
# button, enabled only for a correct recipe above amount 0; the smallest batch set as
# the main dialog's amount; a batch of the first paint for glossy plastic at 500 g,
# poured whole against the plan that the datapack tool computes from the catalogue
# sources; a second one closed midway after its first step, with confirmation, into the
# journal with a note, the add-paste dialog opened and cancelled on the way (its
# picture in the guide is taken here, with the shipped pastes); the batches found in
# the journal window (its picture in the README is taken here) and the last repeated
# in the main dialog. Pouring,
# corrections and the scale are scale-weigh-e2e.sh's; the dialog's own rules are
# weigh_tests'.
#   weigh-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

WEIGH_BUTTON=360
AMOUNT=2304 INSTRUCTION=2305 READING=2307 MESSAGE=2309 PLAN=2310
SMALLEST_TEXT=2317 SMALLEST=2318 CLOSE=2319 NOTE=2320 ADD_PASTE=2324 PASTE=2326 PASTE_GRAMS=2327
JOURNAL_BUTTON=361 JOURNAL_LIST=2501 DETAILS=2502 REPEAT=2503
PAINTS=343 AMOUNT_FIELD=148 CODE=344 PURPOSE=354 RECIPE=150
IDOK=1 IDCANCEL=2 IDYES=6
# The guide's picture of "Добавить пасту": the shipped red paste, half a gram.
PICTURE_PASTE=7 PICTURE_GRAMS=0.50
FIRST_READING=446.48

# "<name>: налейте до <target> г" for the first waiting step of `datapack pour` after the readings.
instruction_after() {
  "$DATAPACK" pour --sources "$SOURCES" --row 0 --purpose 4 --unit g --amount 500 --accept "$@" |
    awk -F'\t' '$6 == "ждёт" || $6 == "долить" { printf "%s: налейте до %s г\n", $2, $4; exit }'
}

# The reading the next waiting step asks for; empty when every step is done.
target_after() {
  "$DATAPACK" pour --sources "$SOURCES" --row 0 --purpose 4 --unit g --amount 500 --accept "$@" |
    awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }'
}

# Types a reading and presses Enter; fatal unless the field empties, as it does once taken.
enter_reading() {
  step "reading $1 was not taken" wait-dialog $PLAN 5000 set-text $READING "$1" focus $READING key enter \
    wait-text $READING "" 5000
}

# Crops the screen to the window of the control and keeps it as docs/<name>.png.
keep_picture() {
  local control=$1 name=$2 shot rect
  shot=$(mktemp --suffix=.bmp)
  rect=$(driver wait-dialog "$control" 5000 rect) || fatal "no rectangle of the window for $name"
  step "no screenshot for $name" wait-dialog "$control" 5000 screenshot "$(winepath -w "$shot")"
  convert "$shot" -crop "$rect" +repage -strip "PNG:$SOURCES/../docs/$name.png.$$" &&
    mv -f "$SOURCES/../docs/$name.png.$$" "$SOURCES/../docs/$name.png" || fail "could not save $name.png"
  rm -f "$shot"
}

# The main dialog takes input again: no modal window is over it.
main_dialog_enabled() { [[ $(driver wait-dialog $PAINTS 5000 is-enabled 0) == 1 ]]; }

program_start
expect_equal "weighing before a choice" "$(driver wait-dialog $PAINTS 5000 is-enabled $WEIGH_BUTTON)" "0"
step "could not choose the paint and purpose" \
  wait-dialog $PAINTS 5000 select-row $PAINTS 0 pick-combo $PURPOSE 3 set-text $AMOUNT_FIELD ""
expect_equal "weighing at amount 0" "$(driver wait-dialog $PAINTS 5000 is-enabled $WEIGH_BUTTON)" "0"
step "could not type the amount" wait-dialog $PAINTS 5000 focus $AMOUNT_FIELD type 500 wait-text $AMOUNT_FIELD 500 5000
expect_equal "weighing for a correct recipe" "$(driver wait-dialog $PAINTS 5000 is-enabled $WEIGH_BUTTON)" "1"

step "no weighing dialog" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
smallest=$(driver wait-dialog $PLAN 5000 get-text $SMALLEST_TEXT | sed -n 's/^Наименьшая партия: \([0-9]*\) грамм$/\1/p')
[[ -n $smallest ]] || fatal "no smallest batch"
step "the smallest batch was not taken" \
  wait-dialog $PLAN 5000 press $SMALLEST wait-text $AMOUNT "Количество: $smallest грамм" 5000 press $CLOSE wait-gone 5000
expect_equal "main amount after the smallest batch" "$(driver wait-dialog $PAINTS 5000 get-text $AMOUNT_FIELD)" "$smallest"
step "no weighing dialog at 500" wait-dialog $PAINTS 5000 set-text $AMOUNT_FIELD "" focus $AMOUNT_FIELD type 500 \
  wait-text $AMOUNT_FIELD 500 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
# A whole batch, each reading what the plan asks: the journal gets a finished batch.
readings=()
next=$(target_after)
while [[ -n $next ]]; do
  enter_reading "$next"
  readings+=("$next")
  next=$(target_after "${readings[@]}")
done
step "the finished batch's note was not asked for" wait-dialog $NOTE 10000 set-text $NOTE "Сидоров" press $IDOK wait-gone 5000
step "the finished batch was not written" \
  wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000 press $CLOSE wait-gone 5000

step "no second weighing" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
expect_equal "first step" "$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)" "$(instruction_after)"
enter_reading $FIRST_READING
expect_equal "second step" "$(driver wait-dialog $PLAN 5000 get-text $INSTRUCTION)" "$(instruction_after $FIRST_READING)"
step "no add-paste dialog" wait-dialog $PLAN 5000 press $ADD_PASTE wait-dialog $PASTE_GRAMS 10000 \
  pick-combo $PASTE $PICTURE_PASTE set-text $PASTE_GRAMS $PICTURE_GRAMS wait-text $PASTE_GRAMS $PICTURE_GRAMS 5000
keep_picture $PASTE_GRAMS weigh-add-paste
step "the add-paste dialog did not cancel" wait-dialog $PASTE_GRAMS 5000 press $IDCANCEL wait-gone 5000
step "no escape" wait-dialog $PLAN 5000 focus $READING key escape
step "closing midway was not confirmed" wait-window '#32770' 'Подтверждение' 5000 press $IDYES wait-gone 5000
step "the note was not asked for" \
  wait-dialog $NOTE 10000 set-text $NOTE "Иванов, заказ 17" press $IDOK wait-gone 5000
wait_for 10 main_dialog_enabled || fatal "the main dialog is not back"

# The journal holds the batch left midway; repeating it brings back the colour, purpose
# and amount after the main dialog has moved on.
code=$(driver wait-dialog $PAINTS 5000 get-text $CODE)
code=${code#Код: }
recipe=$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)
step "could not move the main dialog on" \
  wait-dialog $PAINTS 5000 select-row $PAINTS 5 pick-combo $PURPOSE 0 set-text $AMOUNT_FIELD 100
[[ $(driver wait-dialog $PAINTS 5000 get-text $CODE) != "$code" ]] || fatal "the main dialog did not move on"
step "no journal" wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 \
  wait-rows $JOURNAL_LIST 10000
expect_equal "batches in the journal" "$(driver wait-dialog $JOURNAL_LIST 5000 list-count $JOURNAL_LIST)" 2
# The README's picture of the journal: the shipped colours, batches weighed just now.
keep_picture $JOURNAL_LIST journal-window
details=$(driver wait-dialog $JOURNAL_LIST 5000 get-text $DETAILS)
for part in "$code" "Итого: $FIRST_READING г" "прервано" "Иванов, заказ 17"; do
  [[ $details == *"$part"* ]] || fail "the journal's details lack '$part': $details"
done
step "could not repeat the batch" wait-dialog $JOURNAL_LIST 5000 press $REPEAT wait-gone 5000
# The selection moves in two notifications (off the old row, onto the new), so the
# fields are waited for rather than read at once.
driver wait-dialog $PAINTS 5000 wait-text $CODE "Код: $code" 5000 >/dev/null ||
  fail "colour repeated: got '$(driver wait-dialog $PAINTS 5000 get-text $CODE)', want 'Код: $code'"
driver wait-dialog $PAINTS 5000 wait-text $AMOUNT_FIELD 500 5000 >/dev/null ||
  fail "amount repeated: got '$(driver wait-dialog $PAINTS 5000 get-text $AMOUNT_FIELD)', want '500'"
expect_equal "recipe repeated" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)" "$recipe"
step "could not close the main dialog" wait-dialog $PAINTS 5000 close
program_expect_exit 0
expect_reg TargetWeight "REG_DWORD 0x1f4"
e2e_finish
