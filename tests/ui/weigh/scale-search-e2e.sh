#!/bin/bash
# The automatic search in Lacqueron.exe: a scale that speaks only the marked "SI" line
# and only at 4800 baud, the weighing dialog left on "автоматически" at 9600. The
# program finds the scale and says so, the first step is poured from it, the rate found
# is kept in the bench key for the next search to start from, and the choice stays
# automatic, so a scale swapped tomorrow is found again.
#   scale-search-e2e.sh <Lacqueron.exe> <uidriver.exe> <datapack> <catalogue dir>
source "$(dirname "$0")/scale-pour-lib.sh"
e2e_tool_arguments "$@"
scale_bed_start --protocol marked --baud 4800

FOUND="Найдены весы: протокол «SI, метка ?/^/v», 4800 бод."
AUTOMATIC_PROTOCOL="REG_DWORD 0x0"
RATE_4800="REG_DWORD 0x12c0"
IDYES=6 SCALE_PROTOCOL=2352

open_weighing
expect_equal "protocol chosen" "$(driver wait-dialog $PLAN 5000 get-text $SCALE_PROTOCOL)" "автоматически"
driver wait-dialog $PLAN 5000 wait-text $MESSAGE "$FOUND" 10000 >/dev/null ||
  fail "not found: $(driver wait-dialog $PLAN 5000 get-text $MESSAGE) / $(driver wait-dialog $PLAN 5000 get-text $SCALE_STATE)"
expect_equal "protocol after the search" "$(driver wait-dialog $PLAN 5000 get-text $SCALE_PROTOCOL)" "автоматически"

pour_on_scale "$(target_after)"
expect_instruction "after the first step"

step "no escape" wait-dialog $PLAN 5000 focus $READING key escape
step "closing midway was not confirmed" wait-window '#32770' 'Подтверждение' 5000 press $IDYES wait-gone 5000
step "the note was not asked for" wait-dialog $NOTE 10000 press $WITHOUT_NOTE wait-gone 5000
step "could not close the main dialog" wait-dialog 343 5000 close
program_expect_exit 0

expect_equal "choice kept automatic" "$(bench_value ScaleProtocol)" "$AUTOMATIC_PROTOCOL"
expect_equal "rate found kept" "$(bench_value ScaleBaud)" "$RATE_4800"
e2e_finish
