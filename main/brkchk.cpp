#include "main/brkchk.hpp"

#include <string>

#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "main/fnames.hpp"

namespace zorva {

namespace {
constexpr int IUBRK = 8;
}

void BRKCHK(int JPER, int KIND, int& IBRK) {
    IBRK = 0;
    if (chan::open(IUBRK, fnames::RUNFILES[4], chan::Status::Old) != 0) return;

    ERRMSG(KIND == 1 ? " Break at start of period loop, period JPER=" : " Break before CALL SOLVE, period JPER=",
           JPER);

    for (;;) {
        chan::write_line(IUSCR, "");
        chan::write_line(IUSCR, "        File BREAK.ZRV exists.  Select option (b,c,d):");
        chan::write_line(IUSCR, "");
        chan::write_line(IUSCR, "         b: Break run and continue with reduced NPER ");
        chan::write_line(IUSCR, "         c: Continue run and keep BREAK.ZRV  ");
        chan::write_line(IUSCR, "         d: Delete BREAK.ZRV and continue run ");
        chan::write_text(IUSCR, std::string(32, ' ') + "    Enter b,c, or d:    ");

        std::string answer;
        if (fread::read_line(IUKBD, answer) != 0) {
            // No console (input ended or unreadable): break, never wait.
            chan::write_line(IUSCR, "");
            IBRK = 1;
            chan::close(IUBRK);
            return;
        }
        const char c = answer.empty() ? ' ' : answer[0];
        if (c == 'b' || c == 'B') {
            IBRK = 1;
            chan::close(IUBRK);
            return;
        }
        if (c == 'c' || c == 'C') {
            chan::close(IUBRK);
            return;
        }
        if (c == 'd' || c == 'D') {
            chan::close(IUBRK, true);
            return;
        }
    }
}

}  // namespace zorva
