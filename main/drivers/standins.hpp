// Stand-ins for the routines of the model input, kernels, solver, POTEN-to-
// FORCE data, FORCE computations, control surfaces and geometry-kernel
// bridge that the stage drivers call, until those subsystems exist.  Each
// has the name and arguments of the routine it stands for (result arrays
// of the FORCE computations are left out until they exist).  A stand-in
// computes and writes nothing: it records its call, and a test can make a
// chosen call fail.  The routines that the model input sets up for the run
// (periods, modes, the run-summary scratch file) come from a small fixed
// model that tests may change.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/farray.hpp"
#include "common/types.hpp"

namespace zorva {

namespace standin {

// Calls in the order made: the routine's name, for some followed by the
// arguments that tell the calls apart.
extern std::vector<std::string> CALLS;
// Records that the period loop left in the solution scratch (unit 21),
// counted by the .p2f stand-in before it closes the unit.
extern int SCR21RECS;

// Make the nth call (from 1) of the named routine return status 1 (after one
// message through ERRMSG, as the routine would write).
void fail(std::string_view name, int nth = 1);
// Make every call of the named routine write a warning (status stays 0).
void warn(std::string_view name);

// The model that the model-input stand-in (and, for a FORCE-only run, the
// FORCE set-up stand-in) puts in place.
struct Model {
    std::vector<float> per = {10.0f, 5.0f};  // NPER = its size
    std::vector<int> iperfl;                 // per period (empty: all ordinary)
    int nbeta = 1;
    int neqn = 4;
    std::vector<int> imode = {1, 2, 3, 4, 5, 6};  // NMODT = its size
    int irad = 1, idiff = 1;
    int isx = 0, isy = 0;
    float hbot = -1.0f;
    int nrgkbody = 0;
    std::array<int, 2> niter = {0, 0};   // iteration counts SOLVE returns (main solve)
    std::array<int, 2> niters = {0, 0};  // and for the source-strength solve
    std::array<int, 10> ioptn = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};  // [1..9] set by FRCSETUP
};
extern Model MODEL;

// Back to the fixed model, no calls, no failures.
void reset();

// Stand-in result arrays: exciting forces by the Haskind relations and by
// direct integration, handed to RAOSOL.
extern Arr2<cplx> FHASK, FDIFF;

}  // namespace standin

// Model input, checks and geometry (POTEN set-up).
void GETIP(int& IMODFL, int& NBETAX, int& IERR);
void CHKPOT(int IRAD, int IDIFF, int NPER, int NBETA, int IMODFL, int NEQN, float TOL1, float TOL2, float& TOLS,
            int& IERR);
void GEOMSTAT(int NEQN, int IMODFL, int& IERR);

// Influence kernels.
void HGRN00(float WNUMNU, float& WNUMK, float PER, int& IERR);

// Linear system.
void ALLOCMAT(int NEQN, int NBETAX, int IDIFF, int& IERR);
void DUPPAN(int NEQN, int NBETAX, int IRAD, int IDIFF, float WNUMNU);

// POTEN-to-FORCE data and FORCE set-up.
void WRP2F(int IRAD, int IDIFF, int NPER, int NBETA, int NBETAX, int NEQN);
void FRCSETUP(int& IERR);
void CHKOPT(int& IERR);
void RDP2FPOT(int IUNIT, int IPERFL, int& IERR);

// FORCE computations and writers.
void SETMODFAC(float PER, int IPERFL);
void WRPERHDR(float PER, float WNUMK, int IUOUT);
void AMDPINT();
void EXFHASK(float WNUMNU, float WNUMK);
void FRCACC();
void RAOSOL(float WNUMNU, float PER, Arr2<cplx>& EXFORCE, int& IERR);
void BPBVDRV(float WNUMNU, float WNUMK, int IPERFL, int& IERR);
void BPVSUM(float WNUMNU, int IPERFL);
void FIELDPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR);
void MOMDRIFT(float WNUMNU, float WNUMK, int IOPTN8);
void DRFTPI(float WNUMNU, int IOPTN9, int& IERR);
void OUTADMS(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME);
void OUTHASK(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME);
void OUTDIFF(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME);
void OUTRAO(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME);
void OUTBPRS(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME);
void OUTBVEL(float PER, int IUOUT, int NOOUT, const int* IUNUM, const std::string* NAMES);
void OUT5PB(float PER, float WNUMK, float WNUMNU, int IPERFL, int IUNUM, std::string_view NAME);
void OUTFPRS(float PER, int IUOUT, int IUNUM, std::string_view NAME);
void OUTFVEL(float PER, int IUOUT, const int* IUNUM, const std::string* NAMES);
void OUTDRIFT(float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int NB, int IOPT, int ICS);

// Control surfaces.
void CSFPT(float WNUMNU, float WNUMK, const int* NSYMRHS, int IPERFL, int& IERR);

// Geometry-kernel bridge.
void RGKDONE();

}  // namespace zorva
