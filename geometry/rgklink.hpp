// The program's calls into the geometry-kernel bridge SURFLINK
// (libsurflink.so, surflink/surflink.h): bodies and control surfaces
// described in geometry-model files.  Each wrapper passes its arguments by
// address to the library's export of the same name.
#pragma once

namespace zorva {

// Reads rgkinit.txt and loads every geometry-model body; IERR 0 or the
// library's error code.
void RGKINIT(int& IERR);
// Writes the low-order geometry file of body IB (the path on line 4 of its
// block of rgkinit.txt).
void RGKLOWGDF(int IB, int& IERR);
// Tank count and patch count of body IB; -1 when not available.
void RGKNTANK(int IB, int& N);
void RGKNPATCH(int IB, int& N);
// Type and tank of low-order panel I / of patch IP of body IB.
void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR);
void RGKPATTYPE(int IB, int IP, int& ITYPE, int& ITANK, int& IERR);
// Point and derivatives of patch IP of body IB at (U, V) in [-1, 1]^2,
// dimensional, in the body's frame.
void RGKEVAL(float U, float V, int IB, int IP, float* X, float* XU, float* XV, int& IERR);
// Releases the bodies.
void RGKDONE();

}  // namespace zorva
