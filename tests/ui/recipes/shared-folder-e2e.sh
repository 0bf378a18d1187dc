#!/bin/bash
# Two copies of the program on one data folder, as two benches on a shared folder: a
# recipe saved in one shows in the other within 2 seconds of F5, and of its window
# becoming active; both saving recipes at the same moment lose none of them. The folder
# renamed away, as a share that drops: F5 says so in the status line with the time of
# the rows still shown, and once it is back F5 reads it again.
#   shared-folder-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack>
PROGRAM=$1
DRIVER=$2
DATAPACK=$3
source "$(dirname "$0")/../../app/e2e-lib.sh"
export LANG=C.UTF-8
e2e_start

BENCH='HKCU\Software\VELM\Lacqueron\1.0\Bench'
PAINTS=343 RECIPES_BUTTON=362 FINISH=1 IDOK=1
OWN_LIST=2601 OWN_NEW=2603 OWN_CLOSE=2612
EDIT_CODE=2620 EDIT_NAME=2621 EDIT_LINES=2626 EDIT_ADD=2629 EDIT_AMOUNT=2628
# What the other bench may take to show a recipe saved on one.
SHOWN_MS=2000
# Recipes each bench saves while the other saves too.
AT_ONCE=4

DATA=$WINEPREFIX/drive_c/lacqueron-shared
mkdir -p "$DATA" || fatal "no data folder"
STORE=$DATA/recipes.lqr
wine reg add "$BENCH" /v DataFolder /t REG_SZ /d 'C:\lacqueron-shared' /f >/dev/null 2>&1 </dev/null ||
  fatal "could not store DataFolder"

program_start
first=$(driver wait-dialog $PAINTS 5000 pid) || fatal "no process id of the first copy"
wine "$PROGRAM" >/dev/null 2>&1 </dev/null &
SECOND_PID=$!
trap '[[ -n $SECOND_PID ]] && kill "$SECOND_PID" 2>/dev/null; e2e_cleanup' EXIT
second=$(driver other-process "$first" wait-dialog $PAINTS 30000 pid) || fatal "the second copy did not start"
rows=$(driver in-process "$first" wait-dialog $PAINTS 5000 list-count $PAINTS) || fatal "no paint list"

# Driver commands for the given copy.
on() {
  local process=$1
  shift
  driver in-process "$process" "$@"
}

# Saves the recipes named in the copy's manager, each of one base line.
save_in() {
  local process=$1 code args=()
  shift
  for code in "$@"; do
    args+=(press $OWN_NEW wait-dialog $EDIT_CODE 10000 set-text $EDIT_CODE "$code" set-text $EDIT_NAME "Рецепт $code"
      press $EDIT_ADD wait-count $EDIT_LINES 1 5000 set-text $EDIT_AMOUNT 1000 press $IDOK wait-gone 10000
      wait-dialog $OWN_LIST 10000)
  done
  on "$process" wait-dialog $PAINTS 5000 press $RECIPES_BUTTON wait-dialog $OWN_LIST 10000 "${args[@]}" \
    press $OWN_CLOSE wait-gone 5000 >/dev/null
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
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS key f5 >/dev/null || fatal "no F5 in the first copy"
wait_for 10 status_gone || fail "the first copy's status line with the folder away: '$(status_of "$first")'"
expect_equal "rows shown with the folder away" "$(on "$first" wait-dialog $PAINTS 5000 list-count $PAINTS)" "$total"
[[ -e $DATA ]] && fail "an empty data folder took the place of the one renamed away"
# Back under its name: a recipe the second copy saves there shows in the first at F5.
mv "$DATA-away" "$DATA" || fatal "could not rename the data folder back"
save_in "$second" В-1 || fail "the second copy could not save with the folder back"
on "$first" wait-dialog $PAINTS 5000 focus $PAINTS key f5 wait-count $PAINTS $((total + 1)) $SHOWN_MS >/dev/null ||
  fail "В-1 not in the first copy ${SHOWN_MS} ms after F5 with the folder back"
wait_for 10 status_clear || fail "the first copy's status line with the folder back: '$(status_of "$first")'"
expect_equal "codes in the store with the folder back" "$("$DATAPACK" own --store "$STORE" list | cut -f1 | sort)" \
  "$(printf '%s\n' "$expected" В-1 | sort)"

step "could not end the second copy" in-process "$second" wait-dialog $PAINTS 5000 press $FINISH wait-gone 10000
wait "$SECOND_PID"
SECOND_PID=""
step "could not end the first copy" in-process "$first" wait-dialog $PAINTS 5000 press $FINISH
program_expect_exit 0
e2e_finish
