// Reader of the potential control file (.pot): title, depth, solution
// switches the configuration did not give, periods, headings and, in the
// multi-body layout (IALTPOT = 2), the list of bodies.
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "geometry/hogeom.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;
namespace fr = fread;

namespace {

// Places of the keywords in the configuration table (given-flags CFGSET).
constexpr int KEYIDIAG = 1, KEYILOG = 3, KEYIQUAD = 5, KEYISOR = 10, KEYIRR = 48;

bool given(int key) { return cfg::CFGSET.allocated() && cfg::CFGSET(key) == 1; }

// Fails after the messages and closes the file.
void fail(int IU, int& IERR) {
    chan::close(IU);
    IERR = 1;
}

// Fails with the message and closes the file.
void fail(int IU, const char* text, int value, int& IERR) {
    ERRMSG(text, value);
    fail(IU, IERR);
}

// The count of numbers on the next line of the file, which is left to be
// read: -1 at the end of the file, -2 when it cannot be read again.
long long numbers_ahead(int IU) {
    std::string line;
    if (fr::read_line(IU, line) != 0) return -1;
    const long long n = fr::count_numbers(line);
    return chan::backspace(IU) == 0 ? n : -2;
}

// Refuses the LINE of the file that holds N numbers where WANT, after
// configuration KEYS (one or several) removed their line or lines (LINES)
// from the file, which most likely still holds them.
void line_left(int IU, const std::string& line, long long n, const std::string& want, const std::string& keys,
               bool several, bool lines, int& IERR) {
    ERRMSG("Error reading POT file " + fnames::FILEPOT + ", " + line + " line: " + std::to_string(n) +
               (n == 1 ? " number" : " numbers") + " where " + want + " expected; " + keys +
               " set in the configuration " + (several ? "remove " : "removes ") +
               (lines ? "their lines" : several ? "their line" : "its line") + " from the file: if it still holds " +
               (lines ? "them" : "it") + ", remove " + (lines ? "those lines" : "that line") + " from " +
               fnames::FILEPOT + ", or " + keys + " from the configuration",
           0);
    fail(IU, IERR);
}

// n values into A(1..|n|) (n > 0) or the first value and an increment
// (n < 0).  Returns the read status.
int read_series(int IU, int n, Arr1<float>& A) {
    if (n > 0) return fr::read_group(IU, {fr::R(A.data(), n)});
    if (n < 0) {
        float first = 0.0f, step = 0.0f;
        int st = fr::read_group(IU, {fr::R(first), fr::R(step)});
        if (st != 0) return st;
        A(1) = first;
        for (int i = 2; i <= -n; ++i) {
            A(i) = A(i - 1) + step;
            // A series that runs out of the real range is no list of values.
            if (!std::isfinite(A(i))) return 1;
        }
    }
    return 0;
}

}  // namespace

void RDPOT(int IU, int& IERR) {
    IERR = 0;
    if (!IMODERB.allocate(6)) {
        ERRMSG("Insufficient memory to allocate .pot file arrays", 0);
        IERR = 1;
        return;
    }
    // The configuration makes the one-body arrays; a run without one (a
    // missing configuration file) still has them.
    bool ok = true;
    if (!cfg::IRR.allocated() || cfg::IRR.extent(1) < 1) ok = cfg::IRR.resize_keep_fill(0, 1);
    if (ok && (!cfg::XBODY.allocated() || cfg::XBODY.extent(2) < 1)) ok = cfg::XBODY.resize_keep(4, 1);
    if (ok && (!cfg::NEWMDS.allocated() || cfg::NEWMDS.extent(1) < 1)) ok = cfg::NEWMDS.resize_keep(1);
    if (ok && (!cfg::IGENMDS.allocated() || cfg::IGENMDS.extent(1) < 1)) ok = cfg::IGENMDS.resize_keep(1);
    if (!ok) {
        ERRMSG("Insufficient memory to allocate .pot file arrays", 0);
        IERR = 1;
        return;
    }

    if (chan::open(IU, fnames::FILEPOT, chan::Status::Old) != 0) {
        ERRMSG("Error opening POT file ", 0);
        IERR = 1;
        return;
    }
    ECHOINP(fnames::FILEPOT, IU, 0);

    const bool single = cfg::IALTPOT <= 1;
    if (fr::read_text(IU, POTTITLE, 72) != 0) return fail(IU, "Error reading POT file, header line", 0, IERR);

    const bool isor_read = single && !given(KEYISOR);
    if (isor_read && fr::read_group(IU, {fr::I(cfg::ISOR)}) != 0)
        return fail(IU, "Error reading POT file, parameter ISOR", 0, IERR);
    if (cfg::ISOR != 0 && cfg::ISOR != 1)
        return fail(IU,
                    isor_read ? "Value of ISOR is illegal in POT file: ISOR="
                              : "Value of ISOR is illegal in CONFIG file: ISOR=",
                    cfg::ISOR, IERR);

    if (!given(KEYIRR) && fr::read_group(IU, {fr::I(cfg::IRR(1))}) != 0)
        return fail(IU, "Error reading POT file, parameter IRR:", 0, IERR);

    // ISOR and IRR given in the configuration remove their lines from the
    // file.  A file that still holds such a line would give its one number
    // as the depth and the depth line as the body position (the read goes
    // on to the next line): a depth line short of its values is refused
    // when keys removed lines before it.
    const bool xbody_read = single && !given(cfg::KEYXBODY);
    if ((single && given(KEYISOR)) || given(KEYIRR)) {
        const long long n = numbers_ahead(IU);
        if (n == -2) return fail(IU, "Error reading POT file, HBOT line", 0, IERR);
        if (n >= 0 && n < (xbody_read ? 5 : 1)) {
            const bool both = single && given(KEYISOR) && given(KEYIRR);
            return line_left(IU, "HBOT", n, xbody_read ? "HBOT XBODY YBODY ZBODY PHIBODY (5) are" : "HBOT is",
                             both ? "ISOR and IRR" : single && given(KEYISOR) ? "ISOR" : "IRR", both, both, IERR);
        }
    }
    {
        int st;
        if (xbody_read)
            st = fr::read_group(IU, {fr::R(HBOT), fr::R(cfg::XBODY.ptr(1, 1), 4)});
        else
            st = fr::read_group(IU, {fr::R(HBOT)});
        if (st != 0) return fail(IU, "Error reading POT file, HBOT line", 0, IERR);
    }

    if (single) {
        fr::Item items[3];
        int n = 0;
        if (!given(KEYIQUAD)) items[n++] = fr::I(cfg::IQUAD);
        if (!given(KEYILOG)) items[n++] = fr::I(cfg::ILOG);
        if (!given(KEYIDIAG)) items[n++] = fr::I(cfg::IDIAG);
        if (n > 0 && fr::read_group(IU, std::span<const fr::Item>(items, static_cast<std::size_t>(n))) != 0)
            return fail(IU, "Error reading POT file, IQUAD,ILOG,IDIAG line", 0, IERR);
        // All three given: their line is removed, and a file that still
        // holds it (three numbers) would give them as IRAD and IDIFF.
        if (n == 0) {
            const long long m = numbers_ahead(IU);
            if (m == -2) return fail(IU, "Error reading POT file, IRAD,IDIFF line", 0, IERR);
            if (m >= 3)
                return line_left(IU, "IRAD,IDIFF", m, "IRAD IDIFF (2) are", "IQUAD, ILOG and IDIAG", true, false,
                                 IERR);
        }
    }
    if (cfg::ILOG == 0) {
        for (long i = 1; i <= cfg::IRR.extent(1); ++i)
            if (cfg::IRR(i) > 0) {
                // Either may come from the configuration file.
                ERRMSG("Set ILOG = 1, when IRR > 0", 0);
                cfg::name_given("ILOG");
                cfg::name_given("IRR", static_cast<int>(i));
                return fail(IU, IERR);
            }
    }

    if (fr::read_group(IU, {fr::I(IRAD), fr::I(IDIFF)}) != 0)
        return fail(IU, "Error reading POT file, IRAD,IDIFF line", 0, IERR);
    if (IRAD < -1 || IRAD > 1) return fail(IU, "Value of IRAD index is illegal in POT file", 0, IERR);
    if (IDIFF < -1 || IDIFF > 1) return fail(IU, "Value of IDIFF index is illegal in POT file", 0, IERR);

    if (single && fr::read_group(IU, {fr::I(IMODERB.data(), 6)}) != 0)
        return fail(IU, "Error reading POT file, MODE indices line", 0, IERR);

    int n = 0;
    if (fr::read_group(IU, {fr::I(n)}) != 0 || n < -fr::MAXITEMS || n > fr::MAXITEMS)
        return fail(IU, "Error reading POT file, parameter NPER", 0, IERR);
    NPER = std::abs(n);
    if (!PER.allocate(NPER) || !WNUMNU.allocate(NPER) || !WNUMK.allocate(NPER) || !IPERFL.allocate(NPER))
        return fail(IU, "Insufficient memory to allocate .pot file arrays", 0, IERR);
    if (read_series(IU, n, PER) != 0) return fail(IU, "Error reading POT file, array of periods PER", 0, IERR);

    int m = 0;
    if (fr::read_group(IU, {fr::I(m)}) != 0 || m < -fr::MAXITEMS || m > fr::MAXITEMS)
        return fail(IU, "Error reading POT file, parameter NBETA", 0, IERR);
    NBETA = std::abs(m);
    if (!BETA.allocate(NBETA) || !SINBETA.allocate(NBETA) || !COSBETA.allocate(NBETA))
        return fail(IU, "Insufficient memory to allocate .pot file arrays", 0, IERR);
    if (read_series(IU, m, BETA) != 0)
        return fail(IU, "Error reading POT file, array of heading angles BETA", 0, IERR);
    for (int i = 1; i <= NBETA; ++i) {
        // The reports print a heading as a whole number of degrees in five
        // places.
        if (!(std::fabs(BETA(i)) <= MAXANGLE))
            return fail(IU, "Error in POT file: heading BETA beyond 10000 degrees, heading number ", i, IERR);
        SINBETA(i) = std::sin(BETA(i) * 0.017453292f);
        COSBETA(i) = std::cos(BETA(i) * 0.017453292f);
    }

    if (cfg::IALTPOT == 2) {
        if (fr::read_group(IU, {fr::I(cfg::NBODY)}) != 0)
            return fail(IU, "Error reading POT file, number of bodies NBODY", 0, IERR);
        if (cfg::NBODY < 1 || cfg::NBODY > fr::MAXITEMS)
            return fail(IU, "Error reading POT file, number of bodies NBODY", cfg::NBODY, IERR);
        const int nb = cfg::NBODY;
        if (nb > 1) {
            int ierr = 0;
            if (!GDFTITLE.allocate(nb) || !fnames::GDFNAME.allocate(nb) || !NPANB.allocate(nb) ||
                !NWLPANB.allocate(nb) || !ULEN.allocate(nb) || !cfg::XBODY.allocate(4, nb))
                return fail(IU, "Insufficient memory to allocate .pot file arrays", 0, IERR);
            if (!cfg::NEWMDS.allocated() || cfg::NEWMDS.extent(1) < nb) cfg::GROWGENM(nb, ierr);
            if (ierr != 0) return fail(IU, "Insufficient memory to allocate .pot file arrays", 0, IERR);
        }
        int c = 0;
        for (int ib = 1; ib <= nb; ++ib) {
            if (fr::read_fname(IU, fnames::GDFNAME(ib)) != 0)
                return fail(IU, "Error reading POT file, name of GDF of body N=", ib, IERR);
            if (fr::read_group(IU, {fr::R(cfg::XBODY.ptr(1, ib), 4)}) != 0)
                return fail(IU, "Error reading POT file, XBODY for body N=", ib, IERR);
            if (ib > 1) {
                int ierr = 0;
                GROWMDRB(c + 6, ierr);
                if (ierr != 0) {
                    chan::close(IU);
                    IERR = 1;
                    return;
                }
            }
            if (fr::read_group(IU, {fr::I(IMODERB.ptr(c + 1), 6)}) != 0)
                return fail(IU, "Error reading POT file, MODE indices for body N=", ib, IERR);
            if (fr::read_group(IU, {fr::I(cfg::NEWMDS(ib))}) != 0 || cfg::NEWMDS(ib) < 0 ||
                cfg::NEWMDS(ib) > fr::MAXITEMS)
                return fail(IU, "Error reading POT file, NEWMDS for body N=", ib, IERR);
            c += 6;
        }
        NMODT = c;
    }
    chan::close(IU);
}

}  // namespace zorva
