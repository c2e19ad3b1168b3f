// Each example of examples/ run by the program in a temporary copy of its
// input files, against its expected outputs (examples/<case>/expected/,
// written by tools/mkexpected.py).  The layout must be the same character
// for character: the same lines, the same words at the same places; numbers
// agree within a tolerance.  Dates and times are masked.
//
// The expected files were checked by hand where a closed form exists: the
// box 2 x 1 x 0.5 (volume 1, centre of buoyancy at z = -0.25) has C33 = 2,
// the waterplane area, and with the centroid rule on its waterline strips
// of 0.25, C44 = 2 x 0.25 x 2 (0.125^2 + 0.375^2) - 0.25 = -0.09375 and
// C55 = 1 x 0.25 x 2 (0.125^2 + 0.375^2 + 0.625^2 + 0.875^2) - 0.25 =
// 0.40625 (box.hst, boxq.hst, twoboxes.hst for each body).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/testdir.hpp"

namespace zorva::test {
namespace {

namespace fs = std::filesystem;

std::string mask(std::string s) {
    static const std::regex date(R"(\d\d-[A-Z][a-z][a-z]-\d\d\d\d)"), time(R"(\d\d:\d\d:\d\d)");
    s = std::regex_replace(s, date, "DD-Mon-YYYY");
    return std::regex_replace(s, time, "HH:MM:SS");
}

struct Word {
    std::string text;
    std::size_t end;  // column after its last character
    bool number;
    double value;
};

std::vector<Word> words(const std::string& line) {
    std::vector<Word> out;
    std::size_t i = 0;
    while (true) {
        i = line.find_first_not_of(' ', i);
        if (i == std::string::npos) break;
        std::size_t e = line.find(' ', i);
        if (e == std::string::npos) e = line.size();
        Word w{line.substr(i, e - i), e, false, 0.0};
        char* end = nullptr;
        w.value = std::strtod(w.text.c_str(), &end);
        w.number = end == w.text.c_str() + w.text.size() && std::isfinite(w.value);
        out.push_back(w);
        i = e;
    }
    return out;
}

// Compares one produced file with its expected text.  A number agrees when
// it is within a relative 2e-4 of the expected one, or within 1e-5 of the
// largest value of its column (the same word place in lines of as many
// words) in the expected file: values that symmetry makes zero come out
// as rounding noise.  The phase of such a noise value means nothing: in a
// line holding one, the words of columns that are phases (largest value
// between 90 and 180 degrees) are compared by their place only.
void compare(const std::string& name, const std::string& got_text, const std::string& want_text) {
    auto split = [](const std::string& t) {
        std::vector<std::string> l;
        std::size_t p = 0;
        while (p < t.size()) {
            std::size_t e = t.find('\n', p);
            if (e == std::string::npos) e = t.size();
            l.push_back(t.substr(p, e - p));
            p = e + 1;
        }
        return l;
    };
    const std::vector<std::string> got = split(mask(got_text)), want = split(want_text);
    ASSERT_EQ(got.size(), want.size()) << name << ": line count";
    std::vector<std::vector<Word>> gw, ww;
    std::map<std::pair<std::size_t, std::size_t>, double> colmax;  // (words in line, place) -> largest |value|
    for (const auto& l : want) {
        ww.push_back(words(l));
        for (std::size_t k = 0; k < ww.back().size(); ++k)
            if (ww.back()[k].number) {
                double& m = colmax[{ww.back().size(), k}];
                m = std::max(m, std::fabs(ww.back()[k].value));
            }
    }
    int bad = 0;
    for (std::size_t n = 0; n < want.size() && bad < 5; ++n) {
        const auto g = words(got[n]);
        const auto& w = ww[n];
        const std::string where = name + " line " + std::to_string(n + 1) + ":\n  got  [" + got[n] + "]\n  want [" +
                                  want[n] + "]";
        if (g.size() != w.size()) {
            ADD_FAILURE() << where;
            ++bad;
            continue;
        }
        auto scale = [&](std::size_t k) { return colmax[{w.size(), k}]; };
        bool noise = false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (w[k].number && scale(k) > 0.0 && std::fabs(w[k].value) <= 1e-5 * scale(k)) noise = true;
        for (std::size_t k = 0; k < w.size(); ++k) {
            bool ok = g[k].end == w[k].end && g[k].number == w[k].number;
            if (ok && !w[k].number) ok = g[k].text == w[k].text;
            if (ok && w[k].number) {
                const double a = g[k].value, b = w[k].value, s = scale(k);
                const bool phase = noise && s >= 90.0 && s <= 180.0;
                ok = phase || std::fabs(a - b) <= 2e-4 * std::max(std::fabs(a), std::fabs(b)) + 1e-5 * s;
            }
            if (!ok) {
                ADD_FAILURE() << where << "\n  word " << k + 1;
                ++bad;
                break;
            }
        }
    }
}

class Examples : public TempDirTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(Examples, RunMatchesExpectedOutputs) {
    const std::string ex = GetParam();
    copy_example(ex);
    const std::string cmd = std::string(ZORVA_BINARY_DIR) + "/zorva < /dev/null > screen.txt 2>&1";
    const int st = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << read_file("screen.txt");
    const fs::path expected = source_path("examples/" + ex + "/expected");
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(expected)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 10u);
    // Every text output of the run has its expected file.
    for (const auto& e : fs::directory_iterator(".")) {
        const std::string f = e.path().filename().string();
        const auto in = example_inputs(ex);
        if (std::find(in.begin(), in.end(), f) != in.end() || f.ends_with(".p2f")) continue;
        EXPECT_TRUE(std::binary_search(names.begin(), names.end(), f)) << f << " has no expected file";
    }
    for (const auto& f : names) {
        SCOPED_TRACE(f);
        ASSERT_TRUE(fs::exists(f)) << f << " not written";
        compare(ex + "/" + f, read_file(f), read_file((expected / f).string()));
    }
}

INSTANTIATE_TEST_SUITE_P(Each, Examples,
                         ::testing::Values("box", "boxquarter", "twoboxes", "hemisphere", "hemisphere_irr0",
                                           "hemisphere_irr3", "hemicsf", "boxcsf"));

}  // namespace
}  // namespace zorva::test
