#!/bin/bash
# Money and stock in the running program, with the data folder in the prefix: RAL 9005
# for glossy plastic at 500 g (the base and the black paste) shows no cost before any
# price is kept, and the one it lacks after the first; both prices set in "Цены" from
# the paint list's menu (Shift+F10) move the cost line under the recipe to what
# `datapack cost` gives at the same prices; deliveries of both in "Остатки" from the
# own-recipes manager, the black one short of the batch, so the weighing dialog warns
# before the first step; the base over-poured and the correction declined, against
# `datapack pour`; the summary's cost and over-pour cost, the journal's cost column and
# totals, and the stock from the journal window, each worked out here from the
# journal's poured grams and the prices, kopecks rounded half away from zero;
# `datapack stock` over the data folder agreeing. Then a count of the base: the batch and
# a delivery entered after the count but dated before it are inside it, a later delivery
# is added, and `datapack stock` reads the same from the files.
#   ledger-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PAINTS=343 AMOUNT_FIELD=148 PURPOSE=354 RECIPE_COST=363 FINISH=1
WEIGH_BUTTON=360 JOURNAL_BUTTON=361 RECIPES_BUTTON=362
READING=2307 MESSAGE=2309 PLAN=2310 DECLINE=2315 CLOSE=2319 NOTE=2320 WEIGH_COST=2328
JOURNAL_LIST=2501 DETAILS=2502 JOURNAL_CLOSE=2506 JOURNAL_TOTALS=2513 JOURNAL_STOCK=2515
OWN_LIST=2601 OWN_CLOSE=2612 OWN_STOCK=2614
PRICES_LIST=2701 PRICES_EDIT=2703 PRICES_CLOSE=2707 PRICE_VALUE=2711
STOCK_LIST=2721 STOCK_RECEIPT=2723 STOCK_COUNT=2724 STOCK_CLOSE=2728
ENTRY_COMPONENT=2730 ENTRY_AMOUNT=2732 ENTRY_UNIT=2733 ENTRY_DATE=2736
IDOK=1
# Columns: the journal's cost; the stock's on hand and use in 30 days; the prices' price.
JOURNAL_COST_COLUMN=4 ON_HAND_COLUMN=2 USED_COLUMN=3 PRICE_COLUMN=2
KILOGRAM_UNIT=1
COLOUR='RAL 9005'
WEIGHING=(--purpose 4 --unit g --amount 500)
BASE=B4/OSN BASE_NAME='Основа для пластика глянцевая' BASE_PRICE='312,50'
PASTE=BLK PASTE_NAME='Паста чёрная (технический углерод)' PASTE_PRICE='1234,57'
# Two kilograms of base; 50 g of black, less than the batch needs.
BASE_DELIVERY=2 BASE_DELIVERED=2000.00 PASTE_DELIVERY=50 PASTE_DELIVERED=50.00
# The base counted after the batch, a delivery dated the day before entered after the
# count, and one of today after it.
BASE_COUNT=1500 BASE_COUNTED=1500.00 LATE_DELIVERY=300 AFTER_COUNT=200
# Over the base's target, under the 10 % that is asked about first.
OVER_POUR=12.34

e2e_data_folder lacqueron-data
# The prices as the window's export writes them.
PRICES_CSV=$DATA/prices.csv
printf '\xef\xbb\xbfКод;Компонент;Цена за кг, ₽;Действует с\r\n%s;%s;%s;\r\n%s;%s;%s;\r\n' \
  "$BASE" "$BASE_NAME" "$BASE_PRICE" "$PASTE" "$PASTE_NAME" "$PASTE_PRICE" >"$PRICES_CSV"

# Money in kopecks: a price "1234,57" per kilogram; grams "12.34" at kopecks per kilogram,
# rounded half away from zero; kopecks written as the windows write roubles, "1 234.57".
MONEY_AWK='
function kopecks(text) { gsub(/[ ,.]/, "", text); return text + 0 }
function hundredths(text) { sub(/\./, "", text); return text + 0 }
function cost(grams, price,   whole, rest) {
  whole = int(grams * price / 100000); rest = grams * price - whole * 100000
  return whole + (2 * rest >= 100000)
}
function roubles(k,   r, text) {
  r = int(k / 100); text = ""
  while (r >= 1000) { text = sprintf(" %03d", r % 1000) text; r = int(r / 1000) }
  return r text "." sprintf("%02d", k % 100)
}
function grams(h,   sign) {
  sign = h < 0 ? "-" : ""; if (h < 0) h = -h
  return sprintf("%s%d.%02d", sign, int(h / 100), h % 100)
}'

# The row whose first column is the text, read from the list itself.
row_of() {
  local list=$1 count args=() row
  # The stock window lists its rows once it has read the journal.
  wait_for 5 has_rows "$list" || return 1
  count=$(driver wait-dialog "$list" 5000 list-count "$list") || return 1
  for ((row = 0; row < count; row++)); do args+=(row-text "$list" "$row"); done
  driver wait-dialog "$list" 5000 "${args[@]}" | awk -v text="$2" '$0 == text { print NR - 1; exit }'
}

has_rows() { (($(driver wait-dialog "$1" 5000 list-count "$1") > 0)); }

cell_is() { [[ $(driver wait-dialog "$1" 5000 cell-text "$1" "$2" "$3") == "$4" ]]; }

# Waits for a cell of a list to read the text; a failed check otherwise.
expect_cell() {
  local what=$1 list=$2 row=$3 column=$4 want=$5
  wait_for 5 cell_is "$list" "$row" "$column" "$want" ||
    fail "$what: got '$(driver wait-dialog "$list" 5000 cell-text "$list" "$row" "$column")', want '$want'"
}

# Sets a component's price in the prices window.
set_price() {
  local row
  row=$(row_of $PRICES_LIST "$1")
  [[ -n $row ]] || fatal "no $1 in the prices"
  step "could not set the price of $1" wait-dialog $PRICES_LIST 5000 select-row $PRICES_LIST "$row" \
    press $PRICES_EDIT wait-dialog $PRICE_VALUE 10000 set-text $PRICE_VALUE "$2" press $IDOK wait-gone 5000
  expect_cell "price of $1" $PRICES_LIST "$row" $PRICE_COLUMN "$(awk "$MONEY_AWK"' { print roubles(kopecks($0)) }' <<<"$2")"
}

# Records a delivery of a component in the stock window: amount, unit index, on hand after.
deliver() {
  local row component
  row=$(row_of $STOCK_LIST "$1")
  [[ -n $row ]] || fatal "no $1 in the stock"
  component=$(driver wait-dialog $STOCK_LIST 5000 select-row $STOCK_LIST "$row" press $STOCK_RECEIPT \
    wait-dialog $ENTRY_AMOUNT 10000 get-text $ENTRY_COMPONENT) || fatal "no delivery window for $1"
  expect_equal "component delivered" "$component" "$1 — $2"
  step "could not record the delivery of $1" wait-dialog $ENTRY_AMOUNT 5000 set-text $ENTRY_AMOUNT "$3" \
    pick-combo $ENTRY_UNIT "$4" press $IDOK wait-gone 5000
  expect_cell "on hand of $1 after the delivery" $STOCK_LIST "$row" $ON_HAND_COLUMN "$5"
}

pour_plan() { "$DATAPACK" pour --sources "$SOURCES" --title "$COLOUR" "${WEIGHING[@]}" "$@"; }
# The reading the next waiting step asks for, every correction declined; empty when done.
target_after() { pour_plan "$@" | awk -F'\t' '$6 == "ждёт" || $6 == "долить" { print $4; exit }'; }

decided() { [[ $(driver wait-dialog $PLAN 5000 is-visible $DECLINE) == 0 ]]; }

enter_reading() {
  step "reading $1 was not taken" wait-dialog $PLAN 5000 set-text $READING "$1" focus $READING key enter \
    wait-text $READING "" 5000
}

program_start
row=$(row_of $PAINTS "$COLOUR")
[[ -n $row ]] || fatal "no row $COLOUR"
step "could not choose the paint, purpose and amount" wait-dialog $PAINTS 5000 select-row $PAINTS "$row" \
  pick-combo $PURPOSE 3 set-text $AMOUNT_FIELD "" focus $AMOUNT_FIELD type 500 wait-text $AMOUNT_FIELD 500 5000
# A shop that keeps no prices sees no cost line at all.
expect_equal "cost line without prices" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE_COST)" ""

# (a) Both prices through "Цены..." of the paint list's menu; the cost line follows.
step "Shift+F10 gave no menu" wait-dialog $PAINTS 5000 focus $PAINTS key shift+f10 wait-menu 5000
step "Цены... did not open the prices" key down key down key enter wait-dialog $PRICES_LIST 10000
set_price "$BASE" "$BASE_PRICE"
expect_equal "cost line with one price" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE_COST)" \
  "Нет цены: $PASTE_NAME"
set_price "$PASTE" "$PASTE_PRICE"
step "could not close the prices" wait-dialog $PRICES_LIST 5000 press $PRICES_CLOSE wait-gone 5000
costed=$("$DATAPACK" cost --sources "$SOURCES" --prices "$PRICES_CSV" --title "$COLOUR" "${WEIGHING[@]}" | tr -d '\r') ||
  fatal "datapack cost failed"
# The recipe's grams of each, and the cost line: the total, and per kilogram of 500 g of paint.
base_recipe=$(awk -F'\t' -v key="$BASE" '$1 == key { print $3 }' <<<"$costed")
paste_recipe=$(awk -F'\t' -v key="$PASTE" '$1 == key { print $3 }' <<<"$costed")
[[ -n $base_recipe && -n $paste_recipe ]] || fatal "datapack cost lacks $BASE or $PASTE: $costed"
expected_line=$(awk -F'\t' "$MONEY_AWK"'
  $1 == "total" { t = kopecks($2); per = int(t * 100000 / 50000 + 0.5)
                  printf "Стоимость: %s ₽ (%s ₽ за кг краски)\n", roubles(t), roubles(per) }' <<<"$costed")
expect_equal "cost line" "$(driver wait-dialog $PAINTS 5000 get-text $RECIPE_COST)" "$expected_line"

# (b) Deliveries from the own-recipes manager's "Остатки...".
step "no stock from the manager" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
  press $OWN_STOCK wait-dialog $STOCK_LIST 10000
deliver "$BASE" "$BASE_NAME" $BASE_DELIVERY $KILOGRAM_UNIT $BASE_DELIVERED
deliver "$PASTE" "$PASTE_NAME" $PASTE_DELIVERY 0 $PASTE_DELIVERED
step "could not close the stock" wait-dialog $STOCK_LIST 5000 press $STOCK_CLOSE wait-gone 5000
step "could not close the manager" wait-dialog $OWN_LIST 5000 press $OWN_CLOSE wait-gone 5000

# (c) The batch: a warning that the black paste runs short, the base over-poured and the
# correction declined, so the paste pours its own weight.
step "no weighing dialog" wait-dialog $PAINTS 5000 press $WEIGH_BUTTON wait-dialog $PLAN 10000
short=$(awk "$MONEY_AWK"' { print grams(hundredths($1) - hundredths($2)) }' <<<"$paste_recipe $PASTE_DELIVERED")
driver wait-dialog $PLAN 5000 wait-text $MESSAGE "Остатков мало: $PASTE_NAME — не хватит $short г." 5000 >/dev/null ||
  fail "stock warning: '$(driver wait-dialog $PLAN 5000 get-text $MESSAGE)'"
first=$(target_after)
[[ -n $first ]] || fatal "the tool gave no plan"
readings=("$(awk -v t="$first" -v o=$OVER_POUR 'BEGIN { printf "%.2f", t + o }')")
enter_reading "${readings[0]}"
pour_plan "${readings[@]}" | grep -q $'^correction\t' || fatal "the tool offers no correction"
step "the correction could not be declined" wait-dialog $PLAN 5000 press $DECLINE
wait_for 5 decided || fatal "the correction is still offered"
next=$(target_after "${readings[@]}")
while [[ -n $next ]]; do
  enter_reading "$next"
  readings+=("$next")
  next=$(target_after "${readings[@]}")
done
step "the batch's note was not asked for" wait-dialog $NOTE 10000 set-text $NOTE "Петров" press $IDOK wait-gone 5000
step "the batch was not written" wait-dialog $PLAN 5000 wait-text $MESSAGE "Замес записан в журнал." 5000
summary_cost=$(driver wait-dialog $PLAN 5000 get-text $WEIGH_COST)
step "could not close the weighing" wait-dialog $PLAN 5000 press $CLOSE wait-gone 5000

# (d) The journal: its details give what was poured of each against the recipe.
step "no journal" wait-dialog $PAINTS 5000 press $JOURNAL_BUTTON wait-dialog $JOURNAL_LIST 10000 \
  wait-rows $JOURNAL_LIST 10000 select-row $JOURNAL_LIST 0
details=$(driver wait-dialog $JOURNAL_LIST 5000 get-text $DETAILS)
figures() {
  awk -F'\t' -v name="$1" '$1 == name && NF == 3 { print $2, $3; exit }' <<<"$details"
}
read -r base_in_recipe base_poured <<<"$(figures "$BASE_NAME")"
read -r paste_in_recipe paste_poured <<<"$(figures "$PASTE_NAME")"
[[ -n $base_poured && -n $paste_poured ]] || fatal "the journal's details lack the poured grams: $details"
expect_equal "base poured" "$base_poured" "${readings[0]}"
expect_equal "base in the recipe" "$base_in_recipe" "$base_recipe"
expect_equal "paste in the recipe" "$paste_in_recipe" "$paste_recipe"
# Every line costed and rounded once; the over-pour is what went in beyond the recipe.
IFS=$'\t' read -r batch_cost over_cost weight <<<"$(awk "$MONEY_AWK"' {
    bp = kopecks($5); pp = kopecks($6)
    c = cost(hundredths($2), bp) + cost(hundredths($4), pp)
    ob = hundredths($2) - hundredths($1); op = hundredths($4) - hundredths($3)
    o = (ob > 0 ? cost(ob, bp) : 0) + (op > 0 ? cost(op, pp) : 0)
    w = hundredths($2) + hundredths($4)
    printf "%s\t%s\t%s\n", roubles(c), roubles(o), grams(int((w + 500) / 1000)) }' \
  <<<"$base_in_recipe $base_poured $paste_in_recipe $paste_poured $BASE_PRICE $PASTE_PRICE")"
expect_equal "the summary's cost" "$summary_cost" \
  "Стоимость замеса: $batch_cost ₽"$'\n'"Перелив обошёлся в $over_cost ₽"
expect_equal "the journal's cost" "$(driver wait-dialog $JOURNAL_LIST 5000 cell-text $JOURNAL_LIST 0 $JOURNAL_COST_COLUMN)" \
  "$batch_cost"
expect_equal "the journal's totals" "$(driver wait-dialog $JOURNAL_LIST 5000 get-text $JOURNAL_TOTALS)" \
  "Замесов: 1   Вес: $weight кг   Стоимость: $batch_cost ₽   Перелив: $over_cost ₽"

# (e) The stock from the journal's "Остатки...": down by exactly what was poured.
on_hand() { awk "$MONEY_AWK"' { print grams(hundredths($1) - hundredths($2)) }' <<<"$1 $2"; }
base_left=$(on_hand $BASE_DELIVERED "$base_poured")
paste_left=$(on_hand $PASTE_DELIVERED "$paste_poured")
step "no stock from the journal" wait-dialog $JOURNAL_LIST 5000 press $JOURNAL_STOCK wait-dialog $STOCK_LIST 10000
for item in "$BASE $base_left $base_poured" "$PASTE $paste_left $paste_poured"; do
  read -r key left used <<<"$item"
  row=$(row_of $STOCK_LIST "$key")
  [[ -n $row ]] || { fail "no $key in the stock"; continue; }
  expect_cell "on hand of $key after the batch" $STOCK_LIST "$row" $ON_HAND_COLUMN "$left"
  expect_cell "used of $key" $STOCK_LIST "$row" $USED_COLUMN "$used"
done

# (f) A count of the base after the batch: the batch is inside it, and so is a delivery
# entered after it but dated the day before; one dated today and entered after is added.
row=$(row_of $STOCK_LIST "$BASE")
[[ -n $row ]] || fatal "no $BASE in the stock"
step "could not count $BASE" wait-dialog $STOCK_LIST 5000 select-row $STOCK_LIST "$row" press $STOCK_COUNT \
  wait-dialog $ENTRY_AMOUNT 10000 set-text $ENTRY_AMOUNT $BASE_COUNT pick-combo $ENTRY_UNIT 0 press $IDOK wait-gone 5000
expect_cell "on hand of $BASE after the count" $STOCK_LIST "$row" $ON_HAND_COLUMN $BASE_COUNTED
today=$(driver wait-dialog $STOCK_LIST 5000 select-row $STOCK_LIST "$row" press $STOCK_RECEIPT \
  wait-dialog $ENTRY_AMOUNT 10000 get-text $ENTRY_DATE) || fatal "no delivery window for $BASE"
yesterday=$(date -d "$(awk -F. '{ print $3 "-" $2 "-" $1 }' <<<"$today") - 1 day" +%d.%m.%Y) ||
  fatal "the delivery's date '$today' is no date"
step "could not record the delivery dated $yesterday" wait-dialog $ENTRY_AMOUNT 5000 set-text $ENTRY_DATE "$yesterday" \
  set-text $ENTRY_AMOUNT $LATE_DELIVERY pick-combo $ENTRY_UNIT 0 press $IDOK wait-gone 5000
expect_cell "on hand of $BASE after a delivery dated before the count" $STOCK_LIST "$row" $ON_HAND_COLUMN \
  $BASE_COUNTED
base_left=$(awk "$MONEY_AWK"' { print grams(hundredths($1) + hundredths($2)) }' <<<"$BASE_COUNTED $AFTER_COUNT.00")
deliver "$BASE" "$BASE_NAME" $AFTER_COUNT 0 "$base_left"
step "could not close the stock" wait-dialog $STOCK_LIST 5000 press $STOCK_CLOSE wait-gone 5000
step "could not close the journal" wait-dialog $JOURNAL_LIST 5000 press $JOURNAL_CLOSE wait-gone 5000
step "could not press Закончить" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0

stock=$("$DATAPACK" stock --data-folder "$DATA" --sources "$SOURCES" | tr -d '\r') || fail "datapack stock failed"
expect_equal "datapack stock" "$(awk -F'\t' -v a="$BASE" -v b="$PASTE" '$1 == a || $1 == b { print $1, $3, $4 }' <<<"$stock")" \
  "$BASE $base_left $base_poured"$'\n'"$PASTE $paste_left $paste_poured"
e2e_finish
