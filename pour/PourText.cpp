#include "pour/PourText.h"

#include <charconv>

#include "formula/NumberFormat.h"

namespace lacqueron {
namespace {

constexpr std::size_t kMaxWholeDigits = 12;  // a trillion grams is far past any batch
constexpr int kReadingDecimals = 2;
constexpr int kFactorDecimals = 4;
constexpr std::size_t kFactorLength = 64;  // factors are ratios of weights below 10^15

bool IsBlank(char16_t c) noexcept { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<Hundredths> ParseReading(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    const bool negative = !text.empty() && text.front() == u'-';
    if (negative) text.remove_prefix(1);

    std::size_t i = 0;
    Hundredths whole = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (i == kMaxWholeDigits) return std::nullopt;
        whole = whole * 10 + (text[i] - u'0');
    }
    if (i == 0) return std::nullopt;
    Hundredths fraction = 0;
    if (i < text.size() && (text[i] == u'.' || text[i] == u',')) {
        ++i;
        int decimals = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++decimals) {
            if (decimals == kReadingDecimals) return std::nullopt;
            fraction = fraction * 10 + (text[i] - u'0');
        }
        for (; decimals < kReadingDecimals; ++decimals) fraction *= 10;
    }
    if (i != text.size()) return std::nullopt;
    const Hundredths value = whole * kHundredthsPerGram + fraction;
    return negative ? -value : value;
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
