#include "solver/assembly_store.hpp"

#include <cstring>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/messages.hpp"
#include "main/config.hpp"
#include "solver/assembly.hpp"

namespace zorva {

std::string scratch_name(int IU) {
    std::string name = "SCRATCH";
    name += static_cast<char>(65 + IU - asmb::IUNIT[1]);
    if (cfg::LSCRATCH >= 1) return cfg::SCRATCH_PATH.substr(0, static_cast<std::size_t>(cfg::LSCRATCH)) + "/" + name;
    return name;
}

int scr_open(const int* IU, int K) {
    for (int k = 0; k < K; ++k) {
        if (chan::open(IU[k], scratch_name(IU[k]), chan::Status::Unknown, chan::Form::Unformatted) != 0) {
            ERRMSG(" Unable to open scratch file, UNIT =", IU[k]);
            return 1;
        }
    }
    return 0;
}

void scr_close(const int* IU, int K, int KEEP) {
    for (int k = 0; k < K; ++k) chan::close(IU[k], KEEP == 0);
}

int write_border(int IU, const cplx* ROW, const cplx* COL, int I) {
    static std::vector<cplx> buf;
    auto ui = static_cast<std::size_t>(I);
    buf.resize(2 * ui - 1);
    std::memcpy(buf.data(), ROW, ui * sizeof(cplx));
    if (I > 1) std::memcpy(buf.data() + ui, COL, (ui - 1) * sizeof(cplx));
    if (chan::write_record(IU, buf.data(), buf.size() * sizeof(cplx)) != 0) {
        ERRMSG("Unable to write in scratch LHS file, UNIT=", IU);
        return 1;
    }
    return 0;
}

int read_borders(int IU, cplx* A, int N) {
    std::vector<char> buf;
    const auto n = static_cast<std::size_t>(N);
    for (int i = 1; i <= N; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        if (chan::read_record(IU, buf) != 0 || buf.size() != (2 * ui - 1) * sizeof(cplx)) {
            ERRMSG(" Error reading scratch file for LHS from SOLVE, UNIT=", IU);
            return 1;
        }
        const auto* v = reinterpret_cast<const cplx*>(buf.data());
        for (std::size_t j = 0; j < ui; ++j) A[(ui - 1) + j * n] = v[j];          // A(i, j)
        for (std::size_t j = 0; j + 1 < ui; ++j) A[j + (ui - 1) * n] = v[ui + j];  // A(j, i)
    }
    return 0;
}

int Store::open(int neqn, int nsymc, Arr1<cplx>& alhs) {
    neqn_ = neqn;
    nsymc_ = nsymc;
    alhs_ = &alhs;
    set_ = 1;
    packed_ = 0;
    maxscr_ = cfg::ISOLVE == 1 ? neqn : std::min(cfg::MAXSCR, neqn);
    if (cfg::ISOLVE >= 2) {
        ERRMSG(" Block solution is not available in the low-order assembly, ISOLVE=", cfg::ISOLVE);
        return 1;
    }
    if (static_cast<long>(alhs.size()) < static_cast<long>(maxscr_) * maxscr_) {
        ERRMSG(" RAM too small.  Reduce MAXSCR ", 0);
        return 1;
    }
    if (nsymc > 1) return scr_open(&asmb::IUNIT[2], nsymc - 1);
    return 0;
}

int Store::switch_at(int i) {
    if (cfg::ISOLVE != 0 || i != maxscr_ + 1) return 0;
    if (nsymc_ > 1) scr_close(&asmb::IUNIT[2], nsymc_ - 1, 1);
    set_ = nsymc_ + 1;
    return scr_open(&asmb::IUNIT[set_], nsymc_);
}

int Store::deliver(int i, Arr2<cplx>& row, Arr2<cplx>& col) {
    // A zero diagonal makes the system singular: stop before a reciprocal or
    // a factorisation turns it into infinities.
    for (int k = 1; k <= nsymc_; ++k) {
        if (row(i, k) == cplx(0.0f, 0.0f)) {
            ERRMSG(" Zero diagonal of the influence matrix, panel", i);
            return 1;
        }
        if (cfg::ISOLVE == 0) row(i, k) = 1.0f / row(i, k);
    }
    cplx* a = alhs_->data();
    if (cfg::ISOLVE == 1) {
        const auto n = static_cast<std::size_t>(neqn_), ui = static_cast<std::size_t>(i - 1);
        for (std::size_t j = 0; j <= ui; ++j) a[ui + j * n] = row(static_cast<int>(j) + 1, 1);
        for (std::size_t j = 0; j < ui; ++j) a[j + ui * n] = col(static_cast<int>(j) + 1, 1);
    } else if (set_ == 1) {
        for (int j = 1; j <= i; ++j) a[packed_++] = row(j, 1);
        for (int j = 1; j < i; ++j) a[packed_++] = col(j, 1);
    }
    const int k0 = set_ == 1 ? 2 : 1;
    for (int k = k0; k <= nsymc_; ++k) {
        const int iu = asmb::IUNIT[set_ + k - 1];
        if (write_border(iu, &row(1, k), i > 1 ? &col(1, k) : nullptr, i) != 0) return 1;
    }
    return 0;
}

int Store::close() {
    if (neqn_ > maxscr_)
        scr_close(&asmb::IUNIT[set_], nsymc_, 1);
    else if (nsymc_ > 1)
        scr_close(&asmb::IUNIT[2], nsymc_ - 1, 1);
    return 0;
}

}  // namespace zorva
