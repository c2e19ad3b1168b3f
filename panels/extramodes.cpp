// Generalized (extra) modes of low-order bodies: the panel list of the
// .pre file for the outside extra-mode program, the reader of the .mod file
// it writes, and the mode velocities from the user routine NEWMODES, with
// the restoring terms of the generalized modes.
#include <algorithm>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "platform/zorva_userlib.h"

namespace zorva {

using namespace pnl;
namespace fr = fread;

namespace {
constexpr int IUMOD = 14;   // hand-over files
constexpr int IUEXT = 15;   // free channel handed to NEWMODES
}  // namespace

int MODSYM(int A, int B, int SX, int SY) {
    if (A < 1 || A > 6 || B < 1 || B > 6) return 0;
    // Parity of each class about x = 0 and about y = 0 (0 symmetric).
    static constexpr int PX[7] = {0, 1, 0, 0, 0, 1, 1};
    static constexpr int PY[7] = {0, 0, 1, 0, 1, 0, 1};
    const bool sx = SX == 1, sy = SY == 1;
    if (sx && PX[A] != PX[B]) return 0;
    if (sy && PY[A] != PY[B]) return 0;
    return (sx ? 2 : 1) * (sy ? 2 : 1);
}

void WRPNLLST(int NB, int IPAN1, int IPAN2) {
    const std::string& name = fnames::GDFNAME(NB);
    std::string line;
    if (chan::open(IUMOD, name, chan::Status::Old) != 0 || fread::read_line(IUMOD, line) != 0 ||
        fread::read_line(IUMOD, line) != 0) {
        ERRMSG("Error opening PRE file for body N=", NB);
        return;
    }
    const int m0 = model::IBMOD(NB);
    auto e = [](float v) { return fmt::ES(v, 13, 5); };
    for (int i = IPAN1; i <= IPAN2; ++i) {
        chan::write_line(IUMOD, e(PCENT(1, i)) + e(PCENT(2, i)) + e(PCENT(3, i)) + e(PPROP(1, i)) +
                                    e(VNMODE(m0 + 1, i)) + e(VNMODE(m0 + 2, i)));
        chan::write_line(IUMOD, e(VNMODE(m0 + 3, i)) + e(VNMODE(m0 + 4, i)) + e(VNMODE(m0 + 5, i)) +
                                    e(VNMODE(m0 + 6, i)) + fmt::I(model::IDIPWM(i), 5));
    }
    chan::flush(IUMOD);
}

void RDMOD(int NB, int IPAN1, int IPAN2, std::array<int, 2> ISXY, int& IERR) {
    const int m0 = model::IBMOD(NB), nm = cfg::NEWMDS(NB);
    const int g1 = m0 + 7, gN = m0 + 6 + nm;
    auto fail = [&](const char* text, int value) {
        ERRMSG(text, value);
        chan::close(IUMOD);
        IERR = 1;
    };
    IERR = 0;
    if (chan::open(IUMOD, fnames::GDFNAME(NB), chan::Status::Old) != 0)
        return fail("Error opening MOD file for body N=", NB);
    std::string text;
    if (fr::read_text(IUMOD, text, 72) != 0 || fr::read_text(IUMOD, text, 72) != 0)
        return fail("Error reading MOD file, header lines of body N=", NB);
    int isx = 0, isy = 0, npan = 0, nmf = 0;
    if (fr::read_group(IUMOD, {fr::I(isx), fr::I(isy), fr::I(npan)}) != 0)
        return fail("Error reading MOD file, ISX,ISY,NEQN line", 0);
    if (fr::read_group(IUMOD, {fr::I(nmf)}) != 0 || nmf != nm) return fail("Error reading MOD file, NEWMDS line ", 0);
    std::vector<int> isym(static_cast<std::size_t>(nm));
    if (fr::read_group(IUMOD, {fr::I(isym.data(), nm)}) != 0) return fail("Error reading MOD file, ISYM line ", 0);
    // A class indexes the symmetry-factor table: 0 (mode not used) to 6.
    for (int k = 0; k < nm; ++k)
        if (isym[static_cast<std::size_t>(k)] < 0 || isym[static_cast<std::size_t>(k)] > 6)
            return fail("Error in MOD file, ISYM line: symmetry class not in 0..6, value =",
                        isym[static_cast<std::size_t>(k)]);
    for (int k = 0; k < nm; ++k) model::IMODE(g1 + k) = isym[static_cast<std::size_t>(k)];
    for (int i = IPAN1; i <= IPAN2; ++i)
        if (fr::read_group(IUMOD, {fr::R(&VNMODE(g1, i), nm)}) != 0)
            return fail("Error reading MOD file, modes VEL of panel N=", i);
    if (isx != ISXY[0] || isy != ISXY[1] || npan != model::NPANB(NB))
        return fail("Inconsistent integers in MOD and GDF files ", 0);
    std::vector<float> row(static_cast<std::size_t>(6 + nm));
    for (int r = m0 + 1; r <= gN; ++r) {
        if (fr::read_group(IUMOD, {fr::R(row.data(), 6 + nm)}) != 0)
            return fail("Error reading MOD file, matrix C, line =", r);
        if (r <= m0 + 6) {
            for (int k = 0; k < nm; ++k) CHYD(r, g1 + k) = row[static_cast<std::size_t>(6 + k)];
        } else {
            for (int k = 0; k < 6 + nm; ++k) CHYD(r, m0 + 1 + k) = row[static_cast<std::size_t>(k)];
        }
    }
    chan::close(IUMOD);
}

void NEWMDVEL(int NB, int IPAN1, int IPAN2, int& IERR) {
    using model::IMODE;
    const int m0 = model::IBMOD(NB), nm = cfg::NEWMDS(NB);
    const int g1 = m0 + 7, gN = m0 + 6 + nm;
    const int sx = std::max(model::ISX, 0), sy = std::max(model::ISY, 0);
    float X[3] = {0.0f, 0.0f, 0.0f}, VN[3] = {0.0f, 0.0f, 0.0f};
    WMPT(m0 + 1) = 0.0f;
    WMPT(m0 + 2) = 0.0f;
    WMPT(m0 + 3) = 1.0f;
    WMPT(m0 + 6) = 0.0f;
    const std::string& gdf = fnames::GDFNAME(NB);
    std::string name = gdf.substr(0, gdf.find('.'));
    name.resize(16, ' ');
    const int ib = NB, igen = cfg::IGENMDS(NB);
    const int iuerr = IUERR, iulog = IULOG, iuext = IUEXT;
    int mode = -1, ipos = 1;
    IERR = 0;
    NEWMODES(X, VN, &model::IBMOD(1), &ib, &ipos, &cfg::NEWMDS(1), &igen, &IMODE(1), &VNMODE(1, IPAN1), &WMPT(1),
             &mode, &iuext, name.data(), 16, &iuerr, &iulog, &IERR);
    if (IERR != 0) return;
    mode = 2;
    const float ulen = model::ULEN(1);
    for (int i = IPAN1; i <= IPAN2; ++i) {
        ipos = i - IPAN1 + 1;
        float xr[3];
        for (int c = 0; c < 3; ++c) {
            xr[c] = PCENT(c + 1, i) - cfg::XBODY(c + 1, NB);
            X[c] = xr[c] * ulen;
            VN[c] = VNMODE(m0 + 1 + c, i);
        }
        // Vertical displacements of roll and pitch, in the units of the
        // restoring matrix.
        WMPT(m0 + 4) = xr[1];
        WMPT(m0 + 5) = -xr[0];
        for (int g = g1; g <= gN; ++g) WMPT(g) = 0.0f;
        NEWMODES(X, VN, &model::IBMOD(1), &ib, &ipos, &cfg::NEWMDS(1), &igen, &IMODE(1), &VNMODE(1, i), &WMPT(1),
                 &mode, &iuext, name.data(), 16, &iuerr, &iulog, &IERR);
        // Every call is checked: a failed point must not add to the sums.
        if (IERR != 0) return;
        if (model::IDIPWM(i) != 0) continue;
        const float A = PPROP(1, i);
        for (int j = g1; j <= gN; ++j) {
            if (IMODE(j) == 0) continue;
            for (int k = m0 + 1; k <= gN; ++k)
                if (IMODE(k) != 0) CHYD(j, k) += static_cast<float>(MODSYM(IMODE(j), IMODE(k), sx, sy)) * A * VNMODE(k, i) * WMPT(j);
        }
        for (int j = m0 + 1; j <= m0 + 6; ++j) {
            if (IMODE(j) == 0) continue;
            for (int k = g1; k <= gN; ++k)
                CHYD(j, k) += static_cast<float>(MODSYM(IMODE(j), IMODE(k), sx, sy)) * VNMODE(k, i) * A * WMPT(j);
        }
    }
}

}  // namespace zorva
