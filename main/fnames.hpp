// The run's file names: the list file fnames.zrv, the prompts, the names
// derived from the base name, and the fixed tables of extensions and
// run-file names.  Names are held without trailing blanks and keep the case
// in which they were written (file systems tell Box.gdf from box.gdf);
// extensions are recognised without regard to case.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "common/farray.hpp"

namespace zorva::fnames {

// Extension table, numbered from 1 (EXTS[0] is unused).
inline constexpr std::array<std::string_view, 16> EXTS = {
    "",     ".gdf", ".pot", ".p2f", ".pre", ".mod", ".idf", ".spl", ".frc",
    ".out", ".cfg", ".bpi", ".bpo", ".csf", ".hst", ".rao"};
// Run-file names, numbered from 1.
inline constexpr std::array<std::string_view, 7> RUNFILES = {
    "", "zorvalog.txt", "rgkinitcsf.txt", "rgkinit.txt", "break.zrv", "fnames.zrv", "config.zrv"};

extern std::string FILECFG;   // configuration file
extern std::string FILEPOT;   // potential control file (POTEN) or run name (FORCE)
extern std::string FILEP2F;   // POTEN-to-FORCE file
extern std::string FILEFRC;   // force control file
extern std::string FILEOUT;   // report
extern std::string FILEHST;   // hydrostatic matrix file
// Geometry file name of each body (entry 1 may come from the list file or
// a prompt; the model readers grow the array and fill the rest).
extern Arr1<std::string> GDFNAME;

void reset();

// Reads one line of the list file on CHAN into NAME: only its first 20
// characters count, leading blanks are dropped and the name ends at its
// first blank.  IDOT = position (from 1) of the first "." in NAME, 0 if
// none.  ISTAT = 1 at end of file or on an all-blank line (either ends the
// list), else 0.
void RDFNLINE(int CHAN, std::string& NAME, int& IDOT, int& ISTAT);

// Sets the run's file names for one stage step, from the list file
// LISTNAME (read on LISTCHAN) or else by asking on KEYBOARD / SCREEN:
//   MODE -1: FILECFG (list without a .cfg line: "config.zrv");
//   MODE  0: FILEPOT, GDFNAME(1) (when IALTPOT <= 1), FILEP2F, and FILEFRC
//            when the list gives it (else empty);
//   MODE  1: FILEPOT (run name), FILEFRC, FILEP2F, FILEOUT, FILEHST.
// A new output file (.p2f in mode 0, .out in mode 1) that already exists
// is overwritten only when the user agrees; otherwise a new name is asked
// for.  EXTTABLE is the extension table (EXTS, numbered from 1).  When the
// keyboard input ends before an answer is given, one message is written
// and IERR = 1; otherwise IERR = 0.
void SETFNAMES(int LISTCHAN, int KEYBOARD, int SCREEN, std::string_view LISTNAME,
               std::span<const std::string_view> EXTTABLE, int MODE, int& IERR);

}  // namespace zorva::fnames
