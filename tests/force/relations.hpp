// Physical relations that any consistent solution of one period gives the
// FORCE results: added mass and damping symmetric, damping positive
// semi-definite, the Haskind and pressure-integration exciting forces in
// agreement, damping and exciting forces related by energy (headings
// spread evenly over the full circle).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include "common/farray.hpp"
#include "geometry/model.hpp"
#include "p2f/forcedata.hpp"

namespace zorva::test {

// Largest symmetric-part eigenvalue test by Cholesky of B + eps I.
inline bool psd(const Arr2<float>& B, double eps) {
    double L[6][6] = {};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j <= i; ++j) {
            double s = 0.5 * static_cast<double>(B(i + 1, j + 1) + B(j + 1, i + 1)) + (i == j ? eps : 0.0);
            for (int k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
            if (i == j) {
                if (s <= 0.0) return false;
                L[i][i] = std::sqrt(s);
            } else {
                L[i][j] = s / L[j][j];
            }
        }
    return true;
}

inline void check_relations(double nu) {
    using frc::AMAT;
    using frc::BMAT;
    double amax = 0.0, bmax = 0.0;
    for (int i = 1; i <= 6; ++i) {
        amax = std::max(amax, std::fabs(static_cast<double>(AMAT(i, i))));
        bmax = std::max(bmax, std::fabs(static_cast<double>(BMAT(i, i))));
    }
    for (int i = 1; i <= 6; ++i)
        for (int j = 1; j <= 6; ++j) {
            EXPECT_NEAR(AMAT(i, j), AMAT(j, i), 0.03 * amax) << i << " " << j;
            EXPECT_NEAR(BMAT(i, j), BMAT(j, i), 0.03 * bmax) << i << " " << j;
        }
    EXPECT_TRUE(psd(BMAT, 1e-3 * bmax));
    EXPECT_GT(AMAT(3, 3), 0.0f);

    // Haskind and pressure integration, per mode against its largest force.
    const int nb = model::NBETA;
    for (int m = 1; m <= 6; ++m) {
        double xmax = 0.0;
        for (int j = 1; j <= nb; ++j) xmax = std::max(xmax, static_cast<double>(std::abs(frc::FEXH(m, j))));
        for (int j = 1; j <= nb; ++j)
            EXPECT_NEAR(std::abs(frc::FEXH(m, j) - frc::FEXD(m, j)), 0.0, 0.04 * xmax + 1e-6) << m << " " << j;
    }
    // Energy: B(i,i) = nu / (4 pi) times the heading integral of |X_i|^2.
    for (int m = 1; m <= 6; ++m) {
        const double bmm = BMAT(m, m);
        if (bmm < 0.05 * bmax) continue;
        double s = 0.0;
        for (int j = 1; j <= nb; ++j) s += std::norm(std::complex<double>(frc::FEXH(m, j)));
        const double e = nu / (4.0 * M_PI) * 2.0 * M_PI * s / nb;
        EXPECT_NEAR(e / bmm, 1.0, 0.05) << "mode " << m;
    }
}

}  // namespace zorva::test
