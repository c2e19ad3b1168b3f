// Run log stamps and the warning count of a stage's error log.
#pragma once

#include <string_view>

namespace zorva {

// Sets RUNDATE and RUNTIME from the clock and writes to the run log (unit 4)
// an empty line and the line TEXT, the date right-justified in 12 columns
// and the time right-justified in 9.
void RUNSTAMP(std::string_view TEXT);

// Counts the lines of the error log open on unit 1 (from its start, at most
// 99999) and sets FLAG = 1 when there are 4 or more: a clean log holds its
// header and one two-line completion message.  Otherwise FLAG is left as it
// is.  The unit is left at its end, so later messages are appended.
void LOGCOUNT(int& FLAG);

}  // namespace zorva
