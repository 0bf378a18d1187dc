#include "data/text/ColourText.h"

#include <string>

#include "data/text/TextFold.h"

namespace lacqueron {
namespace {

constexpr int kChannels = 3;
constexpr std::uint32_t kChannelBits = 8;
constexpr std::uint32_t kChannelMask = 0xFF;
constexpr std::size_t kLongestChannel = 3;  // digits of 255
constexpr std::uint32_t kDecimalBase = 10;

}  // namespace

WideString FormatColourText(std::uint32_t rgb) {
    WideString text;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (channel > 0) text += u'-';
        const std::uint32_t value = (rgb >> (channel * kChannelBits)) & kChannelMask;
        for (char c : std::to_string(value)) text += static_cast<char16_t>(c);
    }
    return text;
}

bool ParseColourText(std::u16string_view text, std::uint32_t& rgb) noexcept {
    std::uint32_t result = 0;
    for (int channel = 0; channel < kChannels; ++channel) {
        const std::size_t hyphen = channel + 1 < kChannels ? text.find(u'-') : text.size();
        if (hyphen == std::u16string_view::npos) return false;
        const std::u16string_view digits = TrimSpaces(text.substr(0, hyphen));
        if (digits.empty() || digits.size() > kLongestChannel) return false;
        std::uint32_t value = 0;
        for (char16_t c : digits) {
            if (c < u'0' || c > u'9') return false;
            value = value * kDecimalBase + static_cast<std::uint32_t>(c - u'0');
        }
        if (value > kChannelMask) return false;
        result |= value << (channel * kChannelBits);
        text.remove_prefix(hyphen == text.size() ? hyphen : hyphen + 1);
    }
    rgb = result;
    return true;
}

}  // namespace lacqueron
