#include "colour/KubelkaMunk.h"

#include <algorithm>
#include <cmath>

namespace lacqueron::colour {

namespace {

double Clamped(double reflectance) noexcept {
    return std::clamp(reflectance, kSmallestReflectance, kLargestReflectance);
}

}  // namespace

double KsFromReflectance(double internal) noexcept {
    const double r = Clamped(internal);
    return (1 - r) * (1 - r) / (2 * r);
}

double ReflectanceFromKs(double ks) noexcept {
    if (!(ks > 0)) return kLargestReflectance;
    return Clamped(1 + ks - std::sqrt(ks * ks + 2 * ks));
}

double ReflectanceSlope(double ks) noexcept {
    if (!(ks > 0)) return -1 / std::sqrt(2 * KsFromReflectance(kLargestReflectance));
    return 1 - (ks + 1) / std::sqrt(ks * ks + 2 * ks);
}

double MeasuredReflectance(double internal, const Surface& surface) noexcept {
    return surface.k1 + (1 - surface.k1) * (1 - surface.k2) * internal / (1 - surface.k2 * internal);
}

double InternalReflectance(double measured, const Surface& surface) noexcept {
    const double above = measured - surface.k1;
    return Clamped(above / ((1 - surface.k1) * (1 - surface.k2) + surface.k2 * above));
}

}  // namespace lacqueron::colour
