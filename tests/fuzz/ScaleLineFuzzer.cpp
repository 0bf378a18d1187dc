// Arbitrary bytes as they would come from a serial port, in reads of arbitrary sizes:
// cut into lines, parsed, fed to the automatic protocol choice and turned into the
// events the dialog gets. Checks what every line must keep to.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scale/LineSplitter.h"
#include "scale/ScaleEvent.h"
#include "scale/ScaleLine.h"
#include "scale/ScaleProtocol.h"

namespace {

using namespace lacqueron;

constexpr std::size_t kMaxRead = 64;

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    LineSplitter splitter;
    ProtocolDetector detector(ScaleProtocol::Automatic);
    while (provider.remaining_bytes() > 0) {
        const std::string read = provider.ConsumeRandomLengthString(kMaxRead);
        splitter.Feed(read, [&](std::string_view text) {
            Check(!text.empty() && text.size() <= LineSplitter::kMaxLineLength);
            Check(text.find_first_of("\r\n") == std::string_view::npos);
            const ScaleLine line = ParseScaleLine(text);
            Check(line.hundredths >= -kMaxScaleHundredths && line.hundredths <= kMaxScaleHundredths);
            Check((line.kind == ScaleLineKind::Refused) == (line.refusal != ScaleRefusal::None));
            Check(line.kind != ScaleLineKind::Unrecognised || line.format == ScaleLineFormat::Unknown);
            detector.Observe(line);
            ScaleEvent event;
            if (ScaleEventFromLine(line, event)) {
                Check(UnpackScaleEvent(PackScaleEvent(event), event.hundredths) == event);
                Check((event.kind == ScaleEventKind::Reading) == (ScaleEventText(event) == nullptr));
            }
        });
    }
    ScaleCommandBytes(detector.current(), ScaleCommand::Poll);
    return 0;
}
