#include "tools/datapack/NumberFieldCheck.h"

#include <cstdio>
#include <string_view>

#include "core/Utf8.h"
#include "data/catalogue/Catalogue.h"
#include "data/text/StringList.h"

namespace datapack {

namespace {

using lacqueron::WideString;

struct InvisibleRange {
    char16_t first;
    char16_t last;
    const char* name;
};

// The spaces other than U+0020 and the format characters of the Basic Multilingual
// Plane (Unicode categories Zs, Zl, Zp and Cf).
constexpr InvisibleRange kInvisible[] = {
    {0x00A0, 0x00A0, "no-break space"},
    {0x00AD, 0x00AD, "soft hyphen"},
    {0x0600, 0x0605, "Arabic number sign"},
    {0x061C, 0x061C, "Arabic letter mark"},
    {0x06DD, 0x06DD, "Arabic end of ayah"},
    {0x070F, 0x070F, "Syriac abbreviation mark"},
    {0x0890, 0x0891, "Arabic pound or piastre mark"},
    {0x08E2, 0x08E2, "Arabic disputed end of ayah"},
    {0x1680, 0x1680, "Ogham space mark"},
    {0x180E, 0x180E, "Mongolian vowel separator"},
    {0x2000, 0x2008, "typographic space"},
    {0x2009, 0x2009, "thin space"},
    {0x200A, 0x200A, "hair space"},
    {0x200B, 0x200B, "zero-width space"},
    {0x200C, 0x200C, "zero-width non-joiner"},
    {0x200D, 0x200D, "zero-width joiner"},
    {0x200E, 0x200F, "direction mark"},
    {0x2028, 0x2029, "line or paragraph separator"},
    {0x202A, 0x202E, "direction embedding or override"},
    {0x202F, 0x202F, "narrow no-break space"},
    {0x205F, 0x205F, "medium mathematical space"},
    {0x2060, 0x2060, "word joiner"},
    {0x2061, 0x2064, "invisible operator"},
    {0x2066, 0x206F, "direction isolate or shaping control"},
    {0x3000, 0x3000, "ideographic space"},
    {0xFEFF, 0xFEFF, "byte order mark (zero-width no-break space)"},
    {0xFFF9, 0xFFFB, "interlinear annotation control"},
};

const InvisibleRange* FindInvisible(char16_t c) noexcept {
    for (const InvisibleRange& range : kInvisible)
        if (c >= range.first && c <= range.last) return &range;
    return nullptr;
}

std::string CodePoint(char16_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The field as UTF-8 with its invisible characters written as \uXXXX.
std::string Shown(const WideString& field) {
    std::string shown;
    for (char16_t c : field) shown += FindInvisible(c) ? "\\u" + CodePoint(c).substr(2) : lacqueron::ToUtf8(WideString(1, c));
    return shown;
}

// A split as the loader does it: an empty text has no parts.
std::vector<WideString> Split(const WideString& text, const char16_t* separator) {
    std::vector<WideString> parts;
    const auto list = lacqueron::CreateWideStringList(text.c_str(), separator);
    for (std::uint32_t i = 0; list && i < list->GetCount(); ++i) parts.emplace_back(list->GetAt(i));
    return parts;
}

WideString Without(WideString text, std::u16string_view unwanted) {
    std::erase_if(text, [unwanted](char16_t c) { return unwanted.find(c) != std::u16string_view::npos; });
    return text;
}

struct NumberField {
    const char* what;
    WideString text;
};

// The texts the loader reads as numbers on one line, with what each of them is.
std::vector<NumberField> NumberFields(lacqueron::SectionIndex section, const WideString& line) {
    std::vector<NumberField> numbers;
    const std::vector<WideString> fields = Split(line, u"\t");
    auto field = [&fields](std::size_t n) { return n <= fields.size() ? fields[n - 1] : WideString(); };

    if (section == lacqueron::kSectionColours && fields.size() >= 4) {
        const std::vector<WideString> words = Split(field(1), u" ");
        if (!words.empty()) numbers.push_back({"colour number", words.size() >= 2 ? words[1] : words[0]});
        const std::vector<WideString> rgb = Split(field(2), u"-");
        for (std::size_t i = 0; i < 3 && rgb.size() >= 3; ++i) numbers.push_back({"colour value", rgb[i]});
    } else if (section == lacqueron::kSectionRecipes) {
        if (lacqueron::EqualFoldLatin(field(1).substr(0, 3), u"RAL"))
            numbers.push_back({"recipe number", Without(field(1).substr(3), u" ")});
        else if (fields.size() >= 2)
            numbers.push_back({"amount", Without(field(2), u" \t")});
    } else if (section == lacqueron::kSectionComponents && fields.size() >= 3) {
        const WideString kind = field(1);
        if (!kind.empty() && (kind[0] == u'B' || kind[0] == u'b')) {
            const std::vector<WideString> parts = Split(kind.substr(1), u"|");
            if (!parts.empty()) numbers.push_back({"base purpose", parts[0]});
            if (parts.size() >= 2)
                for (const WideString& term : Split(parts[1], u"+"))
                    if (const std::vector<WideString> pair = Split(term, u"*"); pair.size() >= 2)
                        numbers.push_back({"formula amount", pair[1]});
            for (std::size_t i = 2; i < parts.size(); ++i) {
                const WideString option = !parts[i].empty() && parts[i][0] == u'^' ? parts[i].substr(1) : parts[i];
                if (!option.empty() && (option[0] == u'p' || option[0] == u'P'))
                    numbers.push_back({"pigment factor", option.substr(1)});
            }
        }
        if (fields.size() >= 4) numbers.push_back({"density", field(4)});
    }
    return numbers;
}

}  // namespace

std::vector<LineWarning> FindInvisibleCharactersInNumbers(lacqueron::SectionIndex section, const std::string& utf8) {
    std::vector<LineWarning> warnings;
    std::size_t number = 0;
    for (std::size_t start = 0; start < utf8.size();) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string::npos) end = utf8.size();
        ++number;
        WideString line;
        // A line that is not UTF-8 is reported when the sources are read.
        if (lacqueron::FromUtf8(utf8.substr(start, end - start), line, nullptr, lacqueron::kLargestBasicCodePoint)) {
            if (!line.empty() && line.back() == u'\r') line.pop_back();
            for (const NumberField& field : NumberFields(section, line)) {
                for (char16_t c : field.text) {
                    const InvisibleRange* invisible = FindInvisible(c);
                    if (!invisible) continue;
                    warnings.push_back({number, std::string(field.what) + " \"" + Shown(field.text) + "\" holds " +
                                                    CodePoint(c) + " (" + invisible->name +
                                                    "), which the program does not read as part of a number"});
                    break;
                }
            }
        }
        start = end + 1;
    }
    return warnings;
}

}  // namespace datapack
