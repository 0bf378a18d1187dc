#include "colour/Decimal.h"
#include "core/AsciiDigit.h"

#include <charconv>
#include <cmath>

namespace lacqueron::colour {

namespace {

// The grammar above, before from_chars (which would also take "inf" and "nan").
bool WellFormed(std::string_view text) noexcept {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsAsciiDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsAsciiDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == text.size();
}

}  // namespace

bool ParseNumber(std::string_view text, double& value) noexcept {
    if (!WellFormed(text)) return false;
    double read = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(read)) return false;
    value = read;
    return true;
}

std::string FormatNumber(double value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

std::string FormatFixed(double value, int decimals) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return "0";
    std::string out(text, end);
    // No "-0.00" for a difference that rounds to nothing.
    if (out.find_first_not_of("-0.") == std::string::npos && out.front() == '-') out.erase(0, 1);
    return out;
}

std::string FormatTrimmed(double value, int decimals) {
    std::string out = FormatFixed(value, decimals);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    return out;
}

}  // namespace lacqueron::colour
