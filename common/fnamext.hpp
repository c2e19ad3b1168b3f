// Names derived from a base name: the base of a file name followed by an
// extension (".p2f") or a suffix ("_low.gdf").
#pragma once

#include <string>
#include <string_view>

namespace zorva {

// OUT := base of NAME followed by EXT.  Leading blanks of NAME are dropped;
// the base ends before the first "." of the name (or at its end when there
// is none).  EXT is either a 4-character extension starting at its "." or
// an 8-character suffix starting at its "_"; it is written over the name
// from the end of the base on, and any characters of the name beyond the
// written ones stay (run.alt.pot with ".p2f" gives run.p2f.pot).  The
// result is never cut: a long base keeps its whole suffix.  OUT may be the
// very text that EXT views.
void FNAMEXT(std::string_view NAME, std::string& OUT, std::string_view EXT);

}  // namespace zorva
