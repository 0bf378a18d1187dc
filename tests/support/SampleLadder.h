// Ladders as an instrument exports them (CGATS with CONC_<code> columns, reflectance as
// fractions 400-700 nm), made from an optics table: the white alone, then each paste
// alone and in the white at falling ratios. One sample's reflectance is spoiled, so that
// a fit misses it and names it.
#pragma once

#include <string>
#include <vector>

#include "colour/Bands.h"
#include "colour/Decimal.h"
#include "colour/Optics.h"

namespace lacqueron::test {

// Grams of white per 1000 g of base in every sample with white; a paste alone has as much.
inline constexpr double kLadderWhiteGrams = 100;
// White to paste in the mixed samples; a sample is named "<code>/<ratio>", a paste alone "<code>".
inline constexpr int kLadderRatios[] = {1, 3, 9, 27, 81};
// The spoiled sample reads this much of what it should.
inline constexpr double kSpoiledReading = 0.8;
inline constexpr int kReflectanceDecimals = 6;

// pastes: codes of the table, the white first. spoiled: the name of the sample to spoil.
inline std::string SampleLadders(const colour::OpticsTable& table, const std::vector<std::string>& pastes,
                                 const std::string& spoiled) {
    std::string text = "CGATS.17\nORIGINATOR \"test ladders\"\nBEGIN_DATA_FORMAT\nSAMPLE_ID SAMPLE_NAME";
    for (const std::string& code : pastes) text += " CONC_" + code;
    for (int band = 0; band < colour::kBandCount; ++band)
        text += " SPECTRAL_NM" + std::to_string(colour::WavelengthOfBand(band));
    text += "\nEND_DATA_FORMAT\nBEGIN_DATA\n";
    int id = 0;
    const auto add = [&](const std::string& name, const std::vector<double>& grams) {
        std::vector<colour::Load> loads;
        for (std::size_t p = 0; p < pastes.size(); ++p)
            if (grams[p] > 0) loads.push_back({table.Find(pastes[p]), grams[p]});
        const colour::Spectrum measured = colour::PredictMeasured(table, loads);
        text += std::to_string(++id) + " " + name;
        for (double g : grams) text += " " + colour::FormatFixed(g, kReflectanceDecimals);
        for (double r : measured)
            text += " " + colour::FormatFixed(name == spoiled ? r * kSpoiledReading : r, kReflectanceDecimals);
        text += "\n";
    };
    std::vector<double> grams(pastes.size(), 0);
    grams[0] = kLadderWhiteGrams;
    add(pastes[0], grams);
    for (std::size_t p = 1; p < pastes.size(); ++p) {
        std::vector<double> alone(pastes.size(), 0);
        alone[p] = kLadderWhiteGrams;
        add(pastes[p], alone);
        for (int ratio : kLadderRatios) {
            std::vector<double> mixed = grams;
            mixed[p] = kLadderWhiteGrams / ratio;
            add(pastes[p] + "/" + std::to_string(ratio), mixed);
        }
    }
    return text + "END_DATA\n";
}

}  // namespace lacqueron::test
