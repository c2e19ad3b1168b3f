// The sample user mode library, called through its exported NEWMODES as the
// program calls it, together with the sample geometry library for the
// surface points; and the load-time binding of both libraries.
#include <gtest/gtest.h>

#include <elf.h>
#include <link.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "platform/zorva_userlib.h"
#include "tests/platform/userlib_support.hpp"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int NMODT = 20;

class NewmodesTest : public test::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        ASSERT_EQ(chan::open(IUERR, "errorp.log", chan::Status::Replace), 0);
        ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
        vnm.assign(NMODT, 0.f);
        wm.assign(NMODT, 0.f);
    }

    // One call as the program makes it: NAME in a 16-character field.
    int call(int ib, int mode, std::array<float, 3> x = {0, 0, 0}, std::array<float, 3> vn = {0, 0, 0},
             const std::string& name = "barge") {
        char nm[16];
        std::memset(nm, ' ', sizeof nm);
        std::memcpy(nm, name.data(), name.size());
        int ipos = 1, igen = 1, iuext = 15, iuerr = IUERR, iulog = IULOG, ierr = -7;
        NEWMODES(x.data(), vn.data(), ibmod.data(), &ib, &ipos, newmds.data(), &igen, imode.data(), vnm.data(),
                 wm.data(), &mode, &iuext, nm, 16, &iuerr, &iulog, &ierr);
        return ierr;
    }

    std::string errlog() { return read_file("errorp.log"); }

    // Body 1: modes 1..9 (m0 = 0, three generalized); body 2: modes 10..16.
    std::vector<int> ibmod = {0, 9}, newmds = {3, 1};
    std::vector<int> imode = std::vector<int>(NMODT, 1);
    std::vector<float> vnm, wm;
};

// Surge, heave and bending modes at points of the sample hemisphere: the
// surge mode equals rigid surge, the heave mode rigid heave, the bending
// mode w = P2(2x/L) times the vertical normal; nothing else is written.
TEST_F(NewmodesTest, ModesAtSurfacePoints) {
    write_file("barge.nmd", "! generalized modes of the barge\nSURGE\n\n heave \nBend, 8.0  ! length\n");
    ASSERT_EQ(call(1, -1), 0);
    EXPECT_EQ(errlog(), "");

    int kind = 801, ib = 1, iudat = 2, ierr = 0, npatch = 4, irr = 0, isxy[2] = {0, 0};
    std::vector<int> igdef = {kind, kind};
    chan::open_scratch(2);
    chan::write_line(2, "HEMISPHERE 3.0");
    chan::rewind(2);
    float u = 0, v = 0, x[3], xu[3], xv[3];
    int ipatch = 0;
    GEOMXACT(&u, &v, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
    ASSERT_EQ(ierr, 0);
    chan::close(2);
    iudat = 0;
    for (ipatch = 1; ipatch <= 4; ++ipatch) {
        for (auto [pu, pv] : {std::array<float, 2>{0.2f, -0.5f}, {0.9f, 0.7f}, {-0.6f, 0.1f}}) {
            GEOMXACT(&pu, &pv, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
            ASSERT_EQ(ierr, 0);
            std::array<float, 3> n = {xu[1] * xv[2] - xu[2] * xv[1], xu[2] * xv[0] - xu[0] * xv[2],
                                      xu[0] * xv[1] - xu[1] * xv[0]};
            float a = std::hypot(n[0], n[1], n[2]);
            for (float& c : n) c /= a;
            // The caller's rigid entries, then the call.
            vnm.assign(NMODT, -9.f);
            wm.assign(NMODT, -9.f);
            for (int k = 0; k < 3; ++k) vnm[static_cast<std::size_t>(k)] = n[static_cast<std::size_t>(k)];
            wm[2] = 1.f;
            ASSERT_EQ(call(1, 2, {x[0], x[1], x[2]}, n), 0);
            EXPECT_EQ(vnm[6], vnm[0]);  // surge = rigid surge
            EXPECT_EQ(wm[6], 0.f);
            EXPECT_EQ(vnm[7], vnm[2]);  // heave = rigid heave
            EXPECT_EQ(wm[7], wm[2]);
            double xi = 2.0 * double(x[0]) / 8.0, w = (3 * xi * xi - 1) / 2;
            EXPECT_NEAR(double(wm[8]), w, 1e-6);
            EXPECT_NEAR(double(vnm[8]), w * double(n[2]), 1e-6);
            EXPECT_EQ(vnm[9], -9.f);  // the next body's modes are untouched
            EXPECT_EQ(wm[5], -9.f);
        }
    }
}

// Heave hydrostatics through the generalized heave mode: the sum of
// VNM WM dS over the floating hemisphere is its waterplane area pi R^2, and
// over the bending mode the integral of n3 w dS is that of w over the
// waterplane disk, pi R^2 (3 R^2 / (2 L^2) - 1/2) (hand calculation).
TEST_F(NewmodesTest, HeaveRestoringFromTheModes) {
    write_file("hemi.nmd", "HEAVE\nBEND 4.0\n");
    std::vector<int> igdef = {802};
    int ib = 1, iudat = 2, ierr = 0, npatch = 0, irr = 0, isxy[2] = {0, 0}, ipatch = 0;
    chan::open_scratch(2);
    chan::write_line(2, "HEMISPHERE 1.5");
    chan::write_line(2, "SECTORS 2");
    chan::rewind(2);
    float u = 0, v = 0, x[3], xu[3], xv[3];
    GEOMXACT(&u, &v, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
    ASSERT_EQ(ierr, 0);
    newmds = {2};
    ibmod = {0};
    ASSERT_EQ(call(1, -1, {0, 0, 0}, {0, 0, 0}, "hemi"), 0);
    std::vector<double> gx, gw;
    test::gauss_legendre(12, gx, gw);
    double c33 = 0, cbend = 0;
    iudat = 0;
    for (ipatch = 1; ipatch <= 8; ++ipatch)
        for (std::size_t i = 0; i < gx.size(); ++i)
            for (std::size_t j = 0; j < gx.size(); ++j) {
                float fu = static_cast<float>(gx[i]), fv = static_cast<float>(gx[j]);
                GEOMXACT(&fu, &fv, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
                ASSERT_EQ(ierr, 0);
                double a1 = xu[0], a2 = xu[1], a3 = xu[2], b1 = xv[0], b2 = xv[1], b3 = xv[2];
                double n[3] = {a2 * b3 - a3 * b2, a3 * b1 - a1 * b3, a1 * b2 - a2 * b1};
                double a = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                std::array<float, 3> vn = {float(n[0] / a), float(n[1] / a), float(n[2] / a)};
                ASSERT_EQ(call(1, 2, {x[0], x[1], x[2]}, vn, "hemi"), 0);
                double ds = gw[i] * gw[j] * a;
                c33 += double(vnm[6]) * double(wm[6]) * ds;
                cbend += double(vnm[7]) * ds;
            }
    const double R = 1.5, L = 4.0;
    EXPECT_NEAR(c33, PI * R * R, 1e-4);
    EXPECT_NEAR(cbend, PI * R * R * (3 * R * R / (2 * L * L) - 0.5), 1e-4);
}

// A body evaluated without a set-up call (the FORCE stage) has its file read
// at its first point; a failure is reported once and then returned silently.
TEST_F(NewmodesTest, FirstPointReadsTheFile) {
    write_file("ship.nmd", "SURGE\n");
    vnm[9] = 0.6f;  // rigid surge of body 2 as the caller sets it
    ASSERT_EQ(call(2, 2, {1, 2, 3}, {0.6f, 0.8f, 0}, "ship"), 0);
    EXPECT_EQ(vnm[15], 0.6f);
    EXPECT_EQ(call(2, 2, {1, 2, 3}, {0.6f, 0.8f, 0}, "raft"), 1);
    EXPECT_EQ(call(2, 2, {1, 2, 3}, {0.6f, 0.8f, 0}, "raft"), 1);
    EXPECT_EQ(errlog(), "\n NEWMODES, body 2: cannot open the mode file raft.nmd\n");
    EXPECT_EQ(read_file("zorvalog.txt"), errlog());
}

// Bad mode files and calls fail with a message in both logs.
TEST_F(NewmodesTest, Failures) {
    struct Case {
        const char* file;  // content of barge.nmd, nullptr: no file
        int mode;
        const char* text;
    };
    const Case cases[] = {
        {nullptr, -1, "cannot open the mode file barge.nmd"},
        {"SURGE\nTWIST\nHEAVE\n", -1, "unknown mode TWIST in line 2 of barge.nmd"},
        {"SURGE\nHEAVE\nBEND\n", -1, "BEND takes 1 value, found 0 in line 3 of barge.nmd"},
        {"SURGE 1\nHEAVE\nBEND 2\n", -1, "SURGE takes 0 values, found 1 in line 1 of barge.nmd"},
        {"SURGE\nHEAVE\nBEND -2\n", -1, "BEND length must be a positive number, found -2 in line 3 of barge.nmd"},
        {"SURGE\nHEAVE\n", -1, "barge.nmd lists 2 modes, the body has NEWMDS = 3"},
        {"SURGE\nHEAVE\nHEAVE\nHEAVE\n", -1, "barge.nmd lists 4 modes, the body has NEWMDS = 3"},
        {"SURGE\nHEAVE\nHEAVE\n", 1, "illegal MODE 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        chan::open(IUERR, "errorp.log", chan::Status::Replace);
        chan::open(IULOG, "zorvalog.txt", chan::Status::Replace);
        std::remove("barge.nmd");
        if (c.file) write_file("barge.nmd", c.file);
        EXPECT_EQ(call(1, c.mode), 1);
        EXPECT_EQ(errlog(), "\n NEWMODES, body 1: " + std::string(c.text) + "\n");
        EXPECT_EQ(read_file("zorvalog.txt"), errlog());
        EXPECT_FALSE(chan::is_open(15));
    }
}

// Both libraries are bound when the program is loaded, found through a
// RUNPATH, which LD_LIBRARY_PATH takes precedence over (an RPATH would not).
TEST(UserLibraries, BoundAtLoadTimeThroughRunpath) {
    bool runpath = false, rpath = false;
    for (ElfW(Dyn)* d = _DYNAMIC; d->d_tag != DT_NULL; ++d) {
        runpath = runpath || d->d_tag == DT_RUNPATH;
        rpath = rpath || d->d_tag == DT_RPATH;
    }
    EXPECT_TRUE(runpath);
    EXPECT_FALSE(rpath);
    std::vector<std::string> libs;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* p) {
            static_cast<std::vector<std::string>*>(p)->push_back(info->dlpi_name);
            return 0;
        },
        &libs);
    auto loaded = [&](const char* lib) {
        for (const std::string& s : libs)
            if (s.size() >= std::strlen(lib) && s.compare(s.size() - std::strlen(lib), std::string::npos, lib) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(loaded("/libgeomxact.so"));
    EXPECT_TRUE(loaded("/libnewmodes.so"));
}

}  // namespace
}  // namespace zorva
