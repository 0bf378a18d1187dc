#include "core/IntegerText.h"

namespace lacqueron {
namespace {

constexpr std::uint64_t kDecimalBase = 10;

}  // namespace

WideString IntegerText(std::int64_t value, std::size_t width) {
    // The magnitude in unsigned arithmetic, so that the smallest int64 has one too.
    std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                        : static_cast<std::uint64_t>(value);
    WideString digits;
    do {
        digits.push_back(static_cast<char16_t>(u'0' + magnitude % kDecimalBase));
        magnitude /= kDecimalBase;
    } while (magnitude != 0);
    if (digits.size() < width) digits.append(width - digits.size(), u'0');
    if (value < 0) digits.push_back(u'-');
    return WideString(digits.rbegin(), digits.rend());
}

}  // namespace lacqueron
