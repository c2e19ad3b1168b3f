// Comparison of a written file with a reference file: the layout exactly
// (every line, and on it every field ending at the same column), texts exactly,
// numbers within a tolerance (a phase of 180 degrees equals one of -180).
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace zorva::test {

std::string source_path(const std::string& rel);

// A reference file of the FORCE tests.
inline std::string golden(const std::string& name) { return source_path("tests/force/golden/" + name); }

// Head of a fixture file (*.fix): title line, panel, mode and heading
// counts, period, nu, K, then the headings.
struct FixHead {
    int ne = 0, nm = 0, nb = 0;
    float per = 0, nu = 0, k = 0;
    std::vector<float> beta;
};
inline FixHead read_fix_head(std::ifstream& f) {
    FixHead h;
    std::string title;
    std::getline(f, title);
    f >> h.ne >> h.nm >> h.nb >> h.per >> h.nu >> h.k;
    h.beta.resize(static_cast<std::size_t>(h.nb));
    for (auto& b : h.beta) f >> b;
    return h;
}

// The lines of a file.
inline std::vector<std::string> lines_of(const std::string& path) {
    std::ifstream f(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(f, l);) out.push_back(l);
    return out;
}

struct Field {
    std::size_t start, end;
    std::string text;
};

inline std::vector<Field> fields(const std::string& s) {
    std::vector<Field> out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t j = s.find(' ', i);
        if (j == std::string::npos) j = s.size();
        out.push_back({i, j, s.substr(i, j - i)});
        i = j;
    }
    return out;
}

inline bool number(const std::string& t, double& v) {
    char* e = nullptr;
    v = std::strtod(t.c_str(), &e);
    return e && *e == '\0' && e != t.c_str();
}

inline void expect_same_layout(const std::vector<std::string>& got, const std::vector<std::string>& ref,
                               const std::string& what, double rtol = 1e-3, double atol = 1e-6) {
    ASSERT_EQ(got.size(), ref.size()) << what;
    for (std::size_t l = 0; l < ref.size(); ++l) {
        SCOPED_TRACE(what + " line " + std::to_string(l + 1) + ": '" + got[l] + "' vs '" + ref[l] + "'");
        ASSERT_EQ(got[l].size(), ref[l].size());
        const auto fg = fields(got[l]), fr = fields(ref[l]);
        ASSERT_EQ(fg.size(), fr.size());
        for (std::size_t k = 0; k < fr.size(); ++k) {
            EXPECT_EQ(fg[k].end, fr[k].end);
            double a, b;
            if (number(fr[k].text, b) && number(fg[k].text, a)) {
                // Numbers are right-justified: a sign may take a column more.
                const bool half_turn = std::fabs(std::fabs(a) - 180.0) < 0.5 && std::fabs(std::fabs(b) - 180.0) < 0.5;
                if (!half_turn) {
                    EXPECT_NEAR(a, b, rtol * std::max(std::fabs(a), std::fabs(b)) + atol) << fr[k].text;
                }
            } else {
                EXPECT_EQ(fg[k].start, fr[k].start);
                EXPECT_EQ(fg[k].text, fr[k].text);
            }
        }
    }
}

}  // namespace zorva::test
