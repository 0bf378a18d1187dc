// Arbitrary bytes as a CGATS measurement file. A refused file must name a line inside
// it; a file the reader takes must hold sane samples, and written again in the plainest
// form (one table per sample, fractions) must read back exactly the same.
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "colour/Cgats.h"
#include "tests/fuzz/MeasurementFuzz.h"

using namespace lacqueron::colour;

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

bool Sane(const CgatsSample& sample) {
    if (sample.id.empty()) return false;
    for (const auto& [code, grams] : sample.concentrations)
        if (code.empty() || !std::isfinite(grams) || grams < 0) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lacqueron::fuzz::CheckMeasurementReader(std::string_view(reinterpret_cast<const char*>(data), size), ReadCgats,
                                            Sane, WriteAgain);
    return 0;
}
