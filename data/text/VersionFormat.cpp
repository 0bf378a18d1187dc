#include "data/text/VersionFormat.h"
#include "core/AsciiDigit.h"

namespace lacqueron {
namespace {

constexpr std::uint32_t kMaxField = 4096;

struct Conversion {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    std::uint32_t width = 0;
    bool hasPrecision = false;
    std::uint32_t precision = 0;
    int shortness = 0;  // 1 for h, 2 for hh
    bool servable = true;
    char16_t conversion = 0;
};


// Reads a decimal field; a value above kMaxField makes the conversion unservable.
std::uint32_t ReadField(std::u16string_view format, std::size_t& i, Conversion& conv) {
    std::uint32_t value = 0;
    while (i < format.size() && IsAsciiDigit(format[i])) {
        if (value <= kMaxField) value = value * 10 + static_cast<std::uint32_t>(format[i] - u'0');
        ++i;
    }
    if (value > kMaxField) conv.servable = false;
    return value;
}

bool IsConversionChar(char16_t c) noexcept {
    return IsAsciiDigit(c) || c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'.' || c == u'*' ||
           c == u'$' || c == u'h' || c == u'l' || c == u'L' || c == u'q' || c == u'j' || c == u'z' ||
           c == u't' || c == u'I' || c == u'w';
}

// Parses the conversion that starts at format[start] == '%'. Sets end one past it.
Conversion ParseConversion(std::u16string_view format, std::size_t start, std::size_t& end) {
    Conversion conv;
    std::size_t i = start + 1;
    for (; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'-') conv.left = true;
        else if (c == u'+') conv.plus = true;
        else if (c == u' ') conv.space = true;
        else if (c == u'#') conv.alternate = true;
        else if (c == u'0') conv.zero = true;
        else break;
    }
    conv.width = ReadField(format, i, conv);
    if (i < format.size() && format[i] == u'.') {
        ++i;
        conv.hasPrecision = true;
        conv.precision = ReadField(format, i, conv);
    }
    if (i < format.size() && format[i] == u'h') {
        ++i;
        conv.shortness = 1;
        if (i < format.size() && format[i] == u'h') {
            ++i;
            conv.shortness = 2;
        }
    } else if (i < format.size() && format[i] == u'l') {
        ++i;
        if (i < format.size() && format[i] == u'l') conv.servable = false;
    }
    // Anything else that belongs to a conversion ('*', '$', other lengths) is not served.
    while (i < format.size() && IsConversionChar(format[i])) {
        conv.servable = false;
        ++i;
    }
    if (i < format.size()) {
        conv.conversion = format[i];
        ++i;
    } else {
        conv.servable = false;
    }
    end = i;
    return conv;
}

void AppendPadding(WideString& out, std::uint32_t count, char16_t fill) { out.append(count, fill); }

void AppendPadded(WideString& out, const Conversion& conv, std::u16string_view prefix, std::u16string_view body) {
    const std::size_t length = prefix.size() + body.size();
    const std::uint32_t pad = conv.width > length ? static_cast<std::uint32_t>(conv.width - length) : 0;
    if (conv.left) {
        out.append(prefix);
        out.append(body);
        AppendPadding(out, pad, u' ');
    } else if (conv.zero && conv.conversion != u's' && !conv.hasPrecision) {
        out.append(prefix);
        AppendPadding(out, pad, u'0');
        out.append(body);
    } else {
        AppendPadding(out, pad, u' ');
        out.append(prefix);
        out.append(body);
    }
}

WideString Digits(std::uint32_t value, std::uint32_t base, bool upper) {
    const char16_t* alphabet = upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    WideString reversed;
    do {
        reversed.push_back(alphabet[value % base]);
        value /= base;
    } while (value != 0);
    return WideString(reversed.rbegin(), reversed.rend());
}

void AppendNumber(WideString& out, const Conversion& conv, std::uint32_t raw) {
    const char16_t c = conv.conversion;
    const bool isSigned = c == u'd' || c == u'i';
    std::uint32_t magnitude = raw;
    bool negative = false;
    if (isSigned) {
        std::int32_t value = static_cast<std::int32_t>(raw);
        if (conv.shortness == 1) value = static_cast<std::int16_t>(raw);
        if (conv.shortness == 2) value = static_cast<std::int8_t>(raw);
        negative = value < 0;
        magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    } else {
        if (conv.shortness == 1) magnitude = static_cast<std::uint16_t>(raw);
        if (conv.shortness == 2) magnitude = static_cast<std::uint8_t>(raw);
    }
    const std::uint32_t base = (c == u'x' || c == u'X') ? 16 : c == u'o' ? 8 : 10;
    WideString body;
    if (!(conv.hasPrecision && conv.precision == 0 && magnitude == 0)) body = Digits(magnitude, base, c == u'X');
    if (conv.hasPrecision && body.size() < conv.precision) body.insert(0, conv.precision - body.size(), u'0');
    if (c == u'o' && conv.alternate && (body.empty() || body[0] != u'0')) body.insert(0, 1, u'0');

    std::u16string_view prefix;
    if (isSigned) {
        if (negative) prefix = u"-";
        else if (conv.plus) prefix = u"+";
        else if (conv.space) prefix = u" ";
    } else if (conv.alternate && magnitude != 0) {
        if (c == u'x') prefix = u"0x";
        if (c == u'X') prefix = u"0X";
    }
    AppendPadded(out, conv, prefix, body);
}

bool IsNumberConversion(char16_t c) noexcept {
    return c == u'd' || c == u'i' || c == u'u' || c == u'o' || c == u'x' || c == u'X';
}

}  // namespace

WideString FormatVersion(std::u16string_view format, std::initializer_list<VersionArg> args) {
    WideString out;
    const VersionArg* next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != u'%') {
            out.push_back(format[i++]);
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == u'%') {
            out.push_back(u'%');
            i += 2;
            continue;
        }
        std::size_t end = i;
        Conversion conv = ParseConversion(format, i, end);
        const VersionArg* arg = next != args.end() ? next++ : nullptr;
        if (conv.servable && arg != nullptr) {
            if (IsNumberConversion(conv.conversion) && !arg->IsText()) {
                AppendNumber(out, conv, arg->Number());
                i = end;
                continue;
            }
            if (conv.conversion == u's' && arg->IsText() && conv.shortness == 0 && !conv.plus && !conv.space &&
                !conv.alternate) {
                std::u16string_view text = arg->Text();
                if (conv.hasPrecision && text.size() > conv.precision) text = text.substr(0, conv.precision);
                AppendPadded(out, conv, u"", text);
                i = end;
                continue;
            }
        }
        out.append(format.substr(i, end - i));
        i = end;
    }
    return out;
}

}  // namespace lacqueron
