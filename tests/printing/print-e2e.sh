#!/usr/bin/env bash
# Prints a recipe from Lacqueron.exe for real: a private CUPS scheduler with a cups-pdf
# queue, Wine's print dialog answered by the UI driver, and the PDF that comes out
# checked for one page holding the recipe text that the window shows; a cancelled
# dialog prints nothing and shows nothing.
#
#   print-e2e.sh <Lacqueron.exe> <uidriver.exe> [list row]
#
# Needs root (the cups-pdf backend runs only as root), Debian's cups,
# printer-driver-cups-pdf, poppler-utils, and tesseract-ocr with tesseract-ocr-rus (the
# page is a bitmap, so its text is read back by OCR). Only a developer machine without
# root skips it (exit code 77); under CI=true everything missing is a failure.
PROGRAM=$1
DRIVER=$2
row=${3:-2}
queue=LacqueronPDF
source "$(dirname "$0")/../app/e2e-lib.sh"
source "$(dirname "$0")/private-cups.sh"

if [[ $(id -u) -ne 0 && ${CI:-} != true ]]; then
  echo "print-e2e: skipped: only root can run the cups-pdf backend"
  exit 77
fi
for tool in pdfinfo pdftotext pdftoppm tesseract; do
  command -v "$tool" >/dev/null || fatal "$tool is not installed"
done

e2e_start
trap 'private_cups_stop; e2e_cleanup' EXIT
private_cups_start "$queue" || fatal "$PRIVATE_CUPS_ERROR"
work=$PRIVATE_CUPS_DIR
out=$PRIVATE_CUPS_PDF_DIR

program_start
step "could not select row $row" wait-dialog 343 5000 select-row 343 "$row"
# The recipe control refreshes on the selection; read it once it holds a recipe.
recipe_shown() {
  driver wait-dialog 343 5000 get-text 150 >"$work/recipe.txt" && [[ -n $(tr -d '[:space:]' <"$work/recipe.txt") ]]
}
RECIPE_SECONDS=10
wait_for $RECIPE_SECONDS recipe_shown || fatal "no recipe for row $row"

# "&Распечатать..." and Wine's print dialog, found by its printer list (control 1139).
# Cancelled first: no box, and (checked with the PDFs below) nothing printed.
driver wait-dialog 343 5000 press 3 wait-dialog 1139 30000 press 2 wait-gone 10000 >/dev/null ||
  fatal "the print dialog did not appear or did not cancel"
for caption in Успешно Ошибка; do
  if driver wait-window '#32770' "$caption" 1500 >/dev/null; then
    fatal "the box \"$caption\" appeared after cancelling"
  fi
done
driver wait-dialog 343 5000 press 3 >/dev/null || fatal "could not press the print button"
printer=$(driver wait-dialog 1139 30000 get-text 1139) || fatal "the print dialog did not appear"
[[ $printer == "$queue" ]] || fatal "the print dialog offers '$printer', not the queue $queue"
driver wait-dialog 1139 5000 press 1 wait-gone 30000 >/dev/null || fatal "the print dialog did not close on OK"

# The outcome box: a dialog with the message box's text control (65535).
box=$(driver wait-dialog 65535 60000 get-text 0 get-text 65535 press 1 wait-gone 10000) ||
  fatal "no outcome box"
[[ $box == $'Успешно\nДокумент отправлен на печать' ]] || fatal "outcome box: $box"

# The job leaves the queue and its PDF appears.
wait_for $PRINTED_SECONDS printed "$printer" '^Tintaro.*\.pdf$' || fatal "no PDF named after the document Tintaro in $out"
pdf=$PRINTED_PDF
new_files=$(ls -1 "$out" | grep -c '\.pdf$')
[[ $new_files -eq 1 ]] || fatal "$new_files PDFs appeared, expected one"

pages=$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')
[[ $pages == 1 ]] || fatal "the PDF has $pages pages"

# The page is the program's bitmap: its text comes back through OCR unless the PDF
# carries it as text (the direct drawing does).
pdftotext -layout "$pdf" "$work/page.txt"
if [[ -z $(tr -d '[:space:]' <"$work/page.txt") ]]; then
  pdftoppm -r 300 -gray -png -singlefile "$pdf" "$work/page300"
  tesseract "$work/page300.png" "$work/page" -l rus+eng --psm 6 >/dev/null 2>&1 || fatal "tesseract failed"
fi

python3 - "$work/recipe.txt" "$work/page.txt" <<'PY' || fatal "the page does not show the recipe text"
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
step "could not end the program" wait-dialog 343 5000 key ctrl+x
program_expect_exit 0
echo "print-e2e: one page printed with the recipe text"
