#include "pour/PourText.h"

#include <charconv>

#include "data/text/DecimalText.h"
#include "formula/NumberFormat.h"

namespace lacqueron {
namespace {

// Hundredths of a gram, below a trillion grams: far past any batch.
constexpr DecimalUnit kReadingUnit = {2, 100'000'000'000'000 - 1};
constexpr int kFactorDecimals = 4;
constexpr std::size_t kFactorLength = 64;  // factors are ratios of weights below 10^15


}  // namespace

std::optional<Hundredths> ParseReading(std::u16string_view text) {
    std::int64_t value = 0;
    if (ParseDecimalText(text, kReadingUnit, value) != DecimalProblem::kNone) return std::nullopt;
    return value;
}

std::string FormatGrams(Hundredths value) {
    return FormatFixed2(static_cast<double>(value) / kHundredthsPerGram, false);
}

std::string FormatFactor(double factor) {
    char digits[kFactorLength];
    const std::to_chars_result end =
        std::to_chars(digits, digits + sizeof digits, factor, std::chars_format::fixed, kFactorDecimals);
    return end.ec == std::errc() ? std::string(digits, end.ptr) : std::string();
}

const char16_t* StatusWord(const PourStep& step) noexcept {
    switch (step.state) {
    case PourStepState::kDone: return u"готово";
    case PourStepState::kOverPour: return u"перелив";
    case PourStepState::kWaiting: break;
    }
    return step.kind == PourStepKind::kTopUp ? u"долить" : u"ждёт";
}

}  // namespace lacqueron
