/* surflink.h -- the exports of libsurflink.so, through which the program
 * reaches bodies and control surfaces described in geometry-model files.
 *
 * Every argument is passed by address: I = 32-bit integer, R = 32-bit real;
 * IERR, where there is one, is the last argument, 0 on success and otherwise
 * the routine's own error code.  Entry 0 of the library's tables is the
 * control surface, entries 1..NBODY the bodies.  RGKINIT comes first,
 * RGKINITCSF after it, RGKDONECSF and RGKDONE release.  The library writes
 * its log to rgklog.txt in the working directory.
 */
#ifndef SURFLINK_H
#define SURFLINK_H

#if defined(__GNUC__)
#define SURFLINK_EXPORT __attribute__((visibility("default")))
#else
#define SURFLINK_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Reads rgkinit.txt and loads one model per body. */
SURFLINK_EXPORT void RGKINIT(int* IERR);
/* Reads rgkinitcsf.txt and loads the control surface into entry 0. */
SURFLINK_EXPORT void RGKINITCSF(int* IERR);
/* Point X and derivatives XU, XV of patch IP of body IB at (U, V) in [-1, 1]^2. */
SURFLINK_EXPORT void RGKEVAL(const float* U, const float* V, const int* IB, const int* IP, float* X, float* XU,
                             float* XV, int* IERR);
/* The same for the control surface. */
SURFLINK_EXPORT void RGKEVALCSF(const float* U, const float* V, const int* IP, float* X, float* XU, float* XV,
                                int* IERR);
/* Patch, symmetry copy, (U, V) and distance of the surface point of body IB
 * closest to X. */
SURFLINK_EXPORT void RGKX2NUV(const int* IB, const float* X, int* IPATCH, int* IXREFL, int* IYREFL, int* IROT,
                              float* U, float* V, float* DIST, int* IERR);
/* Release the bodies (and end the log's run) / the control surface. */
SURFLINK_EXPORT void RGKDONE(void);
SURFLINK_EXPORT void RGKDONECSF(void);
/* Counts; -1 when not available. */
SURFLINK_EXPORT void RGKNPATCH(const int* IB, int* NPATCH);
SURFLINK_EXPORT void RGKNPATCSF(int* NPATCH);
SURFLINK_EXPORT void RGKNPAN(const int* IB, int* NPAN1, int* NPAN2);
SURFLINK_EXPORT void RGKNTANK(const int* IB, int* NTANK);
/* Patch type and tank of a patch / of a low-order panel. */
SURFLINK_EXPORT void RGKPATTYPE(const int* IB, const int* IP, int* PTYPE, int* ITANK, int* IERR);
SURFLINK_EXPORT void RGKPANTYPE(const int* IB, const int* IPAN, int* PTYPE, int* ITANK, int* IERR);
/* Write the low-order geometry file of body IB / of the control surface. */
SURFLINK_EXPORT void RGKLOWGDF(const int* IB, int* IERR);
SURFLINK_EXPORT void RGKLOWCSF(int* IERR);

#ifdef __cplusplus
}
#endif

#endif
