/* zorva_userlib.h -- the user routines GEOMXACT and NEWMODES.
 *
 * Bodies whose geometry kind IGDEF is not 0, 1 or 2 are described by the
 * user routine GEOMXACT (library libgeomxact.so); the shapes of generalized
 * modes may come from the user routine NEWMODES (library libnewmodes.so).
 * The program is linked against both libraries and calls the routines
 * under these plain names.  Every argument is passed by address (32-bit
 * integers and reals), except the length of NEWMODES' NAME, which follows
 * NAME by value.  Arrays are 1-based in the descriptions below (IGDEF(IB) is
 * IGDEF[IB-1] in C).
 *
 * Building a replacement: compile a shared library that defines the routine
 * with exactly this argument list, using only this header and
 * zorva_units.h, for example
 *     cc -shared -fPIC -o libgeomxact.so mygeom.c
 * (undefined zorva_* functions are resolved against the program when it is
 * loaded).  The program finds the libraries it was built with through its
 * run path; a directory put first on LD_LIBRARY_PATH overrides them:
 *     LD_LIBRARY_PATH=/my/libs zorva
 * The samples shipped with the program are platform/geomxact/geomxact.cpp
 * and platform/newmodes/newmodes.cpp, which document their data lines.
 *
 * Status convention: IERR = 0 success, any other value failure.  The
 * routines may write their own messages to the error log and the run log
 * (units 1 and 4, zorva_units.h); the program writes its own as well.
 */
#ifndef ZORVA_USERLIB_H
#define ZORVA_USERLIB_H

#if defined(__GNUC__)
#define ZORVA_USERLIB_EXPORT __attribute__((visibility("default")))
#else
#define ZORVA_USERLIB_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* GEOMXACT(U, V, IB, IPATCH, ISXY, NPATCH, IRR, X, XU, XV, IGDEF, IUDAT, IERR)
 *
 *   U, V     patch parameters, -1..1
 *   IB       body number (control surface number for a control surface)
 *   IPATCH   patch of the body's geometry file, 1..NPATCH; 0 in a set-up call
 *   ISXY(2)  symmetry indices of the body's geometry file: ISXY(1) = 1 when
 *            x = 0 is a plane of symmetry (the patches describe x >= 0),
 *            ISXY(2) = 1 likewise for y = 0; (0, 0) for control surfaces
 *   NPATCH   patches of the body in its geometry file (0 for control surfaces)
 *   IRR      the body's irregular-frequency index (0 in a set-up call)
 *   X(3)     out: the surface point, dimensional, body frame, patch as read
 *   XU(3)    out: dX/du
 *   XV(3)    out: dX/dv; XU x XV points out of the fluid (into the body)
 *   IGDEF    the whole per-body geometry-kind array; bodies with the same
 *            kind IGDEF(IB) share one description
 *   IUDAT    0 in an evaluation call; in a set-up call the number of an
 *            open, rewound text unit holding the body's data lines (read
 *            them with zorva_read_line)
 *   IERR     out: 0 success
 */
ZORVA_USERLIB_EXPORT void GEOMXACT(const float* U, const float* V, const int* IB, const int* IPATCH,
                                   const int* ISXY, const int* NPATCH, const int* IRR, float* X, float* XU,
                                   float* XV, const int* IGDEF, const int* IUDAT, int* IERR);

/* NEWMODES(X, VN, IBMOD, IB, IPOS, NEWMDS, IGENMDS, IMODE, VNM, WM, MODE,
 *          IUEXT, NAME, NAME_LEN, IUERR, IULOG, IERR)
 *
 *   X(3)          the point, dimensional, from the body origin
 *   VN(3)         unit normal at the point, out of the fluid
 *   IBMOD(NBODY)  per body: mode offset m0 (rigid modes m0+1..m0+6)
 *   IB            body number
 *   IPOS          panel number within the body, or the geometry-file patch
 *   NEWMDS(NBODY) generalized modes per body
 *   IGENMDS       the body's IGENMDS from the configuration
 *   IMODE(NMODT)  per mode: 0 not solved, else its symmetry class
 *   VNM(NMODT)    in/out: normal velocity of every mode at the point
 *   WM(NMODT)     in/out: vertical displacement of every mode at the point
 *   MODE          -1 set-up (X = VN = 0, IPOS = 1), 2 evaluation at a point:
 *                 fill VNM and WM entries m0+7..m0+6+NEWMDS(IB)
 *   IUEXT         free unit for the routine's own files (15)
 *   NAME          the body's geometry-file name up to its first ".", blank
 *                 padded, not NUL-terminated
 *   NAME_LEN      length of NAME (16), by value
 *   IUERR, IULOG  units of the error log (1) and the run log (4)
 *   IERR          out: 0 success
 */
ZORVA_USERLIB_EXPORT void NEWMODES(const float* X, const float* VN, const int* IBMOD, const int* IB,
                                   const int* IPOS, const int* NEWMDS, const int* IGENMDS, const int* IMODE,
                                   float* VNM, float* WM, const int* MODE, const int* IUEXT, const char* NAME,
                                   int NAME_LEN, const int* IUERR, const int* IULOG, int* IERR);

#ifdef __cplusplus
}
#endif

#endif /* ZORVA_USERLIB_H */
