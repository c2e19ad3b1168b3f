// Mode velocities from the user routine NEWMODES, with a test-local routine
// in place of the user library: it fails at a chosen panel, so that every
// call's status is seen to be tested.
#include <gtest/gtest.h>

#include "geometry/model.hpp"
#include "main/config.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "platform/zorva_userlib.h"
#include "tests/support/panelsets.hpp"
#include "tests/support/testdir.hpp"

namespace {
int FAILPOS = 0;  // panel (within the body) whose evaluation fails; 0 none
int CALLS = 0;
}  // namespace

// Every generalized mode moves with unit normal velocity and unit vertical
// displacement at every point.
extern "C" void NEWMODES(const float*, const float*, const int* IBMOD, const int* IB, const int* IPOS,
                         const int* NEWMDS, const int*, const int*, float* VNM, float* WM, const int* MODE,
                         const int*, const char*, int, const int*, const int*, int* IERR) {
    ++CALLS;
    *IERR = 0;
    if (*MODE == -1) return;
    const int m0 = IBMOD[*IB - 1];
    for (int j = 0; j < NEWMDS[*IB - 1]; ++j) VNM[m0 + 6 + j] = WM[m0 + 6 + j] = 1.0f;
    if (*IPOS == FAILPOS) *IERR = 3;
}

namespace zorva {
namespace {

class NewmdvelTest : public test::TempDirTest {};

TEST_F(NewmdvelTest, EveryCallIsChecked) {
    struct Case {
        int failpos, ierr, calls;
        float c77;  // sum of the panel areas before the failure
    };
    for (Case c : {Case{0, 0, 81, 5.0f}, Case{3, 3, 4, 0.125f}, Case{80, 3, 81, 4.9375f}}) {
        test::Body b{test::box_panels(2, 1, 0.5, 0.25)};
        b.newmds = 1;
        b.igenmds = 1;
        test::setup_run({b});
        FAILPOS = c.failpos;
        CALLS = 0;
        int ierr = 0;
        GEOMSTAT(model::NEQN, 0, ierr);
        EXPECT_EQ(ierr, c.ierr) << c.failpos;
        EXPECT_EQ(CALLS, c.calls) << c.failpos;
        EXPECT_NEAR(pnl::CHYD(7, 7), c.c77, 1e-5f) << c.failpos;
    }
}

}  // namespace
}  // namespace zorva
