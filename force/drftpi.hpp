// Mean drift forces by direct integration of the pressure over the mean
// wetted body surface (option 9).
#pragma once

#include "common/types.hpp"

namespace zorva {

namespace drft {
// The partial sums that a surface routine adds into for one body and
// heading pair, over the symmetric copies (complex x, y, z, or roll,
// pitch, yaw about the body origin); the T... sums are restricted to tank
// panels and segments.  Entries are 1-based ([0] unused).
struct Sums {
    cplx DWLF[4], DWLM[4], DQVF[4], DQVM[4], DMTF[4], DMTM[4];
    cplx DWLZH[4], DWLMH[3], DWPF[3], DWPM[4];
    cplx TWLF[4], TWLM[4], TQVF[4], TQVM[4], TMTF[4], TMTM[4];
    cplx PNF[4][3], PNM[4][3], TPNF[4][3], TPNM[4][3];  // [k][1] with conj(P2), [k][2] with P1
};
// What a surface routine needs of the body and copy: the copy's signs,
// the mode offset, the body's heading (turn flag, cosine, sine) and the
// pair's motions (XIB2 already conjugated).
struct Copy {
    int IB, J1, J2, ISYM;
    int SGN[6];  // [1..5]
    int IMOFFB, IROTV;
    float CROT, SROT;
    cplx XIB1[7], XIB2[7];  // [1..6]
};
// Total potential (PHIPT: headings J1, J2) and velocity (VELPT: x, y, z
// of J1, then of J2, global orientation) at a point of one copy.
struct PointVals {
    cplx PHIPT[2];
    cplx VELPT[6];
};
// Control-surface sums of one body and heading pair over the symmetric
// copies (1-based): momentum flux on the submerged surface and its moment,
// the free surface's vertical force (z only) and its moment (x, y only),
// the waterline's potential products and their moment, the free surface's
// horizontal velocity products (x, y only) and their moment.
struct CsSums {
    cplx CSQF[4], CSQM[4], CSFZ[4], CSFZM[4], CSWF[4], CSWM[4], CSFH[4], CSFHM[4];
};
}  // namespace drft

// Drift forces of the period into frc::DRIFTM (all six rows per body) and
// frc::DRIFTS (the moments without the translation terms), and with
// control surfaces (cfg::ICTRSURF 1 or 2) the same from the control-surface
// sums into frc::DRIFTCM and DRIFTCS; NU = omega^2/g;
// IOPT9 = 1 the pairs (j, j), 2 every pair j1 <= j2.  IERR 1 when a
// surface routine failed (its message is its own).
void DRFTPI(float NU, int IOPT9, int& IERR);
// Low-order surface routine: waterline segments from IWLB and panels from
// IPANB of the body.  IERR 1 after its messages at a horizontal
// waterline panel.
// Control-surface sums of body IB for the headings J1, J2 and copy ISYM
// (signs S1, S2 of its x and y mirrors), added into Q.
void DRFTQUAD(drft::CsSums& Q, int IB, int J1, int J2, int ISYM, int S1, int S2);
void DRFTPLO(const drft::Copy& C, drft::Sums& S, int IWLB, int IPANB, int& IERR);

// Higher-order surface routine: the patches of body C.IB from coefficient
// offset ICOEFB (ICOEF past the body's last patch on return); NU the
// frequency factor.  IERR nonzero after its messages.
void MDRFTP(const drft::Copy& C, drft::Sums& S, int& ICOEF, int ICOEFB, float FNU, int IDIFF, int& IERR);
// Total potential and (IFLAG = 1) velocity of the pair's headings at a
// point of patch IP for copy ISYM: basis values and derivatives BU, BV
// (leading dimensions MAXKU, MAXKV), first coefficient after CSPAN, S the
// frequency factor, tangents and normal; the modal normals are those that
// BODYGEOM left for the point.  IERR 1 after a message when the tangents
// are degenerate.
void BPBVMD(const float* BU, const float* BV, int IP, int CSPAN, int IDIFF, float S, const float* XU, const float* XV,
            const float* EN, int J1, int J2, int ISYM, int IFLAG, drft::PointVals& PV, int& IERR);

}  // namespace zorva
