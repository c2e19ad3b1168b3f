#include "main/runlog.hpp"

#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"
#include "common/messages.hpp"

namespace zorva {

void RUNSTAMP(std::string_view TEXT) {
    DATETIME(RUNDATE, RUNTIME);
    std::string line(TEXT);
    line += fmt::rjust(RUNDATE, 12);
    line += fmt::rjust(RUNTIME, 9);
    chan::write_line(IULOG, "");
    chan::write_line(IULOG, line);
    chan::flush(IULOG);
}

void LOGCOUNT(int& FLAG) {
    constexpr int MAXREC = 99999;
    if (chan::rewind(IUERR) != 0) return;
    std::string rec;
    int n = 0;
    while (n < MAXREC && chan::read_line(IUERR, rec) == 0) ++n;
    // A log that reached the limit is read on to its end without counting:
    // the next message must go after the last line, not into the middle.
    if (n >= MAXREC)
        while (chan::read_line(IUERR, rec) == 0) {
        }
    if (n >= 4) FLAG = 1;
}

}  // namespace zorva
