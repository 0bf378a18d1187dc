// The engine's knowledge of the pastes: the surface, one strength fall-off, the base's
// and each paste's absorption K and scattering S per band, and the mixture they give.
//
// Text form, UTF-8, fields separated by one TAB, "#" lines and blank lines ignored:
//   optics  1                      the format and its version, the first line
//   surface K1 K2                  Saunderson's constants
//   falloff F                      a paste at c g per 1000 g of base acts as c / (1 + F c)
//   base    K|S  31 numbers        the base's own K or S, 400 to 700 nm
//   paste   CODE K|S  31 numbers   per gram of paste in 1000 g of base
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "colour/KubelkaMunk.h"
#include "colour/Bands.h"

namespace lacqueron::colour {

struct PasteOptics {
    std::string code;
    Spectrum k{}, s{};
};

struct OpticsTable {
    Surface surface;
    double falloff = 0;
    Spectrum baseK{}, baseS{};
    std::vector<PasteOptics> pastes;

    // Index of the paste with this code, or -1.
    int Find(std::string_view code) const noexcept;
};

struct OpticsError {
    int line = 0;  // 0 when the whole text is at fault
    std::string reason;
};

std::string WriteOptics(const OpticsTable& table);
// False with the line and reason of the first problem; table is then unspecified.
bool ReadOptics(std::string_view text, OpticsTable& table, OpticsError& error);

// One paste of a mixture: grams per 1000 g of base as they go into the can.
struct Load {
    int paste = 0;  // index into OpticsTable::pastes
    double grams = 0;
};

// Keeps K/S finite for a mixture that scatters nothing.
constexpr double kLeastScattering = 1e-9;

double EffectiveLoad(double grams, double falloff) noexcept;
// K/S of the mixture at each band.
Spectrum MixtureKs(const OpticsTable& table, std::span<const Load> loads) noexcept;
// What an instrument would measure on a drawdown of the mixture at complete hiding.
Spectrum MeasuredFromKs(const Spectrum& ks, const Surface& surface) noexcept;
Spectrum PredictMeasured(const OpticsTable& table, std::span<const Load> loads) noexcept;
// K/S at each band of a measured drawdown.
Spectrum KsFromMeasured(const Spectrum& measured, const Surface& surface) noexcept;

}  // namespace lacqueron::colour
