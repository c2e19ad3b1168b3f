#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kernels/gausslog.hpp"
#include "tests/support/testdir.hpp"

using namespace zorva;

namespace {

class GaussLog : public test::TempDirTest {};

// Every rule integrates ln(x) x^k over [0, 1], whose value is -1/(k+1)^2,
// for k up to 2N-1, to single precision.
TEST_F(GaussLog, MomentsOfTheLogWeightExactToDegree2NMinus1) {
    for (int n : {2, 3, 4, 5, 6, 7, 8, 16}) {
        std::vector<float> x(n), w(n);
        ASSERT_EQ(GAUSSLOG(x.data(), w.data(), n), 0) << n;
        for (int k = 0; k + 1 < n; ++k) EXPECT_LT(x[k], x[k + 1]) << n;
        EXPECT_GT(x[0], 0.0f);
        EXPECT_LT(x[n - 1], 1.0f);
        for (int k = 0; k <= 2 * n - 1; ++k) {
            double s = 0.0;
            for (int i = 0; i < n; ++i) s += double(w[i]) * std::pow(double(x[i]), k);
            const double exact = -1.0 / ((k + 1.0) * (k + 1.0));
            EXPECT_NEAR(s, exact, 4e-7) << "order " << n << " power " << k;
        }
    }
}

TEST_F(GaussLog, CheckRows) {
    float x[16], w[16];
    ASSERT_EQ(GAUSSLOG(x, w, 2), 0);
    EXPECT_NEAR(x[0], 0.1120088f, 1e-7f);
    EXPECT_NEAR(x[1], 0.6022769f, 1e-7f);
    EXPECT_NEAR(w[0], -0.7185393f, 1e-7f);
    EXPECT_NEAR(w[1], -0.2814607f, 1e-7f);
    ASSERT_EQ(GAUSSLOG(x, w, 16), 0);
    EXPECT_NEAR(x[0], 0.003897835f, 1e-9f);
    EXPECT_NEAR(w[0], -0.06079171f, 1e-8f);
    EXPECT_NEAR(x[15], 0.9870478f, 1e-7f);
    EXPECT_NEAR(w[15], -0.0002823538f, 1e-10f);
}

// An order without a rule: status 1, one message, arrays untouched.
TEST_F(GaussLog, OrderWithoutARuleIsAnError) {
    for (int n : {-1, 0, 1, 9, 15, 17}) {
        screen.str("");
        float x[2] = {7.0f, 7.0f}, w[2] = {8.0f, 8.0f};
        EXPECT_EQ(GAUSSLOG(x, w, n), 1) << n;
        EXPECT_EQ(x[0], 7.0f);
        EXPECT_EQ(x[1], 7.0f);
        EXPECT_EQ(w[0], 8.0f);
        EXPECT_EQ(w[1], 8.0f);
        EXPECT_NE(screen.str().find("No log-weighted Gauss rule of this order"), std::string::npos) << n;
    }
}

}  // namespace
