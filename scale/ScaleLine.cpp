#include "scale/ScaleLine.h"

#include "scale/WeightField.h"

namespace lacqueron {
namespace {

using namespace weight_field;

// "S S 123.45 g", "S D ...", "S I", "S +", "S -": the reply to "SI".
ScaleLine ParsePolled(std::string_view rest) noexcept {
    constexpr auto format = ScaleLineFormat::Polled;
    const char status = rest.front();
    rest.remove_prefix(1);
    switch (status) {
        case 'S': return ParseWeight(rest, format, true);
        case 'D': return ParseWeight(rest, format, false);
        case 'I': return State(format, ScaleLineKind::Busy);
        case '+': return State(format, ScaleLineKind::Overload);
        case '-': return State(format, ScaleLineKind::Underload);
        default: return ScaleLine{};
    }
}

// "ST,GS,+00123.45  g": a stability header, an optional gross or net field, the weight.
ScaleLine ParseHeaded(std::string_view header, std::string_view rest) noexcept {
    constexpr auto format = ScaleLineFormat::Continuous;
    if (header == "OL") return State(format, ScaleLineKind::Overload);
    const std::size_t comma = rest.find(',');
    if (comma != std::string_view::npos) {
        // Only gross and net are weights on the pan; a stored tare is not.
        const std::string_view field = TrimBlanks(rest.substr(0, comma));
        if (field != "GS" && field != "NT") return ScaleLine{};
        rest.remove_prefix(comma + 1);
    }
    // "QT" is the counting mode: its unit ("PC") is refused like any other.
    return ParseWeight(rest, format, header != "US");
}

}  // namespace

ScaleLine ParseScaleLine(std::string_view line) noexcept {
    const std::string_view text = TrimBlanks(line);
    if (text.size() >= 2 && text[0] == 'S' && IsBlank(text[1])) return ParsePolled(TrimBlanks(text.substr(1)));

    if (text.size() >= 2) {
        const std::string_view header = text.substr(0, 2);
        const std::string_view afterHeader = TrimBlanks(text.substr(2));
        if ((header == "ST" || header == "US" || header == "OL" || header == "QT") && !afterHeader.empty() &&
            afterHeader.front() == ',')
            return ParseHeaded(header, afterHeader.substr(1));
    }

    if (!LooksNumeric(text)) return ScaleLine{};
    // A bare weight; a trailing "?" marks it unstable.
    const bool unstable = text.back() == '?';
    return ParseWeight(unstable ? text.substr(0, text.size() - 1) : text, ScaleLineFormat::Continuous, !unstable);
}

}  // namespace lacqueron
