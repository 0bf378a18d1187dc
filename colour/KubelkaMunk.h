// Two-constant Kubelka-Munk at complete hiding, with Saunderson's surface correction.
// Pure functions of one band; the callers loop over the 31.
#pragma once

namespace lacqueron::colour {

// The surface of a layer: k1 the fraction of incident light its front reflects, k2 the
// fraction of light from inside it sends back in.
struct Surface {
    double k1 = 0.04;
    double k2 = 0.6;
};

// Reflectances are kept in (0, 1): K/S is infinite at 0 and 0 at 1.
constexpr double kSmallestReflectance = 1e-6;
constexpr double kLargestReflectance = 1 - 1e-6;

// K/S of a layer at complete hiding from its internal reflectance R∞, and back.
double KsFromReflectance(double internal) noexcept;
double ReflectanceFromKs(double ks) noexcept;
// dR∞ / d(K/S) at ks: how much a K/S error shows in the reflectance.
double ReflectanceSlope(double ks) noexcept;

// What an instrument measures (specular included) from the internal reflectance, and back.
double MeasuredReflectance(double internal, const Surface& surface) noexcept;
double InternalReflectance(double measured, const Surface& surface) noexcept;

}  // namespace lacqueron::colour
