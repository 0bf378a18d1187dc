#!/bin/bash
# Two copies of the program on one data folder, as two benches on a shared folder: a
# recipe saved in one shows in the other within 2 seconds of F5, and of its window
# becoming active; both saving recipes at the same moment lose none of them. The folder
# renamed away, as a share that drops: F5 says so in the status line with the time of
# the rows still shown, and once it is back F5 reads it again, through the index the tool
# wrote meanwhile. A save made while it is away is told as not saved, keeps the edit, and
# saved again once it is back is in the file once.
# Then three benches: both copies save recipes, deliveries and counts at once while a
# third pours batches into the shared journal (`datapack pour --journal`). Nothing is
# lost or doubled, and the stock both copies' windows show is, for each paste, the
# deliveries plus its latest count less what the journal says was poured: the pastes
# poured are delivered and never counted, the pastes counted are never poured, so the
# figure is the same whichever batches a count's moment falls between.
#   shared-folder-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PAINTS=343 RECIPES_BUTTON=362 FINISH=1 IDOK=1
OWN_LIST=2601 OWN_NEW=2603 OWN_CLOSE=2612 OWN_STOCK=2614
EDIT_CODE=2620 EDIT_NAME=2621 EDIT_LINES=2626 EDIT_ADD=2629 EDIT_AMOUNT=2628
STOCK_LIST=2721 STOCK_RECEIPT=2723 STOCK_COUNT=2724 STOCK_CLOSE=2728
ENTRY_AMOUNT=2732 ENTRY_UNIT=2733
ON_HAND_COLUMN=2 GRAM_UNIT=0
OWN_SEARCH=2600 OWN_EDIT=2604 MESSAGE_TEXT=65535 IDCANCEL=2 IDYES=6
# What the other bench may take to show a recipe saved on one.
SHOWN_MS=2000
# Recipes each bench saves while the other saves too.
AT_ONCE=4

e2e_data_folder lacqueron-shared
STORE=$DATA/recipes.lqr

program_start
first=$(driver wait-dialog $PAINTS 5000 pid) || fatal "no process id of the first copy"
wine "$PROGRAM" >/dev/null 2>&1 </dev/null &
SECOND_PID=$!
POURING_PID=""
trap '[[ -n $SECOND_PID ]] && kill "$SECOND_PID" 2>/dev/null; [[ -n $POURING_PID ]] && kill "$POURING_PID" 2>/dev/null
  e2e_cleanup' EXIT
second=$(driver other-process "$first" wait-dialog $PAINTS 30000 pid) || fatal "the second copy did not start"
rows=$(driver in-process "$first" wait-dialog $PAINTS 5000 list-count $PAINTS) || fatal "no paint list"

# Driver commands for the given copy.
on() {
  local process=$1
  shift
  driver in-process "$process" "$@"
}

# Driver arguments, one a line, saving the recipes named in the open manager, each of one
# base line.
save_args() {
  local code
  for code in "$@"; do
    printf '%s\n' press $OWN_NEW wait-dialog $EDIT_CODE 10000 set-text $EDIT_CODE "$code" set-text $EDIT_NAME \
      "Рецепт $code" press $EDIT_ADD wait-count $EDIT_LINES 1 5000 set-text $EDIT_AMOUNT 1000 press $IDOK \
      wait-gone 10000 wait-dialog $OWN_LIST 10000
  done
}

# Runs the driver arguments read from stdin in the copy's manager, opened and closed.
in_manager() {
  local args=() said
  mapfile -t args
  said=$(on "$1" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 "${args[@]}" \
    press $OWN_CLOSE wait-gone 5000) || { echo "copy $1: the driver said: $(tail -n 3 <<<"$said")" >&2; return 1; }
}

# Saves the recipes named in the copy's manager.
save_in() {
  local process=$1
  shift
  save_args "$@" | in_manager "$process"
}

# Saved in the first copy while it is active, seen in the second after F5.
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS >/dev/null || fatal "could not activate the first copy"
save_in "$first" Ф-1 || fatal "could not save Ф-1 in the first copy"
on "$second" wait-dialog $PAINTS 5000 focus $PAINTS key f5 wait-count $PAINTS $((rows + 1)) $SHOWN_MS >/dev/null ||
  fail "Ф-1 not in the second copy ${SHOWN_MS} ms after F5"
# Saved in the first again; the second shows it on being activated, without F5.
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS >/dev/null || fatal "could not activate the first copy"
save_in "$first" Ф-2 || fatal "could not save Ф-2 in the first copy"
on "$second" wait-dialog $PAINTS 5000 focus $PAINTS wait-count $PAINTS $((rows + 2)) $SHOWN_MS >/dev/null ||
  fail "Ф-2 not in the second copy ${SHOWN_MS} ms after its activation"

# Both copies save at the same moment; every recipe reaches the store and both lists.
codes_first=() codes_second=()
for ((i = 1; i <= AT_ONCE; i++)); do codes_first+=("А-$i") codes_second+=("Б-$i"); done
# The driver's output file is its own in the background.
(E2E_OUT=$E2E_OUT.first && save_in "$first" "${codes_first[@]}"; code=$?; rm -f "$E2E_OUT"; exit $code) &
saving_first=$!
save_in "$second" "${codes_second[@]}" || fail "the second copy could not save its recipes"
wait $saving_first || fail "the first copy could not save its recipes"
expected=$(printf '%s\n' Ф-1 Ф-2 "${codes_first[@]}" "${codes_second[@]}" | sort)
expect_equal "codes in the store" "$("$DATAPACK" own --store "$STORE" list | cut -f1 | sort)" "$expected"
total=$((rows + 2 + 2 * AT_ONCE))
for process in "$first" "$second"; do
  on "$process" wait-dialog $PAINTS 5000 focus $PAINTS key f5 wait-count $PAINTS $total $SHOWN_MS >/dev/null ||
    fail "copy $process lists $(on "$process" wait-dialog $PAINTS 5000 list-count $PAINTS) rows, not $total"
done

# The folder renamed away: the first copy keeps its rows, says since when, and makes no
# empty folder in its place.
STATUS=364
status_of() { on "$1" wait-dialog $PAINTS 5000 get-text $STATUS; }
status_gone() {
  [[ $(status_of "$first") == "Папка данных недоступна: C:\\lacqueron-shared. Показаны данные на "??.??.????" "??:??. ]]
}
status_clear() { [[ -z $(status_of "$first") ]]; }
mv "$DATA" "$DATA-away" || fatal "could not rename the data folder away"
# F5 asked: the folder that cannot be reached is told in a box as well.
told=$(on "$first" wait-dialog $PAINTS 5000 focus $PAINTS key f5 wait-window '#32770' 'Ошибка' 10000 \
  get-text $MESSAGE_TEXT) || fatal "no F5 in the first copy, or no box telling the folder away"
[[ $told == "Не удалось открыть свои рецепты: C:\\lacqueron-shared\\recipes.lqr"* ]] || fail "F5 with the folder away told: $told"
on "$first" wait-window '#32770' 'Ошибка' 5000 press $IDOK wait-gone 5000 >/dev/null || fatal "could not close the box"
wait_for 10 status_gone || fail "the first copy's status line with the folder away: '$(status_of "$first")'"
expect_equal "rows shown with the folder away" "$(on "$first" wait-dialog $PAINTS 5000 list-count $PAINTS)" "$total"
[[ -e $DATA ]] && fail "an empty data folder took the place of the one renamed away"
# Meanwhile the store gets its index, which the first copy's opening at F5 reads on from.
"$DATAPACK" own --store "$DATA-away/recipes.lqr" index || fail "the tool could not write the store's index"
[[ -s $DATA-away/recipes.lqr.idx ]] || fail "no index beside the store"
# Back under its name: a recipe the second copy saves there shows in the first at F5.
mv "$DATA-away" "$DATA" || fatal "could not rename the data folder back"
save_in "$second" В-1 || fail "the second copy could not save with the folder back"
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS key f5 wait-count $PAINTS $((total + 1)) $SHOWN_MS >/dev/null ||
  fail "В-1 not in the first copy ${SHOWN_MS} ms after F5 with the folder back"
wait_for 10 status_clear || fail "the first copy's status line with the folder back: '$(status_of "$first")'"
expect_equal "codes in the store with the folder back" "$("$DATAPACK" own --store "$STORE" list | cut -f1 | sort)" \
  "$(printf '%s\n' "$expected" В-1 | sort)"

# One code, one recipe. The first copy's editor is open on Ф-1 while the second saves Ф-1
# with another amount: the first's save shows the second's version and, answered «Да»,
# saves on top of it. Then both edit a new Ж-1 and the second saves first: the first is
# refused, naming the code, and the store keeps one Ж-1.
open_editor_on() {
  on "$1" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 set-text $OWN_SEARCH "$2" \
    wait-count $OWN_LIST 1 5000 select-row $OWN_LIST 0 press $OWN_EDIT wait-dialog $EDIT_CODE 10000 >/dev/null
}
amount_of() { "$DATAPACK" own --store "$STORE" export | tr -d '\r' | awk -F';' -v c="$1" '$1 == c { print $6 }'; }
open_editor_on "$first" Ф-1 || fatal "no editor on Ф-1 in the first copy"
open_editor_on "$second" Ф-1 || fatal "no editor on Ф-1 in the second copy"
on "$second" wait-dialog $EDIT_CODE 5000 select-row $EDIT_LINES 0 set-text $EDIT_AMOUNT 1500 press $IDOK wait-gone 10000 \
  wait-dialog $OWN_LIST 10000 press $OWN_CLOSE wait-gone 5000 >/dev/null || fatal "the second copy could not save Ф-1"
question=$(on "$first" wait-dialog $EDIT_CODE 5000 select-row $EDIT_LINES 0 set-text $EDIT_AMOUNT 1200 press $IDOK \
  wait-window '#32770' 'Подтверждение' 10000 get-text $MESSAGE_TEXT) || fatal "no question over Ф-1 changed elsewhere"
[[ $question == *"Рецепт «Ф-1» изменён на другом рабочем месте"*"1500"* ]] ||
  fail "the question does not show the other bench's Ф-1: $question"
on "$first" wait-window '#32770' 'Подтверждение' 5000 press $IDYES wait-gone 5000 wait-dialog $OWN_LIST 10000 \
  press $OWN_CLOSE wait-gone 5000 >/dev/null || fatal "the first copy could not save Ф-1 on top"
expect_equal "Ф-1 saved on top of the other bench's" "$(amount_of Ф-1)" 1200
expect_equal "Ф-1's versions" "$("$DATAPACK" own --store "$STORE" list | awk -F'\t' '$1 == "Ф-1" { print $3 }')" 3
on "$first" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 press $OWN_NEW \
  wait-dialog $EDIT_CODE 10000 set-text $EDIT_CODE Ж-1 set-text $EDIT_NAME "Рецепт Ж-1" press $EDIT_ADD \
  wait-count $EDIT_LINES 1 5000 set-text $EDIT_AMOUNT 700 >/dev/null || fatal "no new recipe in the first copy"
save_in "$second" Ж-1 || fatal "the second copy could not save Ж-1"
refusal=$(on "$first" wait-dialog $EDIT_CODE 5000 press $IDOK wait-window '#32770' 'Ошибка' 10000 get-text $MESSAGE_TEXT) ||
  fatal "no refusal of Ж-1 in the first copy"
expect_equal "refusal of a code saved elsewhere" "$refusal" \
  "Рецепт не сохранён: код «Ж-1» занят: его только что сохранило другое рабочее место."
on "$first" wait-window '#32770' 'Ошибка' 5000 press $IDOK wait-gone 5000 wait-dialog $EDIT_CODE 5000 press $IDCANCEL \
  wait-gone 5000 wait-dialog $OWN_LIST 10000 press $OWN_CLOSE wait-gone 5000 >/dev/null ||
  fatal "could not leave the first copy's editor"
expect_equal "Ж-1 in the store" "$("$DATAPACK" own --store "$STORE" list | awk -F'\t' '$1 == "Ж-1"' | wc -l)" 1
expect_equal "Ж-1's amount" "$(amount_of Ж-1)" 1000

# A save with the folder renamed away is told as not saved and keeps the edit; saved
# again once the folder is back, it is in the store once.
on "$first" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 press $OWN_NEW \
  wait-dialog $EDIT_CODE 10000 set-text $EDIT_CODE Р-1 set-text $EDIT_NAME "Рецепт Р-1" press $EDIT_ADD \
  wait-count $EDIT_LINES 1 5000 set-text $EDIT_AMOUNT 900 >/dev/null || fatal "no new recipe Р-1 in the first copy"
mv "$DATA" "$DATA-away" || fatal "could not rename the data folder away under the editor"
failed=$(on "$first" wait-dialog $EDIT_CODE 5000 press $IDOK wait-window '#32770' 'Ошибка' 10000 get-text $MESSAGE_TEXT) ||
  fatal "no failure told for Р-1 with the folder away"
expect_equal "a save with the folder away" "$failed" "Рецепт не сохранён: не удалось записать файл рецептов."
on "$first" wait-window '#32770' 'Ошибка' 5000 press $IDOK wait-gone 5000 >/dev/null || fatal "could not close the box"
mv "$DATA-away" "$DATA" || fatal "could not rename the data folder back under the editor"
expect_equal "the edit kept after the failed save" "$(on "$first" wait-dialog $EDIT_CODE 5000 get-text $EDIT_CODE)" Р-1
on "$first" wait-dialog $EDIT_CODE 5000 press $IDOK wait-gone 10000 wait-dialog $OWN_LIST 10000 press $OWN_CLOSE \
  wait-gone 5000 >/dev/null || fail "Р-1 not saved again with the folder back"
expect_equal "Р-1 saved once" "$("$DATAPACK" own --store "$STORE" list | awk -F'\t' '$1 == "Р-1" { print $3 }')" 1

# Three benches. The third's batches: RAL 9005 for glossy plastic is base and black only,
# each poured exactly, reading each waiting step's target in turn.
COLOUR='RAL 9005'
WEIGHING=(--purpose 4 --unit g --amount 100)
BATCHES=6
BASE=B4/OSN PASTE=BLK
BASE_DELIVERY=3000 PASTE_DELIVERY=400
# Counted and never poured: the first copy counts VIO twice and GRN once, at once with the
# second's delivery; then the second counts VIO again, the latest count of it.
VIO_FIRST=120 VIO_SECOND=95.5 GRN_COUNT=42.25 VIO_LATEST=80
RECIPES_EACH=3
JOURNAL=$DATA/journal.lqj
pour_plan() { "$DATAPACK" pour --sources "$SOURCES" --title "$COLOUR" "${WEIGHING[@]}" "$@"; }
readings=()
while target=$(pour_plan "${readings[@]}" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }') &&
  [[ -n $target ]]; do
  readings+=("$target")
  ((${#readings[@]} < 10)) || fatal "the pour plan never finishes: ${readings[*]}"
done
plan=$(pour_plan "${readings[@]}") || fatal "datapack pour failed"
stock_names=$("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES" | tr -d '\r') || fatal "datapack stock failed"
# Hundredths of a gram one batch pours of the component with the key.
poured_of() {
  local name
  name=$(awk -F'\t' -v key="$1" '$1 == key { print $2 }' <<<"$stock_names")
  awk -F'\t' -v name="$name" '$1 == "step" && $2 == name { sub(/\./, "", $3); sum += $3 } END { print sum + 0 }' <<<"$plan"
}
base_each=$(poured_of $BASE) paste_each=$(poured_of $PASTE)
((base_each > 0 && paste_each > 0)) || fatal "no poured grams of $BASE or $PASTE in the plan: $plan"
# Hundredths written as the stock window writes grams, and grams as hundredths.
grams() { awk -v h="$1" 'BEGIN { s = h < 0 ? "-" : ""; if (h < 0) h = -h; printf "%s%d.%02d\n", s, int(h / 100), h % 100 }'; }
hundredths() { awk -v g="$1" 'BEGIN { printf "%d\n", g * 100 + (g < 0 ? -0.5 : 0.5) }'; }

# The stock list's row of each key, read once: the rows are the package's components.
# The window lists them once it has read the journal.
stock_listed() { stock_rows=$(on "$first" wait-dialog $STOCK_LIST 5000 list-count $STOCK_LIST) && ((stock_rows > 0)); }
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
  press $OWN_STOCK wait-dialog $STOCK_LIST 10000 >/dev/null || fatal "no stock window in the first copy"
wait_for 10 stock_listed || fatal "no stock rows in the first copy"
args=()
for ((row = 0; row < stock_rows; row++)); do args+=(row-text $STOCK_LIST "$row"); done
keys=$(on "$first" wait-dialog $STOCK_LIST 5000 "${args[@]}") || fatal "could not read the stock rows"
row_of() { awk -v key="$1" '$0 == key { print NR - 1; exit }' <<<"$keys"; }
for key in $BASE $PASTE VIO GRN; do [[ -n $(row_of $key) ]] || fatal "no $key in the stock"; done
on "$first" wait-dialog $STOCK_LIST 5000 press $STOCK_CLOSE wait-dialog $OWN_LIST 10000 press $OWN_CLOSE \
  wait-gone 5000 >/dev/null || fatal "could not close the first copy's stock"

CATCH_UP_MS=30000
# Driver arguments recording in the stock window, opened and closed: button, key, grams, ...
stock_args() {
  # While the third bench pours, the window catches up with a journal that keeps growing,
  # and a command waits for that: the limits allow for a loaded machine.
  printf '%s\n' press $OWN_STOCK wait-dialog $STOCK_LIST 10000 wait-count $STOCK_LIST "$stock_rows" $CATCH_UP_MS
  while (($# > 0)); do
    printf '%s\n' select-row $STOCK_LIST "$(row_of "$2")" press "$1" wait-dialog $ENTRY_AMOUNT $CATCH_UP_MS \
      set-text $ENTRY_AMOUNT "${3/./,}" pick-combo $ENTRY_UNIT $GRAM_UNIT press $IDOK wait-gone 5000 \
      wait-dialog $STOCK_LIST 10000
    shift 3
  done
  printf '%s\n' press $STOCK_CLOSE wait-dialog $OWN_LIST 10000
}
codes_of() { for ((i = 1; i <= RECIPES_EACH; i++)); do echo "$1-$i"; done; }

(for ((b = 1; b <= BATCHES; b++)); do pour_plan --journal "$JOURNAL" "${readings[@]}" >/dev/null || exit 1; done) &
POURING_PID=$!
(E2E_OUT=$E2E_OUT.first &&
  { save_args $(codes_of Д); stock_args $STOCK_RECEIPT $BASE $BASE_DELIVERY $STOCK_COUNT VIO $VIO_FIRST \
    $STOCK_COUNT GRN $GRN_COUNT $STOCK_COUNT VIO $VIO_SECOND; } | in_manager "$first"
  code=$?; rm -f "$E2E_OUT"; exit $code) &
first_turn=$!
{ save_args $(codes_of Е); stock_args $STOCK_RECEIPT $PASTE $PASTE_DELIVERY; } | in_manager "$second" ||
  fail "the second copy's turn with the third bench pouring did not finish"
wait $first_turn || fail "the first copy's turn with the third bench pouring did not finish"
wait $POURING_PID || fail "the third bench could not pour its batches"
POURING_PID=""
stock_args $STOCK_COUNT VIO $VIO_LATEST | in_manager "$second" || fail "the second copy could not count VIO"

expect_equal "codes in the store after three benches" "$("$DATAPACK" own --store "$STORE" list | cut -f1 | sort)" \
  "$(printf '%s\n' "$expected" В-1 Ж-1 Р-1 $(codes_of Д) $(codes_of Е) | sort)"
declare -A want
want[$BASE]=$(grams $(($(hundredths $BASE_DELIVERY) - BATCHES * base_each)))
want[$PASTE]=$(grams $(($(hundredths $PASTE_DELIVERY) - BATCHES * paste_each)))
want[VIO]=$(grams "$(hundredths $VIO_LATEST)")
want[GRN]=$(grams "$(hundredths $GRN_COUNT)")
stock=$("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES" | tr -d '\r') || fail "datapack stock failed"
for key in $BASE $PASTE VIO GRN; do
  expect_equal "datapack stock of $key" "$(awk -F'\t' -v k="$key" '$1 == k { print $3 }' <<<"$stock")" "${want[$key]}"
done
for process in "$first" "$second"; do
  args=()
  for key in $BASE $PASTE VIO GRN; do args+=(cell-text $STOCK_LIST "$(row_of $key)" $ON_HAND_COLUMN); done
  shown=$(on "$process" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
    press $OWN_STOCK wait-dialog $STOCK_LIST 10000 wait-count $STOCK_LIST "$stock_rows" 10000 "${args[@]}") ||
    fail "no stock in copy $process"
  expect_equal "stock shown in copy $process" "$shown" \
    "$(printf '%s\n' "${want[$BASE]}" "${want[$PASTE]}" "${want[VIO]}" "${want[GRN]}")"
  on "$process" wait-dialog $STOCK_LIST 5000 press $STOCK_CLOSE wait-dialog $OWN_LIST 10000 press $OWN_CLOSE \
    wait-gone 5000 >/dev/null || fatal "could not close the stock of copy $process"
done

step "could not end the second copy" in-process "$second" wait-dialog $PAINTS 5000 press $FINISH wait-gone 10000
wait "$SECOND_PID"
SECOND_PID=""
step "could not end the first copy" in-process "$first" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0
e2e_finish
