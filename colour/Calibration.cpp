#include "colour/Calibration.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "colour/Colorimetry.h"

namespace lacqueron::colour {

namespace {

// K and S never go below this: a paste that absorbs or scatters nothing at a band
// would make its mixtures' K/S undefined.
constexpr double kLeastConstant = 1e-7;
// Each solve weights the samples by how a K/S error shows in the measurement, which
// depends on the solution; three rounds settle it.
constexpr int kReweightings = 3;
constexpr double kRidge = 1e-10;
// The surface constant k2 is searched on this grid, then refined.
constexpr double kFirstK2 = 0.3, kLastK2 = 0.9, kK2Step = 0.05;
// The fall-off is searched as its effect at the ladders' largest load: 1 + F c there.
constexpr double kFalloffAtLargest[] = {0, 0.025, 0.05, 0.1, 0.2, 0.4, 0.8};
constexpr int kRefineRounds = 5;

// Solves a x = b (n x n, row-major) in place; false when singular.
bool SolveDense(int n, std::vector<double>& a, std::vector<double>& b) {
    constexpr double kSingular = 1e-300;
    for (int column = 0; column < n; ++column) {
        int pivot = column;
        for (int row = column + 1; row < n; ++row)
            if (std::fabs(a[row * n + column]) > std::fabs(a[pivot * n + column])) pivot = row;
        if (std::fabs(a[pivot * n + column]) < kSingular) return false;
        if (pivot != column) {
            for (int k = 0; k < n; ++k) std::swap(a[pivot * n + k], a[column * n + k]);
            std::swap(b[pivot], b[column]);
        }
        for (int row = column + 1; row < n; ++row) {
            const double factor = a[row * n + column] / a[column * n + column];
            if (factor == 0) continue;
            for (int k = column; k < n; ++k) a[row * n + k] -= factor * a[column * n + k];
            b[row] -= factor * b[column];
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        for (int k = row + 1; k < n; ++k) b[row] -= a[row * n + k] * b[k];
        b[row] /= a[row * n + row];
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

class LadderFit {
public:
    LadderFit(const std::vector<std::string>& codes, const std::vector<LadderSample>& samples, int white)
        : codes_(codes), samples_(samples), white_(white), n_(static_cast<int>(codes.size())) {
        unknowns_ = 2 * n_ - 1;
        for (const LadderSample& sample : samples) measuredLab_.push_back(SpectrumToLab(sample.measured));
    }

    // The best table for this surface and fall-off; returns the mean ΔE00 of the refit.
    double Solve(const Surface& surface, double falloff, OpticsTable& table, std::vector<double>& deltaE) const {
        table = OpticsTable{};
        table.surface = surface;
        table.falloff = falloff;
        for (const std::string& code : codes_) {
            PasteOptics paste{code, {}, {}};
            paste.s.fill(1);
            table.pastes.push_back(paste);
        }
        std::vector<Spectrum> ks(samples_.size());
        std::vector<Spectrum> weight(samples_.size());
        for (std::size_t j = 0; j < samples_.size(); ++j) {
            ks[j] = KsFromMeasured(samples_[j].measured, surface);
            for (int band = 0; band < kBandCount; ++band) {
                const double internal = ReflectanceFromKs(ks[j][band]);
                const double surfaceSlope =
                    (1 - surface.k1) * (1 - surface.k2) / ((1 - surface.k2 * internal) * (1 - surface.k2 * internal));
                weight[j][band] = std::fabs(ReflectanceSlope(ks[j][band])) * surfaceSlope;
            }
        }
        std::vector<double> a(static_cast<std::size_t>(unknowns_) * unknowns_), b(unknowns_);
        for (int round = 0; round < kReweightings; ++round)
            for (int band = 0; band < kBandCount; ++band) SolveBand(band, falloff, ks, weight, table, a, b);

        deltaE.assign(samples_.size(), 0);
        double sum = 0;
        for (std::size_t j = 0; j < samples_.size(); ++j) {
            deltaE[j] = DeltaE2000(measuredLab_[j], SpectrumToLab(PredictMeasured(table, samples_[j].loads)));
            sum += deltaE[j];
        }
        return samples_.empty() ? 0 : sum / samples_.size();
    }

private:
    int KIndex(int paste) const noexcept { return paste; }
    // The white's S is 1 and not an unknown.
    int SIndex(int paste) const noexcept { return paste == white_ ? -1 : n_ + (paste < white_ ? paste : paste - 1); }

    // Each sample says sum of c (K - q S) = 0 at its measured q = K/S. Divided by the
    // mixture's S it is the K/S error, times the slope the reflectance error.
    void SolveBand(int band, double falloff, const std::vector<Spectrum>& ks, const std::vector<Spectrum>& weight,
                   OpticsTable& table, std::vector<double>& a, std::vector<double>& b) const {
        std::fill(a.begin(), a.end(), 0.0);
        std::fill(b.begin(), b.end(), 0.0);
        int index[2 * kMaxLoadsPerSample];
        double coefficient[2 * kMaxLoadsPerSample];
        for (std::size_t j = 0; j < samples_.size(); ++j) {
            const double q = ks[j][band];
            double mixtureS = 0, right = 0;
            int used = 0;
            for (const Load& load : samples_[j].loads) {
                if (used + 2 > 2 * kMaxLoadsPerSample) break;
                const double c = EffectiveLoad(load.grams, falloff);
                mixtureS += c * table.pastes[load.paste].s[band];
                index[used] = KIndex(load.paste);
                coefficient[used++] = c;
                const int s = SIndex(load.paste);
                if (s >= 0) {
                    index[used] = s;
                    coefficient[used++] = -q * c;
                } else {
                    right += q * c;
                }
            }
            const double w = weight[j][band] / std::max(mixtureS, kLeastConstant);
            const double w2 = w * w;
            for (int u = 0; u < used; ++u) {
                for (int v = 0; v < used; ++v) a[index[u] * unknowns_ + index[v]] += w2 * coefficient[u] * coefficient[v];
                b[index[u]] += w2 * coefficient[u] * right;
            }
        }
        double trace = 0;
        for (int d = 0; d < unknowns_; ++d) trace += a[d * unknowns_ + d];
        const double ridge = kRidge * (trace / unknowns_ + 1);
        for (int d = 0; d < unknowns_; ++d) a[d * unknowns_ + d] += ridge;
        if (!SolveDense(unknowns_, a, b)) return;
        for (int p = 0; p < n_; ++p) {
            table.pastes[p].k[band] = std::max(b[KIndex(p)], kLeastConstant);
            const int s = SIndex(p);
            table.pastes[p].s[band] = s < 0 ? 1.0 : std::max(b[s], kLeastConstant);
        }
    }

    static constexpr int kMaxLoadsPerSample = 16;

    const std::vector<std::string>& codes_;
    const std::vector<LadderSample>& samples_;
    int white_ = 0;
    int n_ = 0;
    int unknowns_ = 0;
    std::vector<Lab> measuredLab_;
};

int WhitePaste(int n, const std::vector<LadderSample>& samples) {
    std::vector<int> uses(n, 0);
    for (const LadderSample& sample : samples)
        for (const Load& load : sample.loads) ++uses[load.paste];
    return static_cast<int>(std::max_element(uses.begin(), uses.end()) - uses.begin());
}

}  // namespace

bool Calibrate(const std::vector<std::string>& codes, const std::vector<LadderSample>& samples,
               const CalibrationOptions& options, Calibration& result, std::string& error) {
    const int n = static_cast<int>(codes.size());
    if (n == 0 || samples.empty()) {
        error = "no samples with pastes to learn from";
        return false;
    }
    std::vector<bool> seen(n, false);
    double largest = 0;
    for (const LadderSample& sample : samples)
        for (const Load& load : sample.loads) {
            if (load.paste < 0 || load.paste >= n || !(load.grams > 0)) {
                error = "sample " + sample.name + " has a load that is not a paste of the ladders";
                return false;
            }
            seen[load.paste] = true;
            largest = std::max(largest, load.grams);
        }
    for (int p = 0; p < n; ++p)
        if (!seen[p]) {
            error = "paste " + codes[p] + " is in no sample";
            return false;
        }

    const LadderFit fit(codes, samples, WhitePaste(n, samples));
    Surface surface = options.surface;
    double falloff = 0;
    std::vector<double> deltaE;
    double best = std::numeric_limits<double>::infinity();
    const auto tryAt = [&](double k2, double f) {
        if (k2 < 0 || k2 >= 1 || f < 0) return;
        OpticsTable table;
        const double mean = fit.Solve({options.surface.k1, k2}, f, table, deltaE);
        if (mean < best) {
            best = mean;
            surface.k2 = k2;
            falloff = f;
        }
    };
    std::vector<double> k2s{options.surface.k2};
    if (options.fitSurface)
        for (double k2 = kFirstK2; k2 <= kLastK2 + kK2Step / 2; k2 += kK2Step) k2s.push_back(k2);
    std::vector<double> falloffs{0};
    if (options.fitFalloff)
        for (const double at : kFalloffAtLargest) falloffs.push_back(at / largest);
    for (const double k2 : k2s)
        for (const double f : falloffs) tryAt(k2, f);

    double k2Step = options.fitSurface ? kK2Step / 2 : 0;
    double falloffStep = options.fitFalloff ? kFalloffAtLargest[1] / largest : 0;
    for (int round = 0; round < kRefineRounds && (k2Step > 0 || falloffStep > 0); ++round) {
        const double k2 = surface.k2, f = falloff;
        if (k2Step > 0) {
            tryAt(k2 - k2Step, f);
            tryAt(k2 + k2Step, f);
        }
        if (falloffStep > 0) {
            tryAt(surface.k2, f - falloffStep);
            tryAt(surface.k2, f + falloffStep);
        }
        k2Step /= 2;
        falloffStep /= 2;
    }

    result = Calibration{};
    fit.Solve(surface, falloff, result.table, result.deltaE);
    result.median = Median(result.deltaE);
    result.largest = result.deltaE.empty() ? 0 : *std::max_element(result.deltaE.begin(), result.deltaE.end());
    return true;
}

}  // namespace lacqueron::colour
