// Calls of SURFLINK's exports; see rgklink.hpp.
#include "geometry/rgklink.hpp"

#include <mutex>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "geometry/model.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "surflink/surflink.h"

namespace zorva {

namespace {
// SURFLINK keeps its tables, result buffers and call counters library-wide
// and no export is re-entrant, while the program evaluates body geometry on
// its pool of threads (field points of FORCE among them): one call at a
// time.
std::mutex surflink_calls;
}  // namespace

void RGKINIT(int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKINIT(&IERR);
}

void RGKLOWGDF(int IB, int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKLOWGDF(&IB, &IERR);
}

void RGKNTANK(int IB, int& N) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKNTANK(&IB, &N);
}

void RGKNPATCH(int IB, int& N) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKNPATCH(&IB, &N);
}

void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKPANTYPE(&IB, &I, &ITYPE, &ITANK, &IERR);
}

void RGKPATTYPE(int IB, int IP, int& ITYPE, int& ITANK, int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKPATTYPE(&IB, &IP, &ITYPE, &ITANK, &IERR);
}

void RGKEVAL(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKEVAL(&U, &V, &IB, &IP, X, XU, XV, &IERR);
}

void RGKDONE() {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKDONE();
}

void RGKINITCSF(int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKINITCSF(&IERR);
}

void RGKNPATCSF(int& N) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKNPATCSF(&N);
}

void RGKEVALCSF(float U, float V, int IP, float* X, float* XU, float* XV, int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKEVALCSF(&U, &V, &IP, X, XU, XV, &IERR);
}

void RGKLOWCSF(int& IERR) {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKLOWCSF(&IERR);
}

void RGKDONECSF() {
    const std::lock_guard<std::mutex> one(surflink_calls);
    ::RGKDONECSF();
}

void RGKLOGNOTE() { ERRMSG(" The reason is in rgklog.txt, the log of the geometry-model library SURFLINK", 0); }

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
