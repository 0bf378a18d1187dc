#!/usr/bin/env bash
# Prints a recipe from Lacqueron.exe for real: a CUPS scheduler with a cups-pdf queue,
# Wine's print dialog answered by the UI driver, and the PDF that comes out checked for
# one page holding the recipe text that the window shows; a cancelled dialog prints
# nothing and shows nothing.
#
#   print-e2e.sh <Lacqueron.exe> <uidriver.exe> [list row]
#
# Needs: Wine with DISPLAY and WINEPREFIX set, root (to start cupsd and add the queue when
# no scheduler runs), Debian's cups, printer-driver-cups-pdf, poppler-utils, and
# tesseract-ocr with tesseract-ocr-rus (the page is a bitmap, so its text is read back
# by OCR). Exit code 77 when the environment cannot print at all.
set -uo pipefail

program=$1
driver=$2
row=${3:-2}
queue=LacqueronPDF
work=$(mktemp -d /tmp/lacqueron-print.XXXXXX)
started_cupsd=""
added_queue=""
program_pid=""

skip() { echo "print-e2e: skipped: $*"; exit 77; }
fail() { echo "print-e2e: FAILED: $*"; exit 1; }

cleanup() {
  if [[ -n $program_pid ]] && kill -0 "$program_pid" 2>/dev/null; then
    wine "$driver" wait-dialog 343 2000 key ctrl+x >/dev/null 2>&1 </dev/null
    wait "$program_pid" 2>/dev/null
  fi
  [[ -n $added_queue ]] && lpadmin -x "$queue" 2>/dev/null
  if [[ -n $started_cupsd ]]; then
    kill "$started_cupsd" 2>/dev/null
    wait "$started_cupsd" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

for tool in cupsd lpadmin lpstat pdfinfo pdftotext pdftoppm; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ -x /usr/lib/cups/backend/cups-pdf ]] || skip "the cups-pdf backend is not installed"
[[ -n ${DISPLAY:-} && -n ${WINEPREFIX:-} ]] || skip "no DISPLAY or WINEPREFIX for Wine"

# The scheduler: the one that runs, or one of our own for this test.
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  [[ $(id -u) -eq 0 ]] || skip "no CUPS scheduler runs and only root can start one"
  cupsd -f >"$work/cupsd.log" 2>&1 &
  started_cupsd=$!
  for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  lpstat -r 2>/dev/null | grep -q 'is running' || skip "cupsd did not start: $(cat "$work/cupsd.log")"
fi

# A PDF queue of the test's own, the default, so Wine's print dialog offers it first.
if ! lpstat -p "$queue" >/dev/null 2>&1; then
  lpadmin -p "$queue" -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
    skip "cannot add the queue $queue"
  added_queue=1
fi
previous_default=$(lpstat -d 2>/dev/null | sed -n 's/^system default destination: //p')
lpadmin -d "$queue" 2>/dev/null
restore_default() { [[ -n $previous_default && $previous_default != "$queue" ]] && lpadmin -d "$previous_default"; }
trap 'restore_default; cleanup' EXIT

# cups-pdf writes into Out of its configuration, ${HOME} being the job owner's home.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
out=$(sed -n 's/^Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf | tail -n 1)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$home}
mkdir -p "$out"
ls -1 "$out" >"$work/before" 2>/dev/null

# Through a file, not a pipe: Wine's helper processes started by a call keep its
# output open and a reader would wait for them.
run_driver() {
  wine "$driver" "$@" >"$work/driver.out" 2>&1
  local rc=$?
  tr -d '\r' <"$work/driver.out"
  return $rc
}

wine "$program" >/dev/null 2>&1 </dev/null &
program_pid=$!

run_driver wait-dialog 343 30000 select-row 343 "$row" >/dev/null || fail "the main dialog did not come up"
# The recipe control refreshes on the selection; read it once it holds a recipe.
recipe=""
for _ in $(seq 1 50); do
  recipe=$(run_driver wait-dialog 343 5000 get-text 150)
  [[ -n $recipe ]] && break
done
[[ -n $recipe ]] || fail "no recipe for row $row"
printf '%s\n' "$recipe" >"$work/recipe.txt"

# "&Распечатать..." and Wine's print dialog, found by its printer list (control 1139).
# Cancelled first: no box, and (checked with the PDFs below) nothing printed.
run_driver wait-dialog 343 5000 press 3 wait-dialog 1139 30000 press 2 wait-gone 10000 >/dev/null ||
  fail "the print dialog did not appear or did not cancel"
for caption in Успешно Ошибка; do
  if run_driver wait-window '#32770' "$caption" 1500 >/dev/null; then
    fail "the box \"$caption\" appeared after cancelling"
  fi
done
run_driver wait-dialog 343 5000 press 3 >/dev/null || fail "could not press the print button"
printer=$(run_driver wait-dialog 1139 30000 get-text 1139) || fail "the print dialog did not appear"
# A prefix made while another queue was the default keeps offering that one: any
# cups-pdf queue will do.
lpstat -v "$printer" 2>/dev/null | grep -q ': cups-pdf:' ||
  fail "the print dialog offers '$printer', which is not a cups-pdf queue"
run_driver wait-dialog 1139 5000 press 1 wait-gone 30000 >/dev/null || fail "the print dialog did not close on OK"

# The outcome box: a dialog with the message box's text control (65535).
box=$(run_driver wait-dialog 65535 60000 get-text 0 get-text 65535 press 1 wait-gone 10000) ||
  fail "no outcome box"
[[ $box == $'Успешно\nДокумент отправлен на печать' ]] || fail "outcome box: $box"

# The job leaves the queue and its PDF appears.
pdf=""
for _ in $(seq 1 600); do
  if [[ -z $(lpstat -o "$printer" 2>/dev/null) ]]; then
    pdf=$(comm -13 "$work/before" <(ls -1 "$out") | grep '^Tintaro.*\.pdf$' | head -n 1)
    [[ -n $pdf ]] && break
  fi
  sleep 0.1
done
[[ -n $pdf ]] || fail "no PDF named after the document Tintaro in $out"
new_files=$(comm -13 "$work/before" <(ls -1 "$out") | grep -c '\.pdf$')
[[ $new_files -eq 1 ]] || fail "$new_files PDFs appeared, expected one"
pdf="$out/$pdf"

pages=$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')
[[ $pages == 1 ]] || fail "the PDF has $pages pages"

# The page is the program's bitmap: its text comes back through OCR unless the PDF
# carries it as text (the direct drawing does).
pdftotext -layout "$pdf" "$work/page.txt"
if [[ -z $(tr -d '[:space:]' <"$work/page.txt") ]]; then
  command -v tesseract >/dev/null || fail "the page holds no text layer and tesseract is not installed"
  pdftoppm -r 300 -gray -png -singlefile "$pdf" "$work/page300"
  tesseract "$work/page300.png" "$work/page" -l rus+eng --psm 6 >/dev/null 2>&1 || fail "tesseract failed"
fi

python3 - "$work/recipe.txt" "$work/page.txt" <<'PY' || fail "the page does not show the recipe text"
import difflib, re, sys
def lines(path):
    text = open(path, encoding="utf-8").read()
    return [" ".join(line.split()) for line in text.splitlines() if line.strip()]
want, got = lines(sys.argv[1]), lines(sys.argv[2])
numbers = lambda ls: re.findall(r"[-+=]?\d+(?:\.\d+)?", "\n".join(ls))
ratio = difflib.SequenceMatcher(None, "\n".join(want), "\n".join(got)).ratio()
print(f"print-e2e: {len(want)} recipe lines, {len(got)} page lines, similarity {ratio:.3f}")
if numbers(want) != numbers(got) or ratio < 0.97:
    print("expected:\n" + "\n".join(want) + "\npage:\n" + "\n".join(got))
    sys.exit(1)
PY

# The page as a picture for people: in the build tree.
if [[ -n ${LACQUERON_BINARY_DIR:-} ]]; then
  pdftoppm -r 100 -png -singlefile "$pdf" "$LACQUERON_BINARY_DIR/printed-page"
fi
rm -f "$pdf"
echo "print-e2e: one page printed with the recipe text"
