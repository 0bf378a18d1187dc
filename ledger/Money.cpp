#include "ledger/Costing.h"

#include "data/text/DecimalText.h"

namespace lacqueron {
namespace {

// A price is per kilogram, 100000 hundredths of a gram.
constexpr Hundredths kHundredthsPerKilogram = 1000 * kHundredthsPerGram;
constexpr std::size_t kDigitsPerGroup = 3;
// Kopecks: a price has two decimals.
constexpr DecimalUnit kRoublesUnit = {2, kLargestPrice};

// a / b for b > 0, halves away from zero.
std::int64_t DivideRounded(std::int64_t a, std::int64_t b) noexcept {
    const std::int64_t whole = a / b;
    const std::int64_t rest = a % b;
    if (rest >= 0 ? 2 * rest >= b : -2 * rest >= b) return whole + (rest >= 0 ? 1 : -1);
    return whole;
}

}  // namespace

// Whole kilograms and the rest apart, so that no product overflows for any price up to
// kLargestPrice and any weight a record can hold.
Kopecks CostOfGrams(Hundredths grams, Kopecks perKilogram) noexcept {
    const Hundredths kilograms = grams / kHundredthsPerKilogram;
    const Hundredths rest = grams % kHundredthsPerKilogram;
    return kilograms * perKilogram + DivideRounded(rest * perKilogram, kHundredthsPerKilogram);
}

Kopecks CostPerKilogram(Kopecks cost, Hundredths grams) noexcept {
    return grams > 0 ? DivideRounded(cost * kHundredthsPerKilogram, grams) : 0;
}

WideString FormatRoubles(Kopecks amount) {
    const std::uint64_t magnitude =
        amount < 0 ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
    std::uint64_t roubles = magnitude / kKopecksPerRouble;
    WideString text;
    std::size_t digits = 0;
    do {
        if (digits > 0 && digits % kDigitsPerGroup == 0) text.insert(text.begin(), u' ');
        text.insert(text.begin(), static_cast<char16_t>(u'0' + roubles % 10));
        roubles /= 10;
        ++digits;
    } while (roubles != 0);
    const auto kopecks = static_cast<unsigned>(magnitude % kKopecksPerRouble);
    text += u'.';
    text += static_cast<char16_t>(u'0' + kopecks / 10);
    text += static_cast<char16_t>(u'0' + kopecks % 10);
    return amount < 0 ? u"-" + text : text;
}

bool ParseRoubles(std::u16string_view text, Kopecks& amount) {
    std::int64_t value = 0;
    if (ParseDecimalText(text, kRoublesUnit, value) != DecimalProblem::kNone || value < 0) return false;
    amount = value;
    return true;
}

}  // namespace lacqueron
