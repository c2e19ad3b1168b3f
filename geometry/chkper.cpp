// Before the POTEN stage solves: each ordinary wave period held to what the
// run can solve and report, refused with its value as the potential control
// file gives it (a period, a frequency or a wavenumber, by IPERIO) and the
// limit in the same terms.
#include <cmath>
#include <string>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "common/types.hpp"
#include "geometry/model.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva {

using namespace model;

namespace {

constexpr double TWOPI = 6.283185307179586;

// What the values of the file are, as the period conversion reads them.
enum class Kind { Period, Frequency, NuL, KL };

Kind kind() {
    if (cfg::IPERIO <= 2) return cfg::IPERIO == 2 ? Kind::Frequency : Kind::Period;
    return cfg::IPERIO == 4 && HBOT > 0.0f ? Kind::KL : Kind::NuL;
}

// The value of the file's kind that gives the deep-water wavenumber NU
// (times ULEN): the period conversion turned round.
double typed_of(Kind k, double nu) {
    const double w = std::sqrt(static_cast<double>(ULENI) * static_cast<double>(GRAV) * nu);
    switch (k) {
        case Kind::Period: return TWOPI / w;
        case Kind::Frequency: return w;
        case Kind::NuL: return nu;
        case Kind::KL: break;
    }
    // K tanh(K h) = nu: K lies between nu and nu + sqrt(nu / h), where
    // K tanh(K h) >= K^2 h / (1 + K h) >= nu; bisection.
    const double h = HBOT;
    double lo = nu, hi = nu + std::sqrt(nu / h);
    for (int i = 0; i < 200 && lo < hi; ++i) {
        const double m = 0.5 * (lo + hi);
        if (m <= lo || m >= hi) break;
        (m * std::tanh(m * h) < nu ? lo : hi) = m;
    }
    return hi;
}

// A limit of the deep-water wavenumber and why it holds.
struct Bound {
    double nu;
    std::string why;
};

}  // namespace

void CHKPER(const float* TYPED, int& IERR) {
    IERR = 0;
    const Kind k = kind();
    const bool deep = HBOT <= 0.0f;
    const double h = deep ? 0.0 : static_cast<double>(HBOT);
    // The binding limit on either side: the larger of the least wavenumbers,
    // the smaller of the largest.
    const double pmax = MAXPERIOD;
    const Bound byper{static_cast<double>(FOURPI2) * static_cast<double>(ULEN(1)) /
                          (static_cast<double>(GRAV) * pmax * pmax),
                      "the longest period the run summary prints (" + fmt::num(MAXPERIOD) + " s)"};
    const std::string bydepth = " deep-water wavenumber x depth the finite-depth wave Green function takes (";
    const Bound bydep0{deep ? 0.0 : static_cast<double>(NUHMIN) / h, "the least" + bydepth + fmt::num(NUHMIN) + ")"};
    const Bound bynul{MAXNUL, "the largest deep-water wavenumber x ULEN the solution takes (" + fmt::num(MAXNUL) + ")"};
    const Bound bydep1{deep ? HUGE_VAL : static_cast<double>(NUHMAX) / h,
                       "the largest" + bydepth + fmt::num(NUHMAX) + ")"};
    const Bound& lo = bydep0.nu > byper.nu ? bydep0 : byper;
    const Bound& hi = bydep1.nu < bynul.nu ? bydep1 : bynul;
    static const char* const what[] = {"period", "frequency", "wavenumber nu x ULEN", "wavenumber K x ULEN"};
    static const char* const unit[] = {" s", " rad/s", "", ""};
    for (int i = 1; i <= NPER; ++i) {
        if (IPERFL(i) != 0) continue;
        const float nu = WNUMNU(i);
        // Each limit also refuses a value that is not a number (and a
        // wavenumber that is not positive counts as too long a period), so
        // every period taken is one the .p2f file carries.
        const bool longer = !(PER(i) <= MAXPERIOD) || !(nu > 0.0f) || (!deep && !(nu * HBOT >= NUHMIN));
        const bool shorter = !(nu <= MAXNUL) || (!deep && !(nu * HBOT <= NUHMAX));
        if (!longer && !shorter) continue;
        const Bound& b = longer ? lo : hi;
        const auto n = static_cast<std::size_t>(k);
        ERRMSG("Error in POT file " + fnames::FILEPOT + ": wave period out of range, period number " +
                   std::to_string(i) + ": " + what[n] + " " + fmt::num(TYPED[i - 1]) + unit[n] + " beyond the limit " +
                   fmt::num(static_cast<float>(typed_of(k, b.nu)), 6) + unit[n] + ", set by " + b.why,
               0);
        IERR = 1;
        return;
    }
}

}  // namespace zorva
