// A simulated lab for the colour engine's tests and benchmarks. Its physics differ
// from the engine's on purpose: a base that absorbs and scatters a little, a strength
// loss of another shape (c / sqrt(1 + loss c)), its own surface constant, noise on every
// reading and errors on every weighing. The engine is judged against it, not against
// itself.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "colour/Calibration.h"
#include "colour/Colorimetry.h"
#include "colour/KubelkaMunk.h"
#include "colour/Bands.h"

namespace lacqueron::colour::test {

struct LabPaste {
    std::string code;
    Spectrum k{}, s{};
};

struct LabPhysics {
    double k2 = 0.52;
    double strengthLoss = 0.0025;  // a load c acts as c / sqrt(1 + loss c)
    double readingNoise = 0.0005;  // reflectance, absolute, one sigma
    double weighingError = 0.004;  // relative, one sigma
};

inline double Gauss(double nm, double centre, double width) {
    const double x = (nm - centre) / width;
    return std::exp(-x * x / 2);
}

// Seven pastes of plausible shapes; the white first.
inline std::vector<LabPaste> LabPastes() {
    struct Shape {
        const char* code;
        double (*k)(double nm);
        double (*s)(double nm);
    };
    static const Shape kShapes[] = {
        {"WHT", [](double nm) { return 0.003 + 0.05 * std::exp(-(nm - 400) / 12); },
         [](double nm) { return 1.1 * std::pow(550 / nm, 1.2); }},
        {"BLK", [](double nm) { return 9.0 - 0.004 * (nm - 400); }, [](double) { return 0.25; }},
        {"YOX", [](double nm) { return 0.08 + 3.5 / (1 + std::exp((nm - 530) / 18)); },
         [](double nm) { return 0.45 * std::pow(550 / nm, 0.6); }},
        {"RED", [](double nm) { return 0.06 + 6 * Gauss(nm, 525, 45) + 1.5 * Gauss(nm, 420, 30); },
         [](double) { return 0.05; }},
        {"BLU", [](double nm) { return 0.1 + 11 * Gauss(nm, 625, 45) + 2 * Gauss(nm, 440, 20); },
         [](double) { return 0.03; }},
        {"GRN", [](double nm) { return 0.12 + 7 * Gauss(nm, 440, 35) + 8 * Gauss(nm, 650, 50); },
         [](double) { return 0.035; }},
        {"MAG", [](double nm) { return 0.05 + 7 * Gauss(nm, 560, 35); }, [](double) { return 0.04; }},
    };
    std::vector<LabPaste> pastes;
    for (const Shape& shape : kShapes) {
        LabPaste paste{shape.code, {}, {}};
        for (int band = 0; band < kBandCount; ++band) {
            paste.k[band] = shape.k(WavelengthOfBand(band));
            paste.s[band] = shape.s(WavelengthOfBand(band));
        }
        pastes.push_back(paste);
    }
    return pastes;
}

class TestLab {
public:
    explicit TestLab(LabPhysics physics, unsigned seed = 1) : physics_(physics), pastes_(LabPastes()), random_(seed) {}

    const std::vector<LabPaste>& Pastes() const { return pastes_; }
    const LabPhysics& Physics() const { return physics_; }

    // What actually goes into the can when the loads are weighed out.
    std::vector<Load> Weigh(std::vector<Load> loads) {
        std::normal_distribution<double> weighing(0, physics_.weighingError);
        for (Load& load : loads) load.grams *= 1 + weighing(random_);
        return loads;
    }

    // What the instrument reads on a drawdown of what is in the can (grams per 1000 g
    // of base).
    Spectrum Measure(const std::vector<Load>& actual, bool withNoise = true) {
        constexpr double kBaseK = 0.02, kBaseS = 0.05;
        std::normal_distribution<double> reading(0, withNoise ? physics_.readingNoise : 0);
        Spectrum k, s;
        k.fill(kBaseK);
        s.fill(kBaseS);
        for (const Load& load : actual) {
            const double grams = load.grams;
            const double c = grams / std::sqrt(1 + physics_.strengthLoss * grams);
            for (int band = 0; band < kBandCount; ++band) {
                k[band] += c * pastes_[load.paste].k[band];
                s[band] += c * pastes_[load.paste].s[band];
            }
        }
        const Surface surface{0.04, physics_.k2};
        Spectrum measured;
        for (int band = 0; band < kBandCount; ++band)
            measured[band] = MeasuredReflectance(ReflectanceFromKs(k[band] / s[band]), surface) + reading(random_);
        return measured;
    }

    Spectrum Mix(const std::vector<Load>& loads) { return Measure(Weigh(loads)); }

    // The white alone at three loads; every other paste alone at two and with the white
    // at five ratios; all at complete hiding.
    std::vector<LadderSample> Ladders() {
        constexpr double kWhiteAlone[] = {30, 60, 120};
        constexpr double kMasstones[] = {50, 100};
        constexpr double kWhite = 100;
        constexpr double kRatios[] = {1.0, 1.0 / 3, 1.0 / 9, 1.0 / 27, 1.0 / 81};
        std::vector<LadderSample> samples;
        for (const double grams : kWhiteAlone)
            samples.push_back({"WHT-" + std::to_string(std::lround(grams)), {{0, grams}}, Mix({{0, grams}})});
        for (int p = 1; p < static_cast<int>(pastes_.size()); ++p) {
            for (const double grams : kMasstones)
                samples.push_back(
                    {pastes_[p].code + "-" + std::to_string(std::lround(grams)), {{p, grams}}, Mix({{p, grams}})});
            for (const double ratio : kRatios) {
                const std::vector<Load> loads{{0, kWhite}, {p, kWhite * ratio}};
                samples.push_back({pastes_[p].code + "-1:" + std::to_string(std::lround(1 / ratio)), loads, Mix(loads)});
            }
        }
        return samples;
    }

    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (const LabPaste& paste : pastes_) codes.push_back(paste.code);
        return codes;
    }

    // A target: the white and one to three other pastes at random loads, as a shop
    // would mix a customer's colour.
    std::vector<Load> RandomRecipe() {
        std::uniform_int_distribution<int> count(1, 3);
        std::uniform_int_distribution<int> paste(1, static_cast<int>(pastes_.size()) - 1);
        std::uniform_real_distribution<double> logGrams(std::log(0.3), std::log(40.0));
        std::uniform_real_distribution<double> logWhite(std::log(10.0), std::log(120.0));
        std::vector<Load> loads{{0, std::exp(logWhite(random_))}};
        const int n = count(random_);
        while (static_cast<int>(loads.size()) < n + 1) {
            const int p = paste(random_);
            bool taken = false;
            for (const Load& load : loads) taken = taken || load.paste == p;
            if (!taken) loads.push_back({p, std::exp(logGrams(random_))});
        }
        return loads;
    }

private:
    LabPhysics physics_;
    std::vector<LabPaste> pastes_;
    std::mt19937 random_;
};

inline double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const double at = fraction * (values.size() - 1);
    const std::size_t low = static_cast<std::size_t>(at);
    const std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (at - low) * (values[high] - values[low]);
}

}  // namespace lacqueron::colour::test
