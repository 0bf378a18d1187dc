// Levenberg-Marquardt for the engine's small fits (at most kMaxUnknowns unknowns and
// kMaxResiduals residuals), with each unknown kept inside its bounds. No allocation:
// the drafting search calls it a thousand times per target.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace lacqueron::colour {

constexpr int kMaxUnknowns = 4;
constexpr int kMaxResiduals = 10;

struct FitLimits {
    int iterations = 40;
    double goodEnough = 1e-6;  // stop once the sum of squares is below
    double step = 1e-5;        // for the forward-difference Jacobian
};

// Solves the n x n system a x = b in place by Gaussian elimination with partial
// pivoting; false when it is singular.
inline bool SolveSmall(int n, std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns>& a,
                       std::array<double, kMaxUnknowns>& b) noexcept {
    constexpr double kSingular = 1e-300;
    for (int column = 0; column < n; ++column) {
        int pivot = column;
        for (int row = column + 1; row < n; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) pivot = row;
        if (std::fabs(a[pivot][column]) < kSingular) return false;
        std::swap(a[pivot], a[column]);
        std::swap(b[pivot], b[column]);
        for (int row = column + 1; row < n; ++row) {
            const double factor = a[row][column] / a[column][column];
            for (int k = column; k < n; ++k) a[row][k] -= factor * a[column][k];
            b[row] -= factor * b[column];
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        for (int k = row + 1; k < n; ++k) b[row] -= a[row][k] * b[k];
        b[row] /= a[row][row];
    }
    return true;
}

// Minimises the sum of squares of residuals(x, r) (which fills m residuals) over x in
// [lower, upper]; x holds the start and receives the result. Returns the sum of squares.
template <class Residuals>
double FitBounded(int n, int m, double* x, const double* lower, const double* upper, Residuals&& residuals,
                  const FitLimits& limits = {}) noexcept {
    constexpr double kFirstDamping = 1e-3, kDampingDown = 0.3, kDampingUp = 4, kMostDamping = 1e8;
    std::array<double, kMaxResiduals> r{}, trialR{};
    std::array<std::array<double, kMaxResiduals>, kMaxUnknowns> jacobian{};
    std::array<double, kMaxUnknowns> trial{};
    const auto sumOfSquares = [m](const std::array<double, kMaxResiduals>& v) {
        double sum = 0;
        for (int i = 0; i < m; ++i) sum += v[i] * v[i];
        return sum;
    };
    residuals(x, r.data());
    double cost = sumOfSquares(r);
    double damping = kFirstDamping;
    for (int iteration = 0; iteration < limits.iterations && cost > limits.goodEnough; ++iteration) {
        for (int j = 0; j < n; ++j) {
            std::copy(x, x + n, trial.begin());
            const double h = trial[j] + limits.step > upper[j] ? -limits.step : limits.step;
            trial[j] += h;
            residuals(trial.data(), trialR.data());
            for (int i = 0; i < m; ++i) jacobian[j][i] = (trialR[i] - r[i]) / h;
        }
        std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> normal{};
        std::array<double, kMaxUnknowns> gradient{};
        for (int j = 0; j < n; ++j) {
            for (int k = 0; k <= j; ++k) {
                double sum = 0;
                for (int i = 0; i < m; ++i) sum += jacobian[j][i] * jacobian[k][i];
                normal[j][k] = normal[k][j] = sum;
            }
            double sum = 0;
            for (int i = 0; i < m; ++i) sum += jacobian[j][i] * r[i];
            gradient[j] = -sum;
        }
        bool improved = false;
        while (!improved && damping < kMostDamping) {
            auto system = normal;
            auto step = gradient;
            for (int j = 0; j < n; ++j) system[j][j] += damping * (normal[j][j] + 1e-12);
            if (SolveSmall(n, system, step)) {
                for (int j = 0; j < n; ++j) trial[j] = std::clamp(x[j] + step[j], lower[j], upper[j]);
                residuals(trial.data(), trialR.data());
                const double trialCost = sumOfSquares(trialR);
                if (trialCost < cost) {
                    std::copy(trial.begin(), trial.begin() + n, x);
                    r = trialR;
                    improved = cost - trialCost > cost * 1e-9;
                    cost = trialCost;
                    damping *= kDampingDown;
                    if (!improved) return cost;
                    break;
                }
            }
            damping *= kDampingUp;
        }
        if (!improved) break;
    }
    return cost;
}

}  // namespace lacqueron::colour
