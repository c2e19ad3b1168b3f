#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "solver/lufact.hpp"

using zorva::cplx;

namespace {

// Residual |A x - b| against |A| |x| in double.
double rel_residual(const std::vector<cplx>& A, const std::vector<cplx>& x, const std::vector<cplx>& b, int n) {
    double rmax = 0, anorm = 0, xmax = 0;
    for (int i = 0; i < n; ++i) {
        std::complex<double> s = 0;
        double row = 0;
        for (int j = 0; j < n; ++j) {
            std::complex<double> a(A[i + j * n]);
            s += a * std::complex<double>(x[j]);
            row += std::abs(a);
        }
        rmax = std::max(rmax, std::abs(s - std::complex<double>(b[i])));
        anorm = std::max(anorm, row);
        xmax = std::max(xmax, double(std::abs(x[i])));
    }
    return rmax / (anorm * xmax);
}

}  // namespace

TEST(LuWrappers, RandomComplexSystems) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<float> u(-1, 1);
    for (int n : {1, 3, 17, 120}) {
        std::vector<cplx> A(n * n), b(n), x(n), w(n);
        for (auto& a : A) a = {u(gen), u(gen)};
        for (auto& v : b) v = {u(gen), u(gen)};
        std::vector<cplx> LU = A;
        std::vector<int> ipiv(n);
        int ierr = -1;
        zorva::LUFACT(LU.data(), ipiv.data(), n, ierr);
        EXPECT_EQ(ierr, 0);
        x = b;
        zorva::LUSOLV(LU.data(), x.data(), w.data(), ipiv.data(), n, 1);
        EXPECT_LT(rel_residual(A, x, b, n), 2e-6 * n) << n;
        // COPY = 0 leaves B alone and the solution in W
        std::vector<cplx> b2 = b;
        zorva::LUSOLV(LU.data(), b2.data(), w.data(), ipiv.data(), n, 0);
        EXPECT_EQ(b2, b);
        EXPECT_EQ(w, x);
    }
}

TEST(LuWrappers, SingularMatrixGivesStatusOne) {
    std::vector<cplx> A = {{1, 0}, {2, 0}, {2, 0}, {4, 0}};  // rank 1
    std::vector<int> ipiv(2);
    int ierr = 0;
    zorva::LUFACT(A.data(), ipiv.data(), 2, ierr);
    EXPECT_EQ(ierr, 1);
}
