#include "colour/LabText.h"

#include <cmath>
#include <string>
#include <vector>

#include "colour/Decimal.h"

namespace lacqueron::colour {

namespace {

constexpr int kLabFigures = 3;

bool IsSeparator(char c, bool commas) noexcept {
    return c == ' ' || c == '\t' || c == ';' || (commas && c == ',');
}

std::vector<std::string> Parts(std::string_view text, bool commas) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : text) {
        if (IsSeparator(c, commas)) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c == ',' ? '.' : c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

LabTextResult ParseLabText(std::string_view text, Lab& lab) {
    std::vector<std::string> parts = Parts(text, false);
    if (parts.size() == 1) parts = Parts(text, true);
    if (parts.size() != kLabFigures) return LabTextResult::kNotThreeNumbers;
    double figures[kLabFigures];
    for (int i = 0; i < kLabFigures; ++i)
        if (!ParseNumber(parts[i], figures[i])) return LabTextResult::kNotThreeNumbers;
    if (figures[0] < kLeastLightness || figures[0] > kMostLightness) return LabTextResult::kLightnessOutOfRange;
    if (std::fabs(figures[1]) > kMostAxis || std::fabs(figures[2]) > kMostAxis) return LabTextResult::kAxisOutOfRange;
    lab = {figures[0], figures[1], figures[2]};
    return LabTextResult::kRead;
}

}  // namespace lacqueron::colour
