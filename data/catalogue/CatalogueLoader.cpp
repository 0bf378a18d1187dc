#include "data/catalogue/CatalogueLoader.h"

#include <string_view>
#include <vector>

#include "data/cipher/Cipher.h"
#include "data/text/StringList.h"
#include "data/text/TextTools.h"

namespace lacqueron {

namespace {

// Forwards to the optional observer for one section.
class Report {
public:
    Report(LoadObserver* observer, SectionIndex section) noexcept : observer_(observer), section_(section) {}
    void Appended(std::uint32_t line) const {
        if (observer_) observer_->RecordAppended(section_, line);
    }
    void Skipped(std::uint32_t line, const std::string& reason) const {
        if (observer_) observer_->Skipped(section_, line, reason);
    }
    void Refused(const std::string& reason) const {
        if (observer_) observer_->SectionRefused(section_, reason);
    }

private:
    LoadObserver* observer_;
    SectionIndex section_;
};

// One line split at TAB; fields are converted to wide text on use.
class Fields {
public:
    explicit Fields(const char* line) : list_(CreateNarrowStringList(line)) {}
    std::uint32_t Count() const noexcept { return list_ ? list_->GetCount() : 0; }
    // Field n counted from 1; empty when absent.
    WideString operator[](std::uint32_t n) const { return n >= 1 && n <= Count() ? ToWide(list_->GetAt(n - 1)) : WideString(); }

private:
    RefPtr<INarrowStringList> list_;
};

std::vector<WideString> SplitWide(const WideString& text, const char16_t* separator) {
    std::vector<WideString> parts;
    RefPtr<IWideStringList> list = CreateWideStringList(text.c_str(), separator);
    if (!list) return parts;
    for (std::uint32_t i = 0; i < list->GetCount(); ++i) parts.emplace_back(list->GetAt(i));
    return parts;
}

WideString WithoutChars(WideString text, const char16_t* unwanted) {
    const std::u16string_view set(unwanted);
    std::erase_if(text, [set](char16_t c) { return set.find(c) != std::u16string_view::npos; });
    return text;
}

// Reasons are plain ASCII; other characters of the quoted data appear as \uXXXX.
std::string Narrow(const WideString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    }
    return out;
}

std::uint32_t LowByte(const WideString& text) noexcept { return ParseUnsigned(text.c_str()) & 0xFFu; }

bool StartsWithFold(const WideString& text, const char16_t* prefix) noexcept {
    const WideString head = text.substr(0, std::char_traits<char16_t>::length(prefix));
    return EqualFoldLatin(head, prefix);
}

void ReadProfileValues(IAppModule& module, ProfileValues& values) {
    RefPtr<IRegistryKey> key = RefPtr<IRegistryKey>::Adopt(module.GetProfileKey(0));
    if (!key) return;
    key->GetDword(u"TargetWeight", &values.targetWeight);
    std::int32_t value = 0;
    if (key->GetDword(u"WeightType", &value)) values.weightType = static_cast<std::uint32_t>(value);
    if (key->GetDword(u"Purpose", &value)) values.purpose = static_cast<std::uint32_t>(value);
}

void LoadSettings(INarrowStringList& lines, Catalogue& catalogue, const Report& report) {
    for (std::uint32_t i = 0; i < lines.GetCount(); ++i) {
        const Fields fields(lines.GetAt(i));
        if (fields.Count() < 2) {
            report.Skipped(i, "a setting needs a key, a TAB and a value");
            continue;
        }
        SettingEntry entry{fields[1], fields[2]};
        if (entry.key.empty()) {
            report.Skipped(i, "empty setting key");
            continue;
        }
        catalogue.settings.Append(std::move(entry));
        report.Appended(i);
    }
}

void LoadColours(INarrowStringList& lines, Catalogue& catalogue, const Report& report) {
    for (std::uint32_t i = 0; i < lines.GetCount(); ++i) {
        const Fields fields(lines.GetAt(i));
        if (fields.Count() < 4) {
            report.Skipped(i, "a colour needs four TAB-separated fields");
            continue;
        }
        ColourEntry colour;
        colour.code = fields[1];
        const std::vector<WideString> words = SplitWide(colour.code, u" ");
        const WideString numberText = words.size() >= 2 ? words[1] : words.size() == 1 ? words[0] : WideString();
        colour.number = static_cast<std::int32_t>(ParseUnsigned(numberText.c_str()));
        const std::vector<WideString> rgb = SplitWide(fields[2], u"-");
        if (rgb.size() >= 3) colour.rgb = LowByte(rgb[0]) | LowByte(rgb[1]) << 8 | LowByte(rgb[2]) << 16;
        colour.name = fields[4];
        catalogue.colours.Append(std::move(colour));
        report.Appended(i);
    }
}

void LoadRecipes(INarrowStringList& lines, Catalogue& catalogue, const Report& report) {
    ColourRecipe* current = nullptr;
    for (std::uint32_t i = 0; i < lines.GetCount(); ++i) {
        const char* line = lines.GetAt(i);
        if (*line == '\0') {
            current = nullptr;
            continue;
        }
        const Fields fields(line);
        const WideString first = fields[1];
        if (StartsWithFold(first, u"RAL")) {
            const WideString rest = WithoutChars(first.substr(3), u" ");
            ColourRecipe recipe;
            recipe.title = u"RAL " + rest;
            recipe.number = static_cast<std::int32_t>(ParseUnsigned(rest.c_str()));
            current = &catalogue.recipes.Append(std::move(recipe));
            report.Appended(i);
            continue;
        }
        if (!current) {
            report.Skipped(i, "a recipe line outside a block (no \"RAL\" header line above it)");
            continue;
        }
        if (fields.Count() < 2) {
            report.Skipped(i, "a recipe line needs a code, a TAB and an amount");
            continue;
        }
        const WideString amountText = WithoutChars(fields[2], u" \t");
        current->items.push_back(RecipeItem{WithoutChars(first, u" \t"), ParseDecimal(amountText.c_str())});
    }
}

// The formula text of a base: terms code*amount joined by "+"; shares of the kept terms.
void ParseFormula(const WideString& text, MixComponent& base, std::uint32_t line, const Report& report) {
    std::vector<FormulaTerm> kept;
    double sum = 0;
    for (const WideString& term : SplitWide(text, u"+")) {
        const std::vector<WideString> parts = SplitWide(term, u"*");
        if (parts.size() < 2) {
            report.Skipped(line, "formula term \"" + Narrow(term) + "\" has no \"*\" and amount");
            continue;
        }
        const double amount = ParseDecimal(parts[1].c_str());
        if (parts[0].empty() || !(amount > 0)) {
            report.Skipped(line, "formula term \"" + Narrow(term) + "\" needs a code and an amount above 0");
            continue;
        }
        kept.push_back(FormulaTerm{parts[0], amount});
        sum += amount;
    }
    for (FormulaTerm& term : kept) term.share /= sum;
    base.formula = std::move(kept);
}

// Field 1 after the letter B: purpose|formula|options. False when the line is passed over.
bool ParseBaseDefinition(const WideString& definition, MixComponent& base, WideString& formulaText,
                         std::uint32_t line, const Report& report) {
    if (definition.empty()) {
        report.Skipped(line, "base without a purpose after \"B\"");
        return false;
    }
    const std::vector<WideString> parts = SplitWide(definition, u"|");
    if (parts.size() >= 2 && !parts[1].empty()) {
        formulaText = parts[1];
        base.flags |= kHasFormula;
    }
    for (std::size_t i = 2; i < parts.size(); ++i) {
        WideString option = parts[i];
        if (!option.empty() && option[0] == u'^') option.erase(0, 1);
        if (!option.empty() && (option[0] == u'p' || option[0] == u'P')) {
            base.pigmentFactor = ParseDecimal(option.c_str() + 1);
            base.flags |= kHasPigmentFactor;
        }
    }
    static const char16_t* const kPurposes[] = {u"1", u"2", u"3", u"4", u"5", u"6"};
    for (std::int32_t purpose = 1; purpose <= 6; ++purpose) {
        if (parts[0] == kPurposes[purpose - 1]) {
            base.purpose = purpose;
            return true;
        }
    }
    report.Skipped(line, "base purpose \"" + Narrow(parts[0]) + "\" is not one of 1 to 6");
    return false;
}

void LoadComponents(INarrowStringList& lines, Catalogue& catalogue, const Report& report) {
    for (std::uint32_t i = 0; i < lines.GetCount(); ++i) {
        const Fields fields(lines.GetAt(i));
        if (fields.Count() < 3 || fields[3].empty()) {
            report.Skipped(i, "a component needs a kind, a name and a code that is not empty");
            continue;
        }
        MixComponent component;
        WideString formulaText;
        const WideString kind = fields[1];
        const char16_t letter = kind.empty() ? u'\0' : kind[0];
        if (letter == u'P' || letter == u'p') {
            component.kind = kPigment;
            if (fields.Count() >= 5) component.note = fields[5];
        } else if (letter == u'H' || letter == u'h') {
            component.kind = kOther;
        } else if (letter == u'B' || letter == u'b') {
            component.kind = kBase;
            if (!ParseBaseDefinition(kind.substr(1), component, formulaText, i, report)) continue;
        } else {
            report.Skipped(i, "component kind must start with P, H or B");
            continue;
        }
        if (fields.Count() >= 4) component.density = ParseDecimal(fields[4].c_str());
        component.name = fields[2];
        component.code = fields[3];
        if (component.hasFormula()) ParseFormula(formulaText, component, i, report);
        catalogue.components.Append(std::move(component));
        report.Appended(i);
    }
}

// One pass in list order: a base that names a later formula base gets no density.
void ComputeBaseDensities(Catalogue& catalogue) {
    for (MixComponent& base : catalogue.components) {
        if (base.kind != kBase || !base.hasFormula() || base.density > 0) continue;
        double accumulator = 0;
        bool complete = true;
        for (const FormulaTerm& term : base.formula) {
            const MixComponent* part = catalogue.findTermComponent(term.code, base.purpose);
            if (part && part->density > 0)
                accumulator += term.share / part->density;
            else
                complete = false;
        }
        if (complete && accumulator > 0) base.density = 1 / accumulator;
    }
}

std::uint32_t ReadLe(const std::uint8_t* p, int size) noexcept {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

void WriteLe(std::uint8_t* p, std::uint32_t value, int size) noexcept {
    for (int i = 0; i < size; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxPaletteEntries = 256;

// A 24-bit uncompressed bitmap file image; the picture stays empty when a check fails.
void LoadPicture(RefPtr<IByteBuffer> buffer, CataloguePicture& picture, const Report& report) {
    const std::uint32_t length = buffer->GetLength();
    const std::uint8_t* data = buffer->GetData();
    if (length < kFileHeaderSize || !data || ReadLe(data, 2) != 0x4D42) return report.Refused("not a bitmap file (too short, or no \"BM\")");
    if (length - kFileHeaderSize < kInfoHeaderSize) return report.Refused("information header cut short");
    const std::uint8_t* info = data + kFileHeaderSize;
    const std::uint32_t headerSize = ReadLe(info, 4);
    const std::int32_t width = static_cast<std::int32_t>(ReadLe(info + 4, 4));
    const std::int32_t height = static_cast<std::int32_t>(ReadLe(info + 8, 4));
    const std::uint32_t planes = ReadLe(info + 12, 2);
    const std::uint32_t bitCount = ReadLe(info + 14, 2);
    const std::uint32_t compression = ReadLe(info + 16, 4);
    const std::uint32_t imageSize = ReadLe(info + 20, 4);
    const std::uint32_t coloursUsed = ReadLe(info + 32, 4);
    if (compression != 0) return report.Refused("compressed bitmap");
    if (planes * bitCount != 24) return report.Refused("not 24 bits per pixel");
    // A damaged count must not size the prepared header; a 24-bit image needs no palette anyway.
    if (coloursUsed > kMaxPaletteEntries) return report.Refused("more than 256 colours used");
    if (headerSize > length - kFileHeaderSize) return report.Refused("information header runs past the end");
    const std::uint32_t pixelOffset = ReadLe(data + 10, 4);
    if (pixelOffset >= length) return report.Refused("pixel data offset outside the picture");

    std::vector<std::uint8_t> header(kInfoHeaderSize + 4 * coloursUsed, 0);
    WriteLe(&header[0], kInfoHeaderSize, 4);
    WriteLe(&header[4], static_cast<std::uint32_t>(width), 4);
    // Negating INT32_MIN stays INT32_MIN's bit pattern, as the platform's abs() would leave it.
    WriteLe(&header[8], height < 0 ? 0u - static_cast<std::uint32_t>(height) : static_cast<std::uint32_t>(height), 4);
    WriteLe(&header[12], 1, 2);
    WriteLe(&header[14], 24, 2);
    WriteLe(&header[20], imageSize, 4);
    picture.header = std::move(header);
    picture.pixelOffset = pixelOffset;
    picture.buffer = std::move(buffer);
}

using TextLoader = void (*)(INarrowStringList&, Catalogue&, const Report&);

void LoadTextSection(const DataPackage& package, SectionIndex index, EmptyLines emptyLines, TextLoader load,
                     ICipher* cipher, Catalogue& catalogue, LoadObserver* observer) {
    const Report report(observer, index);
    const DataSection& section = package.sections[index];
    RefPtr<IByteBuffer> buffer = DecodeSection(section.bytes, section.length, cipher, package.key);
    RefPtr<INarrowStringList> lines = SplitLines(buffer.get(), emptyLines);
    if (!lines) return report.Refused("section cannot be decoded");
    buffer.Reset();
    load(*lines, catalogue, report);
}

}  // namespace

void LoadCatalogue(IAppModule& module, const DataPackage& package, Catalogue& catalogue, ProfileValues& values,
                   LoadObserver* observer) {
    ReadProfileValues(module, values);

    RefPtr<ICipher> cipher;
    if (RefPtr<ICipherFactory> factory = QueryAs<ICipherFactory>(&module, iid::CipherFactory))
        cipher = factory->CreateCipher();

    LoadTextSection(package, kSectionSettings, kDropEmptyLines, LoadSettings, cipher.get(), catalogue, observer);
    LoadTextSection(package, kSectionColours, kDropEmptyLines, LoadColours, cipher.get(), catalogue, observer);
    LoadTextSection(package, kSectionRecipes, kKeepEmptyLines, LoadRecipes, cipher.get(), catalogue, observer);
    LoadTextSection(package, kSectionComponents, kDropEmptyLines, LoadComponents, cipher.get(), catalogue, observer);
    ComputeBaseDensities(catalogue);

    const Report pictureReport(observer, kSectionPicture);
    const DataSection& section = package.sections[kSectionPicture];
    if (RefPtr<IByteBuffer> buffer = DecodeSection(section.bytes, section.length, cipher.get(), package.key))
        LoadPicture(std::move(buffer), catalogue.picture, pictureReport);
    else
        pictureReport.Refused("section cannot be decoded");
}

}  // namespace lacqueron
