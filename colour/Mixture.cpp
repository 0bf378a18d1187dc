#include "colour/Mixture.h"

#include <algorithm>

namespace lacqueron::colour {

void SpectrumLabs(const Spectrum& measured, int illuminants, Lab* out) noexcept {
    for (int i = 0; i < illuminants; ++i) out[i] = SpectrumToLab(measured, kFitIlluminants[i]);
}

void MixtureLab(const OpticsTable& table, const Load* loads, int count, const Spectrum* ksScale, int illuminants,
                Lab* out) noexcept {
    const ObserverWeights* weights[kIlluminantCount];
    Xyz xyz[kIlluminantCount];
    for (int i = 0; i < illuminants; ++i) weights[i] = &WeightsFor(kFitIlluminants[i]);
    double effective[kMaxLoadsInFit];
    const int used = std::min(count, kMaxLoadsInFit);
    for (int p = 0; p < used; ++p) effective[p] = EffectiveLoad(loads[p].grams, table.falloff);
    for (int band = 0; band < kBandCount; ++band) {
        double k = table.baseK[band], s = table.baseS[band];
        for (int p = 0; p < used; ++p) {
            const PasteOptics& paste = table.pastes[loads[p].paste];
            k += effective[p] * paste.k[band];
            s += effective[p] * paste.s[band];
        }
        double ks = k / std::max(s, kLeastScattering);
        if (ksScale) ks *= (*ksScale)[band];
        const double r = MeasuredReflectance(ReflectanceFromKs(ks), table.surface);
        for (int i = 0; i < illuminants; ++i) {
            xyz[i].x += r * weights[i]->x[band];
            xyz[i].y += r * weights[i]->y[band];
            xyz[i].z += r * weights[i]->z[band];
        }
    }
    for (int i = 0; i < illuminants; ++i) out[i] = XyzToLab(xyz[i], weights[i]->white);
}

}  // namespace lacqueron::colour
