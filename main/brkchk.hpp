// The break file: a user stops a long POTEN run cleanly by creating
// "break.zrv" in the working directory.
#pragma once

namespace zorva {

// Polls for the break file at period JPER; KIND 1 = start of the period,
// 2 = before the solve.  When the file exists, records the event through
// ERRMSG and asks on the console: b = break (IBRK = 1), c = continue and
// keep the file, d = delete the file and continue; any other answer shows
// the menu again.  When the keyboard input has ended the answer is b, so a
// run without a console stops cleanly instead of waiting.
void BRKCHK(int JPER, int KIND, int& IBRK);

}  // namespace zorva
