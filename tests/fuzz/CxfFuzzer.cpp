// Arbitrary bytes as a CxF3 measurement file. A refused file must name a line inside it
// and leave no samples; a file the reader takes must hold sane samples, and written again
// in the plainest form (no namespace, one spectrum per object from 400 nm at 10 nm,
// fractions) must read back exactly the same.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Cxf.h"
#include "colour/Decimal.h"
#include "tests/fuzz/FuzzText.h"

using namespace lacqueron::colour;
using lacqueron::fuzz::LineCount;

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

bool Same(const CgatsSample& a, const CgatsSample& b) {
    return a.id == b.id && a.name == b.name && a.reflectance == b.reflectance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<CgatsSample> samples;
    CgatsError error;
    const int lines = LineCount(text);
    if (!ReadCxf(text, samples, error)) {
        if (!samples.empty() || error.reason.empty() || error.line < 1 || error.line > lines) std::abort();
        return 0;
    }
    if (samples.empty()) std::abort();
    for (const CgatsSample& sample : samples) {
        if (sample.line < 1 || sample.line > lines || !sample.concentrations.empty()) std::abort();
        // Named by the Id when the Name is empty.
        if (sample.name.empty() && !sample.id.empty()) std::abort();
        for (double r : sample.reflectance)
            if (!(r >= 0 && r <= 1)) std::abort();
    }
    std::vector<CgatsSample> again;
    if (!ReadCxf(WriteAgain(samples), again, error) || again.size() != samples.size()) std::abort();
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (!Same(samples[i], again[i])) std::abort();
    return 0;
}
