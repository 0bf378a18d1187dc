#!/usr/bin/env bash
# Prints a can label from Lacqueron.exe for real on a 58 × 40 mm label: a journal with
# one batch in the user's local data folder, the journal opened with Ctrl+J,
# "Этикетка..." and Wine's print dialog answered by the UI driver, a private CUPS
# scheduler whose cups-pdf queue offers the label size as its default. The PDF must
# hold one page of that size with every word inside it, reading the batch's code, name,
# amount, date and note.
#
#   label-e2e.sh <Lacqueron.exe> <uidriver.exe>
#
# Needs what print-e2e.sh needs; skipped (77) only on a developer machine without root.
PROGRAM=$1
DRIVER=$2
queue=LacqueronLabel
# The label's small type needs a fine picture for OCR.
OCR_DPI=600
here=$(dirname "$0")
source "$here/../app/e2e-lib.sh"
source "$here/private-cups.sh"

if [[ $(id -u) -ne 0 && ${CI:-} != true ]]; then
  echo "label-e2e: skipped: only root can run the cups-pdf backend"
  exit 77
fi
for tool in pdfinfo pdftotext pdftoppm tesseract python3; do
  command -v "$tool" >/dev/null || fatal "$tool is not installed"
done

e2e_start
label_ppd=$(mktemp /tmp/lacqueron-label.XXXXXX.ppd)
trap 'private_cups_stop; rm -f "$label_ppd"; e2e_cleanup' EXIT

# The cups-pdf description with a 58 × 40 mm label (164 × 113 points) as its default paper.
label='Label58x40/58 x 40 mm'
sed -e 's/^\*Default\(PageSize\|PageRegion\|ImageableArea\|PaperDimension\): .*/*Default\1: Label58x40/' \
    -e "/^\*DefaultPageSize:/a *PageSize $label: \"<</PageSize[164 113]/ImagingBBox null>>setpagedevice\"" \
    -e "/^\*DefaultPageRegion:/a *PageRegion $label: \"<</PageSize[164 113]/ImagingBBox null>>setpagedevice\"" \
    -e "/^\*DefaultImageableArea:/a *ImageableArea $label: \"0 0 164 113\"" \
    -e "/^\*DefaultPaperDimension:/a *PaperDimension $label: \"164 113\"" \
    "$PRIVATE_CUPS_PPD" >"$label_ppd"
PRIVATE_CUPS_PPD=$label_ppd
private_cups_start "$queue" || fatal "$PRIVATE_CUPS_ERROR"
work=$PRIVATE_CUPS_DIR
out=$PRIVATE_CUPS_PDF_DIR

# 2026-12-07 14:30 in Moscow.
cat >"$work/batches.json" <<'JSON'
[{"time": 1796643000, "offset": 180, "code": "RAL 3020", "name": "Транспортный красный", "purpose": 4,
  "unit": 1, "amount": 250, "resolution": 1, "status": 0, "total": 25417, "note": "Иванов, заказ 17",
  "components": [["Основа глянцевая", 22500, 22512], ["Красный оксид", 1800, 1830], ["Чёрный", 700, 700]],
  "corrections": []}]
JSON
local_data=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null </dev/null | tr -d '\r')")
mkdir -p "$local_data/Lacqueron"
python3 "$here/../support/write-journal.py" "$local_data/Lacqueron/journal.lqj" "$work/batches.json" ||
  fatal "could not write the journal"

program_start
step "Ctrl+J did not open the journal" wait-dialog 343 5000 key ctrl+j wait-dialog 2501 10000
code=$(driver wait-dialog 2501 5000 get-text 2502 | head -n 1)
[[ $code == *"RAL 3020"* ]] || fatal "the journal does not show the batch: $code"

step "could not press Этикетка" wait-dialog 2501 5000 press 2505
printer=$(driver wait-dialog 1139 30000 get-text 1139) || fatal "the print dialog did not appear"
[[ $printer == "$queue" ]] || fatal "the print dialog offers '$printer', not the queue $queue"
step "the print dialog did not close on OK" wait-dialog 1139 5000 press 1 wait-gone 30000
box=$(driver wait-dialog 65535 60000 get-text 0 get-text 65535 press 1 wait-gone 10000) || fatal "no outcome box"
expect_equal "outcome box" "$box" $'Успешно\nДокумент отправлен на печать'

wait_for $PRINTED_SECONDS printed "$queue" '^Tintaro-label.*\.pdf$' ||
  fatal "no PDF named after the document Tintaro-label in $out"
pdf=$PRINTED_PDF
expect_equal "PDFs" "$(ls -1 "$out" | grep -c '\.pdf$')" 1
expect_equal "pages" "$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')" 1
size=$(pdfinfo "$pdf" | sed -n 's/^Page size:[[:space:]]*\([0-9.]*\) x \([0-9.]*\) pts.*/\1 \2/p')

# Every word lies on the page; the text is that of the batch. The words and their boxes
# come from the PDF's text layer, or through OCR when the text was drawn as glyph
# outlines: on a picture of the page every word is inside it, so there a word must keep
# off the page's edge, where a cut one would end.
pdftotext -bbox "$pdf" "$work/words.html"
pdftotext -layout "$pdf" "$work/page.txt"
: >"$work/page.tsv"
if ! grep -q 'RAL' "$work/page.txt"; then
  pdftoppm -r $OCR_DPI -gray -png -singlefile "$pdf" "$work/page-ocr"
  tesseract "$work/page-ocr.png" "$work/page" -l rus+eng --psm 6 txt tsv >/dev/null 2>&1 || fatal "tesseract failed"
fi
if [[ -n ${LACQUERON_BINARY_DIR:-} ]]; then
  pdftoppm -r 200 -png -singlefile "$pdf" "$LACQUERON_BINARY_DIR/printed-label"
fi
python3 - "$size" "$work/words.html" "$work/page.txt" "$work/page.tsv" $OCR_DPI <<'PY' || fail "the label is not as printed"
import csv, re, sys
width, height = map(float, sys.argv[1].split())
ok = abs(width - 164) < 2 and abs(height - 113) < 2
if not ok:
    print(f"page {width} x {height} pt, want 164 x 113")
words = [(float(x0), float(y0), float(x1), float(y1), word) for x0, y0, x1, y1, word in
         re.findall(r'xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<',
                    open(sys.argv[2], encoding="utf-8").read())]
margin = 0.0
if not words:
    # OCR boxes in pixels at OCR_DPI; level 5 rows are words.
    points = 72 / float(sys.argv[5])
    margin = 0.5
    with open(sys.argv[4], encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE):
            if row["level"] == "5" and row["text"].strip():
                x0, y0 = int(row["left"]) * points, int(row["top"]) * points
                words.append((x0, y0, x0 + int(row["width"]) * points, y0 + int(row["height"]) * points, row["text"]))
if not words:
    print("no words with their places on the page")
    ok = False
for x0, y0, x1, y1, word in words:
    if x0 < margin or y0 < margin or x1 > width - margin or y1 > height - margin:
        print(f"outside the page: {word} at {x0:.1f},{y0:.1f}-{x1:.1f},{y1:.1f}")
        ok = False
page = " ".join(open(sys.argv[3], encoding="utf-8").read().split())
for want in ["RAL 3020", "Транспортный красный", "250 г", "07.12.2026 14:30", "Иванов, заказ 17"]:
    if want not in page:
        print(f"missing: {want}")
        ok = False
print("label:", page)
sys.exit(0 if ok else 1)
PY
e2e_finish
