// Arbitrary bytes as a CGATS measurement file. A refused file must name a line inside
// it; a file the reader takes must hold sane samples, and written again in the plainest
// form (one table per sample, fractions) must read back exactly the same.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Cgats.h"
#include "tests/fuzz/FuzzText.h"

using namespace lacqueron::colour;
using lacqueron::fuzz::LineCount;

namespace {

// Quoted unless it holds a quote, which only a value written without quotes can.
std::string Value(const std::string& text) {
    return text.find('"') == std::string::npos ? "\"" + text + "\"" : text;
}

std::string Number(double value) {
    char buffer[40];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string WriteAgain(const std::vector<CgatsSample>& samples) {
    std::string text = "CGATS.17\n";
    for (const CgatsSample& sample : samples) {
        text += "NUMBER_OF_SETS 1\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_NAME";
        for (const auto& [code, grams] : sample.concentrations) text += " " + Value("CONC_" + code);
        for (int band = 0; band < kBandCount; ++band) text += " SPECTRAL_NM" + std::to_string(WavelengthOfBand(band));
        text += "\nEND_DATA_FORMAT\nBEGIN_DATA\n" + Value(sample.id) + " " + Value(sample.name);
        for (const auto& [code, grams] : sample.concentrations) text += " " + Number(grams);
        for (double r : sample.reflectance) text += " " + Number(r);
        text += "\nEND_DATA\n";
    }
    return text;
}

bool Same(const CgatsSample& a, const CgatsSample& b) {
    return a.id == b.id && a.name == b.name && a.concentrations == b.concentrations && a.reflectance == b.reflectance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<CgatsSample> samples;
    CgatsError error;
    const int lines = LineCount(text);
    if (!ReadCgats(text, samples, error)) {
        if (!samples.empty() || error.reason.empty() || error.line < 1 || error.line > lines) std::abort();
        return 0;
    }
    if (samples.empty()) std::abort();
    for (const CgatsSample& sample : samples) {
        if (sample.id.empty() || sample.line < 1 || sample.line > lines) std::abort();
        for (const auto& [code, grams] : sample.concentrations)
            if (code.empty() || !std::isfinite(grams) || grams < 0) std::abort();
        for (double r : sample.reflectance)
            if (!(r >= 0 && r <= 1)) std::abort();
    }
    std::vector<CgatsSample> again;
    if (!ReadCgats(WriteAgain(samples), again, error) || again.size() != samples.size()) std::abort();
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (!Same(samples[i], again[i])) std::abort();
    return 0;
}
