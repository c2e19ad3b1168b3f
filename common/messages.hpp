// Messages and logs: the one message writer of the program and the small
// text services that the readers share.
//
// ERRMSG writes every warning and error identically to the screen (unit 6),
// the current stage's error log (unit 1) and the run log (unit 4).  A unit
// that is not open is passed over.
#pragma once

#include <string>
#include <string_view>

namespace zorva {

inline constexpr int IUERR = 1;   // error log of the current stage
inline constexpr int IULOG = 4;   // run log zorvalog.txt
inline constexpr int IUKBD = 5;   // keyboard
inline constexpr int IUSCR = 6;   // screen

void ERRMSG(std::string_view text, int value);

// The value as ERRMSG places it after the text ("" for 0).
std::string errmsg_value(int value);

}  // namespace zorva
