#!/bin/bash
# Three benches on one data folder: two copies of the program save recipes, deliveries
# and counts at once while a third bench pours batches into the shared journal
# (`datapack pour --journal`). Nothing is lost or doubled: the recipe store holds each
# code once, the journal every batch; and the stock both copies' windows show is, for
# each paste, the deliveries plus its latest count less what the journal says was
# poured: the pastes poured here are delivered and never counted, the pastes counted are
# never poured, so the figure is the same whichever of the batches a count's moment falls
# between.
#   shared-stock-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
PROGRAM=$1
DRIVER=$2
DATAPACK=$3
SOURCES=$4
source "$(dirname "$0")/../../app/e2e-lib.sh"
export LANG=C.UTF-8
e2e_start

BENCH='HKCU\Software\VELM\Lacqueron\1.0\Bench'
PAINTS=343 RECIPES_BUTTON=362 FINISH=1 IDOK=1
OWN_LIST=2601 OWN_NEW=2603 OWN_CLOSE=2612 OWN_STOCK=2614
EDIT_CODE=2620 EDIT_NAME=2621 EDIT_LINES=2626 EDIT_ADD=2629 EDIT_AMOUNT=2628
STOCK_LIST=2721 STOCK_RECEIPT=2723 STOCK_COUNT=2724 STOCK_CLOSE=2728
ENTRY_AMOUNT=2732 ENTRY_UNIT=2733
ON_HAND_COLUMN=2 GRAM_UNIT=0
# The third bench's batches: RAL 9005 for glossy plastic is base and black paste only.
COLOUR='RAL 9005'
WEIGHING=(--purpose 4 --unit g --amount 100)
BATCHES=6
BASE=B4/OSN PASTE=BLK
BASE_DELIVERY=3000 PASTE_DELIVERY=400
# Counted and never poured: the first copy counts VIO twice and GRN once at once with the
# second's deliveries; then the second counts VIO again, the latest count of it.
VIO_FIRST=120 VIO_SECOND=95.5 GRN_COUNT=42.25 VIO_LATEST=80
RECIPES_EACH=3

DATA=$WINEPREFIX/drive_c/lacqueron-benches
mkdir -p "$DATA" || fatal "no data folder"
JOURNAL=$DATA/journal.lqj
STORE=$DATA/recipes.lqr
wine reg add "$BENCH" /v DataFolder /t REG_SZ /d 'C:\lacqueron-benches' /f >/dev/null 2>&1 </dev/null ||
  fatal "could not store DataFolder"

# The readings of one batch poured exactly: each waiting step's target in turn.
pour_plan() { "$DATAPACK" pour --sources "$SOURCES" --title "$COLOUR" "${WEIGHING[@]}" "$@"; }
readings=()
while target=$(pour_plan "${readings[@]}" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }') &&
  [[ -n $target ]]; do
  readings+=("$target")
  ((${#readings[@]} < 10)) || fatal "the pour plan never finishes: ${readings[*]}"
done
# Hundredths of a gram each batch pours of each component, by name, from the plan.
plan=$(pour_plan "${readings[@]}") || fatal "datapack pour failed"
poured_of() {
  awk -F'\t' -v name="$1" '$1 == "step" && $2 == name { sub(/\./, "", $3); sum += $3 } END { print sum + 0 }' <<<"$plan"
}
BASE_NAME=$(awk -F'\t' '$1 == "'"$BASE"'" { print $2 }' < <("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES"))
PASTE_NAME=$(awk -F'\t' '$1 == "'"$PASTE"'" { print $2 }' < <("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES"))
base_each=$(poured_of "$BASE_NAME") paste_each=$(poured_of "$PASTE_NAME")
((base_each > 0 && paste_each > 0)) || fatal "no poured grams of $BASE_NAME or $PASTE_NAME in the plan: $plan"

# Hundredths written as the stock window writes grams.
grams() { awk -v h="$1" 'BEGIN { s = h < 0 ? "-" : ""; if (h < 0) h = -h; printf "%s%d.%02d\n", s, int(h / 100), h % 100 }'; }
hundredths() { awk -v g="$1" 'BEGIN { printf "%d\n", g * 100 + (g < 0 ? -0.5 : 0.5) }'; }

program_start
first=$(driver wait-dialog $PAINTS 5000 pid) || fatal "no process id of the first copy"
wine "$PROGRAM" >/dev/null 2>&1 </dev/null &
SECOND_PID=$!
POURING_PID=""
trap '[[ -n $SECOND_PID ]] && kill "$SECOND_PID" 2>/dev/null; [[ -n $POURING_PID ]] && kill "$POURING_PID" 2>/dev/null; e2e_cleanup' EXIT
second=$(driver other-process "$first" wait-dialog $PAINTS 30000 pid) || fatal "the second copy did not start"
on() {
  local process=$1
  shift
  driver in-process "$process" "$@"
}

# The stock list's row of each key, read once: the rows are the package's components.
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
  press $OWN_STOCK wait-dialog $STOCK_LIST 10000 >/dev/null || fatal "no stock window in the first copy"
stock_rows=$(on "$first" wait-dialog $STOCK_LIST 5000 list-count $STOCK_LIST) || fatal "no stock rows"
args=()
for ((row = 0; row < stock_rows; row++)); do args+=(row-text $STOCK_LIST "$row"); done
keys=$(on "$first" wait-dialog $STOCK_LIST 5000 "${args[@]}") || fatal "could not read the stock rows"
row_of() { awk -v key="$1" '$0 == key { print NR - 1; exit }' <<<"$keys"; }
for key in "$BASE" "$PASTE" VIO GRN; do [[ -n $(row_of "$key") ]] || fatal "no $key in the stock"; done
on "$first" wait-dialog $STOCK_LIST 5000 press $STOCK_CLOSE wait-dialog $OWN_LIST 10000 press $OWN_CLOSE \
  wait-gone 5000 >/dev/null || fatal "could not close the first copy's stock"

# Driver arguments: saving recipes in the open manager; a delivery or a count in the open
# stock window, in grams.
save_args() {
  local code
  for code in "$@"; do
    printf '%s\n' press $OWN_NEW wait-dialog $EDIT_CODE 10000 set-text $EDIT_CODE "$code" set-text $EDIT_NAME \
      "Рецепт $code" press $EDIT_ADD wait-count $EDIT_LINES 1 5000 set-text $EDIT_AMOUNT 1000 press $IDOK \
      wait-gone 10000 wait-dialog $OWN_LIST 10000
  done
}
entry_args() {
  local button=$1 key=$2 grams=$3
  printf '%s\n' select-row $STOCK_LIST "$(row_of "$key")" press "$button" wait-dialog $ENTRY_AMOUNT 10000 \
    set-text $ENTRY_AMOUNT "${grams/./,}" pick-combo $ENTRY_UNIT $GRAM_UNIT press $IDOK wait-gone 5000 \
    wait-dialog $STOCK_LIST 10000
}
# One copy's whole turn: its recipes, then the stock window's records, then both closed.
bench_turn() {
  local process=$1 prefix=$2
  shift 2
  local args=()
  mapfile -t args < <(save_args $(for ((i = 1; i <= RECIPES_EACH; i++)); do echo "$prefix-$i"; done)
    printf '%s\n' press $OWN_STOCK wait-dialog $STOCK_LIST 10000
    while (($# > 0)); do entry_args "$1" "$2" "$3"; shift 3; done
    printf '%s\n' press $STOCK_CLOSE wait-dialog $OWN_LIST 10000 press $OWN_CLOSE wait-gone 5000)
  on "$process" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
    "${args[@]}" >/dev/null
}

# The third bench pours while both copies save.
(for ((b = 1; b <= BATCHES; b++)); do pour_plan --journal "$JOURNAL" "${readings[@]}" >/dev/null || exit 1; done) &
POURING_PID=$!
(E2E_OUT=$E2E_OUT.first && bench_turn "$first" А $STOCK_RECEIPT "$BASE" $BASE_DELIVERY \
  $STOCK_COUNT VIO $VIO_FIRST $STOCK_COUNT GRN $GRN_COUNT $STOCK_COUNT VIO $VIO_SECOND
  code=$?; rm -f "$E2E_OUT"; exit $code) &
first_turn=$!
bench_turn "$second" Б $STOCK_RECEIPT "$PASTE" $PASTE_DELIVERY || fail "the second copy's turn did not finish"
wait $first_turn || fail "the first copy's turn did not finish"
wait $POURING_PID || fail "the third bench could not pour its batches"
POURING_PID=""
# The latest count of VIO, from the second copy once the first's are in.
mapfile -t args < <(printf '%s\n' press $OWN_STOCK wait-dialog $STOCK_LIST 10000; entry_args $STOCK_COUNT VIO $VIO_LATEST
  printf '%s\n' press $STOCK_CLOSE wait-dialog $OWN_LIST 10000 press $OWN_CLOSE wait-gone 5000)
on "$second" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 "${args[@]}" \
  >/dev/null || fail "the second copy could not count VIO"

# Nothing lost or doubled: every code once in the store.
codes=$(for prefix in А Б; do for ((i = 1; i <= RECIPES_EACH; i++)); do echo "$prefix-$i"; done; done | sort)
expect_equal "codes in the store" "$("$DATAPACK" own --store "$STORE" list | cut -f1 | sort)" "$codes"

# The stock as the rule gives it, and as datapack and both copies' windows show it.
declare -A want
want[$BASE]=$(grams $(($(hundredths $BASE_DELIVERY) - BATCHES * base_each)))
want[$PASTE]=$(grams $(($(hundredths $PASTE_DELIVERY) - BATCHES * paste_each)))
want[VIO]=$(grams "$(hundredths $VIO_LATEST)")
want[GRN]=$(grams "$(hundredths $GRN_COUNT)")
stock=$("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES" | tr -d '\r') || fail "datapack stock failed"
for key in "${!want[@]}"; do
  expect_equal "datapack stock of $key" "$(awk -F'\t' -v k="$key" '$1 == k { print $3 }' <<<"$stock")" "${want[$key]}"
done
for process in "$first" "$second"; do
  args=()
  for key in "$BASE" "$PASTE" VIO GRN; do args+=(cell-text $STOCK_LIST "$(row_of "$key")" $ON_HAND_COLUMN); done
  shown=$(on "$process" wait-dialog $PAINTS 5000 focus $PAINTS press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
    press $OWN_STOCK wait-dialog $STOCK_LIST 10000 "${args[@]}") || fail "no stock in copy $process"
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
