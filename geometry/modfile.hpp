// Extra-mode hand-over file of one low-order body at model input (.mod
// read, or the head of the .pre file written when no .mod file exists).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zorva {

using ExtTable = std::array<std::string_view, 16>;

// IUNIT the hand-over channel (14), EXTS the extension table (entry 4
// ".pre", entry 5 ".mod"), ECHO1 the run-summary channel, ECHO2 the screen.
// GDFNAME(NB) becomes the hand-over file name.  IMODFL: 0 at body 1, 1 when
// a .mod file was found, -1 once a body has none (its NEWMDSNB is then
// negated).  ISXY, NPAN and NMODT head the .pre file.  No failure of its
// own: a missing .mod file is the first run of the hand-over.
void RDMODF(int IUNIT, const ExtTable& EXTS, int ECHO1, int ECHO2, int& IMODFL, int& NEWMDSNB, int NB,
            std::array<int, 2> ISXY, int NPAN, int NMODT, const std::string& DATE, const std::string& TIME);

}  // namespace zorva
