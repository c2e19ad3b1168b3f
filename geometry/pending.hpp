// Routines that the model input calls in parts of the program that this
// build does not hold yet (the higher-order readers, the interior
// free-surface panelling, the geometry and plot output files, the
// extra-mode hand-over, the waterline trimming and the geometry kernel
// bridge).  Each stand-in writes a clear message when it is reached and
// fails, so that a run asking for them stops instead of going on wrongly.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zorva {

using ExtTable = std::array<std::string_view, 16>;

// Set to 1 by a stand-in without a status argument when it is reached.
extern int IPENDERR;

// Patch-array growth: IMODERB made N entries long, keeping its content.
void GROWMDRB(int N, int& IERR);

// Interior free-surface panels of IRR = 3 bodies.
void FSPANL(int IU, const ExtTable& EXTS, int LEXT, int ISX, int NWTLD, int ISOR, int& IERR);
// Low-order geometry and plot output files.
void WRLOWPAN(int& IERR);
void PLTDATH(int& IERR);
// Higher-order geometry and spline control files.
void RDGDFH(int IU, int& IERR);
void RDSPL(const ExtTable& EXTS, int LEXT, int IU, int& NEQN, int& IERR);
// Extra-mode hand-over files (.pre, .mod) of one body.
void RDMODF(int IUNIT, const ExtTable& EXTS, int ECHO1, int ECHO2, int& IMODFL, int NEWMDSNB, int NB,
            std::array<int, 2> ISXY, int NPAN, int NMODT, const std::string& DATE, const std::string& TIME);
// Waterline trimming of one low-order body.
void TRIMGDF(int IFIRST, int& NPAN, float ZFS, int IB, int& IERR);

// Geometry-kernel bridge (SURFLINK).
void RGKINIT(int& IERR);
void RGKLOWGDF(int IB, int& IERR);
void RGKNTANK(int IB, int& N);
void RGKPANTYPE(int IB, int I, int& ITYPE, int& ITANK, int& IERR);

}  // namespace zorva
