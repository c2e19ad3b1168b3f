// Influence of one panel on one field point, the single formula behind
// every pair of the low-order assembly: the wave part at one source point
// (centroid or one of the four points of the four-point rule), summed over
// the points of a panel, and the flat-panel Rankine image taken off at the
// infinite-frequency limit all pass through PAIRINF.
#pragma once

#include "common/types.hpp"

namespace zorva {

// The raw influences of a source panel (or of one of its points, already
// weighted by its area share) at a field point: potential of the source
// (SRC) and of the normal dipole (DIP), velocity of the source at the field
// point (VEL, global axes as seen from the image of the field point), and
// the derivative of the dipole's potential along the field normal (DNF).
struct PairRaw {
    cplx SRC, DIP, VEL[3], DNF;
    PairRaw& operator+=(const PairRaw& o) {
        SRC += o.SRC;
        DIP += o.DIP;
        for (int c = 0; c < 3; ++c) VEL[c] += o.VEL[c];
        DNF += o.DNF;
        return *this;
    }
    PairRaw& operator*=(float f) {
        SRC *= f;
        DIP *= f;
        for (int c = 0; c < 3; ++c) VEL[c] *= f;
        DNF *= f;
        return *this;
    }
};

// The wave part of one point pair from the 8 complex slots G of the kernel
// (G, dG/dR, dG/dz, d2G/dRdz, d2G/dz2, d2G/dzdzeta, dG/dzeta, d2G/dRdzeta;
// z the depth of the kernel's first point, zeta of its second).  REV false:
// the source is the kernel's z point and the field point its zeta point;
// REV true: the other way round.  X the scaled horizontal distance, (UX, UY)
// the unit vector from the field image to the source, W the source weight
// (area), LOGT the log term added to G, NS the source normal, NF the field
// normal with the image's signs, NU the wavenumber.  VEL is formed only when
// WANT_VEL (the source formulation or a dipole field panel) and DNF only
// when WANT_DNF (a dipole field panel); otherwise they are zero.
[[gnu::always_inline]] inline PairRaw PAIRRAW(const cplx* g, bool REV, float X, float UX, float UY, float W, float LOGT, const float* NS,
                       const float* NF, float NU, bool WANT_VEL, bool WANT_DNF) {
    const float nu2 = NU * NU;
    const cplx GR = g[1];
    const cplx Gs = REV ? g[6] : g[2];   // derivative along the source depth
    const cplx Gf = REV ? g[2] : g[6];   // derivative along the field depth
    const float nsu = NS[0] * UX + NS[1] * UY;
    PairRaw r;
    r.SRC = NU * W * (g[0] + LOGT);
    r.DIP = nu2 * W * (GR * nsu - Gs * NS[2]);
    r.VEL[0] = r.VEL[1] = r.VEL[2] = r.DNF = cplx(0.0f, 0.0f);
    if (WANT_VEL || WANT_DNF) {
        r.VEL[0] = -nu2 * W * GR * UX;
        r.VEL[1] = -nu2 * W * GR * UY;
        r.VEL[2] = -nu2 * W * Gf;
    }
    if (WANT_DNF) {
        // Second derivatives at the field point, G_RR from Laplace's
        // equation.
        const cplx GRs = REV ? g[7] : g[3], GRf = REV ? g[3] : g[7];
        const cplx GRR = -GR / X - g[4];
        const cplx Fx = -UX * GRR * nsu + (GR / X) * (UX * nsu - NS[0]) + UX * GRs * NS[2];
        const cplx Fy = -UY * GRR * nsu + (GR / X) * (UY * nsu - NS[1]) + UY * GRs * NS[2];
        const cplx Fz = GRf * nsu - g[5] * NS[2];
        r.DNF = nu2 * NU * W * (NF[0] * Fx + NF[1] * Fy - NF[2] * Fz);
    }
    return r;
}

// What a pair contributes, by the classes of its panels.
struct PairInf {
    cplx S;     // source influence (0 for a dipole source panel)
    cplx D;     // dipole (normal-derivative) influence: the matrix entry
    cplx N;     // normal velocity of the source at the field panel
    cplx V[3];  // velocity of the source at the field point
};

// DIPS, DIPF: the source and the field panel are dipole panels (a dipole
// field panel's equation is for the normal velocity); FS: a free-surface
// pair, whose dipole influence is the free-surface condition applied to the
// source influence with the source panel's flag IPFL; NF the field normal
// with the image's signs; N and V are formed only when WANT_VEL (the source
// formulation).
[[gnu::always_inline]] inline PairInf PAIRINF(const PairRaw& r, bool DIPS, bool DIPF, bool FS, float IPFL, const float* NF, float NU,
                       bool WANT_VEL) {
    PairInf p;
    const cplx vn = DIPF || WANT_VEL ? r.VEL[0] * NF[0] + r.VEL[1] * NF[1] + r.VEL[2] * NF[2] : cplx(0.0f, 0.0f);
    const cplx s0 = DIPF ? vn : r.SRC;
    p.S = DIPS ? cplx(0.0f, 0.0f) : s0;
    p.D = FS ? IPFL * (DIPF ? s0 : NU * s0) : (DIPF ? r.DNF : r.DIP);
    if (WANT_VEL) {
        p.N = FS ? IPFL * NU * p.S : vn;
        for (int c = 0; c < 3; ++c) p.V[c] = r.VEL[c];
    }
    return p;
}

}  // namespace zorva
