// Arbitrary bytes as they would come from a serial port, in reads of arbitrary sizes:
// cut into lines, parsed by every protocol's parser, fed to the automatic protocol
// choice and to the rate and protocol search, and turned into the events the dialog
// gets. Checks what every line must keep to.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scale/LineSplitter.h"
#include "scale/ScaleDetection.h"
#include "scale/ScaleEvent.h"
#include "scale/ScaleLine.h"
#include "scale/ScaleProtocol.h"

namespace {

using namespace lacqueron;

constexpr std::size_t kMaxRead = 64;
constexpr std::int64_t kMaxStepMs = 200;

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckLine(const ScaleLine& line, ScaleLineFormat own) {
    Check(line.hundredths >= -kMaxScaleHundredths && line.hundredths <= kMaxScaleHundredths);
    Check((line.kind == ScaleLineKind::Refused) == (line.refusal != ScaleRefusal::None));
    Check(line.kind != ScaleLineKind::Unrecognised || line.format == ScaleLineFormat::Unknown);
    Check(line.refusal == ScaleRefusal::NotGrams || line.unit == ScaleUnit{});
    // A protocol's own parser gives lines of its own format only.
    Check(own == ScaleLineFormat::Unknown || line.kind == ScaleLineKind::Unrecognised || line.format == own);
    ScaleEvent event;
    if (ScaleEventFromLine(line, event)) {
        Check(UnpackScaleEvent(PackScaleEvent(event), event.hundredths) == event);
        Check((event.kind == ScaleEventKind::Reading) == ScaleEventText(event).empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    LineSplitter splitter;
    ProtocolDetector detector(ScaleProtocol::Automatic);
    ScaleDetection search(kDetectionBauds, kDetectionProtocols);
    std::int64_t now = 0;
    while (provider.remaining_bytes() > 0) {
        const std::string read = provider.ConsumeRandomLengthString(kMaxRead);
        now += provider.ConsumeIntegralInRange<std::int64_t>(0, kMaxStepMs);
        const DetectionStep step = search.Next(now);
        Check(step.action != DetectionAction::Read || step.untilMs > now);
        splitter.Feed(read, [&](std::string_view text) {
            Check(!text.empty() && text.size() <= LineSplitter::kMaxLineLength);
            Check(text.find_first_of("\r\n") == std::string_view::npos);
            const ScaleLine line = ParseScaleLine(text);
            CheckLine(line, ScaleLineFormat::Unknown);
            detector.Observe(line);
            for (auto p = static_cast<std::uint32_t>(ScaleProtocol::Polled);
                 p <= static_cast<std::uint32_t>(kLastScaleProtocol); ++p) {
                const auto protocol = static_cast<ScaleProtocol>(p);
                const bool own = protocol != ScaleProtocol::Polled && protocol != ScaleProtocol::Continuous;
                CheckLine(ParseScaleLine(protocol, text), own ? ScaleProtocolFormat(protocol) : ScaleLineFormat::Unknown);
            }
            search.OnLine(text, now);
        });
    }
    ScaleCommandBytes(detector.current(), ScaleCommand::Poll);
    return 0;
}
