// Waterline trimming of higher-order bodies.  Each body patch of a moved
// body is replaced by a list of sub-patches covering its wetted part: plain
// rectangles of its parameter square (bilinear map TRMMAP1..4), rectangles
// cut along the waterline (edge code ITRMIDX 1..4, the dry side), or fans
// from a wet corner (code -1..-4).  Dry patches are dropped.  The list
// arrays: IPGDF (source patch), ITRIMSV (1, or 2^n for the quarters of n
// subdivisions; -1 to be removed), ITRMIDX, TRMRNG1 / TRMRNG2 (u and v of
// the four corners in the source square) and the map.
#pragma once

#include <string>
#include <vector>

#include "common/farray.hpp"

namespace zorva {

// A patch point less than FSGAP (x ULEN) below the free surface lies in
// it: a patch there with a vertical normal is a free-surface patch.
inline constexpr float FSGAP = 1.0E-4f;

// Corners q = 1..4 of a sub-patch square, in order round it: local
// coordinates (CORNS, CORNT), and the next, previous and opposite corner.
inline constexpr int NEXTC[5] = {0, 2, 3, 4, 1};
inline constexpr int PREVC[5] = {0, 4, 1, 2, 3};
inline constexpr int OPPC[5] = {0, 3, 4, 1, 2};
inline constexpr float CORNS[5] = {0, 1, 1, -1, -1};
inline constexpr float CORNT[5] = {0, -1, 1, 1, -1};

// Flag grid of the entry being classified: FLAG(i, j) at u = G(i), v = G(j)
// of the entry's rectangle, 1 dry, 0 on the waterline, -1 wet; ZL the
// waterline level of its body (or tank) in the body frame.
struct TrimGrid {
    int M = 0;
    std::vector<float> G;  // G[0..M]: grid points on [-1, 1], the outer ones at +-0.9999
    Arr2<int> FLAG;        // (M+1, M+1)
    float ZL = 0.0f;
    float FMIN = 0.0f;     // least height above ZL of the points sampled
    void setup(int m);
    // FLAG at the corner q (1..4) of the rectangle.
    int corner(int q) const;
};

// Refuses a body moved by XTRIM that leaves an open edge under water: a
// side of a patch (not a dipole or wavemaker patch) below the waterline of
// the moved body that no other side of the body's patches, nor a symmetry
// plane or wall of the run, closes there, as the top edge of a body without
// deck that lies at the free surface before the trim.  IERR 1 after one
// message naming the geometry file, the body, the patch and the remedy.
void TRIMOPEN(int& IERR);
// For a message about patch IP of body IB that the waterline trimming cuts:
// ", which the waterline trimming (ITRIMWL=.., XTRIM = ..) cuts: ..." with
// the likely cause of an integration that cannot resolve it; "" for a patch
// the trimming leaves whole.
std::string TRIMNOTE(int IB, int IP);
// Driver: trims every body patch (the list starts as the NPATCHR patches)
// and rebuilds the per-patch tables for the sub-patches.
void TRIMWLB(int& IERR);
// The sub-patch list: first call creates N identity entries (POS = -1: the
// source numbers IPGDF alone).  Later: POS = -1 resizes IPGDF to N; N = -1
// deletes entry POS; N >= 1 opens N entries after POS, POS+N a copy of POS
// and POS+1..POS+N-1 new (edge code 0, other fields the caller's).
void TRIMWLH(int N, int POS, int& IERR);
// Grid consistency: turns a type 1, 2 or 3 into 4 (subdivision) when the
// flags are not of the simple shape the type assumes.
void WLINDEX(const TrimGrid& GR, int& ITYPE);
// Per-patch tables IBPTH, ITANK, IPRL, IPREF, ITRIM, IDIPWM from the NOLD
// source patches to the NNEW sub-patches.
void TRIMIDX(int NOLD, int NNEW, int& IERR);
// Waterline tables IWTL, IFSPAT, ZBDYFS (ARCLEN, WTLARR5 when PANEL_SIZE > 0)
// made N entries long.
void GROWWTL(int N, int POS, int& IERR);
// Samples the flag grid of list entry JS (source patch IP of body IB).
void TRIMFLAGS(TrimGrid& GR, int JS, int IP, int IB, int& IERR);
// Crossing of the waterline with side K of entry JS, from corner K (DIR 1)
// or next(K) (DIR 2), leaving the run of flag FREF: local (S, T) and the
// state just inside the side (-1 wet, 0 on it, 1 dry).
void WLSRCH(const TrimGrid& GR, int K, int JS, int IP, int IB, int DIR, int FREF, float& S, float& T, int& ISIDE,
            int& IERR);
// Entry JS with the single wet corner Q: a shortened straight cut or a
// corner cut.
void TRIMWL1(const TrimGrid& GR, int Q, int JS, int IP, int IB, int& IERR);

}  // namespace zorva
