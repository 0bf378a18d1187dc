// The can label laid out on whatever paper the printer reports, from the smallest
// label below to A4: which lines go on it, where, and how big. Pure, so every paper size
// can be checked without a printer; the drawing measures each line once more and
// shrinks one that the estimate got wrong.
#pragma once

#include <vector>

#include "journal/BatchRecord.h"

namespace lacqueron {

// The paper as the printer's device context reports it, in device pixels.
struct LabelPage {
    int physicalWidth = 0;  // the whole sheet (PHYSICALWIDTH/HEIGHT); 0 when unknown
    int physicalHeight = 0;
    int offsetX = 0;  // where the printable area starts on the sheet (PHYSICALOFFSETX/Y)
    int offsetY = 0;
    int printableWidth = 0;  // HORZRES/VERTRES
    int printableHeight = 0;
    int dpiX = 0;  // LOGPIXELSX/Y
    int dpiY = 0;
};

// In the order of importance: the recipe goes first when space is short, then the note,
// then the purpose; the title and the amount with the date always stay.
enum class LabelPart { Title, AmountAndDate, Purpose, Note, Recipe };

struct LabelLine {
    WideString text;
    LabelPart part = LabelPart::Title;
    int left = 0;  // device pixels from the printable area's origin
    int top = 0;
    int fontHeight = 0;  // the characters' height in device pixels
    int maxWidth = 0;    // the line must not be drawn wider
    bool bold = false;
};

// The smallest paper the label is laid out for: there the recipe is left off, the rest
// stays readable.
constexpr int kSmallestLabelWidthMm = 58;
constexpr int kSmallestLabelHeightMm = 40;

// The widest a character of the label font is taken to be, in tenths of its height:
// the layout wraps by it and the drawing shrinks a line that is wider after all.
constexpr int kLabelCharWidthTenths = 6;
// A row is this many tenths of its font's height.
constexpr int kLabelRowTenths = 12;

// The label's lines; empty when the page is too small for even the title and the
// amount with the date at the smallest size.
std::vector<LabelLine> LayOutCanLabel(const BatchRecord& batch, const WideString& purposeName,
                                      const LabelPage& page);

// Why the label has no lines on the page, for the painter: "Этикетка не помещается на
// бумагу 30 × 20 мм. Наименьший размер: 58 × 40 мм." Empty when the page reports no
// usable size, which is a printer's failure rather than small paper.
WideString LabelTooSmallMessage(const LabelPage& page);

}  // namespace lacqueron
