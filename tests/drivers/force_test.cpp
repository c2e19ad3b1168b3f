// The FORCE driver: the order of the per-period steps under the output
// options, and its failure rules.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "main/drivers/drivers.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;
using V = std::vector<std::string>;

const V HEAD = {"SETMODFAC", "RDP2FPOT", "WRPERHDR"};

// The routines of the list that are built: they record no calls (their
// order shows in the report sections, tests/force).
bool built(const std::string& c) {
    for (const char* r : {"SETMODFAC", "WRPERHDR", "AMDPINT", "OUTADMS", "EXFHASK", "OUTHASK", "FRCACC", "OUTDIFF",
                          "RAOSOL", "OUTRAO", "MOMDRIFT", "OUTDRIFT"})
        if (c.rfind(r, 0) == 0) return true;
    return false;
}

V cat(std::initializer_list<V> parts) {
    V out;
    for (const auto& p : parts)
        for (const auto& c : p)
            if (!built(c)) out.push_back(c);
    return out;
}

struct ForceCase {
    const char* name;
    std::array<int, 10> ioptn;  // [1..9]
    std::vector<float> per;
    std::vector<int> iperfl;
    std::function<void()> pre;
    int ierr;
    V calls;  // after FRCSETUP and CHKOPT
};

TEST_F(DriverTest, ForceOrder) {
    const V all = {"AMDPINT", "OUTADMS", "EXFHASK", "OUTHASK", "FRCACC", "OUTDIFF", "RAOSOL HASKIND", "OUTRAO",
                   "BPBVDRV", "OUTBPRS", "OUTBVEL", "FIELDPT", "OUTFPRS", "OUTFVEL", "MOMDRIFT",
                   "OUTDRIFT optn.8 0 1 0", "CSFPT", "DRFTPI", "OUTDRIFT optn.9 1 2 0", "OUTDRIFT optn.9c 1 2 1"};
    const std::vector<ForceCase> cases = {
        {"every option, finite depth, control surface", {0, 1, 1, 1, 1, 3, 1, 1, 1, 2}, {8}, {0},
         [] { standin::MODEL.hbot = 2.0f; cfg::ICTRSURF = 1; standin::MODEL.nrgkbody = 1; }, 0,
         cat({HEAD, {"HGRN00"}, all, {"RGKDONE"}})},
        {"infinite depth: no Green-function set-up", {0, 1, 1, 1, 1, 3, 1, 1, 1, 2}, {8}, {0},
         [] { cfg::ICTRSURF = 1; }, 0, cat({HEAD, all})},
        {"zero and infinite periods: added mass only", {0, 1, 1, 1, 1, 3, 1, 1, 1, 1}, {0, -1}, {2, 1},
         [] { standin::MODEL.hbot = 2.0f; }, 0,
         cat({HEAD, {"AMDPINT", "OUTADMS"}, HEAD, {"AMDPINT", "OUTADMS"}})},
        {"zero period with the numeric options", {0, 0, 0, 0, 0, 1, 1, 1, 0, 0}, {0}, {2},
         [] { cfg::INUMOPT5 = 1; cfg::INUMOPT7 = 1; }, 0,
         cat({HEAD, {"BPBVDRV", "OUTBPRS", "FIELDPT", "OUTFVEL"}})},
        {"single solution set runs body and field outputs", {0, 0, 0, 0, 0, 1, 1, 0, 0, 0}, {-1}, {1},
         [] { sym::NSOLC = 1; }, 0, cat({HEAD, {"BPBVDRV", "OUTBPRS", "FIELDPT", "OUTFPRS"}})},
        {"motions read: nothing after them", {0, 0, 0, 0, 2, 1, 1, 0, 1, 1}, {8, 9}, {0, 0},
         [] { cfg::IREADRAO = 1; }, 0,
         cat({HEAD, {"AMDPINT", "FRCACC", "RAOSOL DIFFRACTION", "OUTRAO"}, HEAD,
              {"AMDPINT", "FRCACC", "RAOSOL DIFFRACTION", "OUTRAO"}})},
        {"diffraction forces written, motions from Haskind", {0, 0, 0, 1, 1, 0, 0, 0, 0, 0}, {8}, {0}, [] {}, 0,
         cat({HEAD, {"AMDPINT", "EXFHASK", "FRCACC", "OUTDIFF", "RAOSOL HASKIND", "OUTRAO"}})},
        {"higher-order panel sums", {0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, {8}, {0},
         [] { cfg::ILOWHI = 1; }, 0, cat({HEAD, {"BPBVDRV", "OUTBVEL", "BPVSUM", "OUT5PB"}})},
        {"no periods", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {}, {}, [] { standin::MODEL.nrgkbody = 1; }, 0, {"RGKDONE"}},
        {"motion failure returns at once", {0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, {8, 9}, {0, 0},
         [] { standin::MODEL.nrgkbody = 1; standin::MODEL.restoring = false; }, 1,
         cat({HEAD, {"AMDPINT", "EXFHASK", "RAOSOL HASKIND"}})},
        {"body-point failure returns at once", {0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, {8}, {0},
         [] { standin::fail("BPBVDRV"); standin::MODEL.nrgkbody = 1; }, 1, cat({HEAD, {"BPBVDRV"}})},
        {"potential read failure", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, {8, 9}, {0, 0},
         [] { standin::fail("RDP2FPOT", 2); standin::MODEL.nrgkbody = 1; }, 1,
         cat({HEAD, {"AMDPINT", "OUTADMS"}, {"SETMODFAC", "RDP2FPOT"}})},
        {"Green-function failure", {0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, {8}, {0},
         [] { standin::MODEL.hbot = 2.0f; standin::fail("HGRN00"); standin::MODEL.nrgkbody = 1; }, 1, cat({HEAD, {"HGRN00"}})},
        // The first failure of a period stands although a later step succeeds:
        // the loop ends after the period's outputs and the kernel is released.
        {"control-surface failure kept", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {8, 9}, {0, 0},
         [] { cfg::ICTRSURF = 2; standin::fail("CSFPT"); standin::MODEL.nrgkbody = 1; }, 1,
         cat({HEAD, {"BPBVDRV", "CSFPT", "DRFTPI", "OUTDRIFT optn.9 1 1 0", "OUTDRIFT optn.9c 1 1 2", "RGKDONE"}})},
        {"field-point failure kept", {0, 0, 0, 0, 0, 0, 1, 0, 0, 1}, {8, 9}, {0, 0},
         [] { standin::fail("FIELDPT"); }, 1,
         cat({HEAD, {"BPBVDRV", "FIELDPT", "OUTFPRS", "DRFTPI", "OUTDRIFT optn.9 1 1 0"}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chan::close(1);
        cfg::reset();
        model::reset();
        run::reset();
        sym::reset();
        standin::reset();
        standin::MODEL.per = c.per;
        standin::MODEL.iperfl = c.iperfl;
        standin::MODEL.ioptn = c.ioptn;
        c.pre();
        int ierr = -1;
        FORCERUN(ierr);
        EXPECT_EQ(ierr, c.ierr);
        EXPECT_EQ(calls(), cat({{"FRCSETUP", "CHKOPT"}, c.calls}));
    }
}

TEST_F(DriverTest, ForceSetupFailures) {
    for (const char* r : {"FRCSETUP", "CHKOPT"}) {
        SCOPED_TRACE(r);
        chan::close(1);
        standin::reset();
        standin::fail(r);
        model::NRGKBODY = 1;
        int ierr = -1;
        FORCERUN(ierr);
        EXPECT_EQ(ierr, 1);
        EXPECT_EQ(calls().back(), r);
        chan::close(1);
        EXPECT_EQ(read_lines("errorf.log")[0], "Warning and error log from FORCE run:  05-Mar-2024 09:07:03");
    }
}

}  // namespace
}  // namespace zorva
