// Rankine (1/r) integrals over B-spline patches of the higher-order method:
// adaptive subdivision of a parameter rectangle (SUBDIV), the singular
// square around a point of the patch itself (SELF, SELFSUB), the
// influence of one source span at one field point over all images and
// symmetry components (RKPATCH), and that of every source span at one
// outer point (RKPOINT), which the solver tests into its windows.
//
// The integrals are span moments: for a kernel K, the moment k = 1 + i + NPU j
// is the integral of K (u - UREF)^i (v - VREF)^j.  They accumulate in an
// RkMoments record that the caller owns and zeroes; every routine takes its
// work space as an argument, so that calls on different records may run at
// the same time.
#pragma once

#include <array>
#include <vector>

namespace zorva {

inline constexpr int MAXSQR = 2048;  // squares (intervals) of one subdivision

// One evaluated patch point.
struct HoPt {
    float X[3] = {0, 0, 0};   // point
    float N[3] = {0, 0, 0};   // unit normal (with the patch's orientation)
    float XU[3] = {0, 0, 0};  // dX/du
    float XV[3] = {0, 0, 0};  // dX/dv
    float J = 0;              // |X_u x X_v|
    float ORIENT = 1;         // orientation sign of the patch
};

// Patch point at (u, v) of patch IP of body IB, in the frame of the
// influence integrals (body axes, global axes with walls).  MODE 0 point
// only, 1 also derivatives, normal and Jacobian, 2 also the modal normals
// into VN (NMODT values).  Returns the evaluator's status (its message
// written).
int HOEVAL(float U, float V, int IB, int IP, int MODE, HoPt& P, float* VN);

// Moment accumulators (Fortran order, first index fastest):
// SRCMOM(NPUV, NMODT), DIPMOM(NPUV), SRCLMOM, DIPLMOM likewise,
// GSRCMOM(3, NPUV, NMODT), GDIPMOM(3, NPUV), GSRCLMOM, GDIPLMOM likewise.
struct RkMoments {
    int NPUV = 0, NMODT = 0;
    std::vector<float> SRCMOM, DIPMOM, SRCLMOM, DIPLMOM, GSRCMOM, GDIPMOM, GSRCLMOM, GDIPLMOM;
    // Size for NPUV terms and NMODT modes; the gradient sets only with GRAD.
    void size(int npuv, int nmodt, bool grad);
    void zero();
    float& src(int k, int m) { return SRCMOM[(k - 1) + static_cast<std::size_t>(NPUV) * (m - 1)]; }
    float& srcl(int k, int m) { return SRCLMOM[(k - 1) + static_cast<std::size_t>(NPUV) * (m - 1)]; }
    float& gsrc(int d, int k, int m) { return GSRCMOM[(d - 1) + 3 * ((k - 1) + static_cast<std::size_t>(NPUV) * (m - 1))]; }
    float& gsrcl(int d, int k, int m) { return GSRCLMOM[(d - 1) + 3 * ((k - 1) + static_cast<std::size_t>(NPUV) * (m - 1))]; }
    float& gdip(int d, int k) { return GDIPMOM[(d - 1) + 3 * static_cast<std::size_t>(k - 1)]; }
    float& gdipl(int d, int k) { return GDIPLMOM[(d - 1) + 3 * static_cast<std::size_t>(k - 1)]; }
};

// Work space of SUBDIV and SELF: the square list and the per-point terms.
struct SubdivWork {
    std::array<float, MAXSQR> SQUH, SQUL, SQVH, SQVL;  // squares relative to (UREF, VREF)
    std::vector<float> PW, LPW, GPW, GLPW, SPW, DPW, VN;  // per-point powers, modal normals
    void size(int npuv, int nmodt);
};

// Integration rules of the singular square: an 8-point Gauss-Legendre rule
// on [-1, 1] and the 8-point rule for the weight -ln(x) on (0, 1] with its
// weights negative (as GAUSSLOG returns them).
struct SelfRules {
    float XG[8], WG[8];
    float XL[8], WL[8];
};

// Adds the Rankine moments of rectangle [ULO, UHI] x [VLO, VHI] of patch IP
// seen from XF, subdividing until each square is far enough.  ISTORED 1
// allows the stored quadrature points (from NQPOFF on) when the rectangle
// is accepted whole; IGRAD nonzero adds the gradients (1: stricter
// distance factor); ISIGN multiplies their vertical components; IFULL 0
// keeps only the first source moment.  G1, when given, holds the centre
// and the four corners (lower u lower v, upper u lower v, lower u upper v,
// upper u upper v) of the whole rectangle, 15 values, evaluated before.
void SUBDIV(const float* XF, int ILOGF, float UREF, float VREF, float ULO, float UHI, float VLO, float VHI,
            int NPU, int NPV, int NGU, int NGV, const float* XGU, const float* WGU, const float* XGV,
            const float* WGV, float* UQ, float* WUQ, float* VQ, float* WVQ, int NPUV, int IB, int IP,
            int ISTORED, int IGRAD, int ISIGN, int IFULL, int NQPOFF, RkMoments& M, SubdivWork& W, int& IERR,
            const float* G1 = nullptr);

// Diagnostic block of a subdivision that reached its limit, to the run log.
void SUBDIAG(const float* XF, const float* XC, int IB, int IP);

// V += S (A x B).
void CROSSADD(float* V, float S, const float* A, const float* B);

// Singular square [US - H, US + H] x [VS - H, VS + H] of patch IP around
// its own point (US, VS), with the free term of the integral equation
// (2 pi; -2 pi for IKIND = -1).  IGRAD 1 adds the dipole gradient with its
// contour part, integrated along the edges with the patch's inner rules
// (NGU nodes XGU, weights WGU in u; likewise in v).
void SELF(float US, float VS, float UREF, float VREF, float H, int NPU, int NPV, int NPUV, int IB, int ILOGF,
          int IP, int IKIND, int IGRAD, const SelfRules& R, int NGU, int NGV, const float* XGU, const float* WGU,
          const float* XGV, const float* WGV, RkMoments& M, SubdivWork& W, int& IERR);

// Contour part of the flat dipole gradient around the square, into T(3).
void SELFSUB(const float* XS, const float* NS, float ULO, float UHI, float VLO, float VHI, int NGU, int NGV,
             const float* XGU, const float* WGU, const float* XGV, const float* WGV, int IB, int IP, float* T,
             SubdivWork& W, int& IERR);

// Outputs of RKPATCH (first index fastest): per symmetry component the
// dipole moments DIP(NPUV, NSYMC), their logarithmic terms DIPL and
// image-sign corrections DIPI; per solution position the source values
// SRC(NMODT), SRCL, SRCI; and for a dipole field patch the 3-vector forms
// GDIP(3, NPUV, NSYMC), GDIPL, GDIPI, GSRC(3, NMODT), GSRCL, GSRCI.
struct RkOut {
    int NPUV = 0, NSYMC = 0, NMODT = 0;
    std::vector<float> DIP, DIPL, DIPI, SRC, SRCL, SRCI, GDIP, GDIPL, GDIPI, GSRC, GSRCL, GSRCI;
    void size(int npuv, int nsymc, int nmodt, bool grad);
};

// The field point of RKPATCH.
struct RkField {
    float U = 0, V = 0;        // parameters on its patch
    float X[3] = {0, 0, 0};    // position, field body frame
    float N[3] = {0, 0, 0};    // unit normal
    const float* VN = nullptr; // modal normal velocities (NMODT)
    int IDIP = 0;              // 1: the field patch is a dipole patch
    int IB = 0, IP = 0;        // field body and patch
};

// One knot span of a source patch with its inner Gauss rules.
struct RkSpan {
    float ULO = 0, UHI = 0, VLO = 0, VHI = 0;
    int KU = 0, KV = 0;
    int NGU = 0, NGV = 0;
    const float *XGU = nullptr, *WGU = nullptr, *XGV = nullptr, *WGV = nullptr;
    int IB = 0, IP = 0;        // source body and patch
    int NQPOFF = 0;            // stored inner points before this span
    const float* G = nullptr;  // centre and corners of the span (see SUBDIV), or none
};

// Per-call work of RKPATCH.
struct RkWork {
    RkMoments M;
    SubdivWork S;
    std::vector<float> KEEP;                  // moments after the direct part
    std::array<float, 16> UQ, WUQ, VQ, WVQ;   // mapped inner nodes
    void size(int npuv, int nmodt, bool grad);
};

// A point (TRANSLATE true) or a direction of field body IBF's frame in the
// frame of source body IBS: turned by IBF's heading, moved by OFF (field
// body origin minus source body origin), turned back by IBS's heading.
void to_source(const float* P, float* Q, int IBF, int IBS, const float* OFF, bool translate);

// The Rankine influence of span SP at field point F over all images of the
// run: free-surface image (at level ZFS of the field patch's fluid, field
// frame), sea-bottom image in finite depth (HBOT > 0), symmetry
// components.  ISING: 0, or 1 / 2 / -2 when F lies on this span (2, -2 on
// an interior free-surface patch).  OFF: field body origin minus source
// body origin (zero with walls or within a body).
void RKPATCH(const RkField& F, const RkSpan& SP, int ISING, const float* OFF, float ZFS, int IRAD, float HBOT,
             const SelfRules& RL, RkOut& O, RkWork& W, int& IERR);

// The Rankine influence of all source spans of the run at one outer point:
// what RKSETUP prepares once per run, the work of RKPATCH, and the results
// of RKPOINT.  Source spans are counted in patch, v-span, u-span order.
struct RkPoint {
    SelfRules RL;           // rules of the singular square
    std::vector<float> G;   // centre and corners of every source span (15 values, see SUBDIV)
    std::vector<int> GOFF;  // GOFF[p]: spans of the patches 1..p
    RkWork W;
    std::vector<RkOut> O;   // O[s]: the RKPATCH outputs of source span s at the point
};

// The rules of the singular square (8-point Gauss-Legendre and, with
// ILOG = 1, the 8-point rule for the weight -ln x) and the centre and
// corners of every span of patches 1..NPATCHT, the first square of each of
// its subdivisions at every outer point.  IERR 0, or 1 after a message.
void RKSETUP(RkPoint& K, int& IERR);

// The influence of every source span at outer point IPT of the run (the
// point tables XQO, ENQO, VNQO), at parameters (U, V) in span (IU, JV) of
// field patch IP, into K.O: the span itself is the singular one, bodies
// other than the field body are offset unless there are walls, the inner
// points are numbered afresh at each outer point.  IERR 1 after RKPATCH's
// message; the outputs are then incomplete.
void RKPOINT(int IP, int IU, int JV, int IPT, float U, float V, int IRAD, float HBOT, RkPoint& K, int& IERR);

}  // namespace zorva
