// Calls of SURFLINK's exports; see rgklink.hpp.
#include "geometry/rgklink.hpp"

#include <cstdio>
#include <fstream>
#include <mutex>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/textline.hpp"
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

std::string RGKSURFNAME(int IB, int IP) {
    std::ifstream in("rgklog.txt", std::ios::binary);
    if (!in) return "";
    // The log is SURFLINK's: its body blocks ("Data for body no. N" ...
    // "MS2 filename: FILE") and, at the end of RGKINIT, the patch table
    // "body isurf first - last ptype ior name" under its heading line.
    std::string line, file, surf;
    int body = 0;
    bool table = false;
    while (text::get_line(*in.rdbuf(), line, 4096) != text::Got::End) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        int n = 0;
        if (std::sscanf(line.c_str(), "Data for body no. %d", &n) == 1) {
            body = n, table = false;
        } else if (line.rfind("MS2 filename: ", 0) == 0 && body == IB) {
            file = line.substr(14);
        } else if (line.rfind(" body  isurf  patches", 0) == 0) {
            table = true;
        } else if (table) {
            int b = 0, is = 0, p1 = 0, p2 = 0, pt = 0, ior = 0, at = 0;
            if (std::sscanf(line.c_str(), "%d %d %d -%d %d %d %n", &b, &is, &p1, &p2, &pt, &ior, &at) == 6 &&
                b == IB && p1 <= IP && IP <= p2 && at > 0 && static_cast<std::size_t>(at) < line.size())
                surf = line.substr(static_cast<std::size_t>(at));
            if (line.rfind("---", 0) == 0) table = false;
        }
    }
    if (surf.empty()) return "";
    return "surface " + surf + (file.empty() ? std::string() : " of " + file);
}

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
