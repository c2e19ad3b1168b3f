// The run's file names: the list file fnames.zrv, the prompts, the names
// derived from the base name, and the fixed tables of extensions and
// run-file names.  Names are held without trailing blanks.
#pragma once

#include <array>
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

}  // namespace zorva::fnames
