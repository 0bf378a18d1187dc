#include "colour/TargetText.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "colour/Cgats.h"
#include "colour/Cxf.h"
#include "colour/Decimal.h"

namespace lacqueron::colour {
namespace {

constexpr std::size_t kTripleSize = 3;
constexpr int kLabDecimals = 2;
constexpr std::string_view kRalPrefix = "RAL";

bool IsFieldBreak(char c) noexcept { return c == ' ' || c == '\t' || c == ';'; }

std::vector<std::string_view> SplitOn(std::string_view text, bool (*separates)(char) noexcept) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !separates(text[i])) continue;
        if (i > start) parts.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return parts;
}

bool IsComma(char c) noexcept { return c == ','; }

// A number with a decimal point or comma.
bool ReadNumber(std::string_view text, double& value) {
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    return ParseNumber(number, value);
}

// Three numbers apart by blanks or ';' (a comma after each allowed), or by commas alone.
TargetProblem ReadTriple(std::string_view text, double out[kTripleSize]) {
    std::vector<std::string_view> parts = SplitOn(text, IsFieldBreak);
    if (parts.empty()) return TargetProblem::kEmpty;
    if (parts.size() == 1) parts = SplitOn(parts.front(), IsComma);
    else
        for (std::string_view& part : parts)
            if (part.size() > 1 && part.back() == ',') part.remove_suffix(1);
    if (parts.size() != kTripleSize) return TargetProblem::kNotThreeNumbers;
    for (std::size_t i = 0; i < kTripleSize; ++i)
        if (!ReadNumber(parts[i], out[i])) return TargetProblem::kNotThreeNumbers;
    return TargetProblem::kNone;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsFieldBreak(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsFieldBreak(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

TargetProblem ParseLabText(std::string_view text, Lab& lab) {
    double v[kTripleSize];
    if (const TargetProblem problem = ReadTriple(text, v); problem != TargetProblem::kNone) return problem;
    if (v[0] < 0 || v[0] > kLargestLightness) return TargetProblem::kLightnessOutside;
    if (std::fabs(v[1]) > kLargestOpponent || std::fabs(v[2]) > kLargestOpponent)
        return TargetProblem::kOpponentOutside;
    lab = {v[0], v[1], v[2]};
    return TargetProblem::kNone;
}

TargetProblem ParseHlcText(std::string_view text, Lab& lab) {
    text = Trimmed(text);
    if (text.size() >= kRalPrefix.size() &&
        std::equal(kRalPrefix.begin(), kRalPrefix.end(), text.begin(),
                   [](char a, char b) { return a == (b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b); }))
        text.remove_prefix(kRalPrefix.size());
    double v[kTripleSize];
    if (const TargetProblem problem = ReadTriple(text, v); problem != TargetProblem::kNone) return problem;
    if (v[0] < 0 || v[0] > kFullTurnDegrees) return TargetProblem::kHueOutside;
    if (v[1] < 0 || v[1] > kLargestLightness) return TargetProblem::kLightnessOutside;
    if (v[2] < 0) return TargetProblem::kChromaNegative;
    lab = LabFromHlc(v[0], v[1], v[2]);
    return TargetProblem::kNone;
}

std::string FormatLabText(const Lab& lab, char decimalMark) {
    std::string text;
    for (const double value : {lab.l, lab.a, lab.b}) {
        std::string number = FormatTrimmed(value, kLabDecimals);
        if (number == "-0") number = "0";
        std::replace(number.begin(), number.end(), '.', decimalMark);
        text += (text.empty() ? "" : " ") + number;
    }
    return text;
}

bool SpectrumFromMeasurement(std::string_view text, std::string_view name, Spectrum& spectrum,
                             MeasurementError& error) {
    std::vector<CgatsSample> samples;
    CgatsError read;
    if (!ReadMeasurementFile(text, samples, read)) {
        error = {read.noSpectrum ? TargetProblem::kNoSpectrum : TargetProblem::kFileUnreadable, read.line, read.reason};
        return false;
    }
    auto found = samples.begin();
    if (!name.empty()) {
        found = std::find_if(samples.begin(), samples.end(), [&](const CgatsSample& s) { return s.name == name; });
        if (found == samples.end())
            found = std::find_if(samples.begin(), samples.end(), [&](const CgatsSample& s) { return s.id == name; });
    }
    if (found == samples.end()) {
        error = {TargetProblem::kNoSample, 0, "no sample " + std::string(name)};
        return false;
    }
    spectrum = found->reflectance;
    return true;
}

std::string DescribeTargetProblem(TargetProblem problem, std::string_view what) {
    const std::string quoted = "«" + std::string(what) + "»";
    switch (problem) {
    case TargetProblem::kNone: return {};
    case TargetProblem::kEmpty: return "Цвет не указан.";
    case TargetProblem::kNotThreeNumbers: return quoted + " — не три числа через пробел.";
    case TargetProblem::kLightnessOutside: return "Светлота L* в " + quoted + " должна быть от 0 до 100.";
    case TargetProblem::kOpponentOutside: return "a* и b* в " + quoted + " должны быть от -200 до 200.";
    case TargetProblem::kHueOutside: return "Тон H в " + quoted + " должен быть от 0 до 360.";
    case TargetProblem::kChromaNegative: return "Насыщенность C в " + quoted + " не может быть отрицательной.";
    case TargetProblem::kFileUnreadable: return "Файл " + quoted + " не читается как файл замеров CGATS или CxF3.";
    case TargetProblem::kNoSpectrum:
        return "В файле " + quoted + " нет спектра отражения (400–700 нм): подбор по нему невозможен.";
    case TargetProblem::kNoSample: return "В файле нет образца " + quoted + ".";
    case TargetProblem::kUnknownCode: return "Цвета " + quoted + " нет в каталоге.";
    }
    return {};
}

std::string TargetProblemReason(TargetProblem problem) {
    switch (problem) {
    case TargetProblem::kNone: return {};
    case TargetProblem::kEmpty: return "no colour given";
    case TargetProblem::kNotThreeNumbers: return "not three numbers";
    case TargetProblem::kLightnessOutside: return "L* is outside 0-100";
    case TargetProblem::kOpponentOutside: return "a* or b* is outside -200-200";
    case TargetProblem::kHueOutside: return "H is outside 0-360";
    case TargetProblem::kChromaNegative: return "C is negative";
    case TargetProblem::kFileUnreadable: return "not a CGATS or CxF3 file";
    case TargetProblem::kNoSpectrum: return "no reflectance spectrum (400-700 nm) in the file";
    case TargetProblem::kNoSample: return "no such sample";
    case TargetProblem::kUnknownCode: return "no catalogue colour";
    }
    return {};
}

}  // namespace lacqueron::colour
