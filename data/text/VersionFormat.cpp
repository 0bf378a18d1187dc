#include "data/text/VersionFormat.h"

namespace lacqueron {
namespace {

constexpr std::uint32_t kMaxField = 4096;

struct Spec {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    std::uint32_t width = 0;
    bool hasPrecision = false;
    std::uint32_t precision = 0;
    int shortness = 0;  // 1 for h, 2 for hh
    bool servable = true;
    char16_t conversion = 0;
};

bool IsDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// Reads a decimal field; a value above kMaxField makes the conversion unservable.
std::uint32_t ReadField(std::u16string_view format, std::size_t& i, Spec& spec) {
    std::uint32_t value = 0;
    while (i < format.size() && IsDigit(format[i])) {
        if (value <= kMaxField) value = value * 10 + static_cast<std::uint32_t>(format[i] - u'0');
        ++i;
    }
    if (value > kMaxField) spec.servable = false;
    return value;
}

bool IsSpecChar(char16_t c) noexcept {
    return IsDigit(c) || c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'.' || c == u'*' ||
           c == u'$' || c == u'h' || c == u'l' || c == u'L' || c == u'q' || c == u'j' || c == u'z' ||
           c == u't' || c == u'I' || c == u'w';
}

// Parses the conversion that starts at format[start] == '%'. Sets end one past it.
Spec ParseSpec(std::u16string_view format, std::size_t start, std::size_t& end) {
    Spec spec;
    std::size_t i = start + 1;
    for (; i < format.size(); ++i) {
        const char16_t c = format[i];
        if (c == u'-') spec.left = true;
        else if (c == u'+') spec.plus = true;
        else if (c == u' ') spec.space = true;
        else if (c == u'#') spec.alternate = true;
        else if (c == u'0') spec.zero = true;
        else break;
    }
    spec.width = ReadField(format, i, spec);
    if (i < format.size() && format[i] == u'.') {
        ++i;
        spec.hasPrecision = true;
        spec.precision = ReadField(format, i, spec);
    }
    if (i < format.size() && format[i] == u'h') {
        ++i;
        spec.shortness = 1;
        if (i < format.size() && format[i] == u'h') {
            ++i;
            spec.shortness = 2;
        }
    } else if (i < format.size() && format[i] == u'l') {
        ++i;
        if (i < format.size() && format[i] == u'l') spec.servable = false;
    }
    // Anything else that belongs to a conversion ('*', '$', other lengths) is not served.
    while (i < format.size() && IsSpecChar(format[i])) {
        spec.servable = false;
        ++i;
    }
    if (i < format.size()) {
        spec.conversion = format[i];
        ++i;
    } else {
        spec.servable = false;
    }
    end = i;
    return spec;
}

void AppendPadding(WideString& out, std::uint32_t count, char16_t fill) { out.append(count, fill); }

void AppendPadded(WideString& out, const Spec& spec, std::u16string_view prefix, std::u16string_view body) {
    const std::size_t length = prefix.size() + body.size();
    const std::uint32_t pad = spec.width > length ? static_cast<std::uint32_t>(spec.width - length) : 0;
    if (spec.left) {
        out.append(prefix);
        out.append(body);
        AppendPadding(out, pad, u' ');
    } else if (spec.zero && spec.conversion != u's' && !spec.hasPrecision) {
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

void AppendNumber(WideString& out, const Spec& spec, std::uint32_t raw) {
    const char16_t c = spec.conversion;
    const bool isSigned = c == u'd' || c == u'i';
    std::uint32_t magnitude = raw;
    bool negative = false;
    if (isSigned) {
        std::int32_t value = static_cast<std::int32_t>(raw);
        if (spec.shortness == 1) value = static_cast<std::int16_t>(raw);
        if (spec.shortness == 2) value = static_cast<std::int8_t>(raw);
        negative = value < 0;
        magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    } else {
        if (spec.shortness == 1) magnitude = static_cast<std::uint16_t>(raw);
        if (spec.shortness == 2) magnitude = static_cast<std::uint8_t>(raw);
    }
    const std::uint32_t base = (c == u'x' || c == u'X') ? 16 : c == u'o' ? 8 : 10;
    WideString body;
    if (!(spec.hasPrecision && spec.precision == 0 && magnitude == 0)) body = Digits(magnitude, base, c == u'X');
    if (spec.hasPrecision && body.size() < spec.precision) body.insert(0, spec.precision - body.size(), u'0');
    if (c == u'o' && spec.alternate && (body.empty() || body[0] != u'0')) body.insert(0, 1, u'0');

    std::u16string_view prefix;
    if (isSigned) {
        if (negative) prefix = u"-";
        else if (spec.plus) prefix = u"+";
        else if (spec.space) prefix = u" ";
    } else if (spec.alternate && magnitude != 0) {
        if (c == u'x') prefix = u"0x";
        if (c == u'X') prefix = u"0X";
    }
    AppendPadded(out, spec, prefix, body);
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
        Spec spec = ParseSpec(format, i, end);
        const VersionArg* arg = next != args.end() ? next++ : nullptr;
        if (spec.servable && arg != nullptr) {
            if (IsNumberConversion(spec.conversion) && !arg->IsText()) {
                AppendNumber(out, spec, arg->Number());
                i = end;
                continue;
            }
            if (spec.conversion == u's' && arg->IsText() && spec.shortness == 0 && !spec.plus && !spec.space &&
                !spec.alternate) {
                std::u16string_view text = arg->Text();
                if (spec.hasPrecision && text.size() > spec.precision) text = text.substr(0, spec.precision);
                AppendPadded(out, spec, u"", text);
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
