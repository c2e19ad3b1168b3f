// The user libraries are bound when the program is loaded, and a library
// first on LD_LIBRARY_PATH replaces the one the program was built with.
#include <gtest/gtest.h>

#include <elf.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "platform/zorva_userlib.h"
#include "tests/support/testdir.hpp"

namespace zorva {
namespace {

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

class Replacement : public test::TempDirTest {};

// Run by CTest with the plain-C replacement of tests/platform/replacement
// first on LD_LIBRARY_PATH (and ZORVA_REPLACED_GEOMXACT set): the program
// calls the replacement, which reads its data unit and writes to the run
// log through the program's channels.
TEST_F(Replacement, FirstOnLibraryPathIsCalled) {
    if (!std::getenv("ZORVA_REPLACED_GEOMXACT")) GTEST_SKIP() << "run with the replacement library only";
    ASSERT_EQ(chan::open(IULOG, "zorvalog.txt", chan::Status::Replace), 0);
    ASSERT_EQ(chan::open_scratch(2), 0);
    chan::write_line(2, "HEMISPHERE 1.0");
    chan::rewind(2);
    std::vector<int> igdef = {3};
    int ib = 1, ipatch = 0, isxy[2] = {0, 0}, npatch = 1, irr = 0, iudat = 2, ierr = -7;
    float u = 0.f, v = 0.f, x[3], xu[3], xv[3];
    GEOMXACT(&u, &v, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(read_file("zorvalog.txt"), " replacement GEOMXACT: data lines read\n");
    u = 0.5f, v = -0.25f, ipatch = 1, iudat = 0;
    GEOMXACT(&u, &v, &ib, &ipatch, isxy, &npatch, &irr, x, xu, xv, igdef.data(), &iudat, &ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(x[0], 0.5f);
    EXPECT_EQ(x[1], -0.25f);
    EXPECT_EQ(x[2], -1.f);
}

}  // namespace
}  // namespace zorva
