#include "common/fnamext.hpp"

#include <gtest/gtest.h>

#include <string>

#include "common/datetime.hpp"
#include "common/clock.hpp"

namespace zorva {
namespace {

TEST(Fnamext, BaseAndExtensionOrSuffix) {
    struct Case {
        const char* name;
        const char* ext;
        const char* out;
    };
    const Case cases[] = {
        {"model.gdf", ".p2f", "model.p2f"},
        {"model.gdf", "_low.gdf", "model_low.gdf"},
        {"model", ".out", "model.out"},
        // Only the four characters from the first "." are replaced.
        {"run.alt.pot", ".p2f", "run.p2f.pot"},
        {"   box.gdf", ".pot", "box.pot"},
        {"Box.GDF", ".p2f", "Box.p2f"},
        {"a.p", ".hst", "a.hst"},
        {"abcdefghijklmnopqrst", ".out", "abcdefghijklmnopqrst.out"},
        // A long base keeps its whole suffix.
        {"abcdefghijklmnopqr", "_low.gdf", "abcdefghijklmnopqr_low.gdf"},
    };
    for (const Case& c : cases) {
        std::string out = "previous";
        FNAMEXT(c.name, out, c.ext);
        EXPECT_EQ(out, c.out) << c.name << " + " << c.ext;
    }
}

// The suffix may be handed in the very text that receives the result.
TEST(Fnamext, SuffixInTheOutputText) {
    std::string s = "_ms2.gdf";
    FNAMEXT("hull.gdf", s, s);
    EXPECT_EQ(s, "hull_ms2.gdf");
}

TEST(Datetime, TextsOfOneClockReading) {
    clock::set_source([] { return clock::DateTime{1999, 12, 31, 23, 59, 58}; });
    std::string d = "old", t = "old";
    RUNDATE = "unchanged";
    DATETIME(d, t);
    clock::set_source({});
    EXPECT_EQ(d, "31-Dec-1999");
    EXPECT_EQ(t, "23:59:58");
    EXPECT_EQ(RUNDATE, "unchanged");
}

}  // namespace
}  // namespace zorva
