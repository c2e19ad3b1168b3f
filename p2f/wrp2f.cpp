// Writer of the POTEN-to-FORCE file and of the period solution scratch.
#include <algorithm>
#include <cstring>
#include <map>
#include <span>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "common/unformatted.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"

namespace zorva {

namespace {
constexpr int ISCR = 21;    // period solutions
constexpr int IUHDR = 22;   // run summary
constexpr int IUGDFT = 28;  // data lines of the user geometry routine
constexpr int IURGK = 3;    // rgkinit.txt

std::string fit(std::string s, std::size_t len) {
    s.resize(len, ' ');
    return s;
}

// Releases the tables that only the .p2f file needed.
void release_tables() {
    using namespace pnl;
    for (auto* a : {&PCENT, &PNLARR6, &PNLARR5, &PNLARR4, &PNLARR3, &PPROP, &VNMODE, &PNLARR2}) a->deallocate();
    PAXES.deallocate();
    XVERG.deallocate();
    PNLARR1.deallocate();
    model::NGXLINE.deallocate();
    run::VELRAD.deallocate();
    run::VELDIF.deallocate();
}

// The array from which the scratch writer takes the values of a record of
// kind K.
std::span<const cplx> source(p2f::PerKind k, const Arr2<cplx>& XR, const Arr3<cplx>& XD) {
    switch (k) {
        case p2f::PerKind::RAD:
        case p2f::PerKind::RADSRC: return {XR.data(), XR.size()};
        case p2f::PerKind::DIF:
        case p2f::PerKind::DIFSRC: return {XD.data(), XD.size()};
        case p2f::PerKind::RADVEL: return {run::VELRAD.data(), run::VELRAD.size()};
        case p2f::PerKind::DIFVEL: return {run::VELDIF.data(), run::VELDIF.size()};
    }
    return {};
}
}  // namespace

bool SOLCARRIED(int N, int M, int IRAD, int IDIFF, const Arr2<cplx>& XR, const Arr3<cplx>& XD, int ISRC, int IPFL) {
    for (const auto& r : p2f::scratch_layout(N, M, IRAD, IDIFF, ISRC, IPFL)) {
        const std::span<const cplx> v = source(r.kind, XR, XD);
        for (std::size_t k = 0; k < std::min(v.size(), static_cast<std::size_t>(r.n)); ++k)
            if (!carried(v[k].real()) || !carried(v[k].imag())) return false;
    }
    return true;
}

void WRSCR21(int N, int M, int IRAD, int IDIFF, Arr2<cplx>& XR, Arr3<cplx>& XD, int ISRC, int IPFL, int& IERR) {
    IERR = 0;
    for (const auto& r : p2f::scratch_layout(N, M, IRAD, IDIFF, ISRC, IPFL)) {
        const std::span<const cplx> src = source(r.kind, XR, XD);
        auto n = static_cast<std::size_t>(r.n);
        if (src.size() < n || chan::write_record(ISCR, src.data(), n * sizeof(cplx)) != 0) {
            ERRMSG("Error writing solution scratch file, unit", ISCR);
            IERR = 1;
            return;
        }
    }
    if (ISRC == 1) {
        run::VELRAD.deallocate();
        run::VELDIF.deallocate();
    }
}

void WRP2F(int IRAD, int IDIFF, int NPER, int NBETA, int NEQN, int& IERR) {
    using namespace model;
    IERR = 0;
    model::IRAD = IRAD;
    model::IDIFF = IDIFF;
    model::NPER = NPER;
    model::NBETA = NBETA;
    model::NEQN = NEQN;
    const int IUP2F = p2f::IUP2F;

    auto finish = [&](int status) {
        if (status == 0) {
            chan::close(IUP2F);
        } else {
            chan::close(IUP2F, true);  // a partial file must not pass for a whole one
            IERR = 1;
        }
        chan::close(IUHDR);
        chan::close(ISCR);
        chan::close(IUGDFT);
        chan::close(IURGK);
    };

    if (chan::open(IUP2F, fnames::FILEP2F, chan::Status::Replace, chan::Form::Unformatted) != 0) {
        ERRMSG("Unable to open new .P2F file", 0);
        finish(1);
        return;
    }
    bool summary = chan::is_open(IUHDR);
    if (summary) {
        chan::write_line(IUHDR, "*");
        chan::rewind(IUHDR);
    }
    chan::rewind(ISCR);

    p2f::Pass p(p2f::Pass::Dir::Write, IUP2F);
    auto failed = [&](std::string_view what) {
        ERRMSG(std::string("Error writing .P2F file, ") + std::string(what), 0);
        finish(1);
    };

    float ver = p2f::VERSION;
    p2f::lay_version(p, ver);
    p2f::lay_header(p);
    if (cfg::ILOWHI == 1) {
        p2f::lay_gxcounts(p);
        for (int ib = 1; ib <= cfg::NBODY && p.ok(); ++ib) {
            for (int k = 1; k <= NGXLINE(ib) && p.ok(); ++k) {
                std::string line;
                if (chan::read_line(IUGDFT, line) != 0) return failed("data lines of the geometry routine");
                line = fit(line, 80);
                p2f::lay_line(p, "G5", line, 80);
            }
        }
    }
    p2f::lay_bulk(p);
    if (!p.ok()) return failed("record " + p.id());

    if (model::NRGKBODY > 0) {
        if (chan::open(IURGK, fnames::RUNFILES[3], chan::Status::Old) != 0) return failed("rgkinit.txt not found");
        p2f::lay_count(p, "K1", NRGKLINES);
        for (int k = 1; k <= NRGKLINES && p.ok(); ++k) {
            std::string line;
            if (chan::read_line(IURGK, line) != 0) return failed("lines of rgkinit.txt");
            line = fit(line, 80);
            p2f::lay_line(p, "K2", line, 80);
        }
        chan::close(IURGK);
        if (!p.ok()) return failed("record " + p.id());
    }

    // Run summary, ending with its "*" line.
    std::string line;
    if (summary) {
        while (p.ok() && chan::read_line(IUHDR, line) == 0) {
            line = fit(line, 72);
            p2f::lay_line(p, "T", line, 72);
        }
    } else {
        line = fit("*", 72);
        p2f::lay_line(p, "T", line, 72);
    }
    if (!p.ok()) return failed("run summary");

    // Period solutions, regrouped from the order of the scratch file.
    const int nbetam = std::max(NBETA, 1);
    std::vector<char> buf;
    for (int jper = 1; jper <= NPER; ++jper) {
        const int ipfl = IPERFL(jper);
        std::map<p2f::PerKind, std::vector<char>> held;
        std::vector<p2f::PerRec> stored;
        if (cfg::ISOLVE >= 0) {
            stored = p2f::scratch_layout(NEQN, nbetam, IRAD, IDIFF, 0, ipfl);
            if (cfg::ISOR == 1) {
                auto s2 = p2f::scratch_layout(NEQN, nbetam, IRAD, IDIFF, 1, ipfl);
                stored.insert(stored.end(), s2.begin(), s2.end());
            }
        }
        for (const auto& r : stored) {
            if (chan::read_record(ISCR, buf) != 0 || buf.size() != static_cast<std::size_t>(r.n) * sizeof(cplx))
                return failed("solutions of period " + std::to_string(jper) + " missing from the scratch file");
            held[r.kind] = std::move(buf);
            buf.clear();
        }
        for (const auto& r : p2f::period_layout(ipfl)) {
            auto bytes = static_cast<std::size_t>(r.n) * sizeof(cplx);
            auto it = held.find(r.kind);
            std::vector<char> out;
            if (it != held.end() && it->second.size() >= bytes) {
                out.assign(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(bytes));
            } else if (it == held.end() && r.kind == p2f::PerKind::RAD && cfg::ISOLVE < 0) {
                out.assign(bytes, 0);  // nothing solved: zero potentials
            } else {
                return failed("solutions of period " + std::to_string(jper) + " missing from the scratch file");
            }
            if (chan::write_record(IUP2F, out) != 0) return failed("solutions of period " + std::to_string(jper));
        }
    }
    release_tables();
    finish(0);
}

}  // namespace zorva
