// The whole program on the box example (examples/box) in a fresh directory:
// the record framing of the .p2f file its POTEN stage writes, and a FORCE
// stage run alone on that file against a run of both stages.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "common/channels.hpp"
#include "main/drivers/mainprog.hpp"
#include "tests/drivers/fixture.hpp"

namespace zorva {
namespace {

using test::DriverTest;

class BoxRun : public DriverTest {
protected:
    static constexpr const char* OUTPUTS[] = {"box.out", "box.1", "box.2", "box.3", "box.4"};
    // The example's input files, with the configuration replaced by `cfg`.
    static void copy_example(const std::string& cfg) {
        for (const char* f : {"fnames.zrv", "box.gdf", "box.pot", "box.frc"})
            std::filesystem::copy_file(test::source_path(std::string("examples/box/") + f), f);
        write_file("box.cfg", cfg);
    }
    // One run of the program with every module at its start.
    int main_run() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        fresh();
        return MAIN();
    }
    // Lengths of the records of an unformatted file, read from its framing:
    // each record is a 4-byte little-endian count, the data and the count
    // again.  A record whose trailing count differs, or a file that does not
    // end at a record end, fails the test.
    static std::vector<std::uint32_t> record_lengths(const std::string& name) {
        const std::string b = read_file(name);
        auto count = [&b](std::size_t at) {
            const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
            return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                   std::uint32_t(p[3]) << 24;
        };
        std::vector<std::uint32_t> v;
        std::size_t pos = 0;
        while (pos + 4 <= b.size()) {
            const std::uint32_t len = count(pos);
            if (pos + 8 + std::size_t(len) > b.size()) break;
            EXPECT_EQ(count(pos + 4 + len), len) << "record " << v.size() + 1;
            v.push_back(len);
            pos += 8 + std::size_t(len);
        }
        EXPECT_EQ(pos, b.size()) << "file does not end at a record end";
        return v;
    }
};

TEST_F(BoxRun, PotenFileRecordLengths) {
    copy_example("ILOWHI=0\nIPOTEN=1\nIFORCE=0\n");
    ASSERT_EQ(main_run(), 0);
    std::ifstream in(test::source_path("tests/data/box_p2f_lengths.txt"));
    ASSERT_TRUE(in.good());
    std::vector<std::uint32_t> expected;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string id;
        std::uint32_t len = 0;
        ls >> id >> len;
        expected.push_back(len);
    }
    ASSERT_EQ(expected.size(), 59u);
    EXPECT_EQ(record_lengths("box.p2f"), expected);
}

// The FORCE stage reads everything from the .p2f file, so alone on the file of
// an earlier run it must give the report and numeric files of a run of both
// stages.  The test clock is fixed, so even the date and time stamps agree.
TEST_F(BoxRun, ForceOnlyRunMatchesBothStages) {
    copy_example("ILOWHI=0\nIPOTEN=1\nIFORCE=1\n");
    ASSERT_EQ(main_run(), 0);
    std::vector<std::pair<std::string, std::string>> both;
    for (const char* f : OUTPUTS) {
        both.emplace_back(f, read_file(f));
        ASSERT_FALSE(both.back().second.empty()) << f;
    }
    // The outputs of the first run are still there: the run asks once
    // whether to overwrite the old report; the answer is yes.
    write_file("box.cfg", "ILOWHI=0\nIPOTEN=0\nIFORCE=1\n");
    set_input("Y\n");
    ASSERT_EQ(main_run(), 0);
    EXPECT_NE(screen.str().find("An old output file exists with the specified filename box.out"), std::string::npos);
    for (const auto& [f, text] : both) EXPECT_TRUE(read_file(f) == text) << f << " differs";
    // The same with the old outputs removed first: no question asked.
    for (const char* f : OUTPUTS) std::filesystem::remove(f);
    std::filesystem::remove("box.hst");
    screen.str("");
    set_input("");
    ASSERT_EQ(main_run(), 0);
    EXPECT_EQ(screen.str().find("old output file"), std::string::npos);
    for (const auto& [f, text] : both) EXPECT_TRUE(read_file(f) == text) << f << " differs";
}


// An old .p2f file of another run is kept when the user declines to
// overwrite it and names a new file: the FORCE stage of the same run reads
// the new file, and its results are those of a run without the old file.
TEST_F(BoxRun, ForceReadsTheFileItsPotenStageWroteUnderANewName) {
    copy_example("ILOWHI=0\nIPOTEN=1\nIFORCE=1\n");
    ASSERT_EQ(main_run(), 0);
    std::vector<std::pair<std::string, std::string>> plain;
    for (const char* f : {"box.1", "box.2", "box.3", "box.4"}) plain.emplace_back(f, read_file(f));
    for (const char* f : OUTPUTS) std::filesystem::remove(f);
    std::filesystem::remove("box.hst");
    const std::string stale = "results of another body";
    write_file("box.p2f", stale);
    set_input("n\nnew.p2f\n");
    screen.str("");
    ASSERT_EQ(main_run(), 0) << screen.str();
    EXPECT_EQ(read_file("box.p2f"), stale);
    EXPECT_EQ(record_lengths("new.p2f").size(), 59u);
    for (const auto& [f, text] : plain) EXPECT_TRUE(read_file(f) == text) << f << " differs";
}

// The higher-order box of examples/hobox closed by a lid patch in the free
// surface (IRR = 1, the interior free surface given as a patch of the
// geometry file): a FORCE stage alone on its .p2f file writes the report of
// the run of both stages, the irregular-frequency index 1 among it.
TEST_F(BoxRun, HigherOrderForceOnlyRunKeepsTheIndexOfALid) {
    for (const char* f : {"fnames.zrv", "hobox.frc"})
        std::filesystem::copy_file(test::source_path(std::string("examples/hobox/") + f), f);
    std::string gdf = read_file(test::source_path("examples/hobox/hobox.gdf"));
    gdf.replace(gdf.find("  5  0      NPATCH"), 18, "  6  0      NPATCH");
    gdf += "  1.0 -0.5 0.0   1.0 0.5 0.0   -1.0 0.5 0.0   -1.0 -0.5 0.0\n";  // the lid, normal down
    write_file("hobox.gdf", gdf);
    // One spline panel per patch: the index, not the accuracy, is tested.
    std::string spl = "Box with a lid\n";
    for (int p = 0; p < 6; ++p) spl += " 1 1\n 3 3\n 3 3\n 3 3\n";
    write_file("hobox.spl", spl);
    write_file("hobox.pot", "Box with a lid\n 0\n 1\n 0. 0. 0. 0. 0.\n 0 1 0\n 1 1\n 1 1 1 1 1 1\n 1\n 4.\n 1\n 0.\n");
    write_file("hobox.cfg", "ILOWHI=1\nIPOTEN=1\nIFORCE=1\nISOLVE=1\n");
    ASSERT_EQ(main_run(), 0) << screen.str();
    const std::string both = read_file("hobox.out");
    EXPECT_NE(both.find(" Irregular frequency index: IRR =   1\n"), std::string::npos) << both;
    for (const char* f : {"hobox.out", "hobox.1", "hobox.2", "hobox.3", "hobox.4", "hobox.hst"})
        std::filesystem::remove(f);
    write_file("hobox.cfg", "ILOWHI=1\nIPOTEN=0\nIFORCE=1\n");
    ASSERT_EQ(main_run(), 0) << screen.str();
    EXPECT_TRUE(read_file("hobox.out") == both) << read_file("hobox.out");
}

}  // namespace
}  // namespace zorva
