// A CGATS file as an instrument exports one sample: its id 1, its name, L*a*b* and,
// when asked, the 31 reflectance bands 400-700 nm all at `reflectance` (as written).
#pragma once

#include <string>

namespace lacqueron::test {

inline std::string SampleMeasurement(const std::string& name, const std::string& reflectance, bool withSpectrum) {
    constexpr int kFirstBand = 400, kLastBand = 700, kBandStep = 10;
    std::string format = "SAMPLE_ID SAMPLE_NAME LAB_L LAB_A LAB_B";
    std::string values = "1 " + name + " 50 0 0";
    for (int nm = kFirstBand; withSpectrum && nm <= kLastBand; nm += kBandStep) {
        format += " SPECTRAL_NM" + std::to_string(nm);
        values += " " + reflectance;
    }
    return "CGATS.17\nBEGIN_DATA_FORMAT\n" + format + "\nEND_DATA_FORMAT\nBEGIN_DATA\n" + values + "\nEND_DATA\n";
}

}  // namespace lacqueron::test
