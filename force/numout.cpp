// Numeric output files: which ones a run has, their names and header line,
// the preambles written when they are created, and the re-open for
// append and the modulus-and-phase form that every result writer uses.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/messages.hpp"
#include "force/force.hpp"
#include "force/writer.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/symmetry.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

namespace {

// Option j whose value k (row) selects entry e (column), 0 for none.
constexpr int ISEL[3][18] = {
    {1, 2, 3, 4, 5, 6, 7, 7, 7, 8, 9, 0, 0, 0, 5, 6, 5, 9},
    {0, 0, 0, 4, 0, 6, 7, 7, 7, 8, 9, 5, 5, 5, 5, 0, 5, 9},
    {0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5, 0, 5, 0},
};

bool selected(int e) {
    const auto& IOPTN = run::IOPTN;
    bool sel = false;
    for (int k = 1; k <= 3; ++k) {
        const int j = ISEL[k - 1][e - 1];
        if (j > 0 && IOPTN[static_cast<std::size_t>(j)] == k) sel = true;
    }
    if (e == 16) sel = sel || IOPTN[7] > 0;
    if (e == 17) sel = sel && cfg::IPNLBPT == 0 && cfg::ILOWHI != 0;
    if (e == 18) sel = sel && cfg::ICTRSURF != 0;
    return sel;
}

// The report's base name followed by the extension of the table name,
// at most 20 characters.
std::string runname(std::string_view table) {
    std::string root(fnames::FILEOUT);
    root = root.substr(0, root.find_first_of(". "));
    std::string ext(table.substr(std::min(table.find('.'), table.size())));
    ext = ext.substr(0, 4);
    std::string out;
    FNAMEXT(root, out, ext);
    if (out.size() > 20) out.resize(20);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

template <typename T>
std::span<const T> all(const Arr1<T>& a, long n) {
    return a.allocated() ? std::span<const T>(a.data(), static_cast<std::size_t>(std::min(n, a.extent(1))))
                         : std::span<const T>();
}

// The run summary that opens "optn.5pb", one list-directed record per item.
int run_summary(int iu) {
    using namespace model;
    const int nb = cfg::NBODY, np = NPATCHT, nm = NMODT;
    int st = 0;
    auto rec = [&st, iu](std::initializer_list<fmt::Arg> a) { st |= fmt::write_list(iu, a); };
    rec({ISX, ISY});
    rec({ULEN.allocated() ? ULEN(1) : 1.0f});
    rec({np});
    rec({IRAD, IDIFF});
    rec({NPER, frc::NBETA0});
    rec({NEQN});
    rec({sym::NSYMC});
    rec({nm});
    rec({nb});
    std::vector<float> xb, cs;
    auto at = [](const Arr2<float>& a, int i, int j) {
        return a.allocated() && i <= a.extent(1) && j <= a.extent(2) ? a(i, j) : 0.0f;
    };
    for (int ib = 1; ib <= nb; ++ib) {
        for (int k = 1; k <= 4; ++k) xb.push_back(at(cfg::XBODY, k, ib));
        for (int k = 1; k <= 2; ++k) cs.push_back(at(CSPHIB, k, ib));
    }
    rec({std::span<const float>(xb)});
    rec({std::span<const float>(cs)});
    rec({all(IBPTH, np)});
    rec({all(IBMOD, nb)});
    std::array<int, 8> img{};
    for (int k = 1; k <= 4; ++k) {
        img[static_cast<std::size_t>(k - 1)] = sym::IMAGEID[static_cast<std::size_t>(k)];
        img[static_cast<std::size_t>(k + 3)] = sym::ISYMF[static_cast<std::size_t>(k)];
    }
    rec({std::span<const int>(img)});
    rec({std::span<const int>(&sym::ISYMC[1], 4)});
    rec({all(IFSPAT, np)});
    std::vector<int> kk;
    for (int p = 1; p <= np; ++p)
        for (const auto* a : {&KU, &KV, &NU, &NV}) kk.push_back(a->allocated() && p <= a->extent(1) ? (*a)(p) : 0);
    rec({std::span<const int>(kk)});
    rec({std::span<const int>(&sym::NMODSC[1], 4)});
    rec({all(sym::IMODPOS, nm)});
    std::vector<int> msc;
    for (int k = 1; k <= 4; ++k)
        for (int m = 1; m <= nm; ++m) msc.push_back(sym::IMODSC.allocated() ? sym::IMODSC(m, k) : 0);
    rec({std::span<const int>(msc)});
    rec({sym::NSOLC});
    if (IDIFF >= 0) rec({all(BETA, frc::NBETA0)});
    return st;
}

std::string pad20(std::string_view s) {
    std::string t(s.substr(0, std::min<std::size_t>(s.size(), 20)));
    t.resize(20, ' ');
    return t;
}

// The names of the selected numeric files: with NUMNAM other than 1, the
// report's base name and the extension of the table name.
std::array<std::string, run::NNUM + 1> numnames() {
    std::array<std::string, run::NNUM + 1> names = run::NUMNAME;
    for (int e = 1; e <= run::NNUM; ++e)
        if (e != 15 && selected(e) && cfg::NUMNAM != 1)
            names[static_cast<std::size_t>(e)] = runname(run::NUMNAME[static_cast<std::size_t>(e)]);
    return names;
}

}  // namespace

void CHKNUMOUT(int& IERR) {
    IERR = 0;
    // A report name so long that two selected files would share a name is
    // refused before any file is made.
    const std::array<std::string, run::NNUM + 1> names = numnames();
    for (int e = 1; e <= run::NNUM; ++e) {
        if (e == 15 || !selected(e)) continue;
        // Nor may one take the report's own name (a report named run.4).
        if (names[static_cast<std::size_t>(e)] == fnames::FILEOUT) {
            ERRMSG("Numeric output file would overwrite the report " + fnames::FILEOUT, 0);
            IERR = 1;
            return;
        }
        for (int f = e + 1; f <= run::NNUM; ++f)
            if (f != 15 && selected(f) && names[static_cast<std::size_t>(e)] == names[static_cast<std::size_t>(f)]) {
                ERRMSG("Report file name too long: numeric output files would share the name " +
                           names[static_cast<std::size_t>(e)],
                       0);
                IERR = 1;
                return;
            }
    }
}

void OPNUMOUT(int& IERR) {
    IERR = 0;
    auto& NAME = run::NUMNAME;
    auto& IUNUM = run::IUNUM;

    // Names first: none of the files is made when they are refused.
    CHKNUMOUT(IERR);
    if (IERR != 0) return;
    const std::array<std::string, run::NNUM + 1> names = numnames();
    for (int e = 1; e <= run::NNUM; ++e) {
        if (!selected(e)) continue;
        const auto ue = static_cast<std::size_t>(e);
        // Entry 15 is the body-point and panel listing of option 5, written
        // by the body-point routines under names of their own.
        if (e == 15) continue;
        NAME[ue] = names[ue];
        const int iu = IUNUM[ue];
        if (chan::open(iu, NAME[ue], chan::Status::Replace) != 0) {
            ERRMSG("Error opening numeric output file UNIT=", iu);
            IERR = 1;
            return;
        }
        int st = 0;
        if (cfg::NUMHDR == 1 || e == 17)
            st |= fmt::write(iu, "(1X,'ZORVA Numeric Output -- Filename  ',A,2X,A,2X,A)",
                             {std::string_view(pad20(NAME[ue])), std::string_view(RUNDATE), std::string_view(RUNTIME)});
        if (e == 17) st |= run_summary(iu);
        if (e == 16)
            for (int n = 1; n <= frc::NFIELD; ++n)
                st |= fmt::write(iu, "(I10,3E14.6)", {n, frc::XFIELD(1, n), frc::XFIELD(2, n), frc::XFIELD(3, n)});
        st |= chan::flush(iu);
        chan::close(iu);
        if (st != 0) {
            ERRMSG("Error writing numeric output file " + NAME[ue] + ", UNIT=", iu);
            IERR = 1;
            return;
        }
    }
}

void OPNAPND(int IUNIT, std::string_view NAME, int& IERR) {
    // The file must exist: it was created by OPNUMOUT.  Records follow its
    // last record.
    if (!chan::exists(NAME) || chan::open(IUNIT, NAME, chan::Status::Append) != 0) {
        ERRMSG("Error opening numeric output file " + std::string(NAME) + ", UNIT=", IUNIT);
        IERR = 1;
    }
}

void MODPHA(cplx X, float& AMOD, float& PHA, float& XR, float& XI, int& IPHA) {
    XR = X.real();
    XI = X.imag();
    AMOD = std::sqrt(XR * XR + XI * XI);
    if (std::fabs(XR) < 5.0e-12f)
        PHA = XI >= 0.0f ? 90.0f : -90.0f;
    else
        PHA = 57.29578f * std::atan2(XI, XR);
    // A non-finite value has no phase to round (its writer warns of it).
    if (!std::isfinite(PHA))
        IPHA = 0;
    else
        IPHA = PHA >= 0.0f ? static_cast<int>(PHA + 0.5f) : static_cast<int>(PHA - 0.5f);
}

namespace fout {

int nint(float v) { return static_cast<int>(std::lround(v)); }

Writer::Writer(int iuout, int noout, int iunum, std::string_view name, int& ierr)
    : iuout_(iuout), noout_(noout), iunum_(iunum), name_(name), ierr_(ierr) {
    ierr_ = 0;
    OPNAPND(iunum_, name_, ierr_);
    open_ = ierr_ == 0;
}

void Writer::failed(int unit) {
    if (ierr_ != 0) return;
    ierr_ = 1;
    const std::string& n = unit == iunum_ ? name_ : chan::name(unit);
    ERRMSG("Error writing output file " + n + ", UNIT=", unit);
}

void Writer::rep(std::string_view f, std::initializer_list<fmt::Arg> a) {
    if (ierr_ != 0) return;
    if (noout_ == 1 && fmt::write(iuout_, f, a) != 0) return failed(iuout_);
    if (cfg::MONITR == 1) fmt::write(IUSCR, f, a);
}

namespace {

bool finite(const fmt::Arg& v) {
    auto fin = [](auto x) {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_floating_point_v<T>) {
            return std::isfinite(x);
        } else if constexpr (std::is_same_v<T, cplx>) {
            return std::isfinite(x.real()) && std::isfinite(x.imag());
        } else if constexpr (std::is_same_v<T, std::span<const float>> || std::is_same_v<T, std::span<const double>>) {
            return std::all_of(x.begin(), x.end(), [](auto e) { return std::isfinite(e); });
        } else if constexpr (std::is_same_v<T, std::span<const cplx>>) {
            return std::all_of(x.begin(), x.end(),
                               [](cplx e) { return std::isfinite(e.real()) && std::isfinite(e.imag()); });
        } else {
            return true;
        }
    };
    return std::visit(fin, v);
}

// What a numeric file holds, from the part of its name after the dot.
std::string quantity(std::string_view name) {
    const std::size_t d = name.rfind('.');
    const std::string_view e = d == std::string_view::npos ? std::string_view() : name.substr(d + 1);
    if (e == "5pb") return "body pressure and velocity sums";
    if (e == "9c") return "control-surface drift forces";
    if (e.empty()) return std::string(name);
    switch (e[0]) {
        case '1': return "added mass and damping";
        case '2': return "Haskind exciting forces";
        case '3': return "diffraction exciting forces";
        case '4': return "motions";
        case '5': return e.size() > 1 && e[1] == 'v' ? "body-surface velocity" : "body-surface pressure";
        case '6': return "field-point pressure";
        case '7': return "field-point velocity";
        case '8': return "momentum drift forces";
        case '9': return "pressure drift forces";
        default: return std::string(name);
    }
}

}  // namespace

void Writer::num(std::string_view f, std::initializer_list<fmt::Arg> a) {
    if (ierr_ != 0) return;
    // The period leads every first record of a group.
    if (a.size() > 0) {
        if (const float* per = std::get_if<float>(a.begin())) per_ = *per;
    }
    if (!warned_ && !std::all_of(a.begin(), a.end(), finite)) {
        warned_ = true;
        char per[32];
        std::snprintf(per, sizeof per, "%g", static_cast<double>(per_));
        ERRMSG(" WARNING: non-finite " + quantity(name_) + " in " + name_ + " for period " + per, 0);
    }
    if (fmt::write(iunum_, f, a) != 0) failed(iunum_);
}

void Writer::done() {
    if (!open_) return;
    if (ierr_ == 0 && chan::flush(iunum_) != 0) failed(iunum_);
    if (ierr_ == 0 && noout_ == 1 && chan::flush(iuout_) != 0) failed(iuout_);
    chan::close(iunum_);
    open_ = false;
}

}  // namespace fout

}  // namespace zorva
