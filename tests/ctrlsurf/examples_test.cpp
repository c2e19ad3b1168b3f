// The whole program on the control-surface examples (examples/hemicsf and
// examples/boxcsf): the control-surface drift beside momentum conservation
// and pressure integration, and the box's control surface given in every
// kind of file (examples/boxcsf/kinds).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "common/channels.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::drift_records;
using test::DriverTest;
using Records = std::map<std::pair<int, int>, std::complex<double>>;

class CsfExamples : public DriverTest {
protected:
    // The example's files, then the whole program; the records of the
    // momentum, pressure and control-surface drift files of the first
    // period (2 s).  With `csf`, the control-surface file of that name in
    // kinds/ takes the place of the example's, and the FORCE stage runs
    // alone on the .p2f file of the run before.
    struct Run {
        Records mom, pi, cs;
    };
    Run run(const std::string& dir, const std::string& base, const std::string& csf = "") {
        for (const auto& e : std::filesystem::directory_iterator(test::source_path("examples/" + dir)))
            if (e.is_regular_file() && (csf.empty() || e.path().extension() != ".p2f")) std::filesystem::copy_file(e.path(), e.path().filename(),
                                                                std::filesystem::copy_options::overwrite_existing);
        if (!csf.empty())
            std::filesystem::copy_file(test::source_path("examples/" + dir + "/kinds/" + csf), base + ".csf",
                                       std::filesystem::copy_options::overwrite_existing);
        for (const char* e : {".out", ".8", ".9", ".9c", ".4", ".hst"}) std::remove((base + e).c_str());
        if (!csf.empty()) {
            std::string cfg = read_file(base + ".cfg");
            cfg.replace(cfg.find("IPOTEN=1"), 8, "IPOTEN=0");
            write_file(base + ".cfg", cfg);
        }
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        EXPECT_EQ(MAIN(), 0);
        EXPECT_NE(screen.str().find("ZORVA run completed"), std::string::npos);
        auto first = [](const std::vector<std::string>& lines) {
            std::vector<std::string> out;
            for (const auto& l : lines)
                if (l.rfind("  0.200000E+01", 0) == 0) out.push_back(l);
            return drift_records(out);
        };
        return {first(read_lines(base + ".8")), first(read_lines(base + ".9")), first(read_lines(base + ".9c"))};
    }
};

// Hemisphere held in water of depth 5 (32 x 8 panels), control surface a
// cylinder of radius 2: within the few percent of its panels of the other
// two methods, at both headings.
TEST_F(CsfExamples, HemisphereHeld) {
    const Run r = run("hemicsf", "hemi");
    ASSERT_EQ(r.cs.size(), 18u);
    for (int b : {0, 45}) {
        SCOPED_TRACE(b);
        EXPECT_NEAR(r.cs.at({b, 1}).real() / r.mom.at({b, 1}).real(), 1.0, 0.08);
        EXPECT_NEAR(r.cs.at({b, 2}).real(), r.mom.at({b, 2}).real(), 0.08 * r.mom.at({b, 1}).real());
        EXPECT_NEAR(r.cs.at({b, 3}).real() / r.pi.at({b, 3}).real(), 1.0, 0.08);
        EXPECT_NEAR(r.cs.at({b, 6}).real(), 0.0, 1e-5);
    }
}

// The floating box: its control surface as flat patches (box.csf), as
// low-order panels, as B-spline patches (the same surface) and its walls
// and bottom from the user routine.  The horizontal drift is the momentum flux through
// any surface round the body; the flat and B-spline patches place the same
// points.
TEST_F(CsfExamples, BoxInEveryKind) {
    const Run flat = run("boxcsf", "box");
    ASSERT_EQ(flat.cs.size(), 18u);
    for (const char* k : {"panels.csf", "bspline.csf", "user.csf"}) {
        SCOPED_TRACE(k);
        const Run r = run("boxcsf", "box", k);
        ASSERT_EQ(r.cs.size(), 18u);
        for (int b : {0, 45})
            for (int l : {1, 2}) {
                const double ref = flat.cs.at({b, 1}).real();
                EXPECT_NEAR(r.cs.at({b, l}).real(), flat.cs.at({b, l}).real(), 0.005 * ref) << b << ' ' << l;
            }
        if (std::string(k) == "bspline.csf") {
            for (const auto& [key, v] : flat.cs) EXPECT_NEAR(std::abs(r.cs.at(key) - v), 0.0, 1e-5 * (1 + std::abs(v)));
        }
    }
    // Against momentum conservation: the coarse body panels (0.25) leave the
    // source field a tenth off the far field.
    for (int b : {0, 45}) EXPECT_NEAR(flat.cs.at({b, 1}).real() / flat.mom.at({b, 1}).real(), 1.0, 0.15);
}

}  // namespace
}  // namespace zorva
