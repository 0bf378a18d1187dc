#include "colour/Cgats.h"
#include "core/AsciiDigit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <map>
#include <optional>

namespace lacqueron::colour {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A file whose reflectances all stay at or below this is in fractions, above it in
// percent: fractions never reach 1.5 (not even a brightened white), and percent always
// does unless every sample of the file is a black under 1.5 %.
constexpr double kPercentAbove = 1.5;
constexpr double kPercent = 100.0;
// Instrument noise takes a black a little below 0 and a brightened white above 1; the
// engine's spectra are 0..1, so those are clamped. Further out is an error.
constexpr double kLowestReflectance = -0.005;
constexpr double kHighestReflectance = 1.5;
// More paste than this per 1000 g of base is no paint but a typing error.
constexpr double kMostSampleGrams = 100000.0;
// Enough for 9 999 nm; keeps the sum in an int.
constexpr std::size_t kMostWavelengthDigits = 4;
// NUMBER_OF_FIELDS and NUMBER_OF_SETS: up to 999 999 999, still an int.
constexpr std::size_t kMostCountDigits = 9;
// A value quoted in a message is cut here, so a runaway line stays readable.
constexpr std::size_t kQuotedBytes = 40;

constexpr std::string_view kSampleId = "SAMPLE_ID";
constexpr std::string_view kSampleName = "SAMPLE_NAME";
constexpr std::string_view kConcentrationPrefix = "CONC_";
// Longer prefixes first: "SPECTRAL_NM" would take "SPECTRAL_NM_400" for a name without digits.
constexpr std::array<std::string_view, 4> kSpectralPrefixes = {"SPECTRAL_NM_", "SPECTRAL_NM", "SPEC_", "NM"};

struct Token {
    std::string_view text;
    bool quoted = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLatinLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char FoldLatin(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldLatin(text[i]) != FoldLatin(prefix[i])) return false;
    return true;
}

bool SameFolded(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsFolded(a, b); }

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldLatin(c);
    return folded;
}

bool IsWord(const Token& token, std::string_view keyword) { return !token.quoted && SameFolded(token.text, keyword); }

// A value as a message shows it: in quotes, cut short, never inside a UTF-8 letter.
std::string Quoted(std::string_view text) {
    if (text.size() <= kQuotedBytes) return "\"" + std::string(text) + "\"";
    std::size_t cut = kQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

std::string Figure(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The values of a line, its comment left out. False for a quote left open.
bool SplitValues(std::string_view line, std::vector<Token>& tokens, std::string& reason) {
    tokens.clear();
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size() || line[i] == '#') return true;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                reason = "a quote is opened and not closed on this line";
                return false;
            }
            tokens.push_back({line.substr(i + 1, close - i - 1), true});
            i = close + 1;
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                reason = "text right after the closing quote of " + Quoted(tokens.back().text);
                return false;
            }
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') ++i;
            tokens.push_back({line.substr(start, i - start), false});
        }
    }
}

// A sign, digits with one decimal point or comma, an exponent: nothing else, no locale.
bool ParseNumber(std::string_view text, double& value) {
    std::string plain;
    plain.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsAsciiDigit(text[i])) {
            digits = true;
            plain += text[i];
        } else if ((text[i] == '.' || text[i] == ',') && !point) {
            point = true;
            plain += '.';
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        const std::size_t exponentStart = i;
        for (; i < text.size() && IsAsciiDigit(text[i]); ++i) plain += text[i];
        if (i == exponentStart) return false;
    }
    if (i != text.size()) return false;
    const char* end = plain.data() + plain.size();
    const auto [stop, failure] = std::from_chars(plain.data(), end, value, std::chars_format::general);
    return failure == std::errc() && stop == end && std::isfinite(value);
}

bool ParseCount(std::string_view text, int& count) {
    if (text.empty() || text.size() > kMostCountDigits) return false;
    count = 0;
    for (char c : text) {
        if (!IsAsciiDigit(c)) return false;
        count = count * 10 + (c - '0');
    }
    return true;
}

// The wavelength a spectral field's name gives, or nothing for a field of another kind.
std::optional<int> SpectralWavelength(std::string_view field) {
    for (std::string_view prefix : kSpectralPrefixes) {
        if (!StartsFolded(field, prefix)) continue;
        int count = 0;
        const std::string_view digits = field.substr(prefix.size());
        if (digits.size() > kMostWavelengthDigits || !ParseCount(digits, count)) return std::nullopt;
        return count;
    }
    return std::nullopt;
}

std::optional<int> BandOfWavelength(int nanometres) {
    const int offset = nanometres - kFirstWavelengthNm;
    if (offset < 0 || nanometres > kLastWavelengthNm || offset % kBandStepNm != 0) return std::nullopt;
    return offset / kBandStepNm;
}

// Where a table's fields are: the columns of its data lines.
struct Layout {
    int id = -1;
    int name = -1;
    std::vector<std::pair<std::string, int>> concentrations;  // code, column
    std::vector<int> spectral;                                // every spectral column
    std::array<int, kBandCount> bands{};                      // the column of each band
};

// A count a header declares, checked once the table it belongs to is read.
struct Declared {
    int count = 0;
    int line = 0;  // 0: not declared
};

class CgatsReader {
public:
    CgatsReader(std::vector<CgatsSample>& samples, CgatsError& error) : samples_(samples), error_(error) {}

    bool Line(int number, std::string_view text) {
        line_ = number;
        std::string reason;
        if (!SplitValues(text, tokens_, reason)) return Fail(reason);
        if (tokens_.empty()) return true;
        switch (section_) {
            case Section::kHeader: return HeaderLine();
            case Section::kFormat: return FormatLine(0);
            case Section::kData: return DataLine();
        }
        return true;
    }

    // After the last line: every table closed, at least one sample, the spectra scaled.
    bool Finish(int lastLine) {
        line_ = lastLine;
        if (section_ == Section::kFormat)
            return Fail("END_DATA_FORMAT missing after BEGIN_DATA_FORMAT on line " + std::to_string(formatLine_));
        if (section_ == Section::kData)
            return Fail("END_DATA missing after BEGIN_DATA on line " + std::to_string(dataLine_));
        if (formatRead_) return Fail("no BEGIN_DATA ... END_DATA after the data format");
        if (samples_.empty())
            return Fail("no data: the file holds no BEGIN_DATA_FORMAT ... BEGIN_DATA ... END_DATA table");
        return ScaleReflectances(samples_, highest_, error_);
    }

private:
    enum class Section { kHeader, kFormat, kData };

    bool Fail(std::string reason) {
        error_.line = line_;
        error_.reason = std::move(reason);
        return false;
    }

    bool HeaderLine() {
        const Token& keyword = tokens_[0];
        if (keyword.quoted || !(IsLatinLetter(keyword.text[0]) || keyword.text[0] == '_'))
            return Fail("a header line starts with a keyword, not " + Quoted(keyword.text));
        if (IsWord(keyword, "BEGIN_DATA_FORMAT")) {
            if (formatRead_) return Fail("a second BEGIN_DATA_FORMAT before the first table's BEGIN_DATA");
            section_ = Section::kFormat;
            formatLine_ = line_;
            fields_.clear();
            foldedFields_.clear();
            return FormatLine(1);
        }
        if (IsWord(keyword, "END_DATA_FORMAT")) return Fail("END_DATA_FORMAT without BEGIN_DATA_FORMAT");
        if (IsWord(keyword, "END_DATA")) return Fail("END_DATA without BEGIN_DATA");
        if (IsWord(keyword, "BEGIN_DATA")) return BeginData();
        if (IsWord(keyword, "NUMBER_OF_FIELDS")) return ReadDeclared(fieldCount_);
        if (IsWord(keyword, "NUMBER_OF_SETS")) return ReadDeclared(setCount_);
        return true;  // ORIGINATOR, CREATED, KEYWORD and the rest: nothing the engine uses
    }

    bool ReadDeclared(Declared& declared) {
        if (tokens_.size() < 2 || !ParseCount(tokens_[1].text, declared.count))
            return Fail(std::string(tokens_[0].text) + " needs a whole number");
        declared.line = line_;
        return true;
    }

    bool FormatLine(std::size_t first) {
        for (std::size_t i = first; i < tokens_.size(); ++i) {
            const Token& token = tokens_[i];
            if (IsWord(token, "END_DATA_FORMAT")) {
                if (i + 1 < tokens_.size()) return Fail("text after END_DATA_FORMAT");
                return EndFormat();
            }
            if (IsWord(token, "BEGIN_DATA")) return Fail("BEGIN_DATA inside the data format: END_DATA_FORMAT missing");
            if (token.text.empty()) return Fail("an empty field name in the data format");
            const auto [known, added] = foldedFields_.emplace(Folded(token.text), static_cast<int>(fields_.size()));
            if (!added) return Fail("the field " + fields_[known->second] + " appears twice");
            fields_.emplace_back(token.text);
        }
        return true;
    }

    // Finds the columns; a table the engine cannot use fails at its BEGIN_DATA_FORMAT.
    bool EndFormat() {
        const int endLine = line_;
        line_ = formatLine_;
        layout_ = Layout{};
        layout_.bands.fill(-1);
        for (int column = 0; column < static_cast<int>(fields_.size()); ++column) {
            const std::string& field = fields_[column];
            if (SameFolded(field, kSampleId)) {
                layout_.id = column;
            } else if (SameFolded(field, kSampleName)) {
                layout_.name = column;
            } else if (StartsFolded(field, kConcentrationPrefix)) {
                std::string code = field.substr(kConcentrationPrefix.size());
                if (code.empty()) return Fail("the field " + field + " names no paste");
                layout_.concentrations.emplace_back(std::move(code), column);
            } else if (const std::optional<int> nanometres = SpectralWavelength(field)) {
                layout_.spectral.push_back(column);
                const std::optional<int> band = BandOfWavelength(*nanometres);
                if (!band) continue;
                if (layout_.bands[*band] >= 0)
                    return Fail("two fields for the " + std::to_string(*nanometres) + " nm band: " +
                                fields_[layout_.bands[*band]] + " and " + field);
                layout_.bands[*band] = column;
            }
        }
        if (fields_.empty()) return Fail("the data format lists no fields");
        if (layout_.id < 0) return Fail("the data format has no SAMPLE_ID field");
        error_.noSpectrum = true;
        if (layout_.spectral.empty())
            return Fail("the data format has no spectral fields (SPECTRAL_NM400 ... SPECTRAL_NM700)");
        for (int band = 0; band < kBandCount; ++band)
            if (layout_.bands[band] < 0)
                return Fail("the data format has no field for the " + std::to_string(WavelengthOfBand(band)) +
                            " nm band");
        error_.noSpectrum = false;
        line_ = endLine;
        section_ = Section::kHeader;
        formatRead_ = true;
        return true;
    }

    bool BeginData() {
        if (!formatRead_) return Fail("BEGIN_DATA before the data format (BEGIN_DATA_FORMAT ... END_DATA_FORMAT)");
        if (tokens_.size() > 1) return Fail("text after BEGIN_DATA");
        if (fieldCount_.line > 0 && fieldCount_.count != static_cast<int>(fields_.size())) {
            line_ = fieldCount_.line;
            return Fail("NUMBER_OF_FIELDS is " + std::to_string(fieldCount_.count) + ", the data format lists " +
                        std::to_string(fields_.size()) + " fields");
        }
        section_ = Section::kData;
        dataLine_ = line_;
        samplesInTable_ = 0;
        return true;
    }

    bool EndData() {
        if (tokens_.size() > 1) return Fail("text after END_DATA");
        if (samplesInTable_ == 0) return Fail("no samples between BEGIN_DATA and END_DATA");
        if (setCount_.line > 0 && setCount_.count != samplesInTable_) {
            const int endLine = line_;
            line_ = setCount_.line;
            return Fail("NUMBER_OF_SETS is " + std::to_string(setCount_.count) + ", the data on lines " +
                        std::to_string(dataLine_ + 1) + " to " + std::to_string(endLine - 1) + " holds " +
                        std::to_string(samplesInTable_) + " samples");
        }
        // A next table starts with a header of its own.
        section_ = Section::kHeader;
        formatRead_ = false;
        fieldCount_ = {};
        setCount_ = {};
        return true;
    }

    bool ReadNumber(int column, double& value) {
        if (ParseNumber(tokens_[column].text, value)) return true;
        return Fail(fields_[column] + ": " + Quoted(tokens_[column].text) + " is not a number");
    }

    bool DataLine() {
        if (IsWord(tokens_[0], "END_DATA")) return EndData();
        if (tokens_.size() != fields_.size())
            return Fail(std::to_string(tokens_.size()) + " values on the line, the data format has " +
                        std::to_string(fields_.size()) + " fields");
        CgatsSample sample;
        sample.line = line_;
        sample.id = tokens_[layout_.id].text;
        if (sample.id.empty()) return Fail("an empty SAMPLE_ID");
        sample.name = layout_.name >= 0 ? tokens_[layout_.name].text : tokens_[layout_.id].text;
        for (const auto& [code, column] : layout_.concentrations) {
            double grams = 0;
            if (!ReadNumber(column, grams)) return false;
            if (grams < 0 || grams > kMostSampleGrams)
                return Fail(fields_[column] + ": " + Quoted(tokens_[column].text) +
                            " is not an amount of paste (0 to 100000 g per 1000 g of base)");
            sample.concentrations.emplace_back(code, grams == 0 ? 0.0 : grams);  // never -0
        }
        values_.assign(fields_.size(), 0.0);
        for (int column : layout_.spectral) {
            if (!ReadNumber(column, values_[column])) return false;
            highest_ = std::max(highest_, values_[column]);
        }
        // Raw values until Finish knows whether the file is in percent.
        for (int band = 0; band < kBandCount; ++band) sample.reflectance[band] = values_[layout_.bands[band]];
        samples_.push_back(std::move(sample));
        ++samplesInTable_;
        return true;
    }

    std::vector<CgatsSample>& samples_;
    CgatsError& error_;
    std::vector<Token> tokens_;
    std::vector<std::string> fields_;
    std::map<std::string, int> foldedFields_;  // a field's name in capitals -> its column
    std::vector<double> values_;
    Layout layout_;
    Section section_ = Section::kHeader;
    bool formatRead_ = false;
    Declared fieldCount_;
    Declared setCount_;
    int line_ = 0;
    int formatLine_ = 0;
    int dataLine_ = 0;
    int samplesInTable_ = 0;
    double highest_ = 0;
};

}  // namespace

bool ScaleReflectances(std::vector<CgatsSample>& samples, double highest, CgatsError& error) {
    const bool percent = highest > kPercentAbove;
    const double scale = percent ? kPercent : 1.0;
    for (CgatsSample& sample : samples) {
        for (int band = 0; band < kBandCount; ++band) {
            const double raw = sample.reflectance[band];
            const double fraction = raw / scale;
            if (fraction < kLowestReflectance || fraction > kHighestReflectance) {
                error.line = sample.line;
                error.reason = "the reflectance at " + std::to_string(WavelengthOfBand(band)) + " nm, " + Figure(raw) +
                               (percent ? " %," : ",") + " is out of range";
                return false;
            }
            sample.reflectance[band] = fraction <= 0 ? 0.0 : std::min(fraction, 1.0);
        }
    }
    return true;
}

bool ReadCgats(std::string_view text, std::vector<CgatsSample>& samples, CgatsError& error) {
    samples.clear();
    error = {};
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    CgatsReader reader(samples, error);
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        if (!reader.Line(number, text.substr(start, end - start))) {
            samples.clear();
            return false;
        }
        // CR LF is one line end; CR or LF alone is one too.
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    if (!reader.Finish(std::max(number, 1))) {
        samples.clear();
        return false;
    }
    return true;
}

}  // namespace lacqueron::colour
