// Arbitrary bytes as a CxF3 measurement file. A refused file must name a line inside it
// and leave no samples; a file the reader takes must hold sane samples, and written again
// in the plainest form (no namespace, one spectrum per object from 400 nm at 10 nm,
// fractions) must read back exactly the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Cxf.h"
#include "colour/Decimal.h"
#include "tests/fuzz/MeasurementFuzz.h"

using namespace lacqueron::colour;

namespace {

// An attribute's value in double quotes, with what would end or escape it escaped.
std::string Attribute(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '&') quoted += "&amp;";
        else if (c == '<') quoted += "&lt;";
        else if (c == '"') quoted += "&quot;";
        else quoted += c;
    }
    return quoted + "\"";
}

std::string WriteAgain(const std::vector<CgatsSample>& samples) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CxF><Resources><ObjectCollection>\n";
    for (const CgatsSample& sample : samples) {
        text += "<Object Name=" + Attribute(sample.name) + " Id=" + Attribute(sample.id) +
                "><ColorValues><ReflectanceSpectrum StartWL=\"" + std::to_string(WavelengthOfBand(0)) + "\">";
        for (int band = 0; band < kBandCount; ++band)
            text += (band == 0 ? "" : " ") + FormatNumber(sample.reflectance[band]);
        text += "</ReflectanceSpectrum></ColorValues></Object>\n";
    }
    return text + "</ObjectCollection></Resources></CxF>\n";
}

// No amounts in a CxF3 file, and named by the Id when the Name is empty.
bool Sane(const CgatsSample& sample) {
    return sample.concentrations.empty() && !(sample.name.empty() && !sample.id.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lacqueron::fuzz::CheckMeasurementReader(std::string_view(reinterpret_cast<const char*>(data), size), ReadCxf, Sane,
                                            WriteAgain);
    return 0;
}
