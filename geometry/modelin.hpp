// Model input of a POTEN run: the readers of the potential control file,
// the global geometry file and the bodies' geometry files, the panel-array
// services, the input checks and the body/global transforms.  They fill the
// shared model (geometry/model.hpp) and the configuration block
// (main/config.hpp).  Every routine with a status ends with `int& IERR`
// (0 success, 1 failure after one message through ERRMSG).
#pragma once

#include <array>
#include <string>

namespace zorva {

// Model input driver.  IMODFL: extra-mode hand-over flag (out); NBETAX:
// max(NBETA, 1) (out).
void GETIP(int& IMODFL, int& NBETAX, int& IERR);
// One line of the run summary: to the summary scratch file (channel 22)
// and the screen, trailing blanks removed.
void WRSUMM(const std::string& line);
// Period conversion of PER into PER, WNUMNU, IPERFL, IPERSPC (and HBOT
// made nondimensional).
void PERCONV();
// Block layout of the block-iterative solver (NBLKSZ, NBLKLAST, ISOLVE).
void BLKLAYOUT();
// Waterline segments of bodies 1..NB that bound an interior free surface.
void WTLPND(int NB, int& IERR);
// Mode list IMODE, IBMOD, NMODT from the rigid-mode indices IMODERB.
void ALLMODE(int& IRAD, int& IDIFF, int& IERR);

// Potential control file (.pot) on channel IU.
void RDPOT(int IU, int& IERR);
// Global geometry file (or a single body's geometry file) on channel IU.
void RDGLBGDF(int IU, int& IRAD, int& IDIFF, int& IERR);
// First pass over the bodies' geometry files; writes rgkinit.txt.
void RDGDF(int IU, int& IERR);
// Low-order geometry files: the panel list XVER of all bodies.
void RDGDFL(int IU, int& IERR);
// Largest magnitude of a coordinate (a vertex, control point or body
// position) in units of the body length ULEN: a larger or non-finite value
// can only come from a damaged file, and its products would overflow.
inline constexpr float MAXCOORD = 1.0E6f;
// Largest magnitude of a heading in degrees (wave headings and body
// headings): the reports print headings in five places.
inline constexpr float MAXANGLE = 1.0E4f;
// The wave periods a run takes (all in terms of the deep-water wavenumber
// nu = omega^2 / g of a period, nondimensional as nu x ULEN):
// - MAXPERIOD: the longest period in seconds, the largest that the run
//   summary prints in its field of ten places with four decimals;
// - MAXNUL: the largest nu x ULEN, for a ULEN that is a length of the body.
//   Shorter waves defeat the solution, whatever the panel size: the box of
//   the examples (2 x ULEN long) solves to scattered values from about 5000
//   on, and with the box and the hemisphere the iterative solver fails or
//   returns values that are not finite from about 1.E4 on;
// - NUHMIN, NUHMAX: the range of nu x depth that the finite-depth wave
//   Green function takes.
inline constexpr float MAXPERIOD = 99999.0f;
inline constexpr float MAXNUL = 1000.0f;
inline constexpr float NUHMIN = 1.0E-5f, NUHMAX = 1.0E5f;
// Refuses an ordinary period beyond those limits, naming the potential
// control file, the period number, the value as TYPED (the values of the
// file before the period conversion) in its kind (period, frequency or
// wavenumber, by IPERIO) and the limit in the same kind.  After PERCONV.
void CHKPER(const float* TYPED, int& IERR);
// True when the N values from X on, times SCALE, are finite and at most
// MAXCOORD in magnitude.
bool COORDSOK(const float* X, int N, float SCALE);

// Vertices of panels IF..IF+N-1 from channel IU; IB > 0 scales them,
// applies the body's tank and dipole ranges (when ITKDP = 1) and checks the
// free-surface limit ZL; IB = 0 reads the values as they stand.
void RDXVER(int IU, int IF, int N, float ZL, int IB, int& IERR, int ITKDP = 1);
// Dipole (MODE 1, 2) or wavemaker (MODE -1) classes of panels IF..IF+N-1.
// Status -1: a wavemaker panel lies in no wall plane.
void DIPWMCLS(int IF, int N, std::array<int, 2> ISXY, int MODE, int& IERR);
// Tank and dipole ranges that the configuration gives body IB, applied to
// its N panels (or patches) from IF on.
void RDTKDP(int IB, int IF, int N, int& IERR);

// Consistency checks of the switches of a POTEN run.
void CHKPOT(int IRAD, int& IDIFF, int NPER, int NBETA, int IMODFL, int NEQN, float TOL0, float TOLIRR,
            float& TOL, int& IERR);

// Panel arrays: N entries (K = 0), delete entry K (N = -1) or insert a copy
// of entry K after it (N = 1).
void GROWXVER(int N, int K, int& IERR);
void GROWTANK(int N, int K, int& IERR);
void GROWDIPW(int N, int K, int& IERR);
// Appends the mirror images of panels IF..IF+NPAN-1 about x = 0 (IFLAG[0]
// = 1) and then y = 0 (IFLAG[1] = 1); NPAN becomes the new panel count.
void REFLPAN(int& NPAN, int IF, std::array<int, 2> IFLAG, int& IERR);

// Interior free surface of an IRR = 2 body: projections of its panels.
void IRR2FS(int& NPAN, int IPFIRST, float ZBODY, int& IERR);
// Waterline segments of body IB (first panel IPFIRST) from segment ISEG on.
void WLSEGS(int IB, int IPFIRST, int ISEG, int& IERR);
// IWLPAN, IWLSIDE made exactly N entries long.
void GROWWLS(int N, int& IERR);

// Point transforms between body IB's frame and the global frame.
void BODY2GLB(const float* XIN, float* XOUT, int IB);
void GLB2BODY(const float* XIN, float* XOUT, int IB);

}  // namespace zorva
