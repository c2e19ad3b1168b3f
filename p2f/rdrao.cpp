// The external RAO file: checked against the run's periods, headings and
// modes, then left open at its first data record for the motion solution.
#include <cmath>
#include <vector>

#include "common/channels.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "p2f/forceprep.hpp"

namespace zorva {

namespace {
constexpr int IURAO = 45;

// One data record: period, heading, mode and the four response values.
int read_rec(float& P, float& B, int& I) {
    float v[4];
    return fread::read_group(IURAO, {fread::R(P), fread::R(B), fread::I(I), fread::R(v, 4)});
}

bool differs(float got, float want) {
    return std::fabs(want) <= 1.0f ? std::fabs(got - want) > 1.0E-5f : std::fabs(got / want - 1.0f) > 1.0E-5f;
}
}  // namespace

void RDRAO(int& IERR) {
    using namespace frc;
    IERR = 0;
    FNAMEXT(fnames::FILEOUT, FILERAO, fnames::EXTS[15]);
    auto err = [&IERR](std::string_view t, int n = 0) {
        ERRMSG(t, n);
        IERR = 1;
    };
    if (chan::open(IURAO, FILERAO, chan::Status::Old) != 0) return err(".rao can not be opened");

    float P = 0, B = 0;
    int I = 0;
    std::string head;
    const int st = read_rec(P, B, I);
    if (cfg::NUMHDR == 0) {
        if (st != 0) {
            ERRMSG("Error reading first line of .rao", 0);
            ERRMSG("NUMHDR=0 but header line is in .rao, or ", 0);
            return err("Incorrect format of numeric data in .rao");
        }
        chan::rewind(IURAO);
    } else {
        if (st == 0) return err("NUMHDR=1 but no header line in .rao");
        chan::rewind(IURAO);
        fread::read_text(IURAO, head, 80);
    }

    // The mode list in use: the solution columns, less those whose mode
    // the force control file's mode list switched off.
    std::vector<int> modes;
    for (int k = 1; k <= sym::NSOLC; ++k) {
        const int m = MODNUM(k);
        if (!MODE.allocated() || (m >= 1 && m <= MODE.extent(1) && MODE(m) != 0)) modes.push_back(m);
    }
    for (int ip = 1; ip <= model::NPER; ++ip) {
        for (int ih = 1; ih <= model::NBETA; ++ih) {
            bool bad = false;
            std::vector<char> seen(modes.size(), 0);
            for (std::size_t k = 0; k < modes.size(); ++k) {
                const int s = read_rec(P, B, I);
                if (s == -1) return err(".rao data insufficient");
                if (s != 0) return err("Incorrect format of numeric data in .rao");
                if (bad) continue;
                std::size_t e = 0;
                while (e < modes.size() && modes[e] != I) ++e;
                if (e == modes.size()) {
                    ERRMSG("Mode inconsistent with POT, mode ", I);
                    bad = true;
                } else if (differs(B, model::BETA(ih))) {
                    ERRMSG("Wave heading inconsistent with POT, heading ", ih);
                    bad = true;
                } else if (differs(P, model::PER(ip))) {
                    ERRMSG("period inconsistent with POT, period ", ip);
                    bad = true;
                } else {
                    seen[e] = 1;
                }
            }
            if (!bad) {
                for (std::size_t e = 0; e < modes.size(); ++e) {
                    if (!seen[e]) {
                        ERRMSG("Mode is missing in .RAO file, mode ", modes[e]);
                        bad = true;
                    }
                }
            }
            if (bad) {
                IERR = 1;
                return;
            }
        }
    }
    chan::rewind(IURAO);
    if (cfg::NUMHDR == 1) fread::read_text(IURAO, head, 80);
    if (MODE.allocated()) ERRMSG("WARNING: External RAO file used with fixed modes", 0);
}

}  // namespace zorva
