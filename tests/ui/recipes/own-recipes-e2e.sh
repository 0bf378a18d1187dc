#!/bin/bash
# The painter's path through the shop's own recipes in the running program, with the
# data folder moved to a folder of the prefix so the files are read from here: RAL 3020
# copied into own recipes from the paint list's menu (Shift+F10), refused under its
# catalogue code, saved as К-0012 with more red; found again by typing a piece of its
# name, its recipe text against the datapack tool; a note added through the menu key
# ("Изменить..."); weighed at 500 g against the tool's plan with red added while
# tinting; the batch saved from the summary as К-0013; both recipes in the paint list
# and the manager, the first's two versions, the batch and its addition in the journal;
# a batch of К-0013 abandoned and saved from the journal only after the question naming
# what was never poured; the store read back with the tool.
#   own-recipes-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PAINTS=343 CODE=344 AMOUNT_FIELD=148 PURPOSE=354 RECIPE=150 FINISH=1
WEIGH_BUTTON=360 JOURNAL_BUTTON=361 RECIPES_BUTTON=362
EDIT_CODE=2620 EDIT_NAME=2621 EDIT_NOTE=2622 EDIT_LINES=2626 EDIT_AMOUNT=2628
READING=2307 MESSAGE=2309 PLAN=2310 SUMMARY=2311 CLOSE=2319 NOTE=2320 ADD_PASTE=2324 SAVE_RECIPE=2325
PASTE=2326 PASTE_GRAMS=2327
OWN_LIST=2601 OWN_HISTORY=2607 OWN_CLOSE=2612 HISTORY_LIST=2650 HISTORY_CLOSE=2652
JOURNAL_LIST=2501 DETAILS=2502 JOURNAL_CLOSE=2506 JOURNAL_SAVE_RECIPE=2507
IDOK=1 IDCANCEL=2 IDYES=6 IDNO=7 MESSAGE_TEXT=65535
CATALOGUE_CODE='RAL 3020'
FIRST=К-0012 FIRST_NAME='Красный фургон Сидорова'
SECOND=К-0013 SECOND_NAME='Фургон Сидорова, подобран на весах'
# RED in RAL 3020 is 79 g per 1000 g of base; the own copy gets 81.
CHANGED_COMPONENT=RED CHANGED_AMOUNT=81
# The tinting addition: the eighth paste of the package, red, after the first reading.
PASTE_INDEX=7 PASTE_CODE=RED PASTE_ADDED=1.50
WEIGHING=(--purpose 4 --unit g --amount 500)

e2e_data_folder lacqueron-data
STORE=$DATA/recipes.lqr

# The row whose first column is the text, read from the list itself.
row_of() {
  local list=$1 count args=() row
  count=$(driver wait-dialog "$list" 5000 list-count "$list") || return 1
  for ((row = 0; row < count; row++)); do args+=(row-text "$list" "$row"); done
  driver wait-dialog "$list" 5000 "${args[@]}" | awk -v text="$2" '$0 == text { print NR - 1; exit }'
}

own_recipe_text() {
  "$DATAPACK" recipe --sources "$SOURCES" --own-store "$STORE" --title "$1" "${WEIGHING[@]}" | tr -d '\r'
}

own_pour() {
  "$DATAPACK" pour --sources "$SOURCES" --own-store "$STORE" --title "$FIRST" "${WEIGHING[@]}" --accept "$@"
}

# The reading the next waiting step asks for; empty when every step is done.
target_after() { own_pour "$@" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }'; }

enter_reading() {
  step "reading $1 was not taken" wait-dialog $PLAN 5000 set-text $READING "$1" focus $READING key enter \
    wait-text $READING "" 5000
}

# The text of the error box that must come up, closed after reading.
error_box() { driver wait-window '#32770' 'Ошибка' 10000 get-text $MESSAGE_TEXT press $IDOK wait-gone 5000; }

expect_contains() {
  local part
  for part in "${@:3}"; do [[ $2 == *"$part"* ]] || fail "$1 lacks '$part': $2"; done
}

# The own recipe's amount of a component in the exported table, with a decimal point.
exported_amount() {
  "$DATAPACK" own --store "$STORE" export | tr -d '\r' |
    awk -F';' -v code="$1" -v component="$2" '$1 == code && $5 == component { gsub(",", ".", $6); print $6 }'
}

program_start
catalogue_rows=$(driver wait-dialog $PAINTS 5000 list-count $PAINTS) || fatal "no paint list"
row=$(row_of $PAINTS "$CATALOGUE_CODE")
[[ -n $row ]] || fatal "no row $CATALOGUE_CODE"
step "could not choose the paint, purpose and amount" wait-dialog $PAINTS 5000 select-row $PAINTS "$row" \
  pick-combo $PURPOSE 3 set-text $AMOUNT_FIELD "" focus $AMOUNT_FIELD type 500 wait-text $AMOUNT_FIELD 500 5000

# (a) The copy from the keyboard's context menu keeps the catalogue code, which is refused.
step "Shift+F10 gave no menu" wait-dialog $PAINTS 5000 focus $PAINTS key shift+f10 wait-menu 5000
step "Копировать в свои did not open the editor" key down key enter wait-dialog $EDIT_CODE 10000
expect_equal "code of the copy" "$(driver wait-dialog $EDIT_CODE 5000 get-text $EDIT_CODE)" "$CATALOGUE_CODE"
step "could not press Сохранить" wait-dialog $EDIT_CODE 5000 press $IDOK
expect_contains "the clash's message" "$(error_box)" "«$CATALOGUE_CODE» уже есть в каталоге" "Рецепт не сохранён."
[[ ! -s $STORE ]] || fail "the refused copy was written"
changed=""
for ((line = 0; line < $(driver wait-dialog $EDIT_CODE 5000 list-count $EDIT_LINES); line++)); do
  [[ $(driver wait-dialog $EDIT_CODE 5000 cell-text $EDIT_LINES $line 1) == "$CHANGED_COMPONENT" ]] && changed=$line
done
[[ -n $changed ]] || fatal "the copy has no line $CHANGED_COMPONENT"
step "could not edit the copy" wait-dialog $EDIT_CODE 5000 set-text $EDIT_CODE "$FIRST" set-text $EDIT_NAME "$FIRST_NAME" \
  select-row $EDIT_LINES "$changed" set-text $EDIT_AMOUNT $CHANGED_AMOUNT \
  wait-text $EDIT_AMOUNT $CHANGED_AMOUNT 5000 press $IDOK wait-gone 10000
expect_equal "amount saved" "$(exported_amount "$FIRST" $CHANGED_COMPONENT)" $CHANGED_AMOUNT

# (b) Found by typing a piece of its name from the top of the list.
step "could not leave the copy" wait-dialog $PAINTS 5000 select-row $PAINTS 0
step "typing фургон did not find $FIRST" wait-dialog $PAINTS 5000 focus $PAINTS type "фургон" \
  wait-text $CODE "Код: $FIRST" 5000
expect_equal "recipe of $FIRST" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)" "$(own_recipe_text "$FIRST")"
# The menu key on an own recipe edits it: a second version.
step "the menu key gave no menu" wait-dialog $PAINTS 5000 focus $PAINTS key apps wait-menu 5000
step "Изменить... did not open the editor" key down key enter wait-dialog $EDIT_CODE 10000
expect_equal "code edited" "$(driver wait-dialog $EDIT_CODE 5000 get-text $EDIT_CODE)" "$FIRST"
step "could not save the note" wait-dialog $EDIT_CODE 5000 set-text $EDIT_NOTE "заказ 17" press $IDOK wait-gone 10000

# (c) Weighed against the tool's plan of the own recipe, red added after the first step.
step "no weighing dialog" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
expect_equal "tinting before a reading" "$(driver wait-dialog $PLAN 5000 is-enabled $ADD_PASTE)" 0
readings=("$(target_after)")
[[ -n ${readings[0]} ]] || fatal "the tool gave no plan"
enter_reading "${readings[0]}"
paste=$(driver wait-dialog $PLAN 5000 press $ADD_PASTE wait-dialog $PASTE_GRAMS 10000 pick-combo $PASTE $PASTE_INDEX \
  get-text $PASTE set-text $PASTE_GRAMS $PASTE_ADDED press $IDOK wait-gone 5000) || fatal "could not add a paste"
readings+=(add $PASTE_CODE $PASTE_ADDED)
expect_equal "paste added" "$paste" "$(own_pour "${readings[@]}" | awk -F'\t' '$1 == "addition" { print $2 }')"
expect_contains "message after the addition" "$(driver wait-dialog $PLAN 5000 get-text $MESSAGE)" "Добавлена паста $paste"
next=$(target_after "${readings[@]}")
while [[ -n $next ]]; do
  enter_reading "$next"
  readings+=("$next")
  next=$(target_after "${readings[@]}")
done
step "the finished batch's note was not asked for" wait-dialog $NOTE 10000 set-text $NOTE "Сидоров" press $IDOK wait-gone 5000
step "the finished batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000
[[ -n $(row_of $SUMMARY "Добавлено при подборе:") ]] || fail "the summary shows no additions"

# (d) The batch as poured, saved from the summary under a new code.
step "Сохранить как рецепт... did not open the editor" wait-dialog $PLAN 5000 press $SAVE_RECIPE \
  wait-dialog $EDIT_CODE 10000
expect_equal "code of the batch" "$(driver wait-dialog $EDIT_CODE 5000 get-text $EDIT_CODE)" "$FIRST"
step "could not save the batch" wait-dialog $EDIT_CODE 5000 set-text $EDIT_CODE "$SECOND" \
  set-text $EDIT_NAME "$SECOND_NAME" press $IDOK wait-gone 10000
step "could not close the weighing" wait-dialog $PLAN 5000 press $CLOSE wait-gone 5000

# (e) Both in the paint list and the manager, two versions of the first, the batch in the journal.
expect_equal "rows of the paint list" "$(driver wait-dialog $PAINTS 5000 list-count $PAINTS)" $((catalogue_rows + 2))
expect_equal "own rows" "$(driver wait-dialog $PAINTS 5000 row-text $PAINTS "$catalogue_rows" \
  row-text $PAINTS $((catalogue_rows + 1)))" "$FIRST"$'\n'"$SECOND"
step "typing подобран did not find $SECOND" wait-dialog $PAINTS 5000 select-row $PAINTS 0 focus $PAINTS \
  type "подобран" wait-text $CODE "Код: $SECOND" 5000
expect_equal "recipe of $SECOND" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE)" "$(own_recipe_text "$SECOND")"
step "no manager" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000
expect_equal "recipes in the manager" "$(driver wait-dialog $OWN_LIST 5000 list-count $OWN_LIST)" 2
row=$(row_of $OWN_LIST "$FIRST")
[[ -n $row ]] || fatal "no $FIRST in the manager"
expect_equal "note in the manager" "$(driver wait-dialog $OWN_LIST 5000 cell-text $OWN_LIST "$row" 3)" "заказ 17"
versions=$(driver wait-dialog $OWN_LIST 5000 select-row $OWN_LIST "$row" press $OWN_HISTORY \
  wait-dialog $HISTORY_LIST 10000 wait-rows $HISTORY_LIST 10000 list-count $HISTORY_LIST press $HISTORY_CLOSE \
  wait-gone 5000) ||
  fatal "no history of $FIRST"
expect_equal "versions of $FIRST" "$versions" 2
step "could not close the manager" wait-dialog $OWN_LIST 5000 press $OWN_CLOSE wait-gone 5000
details=$(driver wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 \
  wait-rows $JOURNAL_LIST 10000 select-row $JOURNAL_LIST 0 get-text $DETAILS press $JOURNAL_CLOSE \
  wait-gone 5000) || fatal "no journal"
expect_contains "the journal's batch" "$details" "$FIRST $FIRST_NAME" "Примечание: Сидоров" \
  $'Добавлено при подборе:\n'"$paste"$'\t'

# (f) The second recipe's batch abandoned after its first step, then saved as a recipe
# from the journal: asked first, the pastes never poured named; "Нет" saves nothing, "Да"
# opens the editor, which is left unsaved.
second_plan() {
  "$DATAPACK" pour --sources "$SOURCES" --own-store "$STORE" --title "$SECOND" "${WEIGHING[@]}" "$@"
}
start=$(second_plan | awk -F'\t' '$6 == "ждёт" { print $4; exit }')
[[ -n $start ]] || fatal "the tool gave no plan of $SECOND"
never=$(second_plan "$start" | awk -F'\t' '$6 == "ждёт" { printf "%s%s", sep, $2; sep = ", " }')
[[ -n $never ]] || fatal "$SECOND has a single step"
step "no weighing dialog for $SECOND" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
enter_reading "$start"
step "could not close the weighing midway" wait-dialog $PLAN 5000 press $CLOSE \
  wait-window '#32770' 'Подтверждение' 5000 press $IDYES wait-gone 5000
step "the abandoned batch's note was not asked for" wait-dialog $NOTE 10000 press $IDOK wait-gone 5000
main_dialog_enabled() { [[ $(driver wait-dialog $PAINTS 5000 is-enabled 0) == 1 ]]; }
wait_for 10 main_dialog_enabled || fatal "the main dialog is not back"
ask_save() {
  driver wait-dialog $JOURNAL_LIST 5000 select-row $JOURNAL_LIST 0 press $JOURNAL_SAVE_RECIPE \
    wait-window '#32770' 'Сохранить как рецепт' 10000 get-text $MESSAGE_TEXT press "$1" wait-gone 5000
}
step "no journal" wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 \
  wait-rows $JOURNAL_LIST 10000
expect_contains "the abandoned batch" "$(driver wait-dialog $JOURNAL_LIST 5000 select-row $JOURNAL_LIST 0 \
  get-text $DETAILS)" "статус: прервано"
question=$(ask_save $IDNO) || fatal "no question before saving the abandoned batch"
expect_contains "the question" "$question" "Замес прерван, не налиты: $never." "Сохранить как рецепт то, что налито?"
question=$(ask_save $IDYES) || fatal "no question the second time"
step "Да did not open the editor" wait-dialog $EDIT_CODE 10000 press $IDCANCEL wait-gone 5000
step "could not close the journal" wait-dialog $JOURNAL_LIST 5000 press $JOURNAL_CLOSE wait-gone 5000
step "could not press Закончить" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0

# The store and the journal are in the data folder; the tool reads the store back.
[[ -s $DATA/journal.lqj ]] || fail "no journal in the data folder"
expect_equal "the store's list" "$("$DATAPACK" own --store "$STORE" list | tr -d '\r')" \
  "$FIRST"$'\t'"$FIRST_NAME"$'\t2\n'"$SECOND"$'\t'"$SECOND_NAME"$'\t1'
more=$(exported_amount "$SECOND" $PASTE_CODE)
awk -v more="$more" -v less=$CHANGED_AMOUNT 'BEGIN { exit !(more > less) }' ||
  fail "$SECOND keeps $PASTE_CODE $more per 1000 g of base, not more than $FIRST's $CHANGED_AMOUNT"
e2e_finish
