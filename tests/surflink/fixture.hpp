// Fixture control files and models of the SURFLINK tests.  The date and
// time of the log come from the kernel's rg_DateTime, which this test
// program defines for itself (fixture.cpp) so that it is fixed.
#pragma once

#include <string>
#include <vector>

#include "surflink/surflink.h"
#include "tests/support/testdir.hpp"

namespace zorva::test {

inline constexpr const char* FIXED_TIME = "05-Mar-2024 09:07:03";

// Head of rgkinit.txt as the program writes it.
std::string rgk_head(int ilowhi, const std::string& grav, int nbody);

// One body block as the program writes it (parameter lines after line 13).
struct Block {
    int ib = 1, irr = 0, itkms2 = 1;
    std::string gdf = "box.gdf", ms2 = "box_ms2.gdf", xbody = "0.0 0.0 0.0 0.0", title = "Box";
    std::string ulen_grav = "1.0 9.80665", isxy = "0 0", npatch_igdef = "0 2";
    std::string model = "box.zzm", lists = "Hull", flags = "1 0 0";
    std::vector<std::string> params;
};
std::string rgk_block(const Block& b);

// Models: a half box (x >= 0 mirrored, three quadrilaterals in list Hull)
// and a quarter cylinder with 4-fold symmetry about z (wall and base).
std::string box_model(const std::string& units = "m");
std::string cylinder_model();

class SurflinkTest : public TempDirTest {
protected:
    void TearDown() override {
        RGKDONE();
        TempDirTest::TearDown();
    }
    static int init() {
        int ierr = -99;
        RGKINIT(&ierr);
        return ierr;
    }
    // The log's lines.
    std::vector<std::string> log() { return read_lines("rgklog.txt"); }
    bool logged(const std::string& line) {
        for (const auto& l : log())
            if (l == line) return true;
        return false;
    }
};

}  // namespace zorva::test
