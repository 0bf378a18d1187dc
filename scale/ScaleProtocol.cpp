#include "scale/ScaleProtocol.h"

#include <iterator>

#include "scale/ScaleFormats.h"

namespace lacqueron {
namespace {

constexpr std::string_view kSi = "SI\r\n";
constexpr std::string_view kTare = "T\r\n";
constexpr std::string_view kZero = "Z\r\n";

// One row per protocol, in the order of their numbers.
struct ProtocolRow {
    std::string_view poll, tare, zero;  // empty: no such command
    bool streams;
    ScaleLineFormat format;
    ScaleLine (*parse)(std::string_view) noexcept;
    const char16_t* name;
};

// Until the automatic choice settles the scale is asked too: a streaming scale ignores
// it. Streams get the same tare and zero; a scale that only prints ignores them. The
// names are short enough for the protocol list of the weighing dialog.
constexpr ProtocolRow kRows[] = {
    {kSi, kTare, kZero, true, ScaleLineFormat::Unknown, &ParseScaleLine, u"автоматически"},
    {kSi, kTare, kZero, false, ScaleLineFormat::Polled, &ParseScaleLine, u"по запросу"},
    {{}, kTare, kZero, true, ScaleLineFormat::Continuous, &ParseScaleLine, u"непрерывно"},
    {"\x1bP", "\x1bT", {}, false, ScaleLineFormat::EscPolled, &ParseEscPolledLine, u"ESC P, 16/22 знака"},
    {"IP\r\n", kTare, {}, true, ScaleLineFormat::Legend, &ParseLegendLine, u"IP/CP, знак ?"},
    {kSi, kTare, kZero, false, ScaleLineFormat::Marked, &ParseMarkedLine, u"SI, метка ?/^/v"},
    {{}, kTare, kZero, true, ScaleLineFormat::Prefixed, &ParsePrefixedLine, u"поток S/U"},
};
static_assert(std::size(kRows) == static_cast<std::size_t>(kLastScaleProtocol) + 1);

// The protocol's row; null for a number no protocol has (a value cast from elsewhere).
const ProtocolRow* Row(ScaleProtocol protocol) noexcept {
    const auto index = static_cast<std::size_t>(protocol);
    return index < std::size(kRows) ? &kRows[index] : nullptr;
}

}  // namespace

std::string_view ScaleCommandBytes(ScaleProtocol protocol, ScaleCommand command) noexcept {
    const ProtocolRow* row = Row(protocol);
    if (row == nullptr) return {};
    switch (command) {
        case ScaleCommand::Poll: return row->poll;
        case ScaleCommand::Tare: return row->tare;
        case ScaleCommand::Zero: return row->zero;
    }
    return {};
}

bool ScaleProtocolStreams(ScaleProtocol protocol) noexcept {
    const ProtocolRow* row = Row(protocol);
    return row != nullptr && row->streams;
}

const char16_t* ScaleProtocolName(ScaleProtocol protocol) noexcept {
    const ProtocolRow* row = Row(protocol);
    return row != nullptr ? row->name : nullptr;
}

ScaleLineFormat ScaleProtocolFormat(ScaleProtocol protocol) noexcept {
    const ProtocolRow* row = Row(protocol);
    return row != nullptr ? row->format : ScaleLineFormat::Unknown;
}

ScaleLine ParseScaleLine(ScaleProtocol protocol, std::string_view line) noexcept {
    const ProtocolRow* row = Row(protocol);
    return row != nullptr ? row->parse(line) : ScaleLine{};
}

void ProtocolDetector::Observe(const ScaleLine& line) noexcept {
    if (current_ != ScaleProtocol::Automatic) return;
    if (line.format == ScaleLineFormat::Polled) current_ = ScaleProtocol::Polled;
    if (line.format == ScaleLineFormat::Continuous) current_ = ScaleProtocol::Continuous;
}

}  // namespace lacqueron
