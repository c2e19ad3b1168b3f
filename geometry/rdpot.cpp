// Reader of the potential control file (.pot): title, depth, solution
// switches the configuration did not give, periods, headings and, in the
// multi-body layout (IALTPOT = 2), the list of bodies.
#include <algorithm>
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

// The numbers of the records a group read from.
long long numbers_of(const fr::Taken& t) {
    long long n = 0;
    for (const std::string& r : t.records) n = std::min(n + fr::count_numbers(r), 1LL << 60);
    return n;
}

// What configuration keys remove from the file: one line (of one key or
// of several), a line of each key, or values from a line.
enum class Removed { Line, Lines, Values };

// Refuses the LINE of the file that holds N numbers where WANT, after
// configuration KEYS (one or several) removed what they give from the
// file, which most likely still holds it.
void line_left(int IU, const std::string& line, long long n, const std::string& want, const std::string& keys,
               bool several, Removed what, int& IERR) {
    std::string rule;
    switch (what) {
    case Removed::Line:
        rule = several ? "their line from the file: if it still holds it, remove that line"
                       : "its line from the file: if it still holds it, remove that line";
        break;
    case Removed::Lines:
        rule = "their lines from the file: if it still holds them, remove those lines";
        break;
    case Removed::Values:
        rule = several ? "their values from that line: if it still holds them, remove them"
                       : "its value from that line: if it still holds it, remove it";
        break;
    }
    ERRMSG("Error reading POT file " + fnames::FILEPOT + ", " + line + " line: " + std::to_string(n) +
               (n == 1 ? " number" : " numbers") + " where " + want + " expected; " + keys +
               " set in the configuration " + (several ? "remove " : "removes ") + rule + " from " +
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
    // file.  A file that still holds such a line gives its lone integer as
    // the depth: the read stops at the note after it, or goes on to the
    // depth line as the body position and leaves numbers of it unread.
    // Such a read is refused when keys removed lines before the depth; a
    // depth line split over several lines, or after blank lines, reads as
    // it stands.
    const bool xbody_read = single && !given(cfg::KEYXBODY);
    {
        fr::Taken taken;
        int st;
        if (xbody_read)
            st = fr::read_group(IU, {fr::R(HBOT), fr::R(cfg::XBODY.ptr(1, 1), 4)}, taken);
        else
            st = fr::read_group(IU, {fr::R(HBOT)}, taken);
        const bool isor_gone = single && given(KEYISOR), irr_gone = given(KEYIRR);
        if ((isor_gone || irr_gone) && xbody_read && !taken.records.empty()) {
            const std::string& first = taken.records.front();
            int value = 0;
            const bool lone = fr::count_numbers(first) == 1 && fr::parse_group(first, {fr::I(value)}) == 0;
            const bool stopped = st == 1 && taken.records.size() == 1;
            const bool left = st == 0 && taken.records.size() > 1 && fr::count_numbers(taken.rest) > 0;
            if (lone && (stopped || left)) {
                const bool both = isor_gone && irr_gone;
                return line_left(IU, "HBOT", 1, "HBOT XBODY YBODY ZBODY PHIBODY (5) are",
                                 both ? "ISOR and IRR" : isor_gone ? "ISOR" : "IRR", both,
                                 both ? Removed::Lines : Removed::Line, IERR);
            }
        }
        if (st != 0) return fail(IU, "Error reading POT file, HBOT line", 0, IERR);
    }

    // IQUAD, ILOG and IDIAG given in the configuration remove their values
    // from their line (all three, the whole line).  A line that still holds
    // them gives their values to the switches left and has numbers left
    // over: it is refused.
    const bool switches_gone = single && given(KEYIQUAD) && given(KEYILOG) && given(KEYIDIAG);
    if (single) {
        fr::Item items[3];
        std::string want, keys[3];
        int n = 0, ngiven = 0;
        const struct {
            int key;
            int* value;
            const char* name;
        } switches[3] = {{KEYIQUAD, &cfg::IQUAD, "IQUAD"}, {KEYILOG, &cfg::ILOG, "ILOG"},
                         {KEYIDIAG, &cfg::IDIAG, "IDIAG"}};
        for (const auto& sw : switches) {
            if (given(sw.key)) {
                keys[ngiven++] = sw.name;
                continue;
            }
            items[n++] = fr::I(*sw.value);
            want += (want.empty() ? "" : " ") + std::string(sw.name);
        }
        if (n > 0) {
            fr::Taken taken;
            if (fr::read_group(IU, std::span<const fr::Item>(items, static_cast<std::size_t>(n)), taken) != 0)
                return fail(IU, "Error reading POT file, IQUAD,ILOG,IDIAG line", 0, IERR);
            if (ngiven > 0 && fr::count_numbers(taken.rest) > 0)
                return line_left(IU, "IQUAD,ILOG,IDIAG", numbers_of(taken),
                                 want + " (" + std::to_string(n) + (n == 1 ? ") is" : ") are"),
                                 ngiven == 1 ? keys[0] : keys[0] + " and " + keys[1], ngiven > 1, Removed::Values,
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

    {
        fr::Taken taken;
        if (fr::read_group(IU, {fr::I(IRAD), fr::I(IDIFF)}, taken) != 0)
            return fail(IU, "Error reading POT file, IRAD,IDIFF line", 0, IERR);
        // With all three switches given, a line of them still in the file
        // is read here, its third number left over.
        if (switches_gone && fr::count_numbers(taken.rest) > 0)
            return line_left(IU, "IRAD,IDIFF", numbers_of(taken), "IRAD IDIFF (2) are", "IQUAD, ILOG and IDIAG",
                             true, Removed::Line, IERR);
    }
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
