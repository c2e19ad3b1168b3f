// The program's calls into the geometry-kernel bridge SURFLINK
// (libsurflink.so, surflink/surflink.h): bodies and control surfaces
// described in geometry-model files.  Each wrapper passes its arguments by
// address to the library's export of the same name.
#pragma once

#include <string>

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

// The control surface of one body (entry 0 of the library's tables):
// loaded from rgkinitcsf.txt, its patch count (-1 when not available), the
// point and derivatives of patch IP at (U, V), its low-order file (the path
// on line 3 of rgkinitcsf.txt), and its release.
void RGKINITCSF(int& IERR);
void RGKNPATCSF(int& N);
void RGKEVALCSF(float U, float V, int IP, float* X, float* XU, float* XV, int& IERR);
void RGKLOWCSF(int& IERR);
void RGKDONECSF();

// The line written after the error message of a failed RGKINIT,
// RGKINITCSF, RGKLOWGDF or RGKLOWCSF: the library gives the reason in its
// log, which the line names.
void RGKLOGNOTE();

// Opens rgkinit.txt (channel 3, replacing an older file) and writes its
// three head lines: ILOWHI, GRAV and NBODY of the run.  False when the file
// cannot be opened.
bool WRRGKHEAD();
// The line of body IB's position in the control files: XBODY(1:3) x ULEN(1)
// (dimensional) and the heading, each in 10 columns with 2 decimals.
std::string XBODYLINE(int IB);

}  // namespace zorva
