#!/bin/bash
# Picks RAL 3020, the fourth purpose and 500 typed grams in the running program, checks
# the recipe against the datapack tool, ends with Ctrl+X and checks that the next start
# shows the stored values.
#   recipe-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir> [screenshot.png]
SCREENSHOT=${5:-}
source "$(dirname "$0")/../app/e2e-lib.sh"
e2e_tool_arguments "$@"
e2e_start

PURPOSE_4='пластик (Polira Gloss) глянцевая'

# The row of a title, read from the list itself.
row_of() {
  local count args=() row
  count=$(driver wait-dialog 343 5000 list-count 343) || return 1
  for ((row = 0; row < count; row++)); do args+=(row-text 343 "$row"); done
  driver wait-dialog 343 5000 "${args[@]}" | awk -v title="$1" '$0 == title { print NR - 1; exit }'
}

expected=$("$DATAPACK" recipe --sources "$SOURCES" --title "RAL 3020" --purpose 4 --unit g --amount 500 | tr -d '\r')
[[ -n $expected ]] || fatal "datapack gave no recipe"

program_start
row=$(row_of "RAL 3020")
[[ -n $row ]] || fatal "no row RAL 3020 in the list"
step "could not choose the paint, purpose and amount" \
  wait-dialog 343 5000 select-row 343 "$row" pick-combo 354 3 set-text 148 "" focus 148 type 500 wait-text 148 500 5000
expect_equal "code line" "$(driver wait-dialog 343 5000 get-text 344)" "Код: RAL 3020"
expect_equal "recipe" "$(driver wait-dialog 343 5000 get-text 150)" "$expected"

if [[ -n $SCREENSHOT ]]; then
  shot=$(mktemp --suffix=.bmp)
  driver wait-dialog 343 5000 screenshot "$(winepath -w "$shot")" >/dev/null || fail "no screenshot"
  # The window on the black screen of Xvfb: trimming the black leaves the window; -strip
  # keeps dates out, so an unchanged window gives an unchanged file.
  convert "$shot" -trim +repage -strip "$SCREENSHOT.$$.png" && mv -f "$SCREENSHOT.$$.png" "$SCREENSHOT" ||
    fail "could not convert the screenshot"
  rm -f "$shot"
fi

step "could not press Ctrl+X" wait-dialog 343 5000 focus 148 key ctrl+x
program_expect_exit 0
expect_reg TargetWeight "REG_DWORD 0x1f4"
expect_reg WeightType "REG_DWORD 0x1"
expect_reg Purpose "REG_DWORD 0x4"

program_start
shown=$(driver wait-dialog 343 5000 get-text 148 get-text 353 get-text 354 get-text 150)
expect_equal "values at the next start" "$shown" $'500\nграмм\n'"$PURPOSE_4"
step "could not close the window" wait-dialog 343 5000 close
program_expect_exit 0
e2e_finish
