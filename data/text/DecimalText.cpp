#include "data/text/DecimalText.h"
#include "core/AsciiDigit.h"

namespace lacqueron {
namespace {

constexpr std::int64_t kDecimalBase = 10;

// A space, a tab, or the no-break spaces a spreadsheet groups thousands with.
bool IsBlank(char16_t c) noexcept { return c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F'; }
bool IsDecimalMark(char16_t c) noexcept { return c == u',' || c == u'.'; }

}  // namespace

DecimalProblem ParseDecimalText(std::u16string_view text, DecimalUnit unit, std::int64_t& value) noexcept {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return DecimalProblem::kEmpty;
    const bool negative = text.front() == u'-';
    if (negative) text.remove_prefix(1);

    std::int64_t magnitude = 0;
    int decimals = -1;  // none until the mark
    bool digits = false;
    bool tooLarge = false;
    bool tooPrecise = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsAsciiDigit(c)) {
            digits = true;
            if (decimals >= 0 && ++decimals > unit.decimals) {
                tooPrecise = tooPrecise || c != u'0';  // zeros beyond the unit say nothing more
                continue;
            }
            tooLarge = tooLarge || magnitude > unit.largest;  // checked before it could overflow
            if (!tooLarge) magnitude = magnitude * kDecimalBase + (c - u'0');
        } else if (IsDecimalMark(c) && decimals < 0) {
            decimals = 0;
        } else if (IsBlank(c) && decimals < 0 && i > 0 && IsAsciiDigit(text[i - 1]) && i + 1 < text.size() &&
                   IsAsciiDigit(text[i + 1])) {
            // a space between groups of digits
        } else {
            return DecimalProblem::kNotANumber;
        }
    }
    if (!digits) return DecimalProblem::kNotANumber;
    if (tooPrecise) return DecimalProblem::kTooManyDecimals;
    for (int d = decimals < 0 ? 0 : decimals; d < unit.decimals && !tooLarge; ++d) {
        tooLarge = magnitude > unit.largest;
        magnitude *= kDecimalBase;
    }
    if (tooLarge || magnitude > unit.largest) return DecimalProblem::kTooLarge;
    value = negative ? -magnitude : magnitude;
    return DecimalProblem::kNone;
}

}  // namespace lacqueron
