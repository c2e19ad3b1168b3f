// Calls of SURFLINK's exports; see rgklink.hpp.
#include "geometry/rgklink.hpp"

#include "surflink/surflink.h"

namespace zorva {

void RGKINIT(int& IERR) { ::RGKINIT(&IERR); }

void RGKLOWGDF(int IB, int& IERR) { ::RGKLOWGDF(&IB, &IERR); }

void RGKNTANK(int IB, int& N) { ::RGKNTANK(&IB, &N); }

void RGKNPATCH(int IB, int& N) { ::RGKNPATCH(&IB, &N); }

void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR) { ::RGKPANTYPE(&IB, &I, &ITYPE, &ITANK, &IERR); }

void RGKPATTYPE(int IB, int IP, int& ITYPE, int& ITANK, int& IERR) {
    ::RGKPATTYPE(&IB, &IP, &ITYPE, &ITANK, &IERR);
}

void RGKEVAL(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int& IERR) {
    ::RGKEVAL(&U, &V, &IB, &IP, X, XU, XV, &IERR);
}

void RGKDONE() { ::RGKDONE(); }

}  // namespace zorva
