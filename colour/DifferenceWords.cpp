#include "colour/DifferenceWords.h"

#include <cmath>

#include "colour/Decimal.h"

namespace lacqueron::colour {

namespace {

constexpr int kDeltaEDecimals = 2;

struct Axis {
    double Lab::*value;
    ColourWord above;  // the trial has more of it than the target
    ColourWord below;
};
constexpr Axis kAxes[] = {{&Lab::l, ColourWord::kLighter, ColourWord::kDarker},
                          {&Lab::a, ColourWord::kRedder, ColourWord::kGreener},
                          {&Lab::b, ColourWord::kYellower, ColourWord::kBluer}};

}  // namespace

std::vector<ColourWord> DifferenceWords(const Lab& target, const Lab& trial) {
    std::vector<ColourWord> words;
    for (const Axis& axis : kAxes) {
        const double difference = trial.*axis.value - target.*axis.value;
        if (std::fabs(difference) >= kNamedDifference) words.push_back(difference > 0 ? axis.above : axis.below);
    }
    return words;
}

const char* WordText(ColourWord word) noexcept {
    switch (word) {
    case ColourWord::kLighter: return "светлее";
    case ColourWord::kDarker: return "темнее";
    case ColourWord::kRedder: return "краснее";
    case ColourWord::kGreener: return "зеленее";
    case ColourWord::kYellower: return "желтее";
    case ColourWord::kBluer: return "синее";
    }
    return "";
}

std::string DifferenceText(const Lab& target, const Lab& trial) {
    const std::vector<ColourWord> words = DifferenceWords(target, trial);
    std::string text = "Проба ";
    if (words.empty()) {
        text += "совпадает с целью";
    } else {
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (i > 0) text += i + 1 == words.size() ? " и " : ", ";
            text += WordText(words[i]);
        }
        text += " цели";
    }
    return text + ", ΔE00 = " + FormatFixed(DeltaE2000(target, trial), kDeltaEDecimals);
}

}  // namespace lacqueron::colour
