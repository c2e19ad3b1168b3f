// Rankine integrals of one flat panel at one field point: the source
// potential S (integral of 1/r), the normal dipole D (integral of z/r^3 in
// the panel frame), their gradients, and the integrals of ln(r + Z) (Z the
// vertical component of field point minus source point) and of its normal
// derivative at the source, with their gradients.
#pragma once

#include "common/farray.hpp"

namespace zorva {

// Panel frame.  XV, YV: vertices (4); AM: area and moments (13); SL: side
// lengths (4); E: the vertical in the panel frame (3); SZ: length scale and
// squared size (2).  IERR: 0, 1 degenerate logarithmic term, 2 point shifted.
void RANKPI(float& X, float& Y, float& Z, const float* XV, const float* YV, const float* AM, const float* SL,
            const float* E, const float* SZ, float& S, float& D, float& SX, float& SY, float& DX, float& DY,
            float& DZ, float& LS, float& LD, float& LSX, float& LSY, float& LDX, float& LDY, int IVEL,
            int ILOGF, int& IERR);

// Global frame: field point P(3) against panel IPAN of the panel tables.
// GS, GD, GLS, GLD: global gradients (3 each) of S, D, LS and LD.
void RANKPF(const float* P, int ILOGF, int IPAN, const Arr3<float>& PAXES, const Arr2<float>& PNLARR6,
            const Arr2<float>& PNLARR5, const Arr2<float>& PCENT, const Arr2<float>& PNLARR4,
            const Arr2<float>& PPROP, const Arr2<float>& PNLARR3, float& D, float& S, float& LD, float& LS,
            int IVEL, float* GS, float* GD, float* GLS, float* GLD, int& IERR);

}  // namespace zorva
