#include "common/messages.hpp"

#include <algorithm>
#include <mutex>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "common/fmtwrite.hpp"

namespace zorva {

std::string errmsg_value(int value) {
    if (value == 0) return {};
    int width;
    if (value < 0)
        width = 6;
    else if (value < 10)
        width = 1;
    else if (value < 100)
        width = 2;
    else if (value < 1000)
        width = 3;
    else if (value < 10000)
        width = 4;
    else
        width = 5;
    // A value too wide for its field is shown as asterisks, as a fixed-width
    // integer field shows it.
    return fmt::I(value, width);
}

void ERRMSG(std::string_view text, int value) {
    // Whole messages, also from the threads of a parallel loop.
    static std::mutex m;
    std::lock_guard<std::mutex> lk(m);
    std::string line = " ";
    line.append(text);
    line += errmsg_value(value);
    for (int unit : {IUSCR, IUERR, IULOG}) {
        if (!chan::is_open(unit)) continue;
        chan::write_line(unit, "");
        chan::write_line(unit, line);
        if (value != 0) chan::write_line(unit, "");
        chan::flush(unit);
    }
}

void ERRLOGOPEN(std::string_view FILENAME, std::string_view STAGE, std::string& DATE,
                std::string& TIME, int& IERR) {
    if (chan::open(IUERR, FILENAME, chan::Status::Replace) != 0) {
        chan::write_line(IUSCR, " Unable to open error log file, UNIT = " + fmt::I(IUERR, 3));
        IERR = 1;
        return;
    }
    DATETIME(DATE, TIME);
    const std::string stamp = fmt::rjust(DATE, 12) + fmt::rjust(TIME, 9);
    std::string head = "Warning and error log from ";
    head.append(STAGE);
    head += " run: " + stamp;
    chan::write_line(IUERR, head);
    chan::flush(IUERR);
    if (chan::is_open(IULOG)) {
        std::string line(STAGE);
        line += " run started: " + stamp;
        chan::write_line(IULOG, "");
        chan::write_line(IULOG, line);
        chan::flush(IULOG);
    }
    IERR = 0;
}

void ECHOINP(std::string_view NAME, int UNIT, int N) {
    int limit = N;
    chan::write_line(IULOG, "");
    if (N > 0) {
        std::string head = " First";
        head += fmt::I(N, 6);
        head += " lines of input file ";
        head.append(NAME);
        chan::write_line(IULOG, head);
    } else {
        std::string head = " Input file ";
        head.append(NAME);
        chan::write_line(IULOG, head);
        limit = 99999;
    }
    chan::rewind(UNIT);
    std::string rec;
    for (int i = 0; i < limit; ++i) {
        if (chan::read_line(UNIT, rec) != 0) break;
        if (rec.size() > 80) rec.resize(80);
        std::size_t last = rec.find_last_not_of(' ');
        rec.resize(last == std::string::npos ? 0 : last + 1);
        chan::write_line(IULOG, rec);
    }
    chan::flush(IULOG);
    chan::rewind(UNIT);
}

void LJUST20(std::string& NAME) {
    // A tab counts as a blank.
    std::replace(NAME.begin(), NAME.end(), '\t', ' ');
    std::string_view s(NAME);
    s = s.substr(0, 20);
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) {
        NAME.clear();
        return;
    }
    s = s.substr(b);
    s = s.substr(0, s.find(' '));
    NAME = std::string(s);
}

}  // namespace zorva
