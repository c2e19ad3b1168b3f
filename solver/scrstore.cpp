#include "solver/scrstore.hpp"

#include <sys/stat.h>

#include <array>
#include <cstring>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "main/config.hpp"
#include "solver/matrices.hpp"

namespace zorva::slv {
namespace {

struct ScrUnit {
    bool open = false;
    bool spilled = false;                // records live in the unit's scratch file
    std::vector<std::vector<char>> recs;  // records in memory
    std::size_t count = 0;               // records held
    std::size_t pos = 0;                 // next record to read
};

std::array<ScrUnit, chan::MAXUNIT + 1> units;
std::size_t in_memory = 0;
std::size_t limit = std::size_t(1) << 30;

ScrUnit* unit_of(int u) { return (u >= 0 && u <= chan::MAXUNIT && units[u].open) ? &units[u] : nullptr; }

void drop(int u) {
    ScrUnit& s = units[u];
    for (auto& r : s.recs) in_memory -= r.size();
    s.recs.clear();
    s.recs.shrink_to_fit();
    if (s.spilled) chan::close(u);
    s.spilled = false;
    s.count = s.pos = 0;
}

std::string path_prefix() {
    int l = std::min<int>(cfg::LSCRATCH, static_cast<int>(cfg::SCRATCH_PATH.size()));
    return l >= 1 ? cfg::SCRATCH_PATH.substr(0, l) : std::string();
}

// Move a unit's records into its scratch file.
int spill(int u) {
    ScrUnit& s = units[u];
    chan::set_scratch_path(path_prefix());
    if (chan::open_scratch(u, chan::Form::Unformatted) != 0) return 1;
    for (auto& r : s.recs)
        if (chan::write_record(u, r.data(), r.size()) != 0) return 1;
    for (auto& r : s.recs) in_memory -= r.size();
    s.recs.clear();
    s.recs.shrink_to_fit();
    s.spilled = true;
    return 0;
}

}  // namespace

void set_store_limit(std::size_t bytes) { limit = bytes; }
std::size_t store_limit() { return limit; }

std::string SCRNAME(int unit) {
    std::string name = "SCRATCH";
    name += static_cast<char>(65 + unit - IUNIT[0]);
    std::string p = path_prefix();
    return p.empty() ? name : p + "\\" + name;
}

bool scr_spilled(int unit) { return unit_of(unit) && units[unit].spilled; }
int scr_records(int unit) { return unit_of(unit) ? static_cast<int>(units[unit].count) : 0; }

int scr_write(int u, const void* p, std::size_t n) {
    ScrUnit* s = unit_of(u);
    if (!s) return 1;
    if (s->pos < s->count) {
        // A write after reading ends the unit there, as in a sequential file.
        if (!s->spilled) {
            for (std::size_t k = s->pos; k < s->count; ++k) in_memory -= s->recs[k].size();
            s->recs.resize(s->pos);
            s->count = s->pos;
        } else if (s->pos == 0) {
            drop(u);
            s->open = true;
        } else {
            return 1;
        }
    }
    if (!s->spilled && in_memory + n > limit && spill(u) != 0) return 1;
    if (s->spilled) {
        if (chan::write_record(u, p, n) != 0) return 1;
    } else {
        const char* c = static_cast<const char*>(p);
        s->recs.emplace_back(c, c + n);
        in_memory += n;
    }
    ++s->count;
    s->pos = s->count;
    return 0;
}

int scr_read(int u, std::vector<char>& buf) {
    ScrUnit* s = unit_of(u);
    if (!s) return 1;
    if (s->pos >= s->count) return -1;
    if (s->spilled) {
        int st = chan::read_record(u, buf);
        if (st != 0) return st;
    } else {
        buf = s->recs[s->pos];
    }
    ++s->pos;
    return 0;
}

int SCRREWIND(int u) {
    ScrUnit* s = unit_of(u);
    if (!s) return 1;
    s->pos = 0;
    return s->spilled ? chan::rewind(u) : 0;
}

void SCROPEN(const int* IU, int K, int& IERR) {
    IERR = 0;
    const std::string dir = path_prefix();
    for (int k = 0; k < K; ++k) {
        const int u = IU[k];
        struct stat st;
        bool ok = u >= 0 && u <= chan::MAXUNIT && (dir.empty() || (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)));
        if (!ok) {
            ERRMSG(" Unable to open scratch file, UNIT =", u);
            IERR = 1;
            return;
        }
        if (units[u].open) drop(u);
        units[u].open = true;  // an earlier unit's records are overwritten
    }
}

void SCRCLOSE(const int* IU, int K, int KEEP, int& IERR) {
    // The records never outlive the run: KEEP only leaves them to the end of
    // the run in the sense that nothing reads them after the close.
    (void)KEEP;
    IERR = 0;
    for (int k = 0; k < K; ++k) {
        const int u = IU[k];
        if (u < 0 || u > chan::MAXUNIT) {
            ERRMSG(" Unable to close scratch file, UNIT =", u);
            IERR = 1;
            return;
        }
        if (units[u].open) drop(u);
        units[u].open = false;
    }
}

void WRLHS(int IU, const cplx* A, int N, int& IERR) {
    IERR = 0;
    if (scr_write(IU, A, sizeof(cplx) * static_cast<std::size_t>(std::max(N, 0)) * std::max(N, 0)) != 0) {
        ERRMSG("Error writing scratch LHS file, UNIT=", IU);
        IERR = 1;
    }
}

void WRVEC2(const int* IU, const cplx* X, const cplx* Y, int /*N*/, int M, int& IERR) {
    IERR = 0;
    const std::size_t n = sizeof(cplx) * static_cast<std::size_t>(std::max(M, 0));
    for (int k = 0; k < 2; ++k) {
        if (scr_write(IU[k], k == 0 ? X : Y, n) != 0) {
            ERRMSG("Error writing scratch LHS file, UNIT=", IU[k]);
            IERR = 1;
            return;
        }
    }
}

void WRLHSB(const int* IU, const cplx* A, const cplx* B, int N, int M, int J1, int J2, int& IERR) {
    IERR = 0;
    std::vector<cplx> rec;
    for (int j = J1; j <= J2; ++j) {
        const cplx* a = A + static_cast<std::size_t>(j - 1) * N;
        const cplx* b = B + static_cast<std::size_t>(j - 1) * N;
        rec.assign(a, a + M);
        rec.insert(rec.end(), b, b + std::max(M - 1, 0));
        if (scr_write(IU[j - 1], rec.data(), rec.size() * sizeof(cplx)) != 0) {
            ERRMSG("Unable to write in scratch LHS file, UNIT=", IU[j - 1]);
            IERR = 1;
            return;
        }
    }
}

void SETBORD(cplx* A, const cplx* R, const cplx* C, int I, int LDA) {
    for (int j = 1; j <= I; ++j) A[(I - 1) + static_cast<std::size_t>(j - 1) * LDA] = R[j - 1];
    for (int i = 1; i < I; ++i) A[(i - 1) + static_cast<std::size_t>(I - 1) * LDA] = C[i - 1];
}

void RDLHS(int IU, cplx* A, cplx* R, cplx* C, int N, int& IERR) {
    IERR = 0;
    std::vector<char> buf;
    for (int i = 1; i <= N; ++i) {
        const std::size_t nr = sizeof(cplx) * i, nc = sizeof(cplx) * (i - 1);
        if (scr_read(IU, buf) != 0 || buf.size() < nr + nc) {
            ERRMSG(" Error reading scratch file for LHS from SOLVE, UNIT=", IU);
            IERR = 1;
            return;
        }
        std::memcpy(static_cast<void*>(R), buf.data(), nr);
        if (nc) std::memcpy(static_cast<void*>(C), buf.data() + nr, nc);
        SETBORD(A, R, C, i, N);
    }
}

void VWRITE(int IU, const cplx* V1, const cplx* V2, int N, int M, int NC, int& IERR) {
    IERR = 0;
    std::vector<cplx> rec;
    for (int c = 1; c <= NC; ++c) {
        for (int r = 0; r < 2; ++r) {
            const cplx* v = (r == 0 ? V1 : V2) + static_cast<std::size_t>(c - 1) * 3 * N;
            const int m = r == 0 ? M : M - 1;
            rec.clear();
            for (int comp = 0; comp < 3; ++comp)
                rec.insert(rec.end(), v + static_cast<std::size_t>(comp) * N, v + static_cast<std::size_t>(comp) * N + std::max(m, 0));
            if (scr_write(IU, rec.data(), rec.size() * sizeof(cplx)) != 0) {
                ERRMSG(" Error writing scratch file from WAVEGR and VWRITE, UNIT=", IU);
                ERRMSG(" Check disk space and maximum number of files opened", 0);
                IERR = 1;
                return;
            }
        }
    }
}

namespace {
// One record of n reals from a Rankine unit into w.
bool read_reals(int unit, float* w, std::size_t n) {
    std::size_t len = 0;
    return chan::read_record(unit, w, n * sizeof(float), len) == 0 && len >= n * sizeof(float);
}
}  // namespace

int rdrlhs_read(int IU, float* W, int N, int I) {
    if (!read_reals(IU, W, static_cast<std::size_t>(std::max(I - 1, 0))) ||
        !read_reals(IU, W + N, static_cast<std::size_t>(I))) {
        ERRMSG(" Error reading scratch file for Rankine LHS, UNIT=", IU);
        return 1;
    }
    return 0;
}

void rdrlhs_add(cplx* A, cplx* B, int N, int I, int J, const float* W, int MODE, float SCALE) {
    cplx* a = A + static_cast<std::size_t>(J - 1) * N;
    cplx* b = B + static_cast<std::size_t>(J - 1) * N;
    auto apply = [&](cplx* col, const float* w, int n) {
        for (int k = 0; k < n; ++k) {
            if (MODE == 0) col[k] = cplx(w[k], 0.0f);
            else if (MODE == 1) col[k] += cplx(SCALE * w[k], 0.0f);
            else if (MODE == 2 && SCALE > 0.0f) col[k] += cplx(0.0f, w[k]);
        }
    };
    apply(a, W, I - 1);
    apply(b, W + N, I);
}

void RDRLHS(int IU, cplx* A, cplx* B, int N, int I, int J, float* W, int MODE, float SCALE, int& IERR) {
    IERR = rdrlhs_read(IU, W, N, I);
    if (IERR == 0) rdrlhs_add(A, B, N, I, J, W, MODE, SCALE);
}

void RDRVEL(int IU, cplx* V1, cplx* V2, int N, int I, int J, float* W, int FLAG, float SCALE, int& IERR) {
    IERR = 0;
    for (int r = 0; r < 2; ++r) {
        const int m = r == 0 ? I - 1 : I;
        std::vector<char> buf;
        const std::size_t n = 3 * static_cast<std::size_t>(std::max(m, 0));
        if (chan::read_record(IU, buf) != 0 || buf.size() < n * sizeof(float)) {
            ERRMSG(" Error reading scratch file for Rankine velocity, UNIT=", IU);
            IERR = 1;
            return;
        }
        const float* rec = reinterpret_cast<const float*>(buf.data());
        cplx* V = (r == 0 ? V1 : V2) + static_cast<std::size_t>(J - 1) * 3 * N;
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < m; ++k) {
                float w;
                std::memcpy(&w, rec + static_cast<std::size_t>(c) * m + k, sizeof(float));
                W[k + static_cast<std::size_t>(c) * N] = w;
                cplx& v = V[k + static_cast<std::size_t>(c) * N];
                if (FLAG == 0) v = cplx(w, 0.0f);
                else v += cplx(SCALE * w, 0.0f);
            }
    }
}

void store_reset() {
    for (int u = 0; u <= chan::MAXUNIT; ++u)
        if (units[u].open) {
            drop(u);
            units[u].open = false;
        }
    in_memory = 0;
}

}  // namespace zorva::slv
