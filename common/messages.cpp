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

namespace {
// Whole messages, also from the threads of a parallel loop.
std::mutex msgmutex;
MessageHold* current = nullptr;  // the innermost hold, if any

// A line for UNIT: written, or kept by a hold.
void put(int unit, std::string_view line) {
    if (!MessageHold::keep(unit, line)) chan::write_line(unit, line);
}
}  // namespace

MessageHold::MessageHold() : outer_(current) { current = this; }

MessageHold::~MessageHold() { current = outer_; }

bool MessageHold::keep(int unit, std::string_view text, int value) {
    if (!current) return false;
    current->held_.push_back({unit, std::string(text), value});
    return true;
}

void MessageHold::release() {
    std::vector<Entry> held = std::move(held_);
    held_.clear();
    MessageHold* self = current;
    current = outer_;
    for (const Entry& e : held) {
        if (e.unit == 0) {
            ERRMSG(e.text, e.value);
        } else {
            put(e.unit, e.text);
            if (e.unit != IUSCR) chan::flush(e.unit);
        }
    }
    current = self;
}

void SCRLINE(std::string_view text) { put(IUSCR, text); }

void ERRMSG(std::string_view text, int value) {
    std::lock_guard<std::mutex> lk(msgmutex);
    if (MessageHold::keep(0, text, value)) return;
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
    put(IULOG, "");
    if (N > 0) {
        std::string head = " First";
        head += fmt::I(N, 6);
        head += " lines of input file ";
        head.append(NAME);
        put(IULOG, head);
    } else {
        std::string head = " Input file ";
        head.append(NAME);
        put(IULOG, head);
        limit = 99999;
    }
    chan::rewind(UNIT);
    std::string rec;
    for (int i = 0; i < limit; ++i) {
        if (chan::read_line(UNIT, rec) != 0) break;
        if (rec.size() > 80) rec.resize(80);
        std::size_t last = rec.find_last_not_of(' ');
        rec.resize(last == std::string::npos ? 0 : last + 1);
        put(IULOG, rec);
    }
    if (!current) chan::flush(IULOG);
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
