// The program's calls into SURFLINK (geometry/rgklink): the library keeps
// its tables and result buffers library-wide and no export is re-entrant,
// while the program evaluates body geometry on its pool of threads (the
// field points of a control surface in FORCE).  Evaluations made on several
// threads at once give the values of one thread.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <vector>

#include "common/threads.hpp"
#include "geometry/rgklink.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

class RgkLink : public test::TempDirTest {};

TEST_F(RgkLink, EvaluationsOnSeveralThreadsGiveTheValuesOfOne) {
    // A hemisphere of radius 1 in eight panes (patches 1 to 8).
    write_file("b.zmd", "ZUZOVOZA MODEL 1\nUNITS m\nSPHERE hull 0 0 0 1 -90 0 0 360 orient=1 panes=2x4\n");
    write_file("rgkinit.txt",
               "     1            !ILOWHI\n     9.80665      !GRAV\n     1            !NBODY\n"
               "====================\n     1     0     1            !IBODY, IRR, ITKMS2\n"
               "b.gdf\nb_ms2.gdf\n      0.00      0.00      0.00      0.00      !XBODY\nKernel hemisphere\n"
               "     1.00000     9.80665      !ULEN, GRAV\n   0   0                      !ISX, ISY\n"
               "   0   2                      !NPATCH, IGDEF\n     3                        !NLINES\n"
               "b.zmd\nDEFAULT\n1 0 0\n");
    int ierr = -1;
    RGKINIT(ierr);
    ASSERT_EQ(ierr, 0) << read_file("rgklog.txt");
    using Value = std::array<float, 9>;  // X, XU, XV
    struct At {
        float u, v;
        int ip;
    };
    std::vector<At> at;
    for (int ip = 1; ip <= 8; ++ip)
        for (int i = 0; i <= 8; ++i)
            for (int j = 0; j <= 8; ++j) at.push_back({-1.0f + 0.25f * i, -1.0f + 0.25f * j, ip});
    auto eval = [&](const At& a, Value& w) {
        int e = -1;
        RGKEVAL(a.u, a.v, 1, a.ip, &w[0], &w[3], &w[6], e);
        return e;
    };
    std::vector<Value> one(at.size());
    for (std::size_t k = 0; k < at.size(); ++k) ASSERT_EQ(eval(at[k], one[k]), 0);
    // All points two hundred times over, on four threads.
    const int saved = thr::count();
    thr::set_count(4);
    std::atomic<int> failed{0}, differ{0};
    thr::parallel_for(200, [&](int, int) {
        for (std::size_t k = 0; k < at.size(); ++k) {
            Value w{};
            if (eval(at[k], w) != 0) ++failed;
            else if (w != one[k]) ++differ;
        }
    });
    thr::set_count(saved);
    RGKDONE();
    EXPECT_EQ(failed.load(), 0);
    EXPECT_EQ(differ.load(), 0);
}

}  // namespace
}  // namespace zorva
