// The FORCE stage's period computations and their writers: mode factors
// and period banner, added mass and damping, exciting forces (Haskind
// relations and pressure integration), motions, the momentum drift, the
// numeric output files and the report sections of these results.
#pragma once

#include <string>
#include <string_view>

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

// Default motion amplitudes of the period in frc::RAO (XIMOD): every
// solution slot gets f * MODEC(slot), f = 0 without radiation solutions or
// when an ordinary period with diffraction has no motion option, else 1.
void SETMODFAC(float PER, int IPFLAG);
// Period banner to the report unit IUNIT and the screen.
void WRPERHDR(float PER, float WNUM, int IUNIT);

// Plane wave of unit amplitude at X: potential parts PHIINC, and the
// normal-derivative, heading-derivative and mixed parts DPHI, RPHI, SPHI
// (entries 1..4) along the normal VNORM.
struct PlaneWave {
    cplx PHIINC[5], DPHI[5], RPHI[5], SPHI[5];
};
void PLNWAVE(float K, float SINB, float COSB, const float* X, const float* VNORM, PlaneWave& W);

// Added mass and damping by pressure integration into frc::AMAT, frc::BMAT.
void AMDPINT();
void AMDPLO();
void AMDPHI();

// Exciting forces by the Haskind relations (frc::FEXH), for the period's
// wavenumbers nu and K; with wavemaker modes, the forces that their unit
// motions exert, from the added mass and damping.
void EXFHASK(float WNUMNU, float WNUMK);
void EXFHASKLO(float K, const int* NSYMRHS);
void EXFHASKHI(float K, const int* NSYMRHS);
// Exciting forces by integration of the diffraction pressure (frc::FEXD).
// Basis tables of the higher-order FORCE integrals (frc::BASQU, BASQV):
// the B-splines non-zero on each knot interval of patches 1..NPATCH at its
// inner Gauss points.  IERR 0, or 1 after a message.
void PBCOEF(int NPATCH, int& IERR);
void FRCACC();
void FRCACC2();

// Whole-body B-spline coefficient sets of a period (higher order, option
// 5 without body points): formed by BPVSUM, written and released by
// OUT5PB; an object of the period owns them, so nothing outlives it.
struct CoefSets {
    Arr3<cplx> CTOT;  // (NEQN, NSYMF, NBETA0) diffraction plus motion-weighted radiation
    Arr3<cplx> CDIF;  // (NEQN, NSYMF, NBETA0) diffraction
    Arr3<cplx> CRAD;  // (NEQN, NSOLC, NSYMF) radiation per solution column
};
void BPVSUM(float WNUMNU, int IPERFL, CoefSets& C);
// The period's records of "optn.5pb" (unit IUNUM, file NAME) from C, which
// it releases; IERR 1 after a message when the file cannot be written.
void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME, CoefSets& C,
            int& IERR);

// Motions of the period into frc::RAO from the exciting forces F; IERR 1
// (after a message) when the system of motion is singular.
void RAOSOL(float WNUMNU, float PER, Arr2<cplx>& F, int& IERR);

// Mean drift force and yaw moment by momentum conservation into
// frc::DRIFTM (rows 1-3 per heading or heading pair).
void MOMDRIFT(float WNUMNU, float WNUMK, int IOPTN8);
// Far-field amplitudes at angle theta (radiation columns, diffraction
// headings IH1..IH2) into frc::KOCHR1/2, KOCHD1/2: panels (KOCHIN2) or
// patches (KOCHIN1).
void KOCHIN2(float K, float SINT, float COST, int IH1, int IH2);
void KOCHIN1(float K, float SINT, float COST, int IH1, int IH2);

// Numeric output files: creation (with header and preambles) of those the
// options select; IERR 1 after a message when a file cannot be created or
// two files would share a name.
void OPNUMOUT(int& IERR);
// The names check of OPNUMOUT alone, before any file is made: IERR 1 after
// a message when a selected file would take the report's name or share
// one with another.
void CHKNUMOUT(int& IERR);
// Re-opens a numeric file to append; IERR 1 after a message on failure.
void OPNAPND(int IUNIT, std::string_view NAME, int& IERR);
// Modulus, phase in degrees, real and imaginary part, and the phase
// rounded to an integer (halves away from zero).
void MODPHA(cplx X, float& AMOD, float& PHA, float& XR, float& XI, int& IPHA);

// Report sections and numeric records of a period.  Each writer returns
// IERR 1 (after a message naming the file) when a write fails.
void OUTADMS(const Arr2<float>& A, const Arr2<float>& B, float PER, int IUOUT, int NOOUT, int IUNUM,
             std::string_view NAME, int IPERFL, int& IERR);
void OUTHASK(const Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR);
void OUTDIFF(const Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR);
void OUTRAO(Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR);
// NB = 0 selects the momentum layout (rows 1-3); else NB bodies of six rows.
void OUTDRIFT(const Arr2<cplx>& D1, const Arr2<cplx>& D2, float PER, int IUOUT, int NOOUT, int IUNUM,
              std::string_view NAME, int NB, int IOPT, int ICS, int& IERR);

}  // namespace zorva
