// Helpers of the user-library tests.
#pragma once

#include <cmath>
#include <vector>

namespace zorva::test {

// Gauss-Legendre nodes and weights on [-1, 1], double precision (Newton on
// the Legendre polynomial).
inline void gauss_legendre(int n, std::vector<double>& x, std::vector<double>& w) {
    x.assign(static_cast<std::size_t>(n), 0.0);
    w.assign(static_cast<std::size_t>(n), 0.0);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        double z = std::cos(pi * (i + 0.75) / (n + 0.5)), dp = 0.0;
        for (int it = 0; it < 100; ++it) {
            double p0 = 1.0, p1 = z;
            for (int k = 2; k <= n; ++k) {
                double p2 = ((2 * k - 1) * z * p1 - (k - 1) * p0) / k;
                p0 = p1, p1 = p2;
            }
            dp = n * (z * p1 - p0) / (z * z - 1);
            double dz = p1 / dp;
            z -= dz;
            if (std::fabs(dz) < 1e-15) break;
        }
        x[static_cast<std::size_t>(i)] = z;
        w[static_cast<std::size_t>(i)] = 2 / ((1 - z * z) * dp * dp);
    }
}

}  // namespace zorva::test
