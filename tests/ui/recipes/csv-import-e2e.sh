#!/bin/bash
# Tables as a Russian spreadsheet saves them, imported in the running program with the
# data folder in the prefix: own recipes as its plain CSV (Windows-1251, ';', CR LF,
# fields quoted with doubled quotes, codes with leading zeros) through "Импорт..." of
# the manager, the recipes file read back with the datapack tool; prices as its
# "Unicode text" (UTF-16 with its mark, tabs, a no-break space between thousands) through
# "Импорт..." of the prices window, read back from the ledger file by the program
# started again. The files are written by Python's csv module and codecs, not by the
# program.
#   csv-import-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack>
source "$(dirname "$0")/../../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PAINTS=343 RECIPES_BUTTON=362 FINISH=1 IDOK=1 MESSAGE_TEXT=65535
OWN_LIST=2601 OWN_IMPORT=2609 OWN_CLOSE=2612 OWN_PRICES=2613
PRICES_LIST=2701 PRICES_IMPORT=2705 PRICES_CLOSE=2707 PRICE_COLUMN=2
# The file name field of the standard open dialog: a combo box in the Explorer style, an
# edit in the old one.
FILE_NAME_COMBO=1148 FILE_NAME_EDIT=1152

e2e_data_folder lacqueron-data
STORE=$DATA/recipes.lqr

RECIPES_CSV=recipes-1251.csv PRICES_TXT=prices-unicode.txt
python3 - "$DATA" <<'PY' || fatal "could not write the tables"
import csv, io, sys
folder = sys.argv[1]

def table(rows, delimiter):
    out = io.StringIO()
    csv.writer(out, delimiter=delimiter, lineterminator="\r\n").writerows(rows)
    return out.getvalue()

recipes = [
    ["Код", "Название", "Цвет R-G-B", "Примечание", "Компонент", "Количество на 1000 г основы"],
    ["0012", 'Бордо "Люкс"; 2', "120-20-40", "Иванов", "OSN", "1000"],
    ["0012", 'Бордо "Люкс"; 2', "120-20-40", "Иванов", "WHT", "12,345"],
    ["0013", "Белый", "250-250-250", "", "OSN", "1000"],
    ["0013", "Белый", "250-250-250", "", "WHT", "1 000,5"],
]
with open(f"{folder}/recipes-1251.csv", "wb") as f:
    f.write(table(recipes, ";").encode("cp1251"))
prices = [
    ["Код", "Компонент", "Цена за кг, ₽", "Действует с"],
    ["B4/OSN", "Основа для пластика глянцевая", "1\u00a0234,56", ""],
    ["WHT", "Паста белая", "99,9", ""],
]
with open(f"{folder}/prices-unicode.txt", "wb") as f:
    f.write(table(prices, "\t").encode("utf-16"))
PY

# The row whose first column is the text, read from the list itself.
row_of() {
  local list=$1 count args=() row
  count=$(driver wait-dialog "$list" 5000 list-count "$list") || return 1
  for ((row = 0; row < count; row++)); do args+=(row-text "$list" "$row"); done
  driver wait-dialog "$list" 5000 "${args[@]}" | awk -v text="$2" '$0 == text { print NR - 1; exit }'
}

# The open dialog, in Wine's English or Russian.
open_dialog() { driver wait-window '#32770' Open 300 >/dev/null || driver wait-window '#32770' 'Открыть' 300 >/dev/null; }

# Chooses the file in the open dialog that the button opened; prints what the "Импорт"
# box then says, closing it.
import_file() {
  local name="C:\\lacqueron-data\\$1"
  wait_for 10 open_dialog || fatal "no open dialog for $1"
  driver wait-window '#32770' Open 300 set-text $FILE_NAME_COMBO "$name" press $IDOK >/dev/null ||
    driver wait-window '#32770' Open 300 set-text $FILE_NAME_EDIT "$name" press $IDOK >/dev/null ||
    driver wait-window '#32770' 'Открыть' 300 set-text $FILE_NAME_COMBO "$name" press $IDOK >/dev/null ||
    fatal "could not choose $1"
  driver wait-window '#32770' 'Импорт' 10000 get-text $MESSAGE_TEXT press $IDOK wait-gone 5000 ||
    fatal "no import message for $1: $(driver wait-window '#32770' 'Ошибка' 1000 get-text $MESSAGE_TEXT)"
}

program_start
step "no manager" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000
step "no import of recipes" wait-dialog $OWN_LIST 5000 press $OWN_IMPORT
expect_equal "recipes imported" "$(import_file $RECIPES_CSV)" "Импортировано рецептов: 2."
step "the manager does not list both recipes" wait-dialog $OWN_LIST 5000 wait-count $OWN_LIST 2 5000
step "no prices" wait-dialog $OWN_LIST 5000 press $OWN_PRICES wait-dialog $PRICES_LIST 10000
step "no import of prices" wait-dialog $PRICES_LIST 5000 press $PRICES_IMPORT
expect_equal "prices imported" "$(import_file $PRICES_TXT)" "Импортировано цен: 2."
step "could not close the prices" wait-dialog $PRICES_LIST 5000 press $PRICES_CLOSE wait-gone 5000
step "could not close the manager" wait-dialog $OWN_LIST 5000 press $OWN_CLOSE wait-gone 5000
step "could not press Закончить" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0

# The recipes file as the tool reads it: the codes with their zeros, the quoted name
# whole, the amounts to the thousandth.
expect_equal "the store's list" "$("$DATAPACK" own --store "$STORE" list | tr -d '\r')" \
  $'0012\tБордо "Люкс"; 2\t1\n0013\tБелый\t1'
expect_equal "the store's lines" \
  "$("$DATAPACK" own --store "$STORE" export | tr -d '\r' | awk -F';' 'NR > 1 { print $1, $(NF-2), $(NF-1) }')" \
  $'0012 OSN 1000\n0012 WHT 12,345\n0013 OSN 1000\n0013 WHT 1000,5'

# The prices as the program reads them back from the ledger file.
program_start
step "no prices after the start" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 \
  press $OWN_PRICES wait-dialog $PRICES_LIST 10000
for expected in "B4/OSN 1 234.56" "WHT 99.90"; do
  code=${expected%% *}
  row=$(row_of $PRICES_LIST "$code")
  [[ -n $row ]] || fatal "no $code in the prices"
  expect_equal "price of $code" "$code $(driver wait-dialog $PRICES_LIST 5000 cell-text $PRICES_LIST "$row" $PRICE_COLUMN)" \
    "$expected"
done
step "could not close the prices" wait-dialog $PRICES_LIST 5000 press $PRICES_CLOSE wait-gone 5000
step "could not close the manager" wait-dialog $OWN_LIST 5000 press $OWN_CLOSE wait-gone 5000
step "could not press Закончить" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0
e2e_finish
