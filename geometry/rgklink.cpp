// Calls of SURFLINK's exports; see rgklink.hpp.
#include "geometry/rgklink.hpp"

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "surflink/surflink.h"

namespace zorva {

void RGKINIT(int& IERR) { ::RGKINIT(&IERR); }

void RGKLOWGDF(int IB, int& IERR) { ::RGKLOWGDF(&IB, &IERR); }

void RGKNTANK(int IB, int& N) { ::RGKNTANK(&IB, &N); }

void RGKNPATCH(int IB, int& N) { ::RGKNPATCH(&IB, &N); }

void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR) { ::RGKPANTYPE(&IB, &I, &ITYPE, &ITANK, &IERR); }

void RGKPATTYPE(int IB, int IP, int& ITYPE, int& ITANK, int& IERR) {
    ::RGKPATTYPE(&IB, &IP, &ITYPE, &ITANK, &IERR);
}

void RGKEVAL(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int& IERR) {
    ::RGKEVAL(&U, &V, &IB, &IP, X, XU, XV, &IERR);
}

void RGKDONE() { ::RGKDONE(); }

void RGKINITCSF(int& IERR) { ::RGKINITCSF(&IERR); }

void RGKNPATCSF(int& N) { ::RGKNPATCSF(&N); }

void RGKEVALCSF(float U, float V, int IP, float* X, float* XU, float* XV, int& IERR) {
    ::RGKEVALCSF(&U, &V, &IP, X, XU, XV, &IERR);
}

void RGKLOWCSF(int& IERR) { ::RGKLOWCSF(&IERR); }

void RGKDONECSF() { ::RGKDONECSF(); }

bool WRRGKHEAD() {
    constexpr int IURGK = 3;
    if (chan::open(IURGK, fnames::RUNFILES[3], chan::Status::Replace) != 0) return false;
    chan::write_line(IURGK, fmt::I(cfg::ILOWHI, 6) + fmt::X(12) + "!ILOWHI");
    chan::write_line(IURGK, fmt::F(model::GRAV, 12, 5) + fmt::X(6) + "!GRAV");
    chan::write_line(IURGK, fmt::I(cfg::NBODY, 6) + fmt::X(12) + "!NBODY");
    return true;
}

std::string XBODYLINE(int IB) {
    const float L = model::ULEN(1);
    return fmt::F(cfg::XBODY(1, IB) * L, 10, 2) + fmt::F(cfg::XBODY(2, IB) * L, 10, 2) +
           fmt::F(cfg::XBODY(3, IB) * L, 10, 2) + fmt::F(cfg::XBODY(4, IB), 10, 2) + fmt::X(6) + "!XBODY";
}

}  // namespace zorva
