#include "ledger/Costing.h"

namespace lacqueron {
namespace {

// A price is per kilogram, 100000 hundredths of a gram.
constexpr Hundredths kHundredthsPerKilogram = 1000 * kHundredthsPerGram;
constexpr std::size_t kDigitsPerGroup = 3;
constexpr std::size_t kMostDecimals = 2;

// a / b for b > 0, halves away from zero.
std::int64_t DivideRounded(std::int64_t a, std::int64_t b) noexcept {
    const std::int64_t whole = a / b;
    const std::int64_t rest = a % b;
    if (rest >= 0 ? 2 * rest >= b : -2 * rest >= b) return whole + (rest >= 0 ? 1 : -1);
    return whole;
}

bool IsGroupSpace(char16_t c) noexcept { return c == u' ' || c == u'\u00A0' || c == u'\u202F'; }

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
    while (!text.empty() && IsGroupSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsGroupSpace(text.back())) text.remove_suffix(1);
    Kopecks roubles = 0;
    Kopecks kopecks = 0;
    std::size_t wholeDigits = 0;
    std::size_t decimals = 0;
    bool afterMark = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            if (afterMark) {
                if (++decimals > kMostDecimals) return false;
                kopecks = kopecks * 10 + (c - u'0');
            } else {
                roubles = roubles * 10 + (c - u'0');
                if (roubles * kKopecksPerRouble > kLargestPrice) return false;
                ++wholeDigits;
            }
        } else if ((c == u',' || c == u'.') && !afterMark && wholeDigits > 0) {
            afterMark = true;
        } else if (IsGroupSpace(c) && !afterMark && wholeDigits > 0 && i + 1 < text.size() && text[i + 1] >= u'0' &&
                   text[i + 1] <= u'9') {
            // a space between groups of digits, as FormatRoubles writes
        } else {
            return false;
        }
    }
    if (wholeDigits == 0 || (afterMark && decimals == 0)) return false;
    if (decimals == 1) kopecks *= 10;
    const Kopecks result = roubles * kKopecksPerRouble + kopecks;
    if (result > kLargestPrice) return false;
    amount = result;
    return true;
}

}  // namespace lacqueron
