// Sample NEWMODES: generalized modes listed in a mode file per body.
//
// The modes of a body are read from the text file "<NAME>.nmd", NAME being
// the body's geometry-file name up to its first "." (for "barge.gdf" the
// file "barge.nmd"), opened on the free unit IUEXT.  One line per
// generalized mode, in the order of the modes (items separated by blanks or
// commas, "!" starts a comment, keywords in either case, blank lines
// skipped); the number of mode lines must equal the body's NEWMDS:
//   SURGE      displacement (1, 0, 0): the rigid surge mode
//   HEAVE      displacement (0, 0, 1): the rigid heave mode
//   BEND  L    vertical bending of a body of length L (L > 0, in the units of
//              the geometry file): displacement (0, 0, w) with
//              w = (3 (2x/L)^2 - 1) / 2, x from the body origin
// At a point with unit normal n the normal velocity of a mode with
// displacement d is d . n and its vertical displacement d3.
//
// The file is read by the set-up call (MODE = -1); a body evaluated without
// a set-up call has its file read at its first point.  A failure is
// reported once in the error log and the run log and returns IERR = 1; the
// body's later calls then return IERR = 1 without a message.
#include <string>
#include <vector>

#include "platform/sample_lines.hpp"
#include "platform/zorva_units.h"
#include "platform/zorva_userlib.h"

namespace {

using zorva_sample::items;
using zorva_sample::real_item;
using zorva_sample::upper;

enum class Kind { Surge, Heave, Bend };

struct Mode {
    Kind kind;
    double len;  // BEND: body length
};

struct BodyModes {
    bool read = false;  // the file has been read (successfully or not)
    bool ok = false;
    std::string name;
    std::vector<Mode> modes;
};

std::vector<BodyModes> bodies;  // index IB - 1

struct Units {
    int err, log;
};

void message(const Units& u, int ib, const std::string& text) {
    zorva_sample::message("NEWMODES, body " + std::to_string(ib) + ": " + text, u.err, u.log);
}

std::string body_name(const char* name, int len) {
    std::string s;
    for (int i = 0; i < len && name[i] != '\0'; ++i) s += name[i];
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

// Read the mode file of body IB into B.  False on failure (message written).
bool read_modes(BodyModes& b, int ib, int nmodes, int iuext, const Units& u) {
    b.read = true;
    b.ok = false;
    b.modes.clear();
    if (b.name.empty()) {
        message(u, ib, "no body name for the mode file");
        return false;
    }
    std::string file = b.name + ".nmd";
    if (zorva_open_unit(iuext, file.c_str(), ZORVA_OPEN_OLD) != 0) {
        message(u, ib, "cannot open the mode file " + file);
        return false;
    }
    char buf[1024];
    bool good = true;
    for (int n = 1; good; ++n) {
        int st = zorva_read_line(iuext, buf, static_cast<int>(sizeof buf));
        if (st == -1) break;
        std::string where = " in line " + std::to_string(n) + " of " + file;
        if (st != 0) {
            message(u, ib, "cannot read" + where);
            good = false;
            break;
        }
        std::vector<std::string> it = items(buf);
        if (it.empty()) continue;
        std::string key = upper(it[0]);
        Mode m{Kind::Surge, 0.0};
        std::size_t want = 0;
        if (key == "SURGE") {
            m.kind = Kind::Surge;
        } else if (key == "HEAVE") {
            m.kind = Kind::Heave;
        } else if (key == "BEND") {
            m.kind = Kind::Bend;
            want = 1;
        } else {
            message(u, ib, "unknown mode " + it[0] + where);
            good = false;
            break;
        }
        if (it.size() - 1 != want) {
            message(u, ib, key + " takes " + std::to_string(want) + (want == 1 ? " value" : " values") + ", found " +
                               std::to_string(it.size() - 1) + where);
            good = false;
            break;
        }
        if (m.kind == Kind::Bend && !(real_item(it[1], m.len) && m.len > 0.0)) {
            message(u, ib, "BEND length must be a positive number, found " + it[1] + where);
            good = false;
            break;
        }
        b.modes.push_back(m);
    }
    zorva_close_unit(iuext);
    if (!good) return false;
    if (static_cast<int>(b.modes.size()) != nmodes) {
        message(u, ib, file + " lists " + std::to_string(b.modes.size()) + " modes, the body has NEWMDS = " +
                           std::to_string(nmodes));
        return false;
    }
    b.ok = true;
    return true;
}

}  // namespace

extern "C" ZORVA_USERLIB_EXPORT void NEWMODES(const float* X, const float* VN, const int* IBMOD, const int* IB,
                                              const int* IPOS, const int* NEWMDS, const int* IGENMDS,
                                              const int* IMODE, float* VNM, float* WM, const int* MODE,
                                              const int* IUEXT, const char* NAME, int NAME_LEN, const int* IUERR,
                                              const int* IULOG, int* IERR) {
    (void)IPOS;
    (void)IGENMDS;
    (void)IMODE;
    *IERR = 0;
    const Units u{*IUERR, *IULOG};
    const int ib = *IB;
    if (ib < 1) {
        zorva_sample::message("NEWMODES: illegal body number " + std::to_string(ib), u.err, u.log);
        *IERR = 1;
        return;
    }
    if (*MODE != -1 && *MODE != 2) {
        message(u, ib, "illegal MODE " + std::to_string(*MODE));
        *IERR = 1;
        return;
    }
    const int nmodes = NEWMDS[ib - 1];
    if (nmodes <= 0) return;
    if (static_cast<int>(bodies.size()) < ib) bodies.resize(static_cast<std::size_t>(ib));
    BodyModes& b = bodies[static_cast<std::size_t>(ib - 1)];
    std::string name = body_name(NAME, NAME_LEN);

    if (*MODE == -1 || !b.read || name != b.name) {
        b.name = name;
        if (!read_modes(b, ib, nmodes, *IUEXT, u)) {
            *IERR = 1;
            return;
        }
        if (*MODE == -1) return;
    }
    if (!b.ok) {
        *IERR = 1;
        return;
    }

    const double x = static_cast<double>(X[0]);
    const double n1 = static_cast<double>(VN[0]), n3 = static_cast<double>(VN[2]);
    const int m0 = IBMOD[ib - 1];
    for (int j = 0; j < nmodes; ++j) {
        const Mode& m = b.modes[static_cast<std::size_t>(j)];
        double vn = 0.0, w = 0.0;
        switch (m.kind) {
        case Kind::Surge:
            vn = n1;
            break;
        case Kind::Heave:
            vn = n3, w = 1.0;
            break;
        case Kind::Bend: {
            double xi = 2.0 * x / m.len;
            w = (3.0 * xi * xi - 1.0) / 2;
            vn = w * n3;
            break;
        }
        }
        VNM[m0 + 6 + j] = static_cast<float>(vn);
        WM[m0 + 6 + j] = static_cast<float>(w);
    }
}
