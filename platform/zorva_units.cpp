// The C interface of the channel table for the user libraries (zorva_units.h).
#include "platform/zorva_units.h"

#include <cstring>
#include <string>

#include "common/channels.hpp"

extern "C" {

int zorva_read_line(int unit, char* line, int size) {
    if (line == nullptr || size < 1) return 1;
    std::string s;
    int st = zorva::chan::read_line(unit, s);
    if (st != 0) {
        line[0] = '\0';
        return st;
    }
    std::size_t n = s.size() < static_cast<std::size_t>(size - 1) ? s.size() : static_cast<std::size_t>(size - 1);
    std::memcpy(line, s.data(), n);
    line[n] = '\0';
    return 0;
}

int zorva_write_line(int unit, const char* text) {
    if (text == nullptr) return 1;
    if (zorva::chan::write_line(unit, text) != 0) return 1;
    return zorva::chan::flush(unit);
}

int zorva_open_unit(int unit, const char* name, int status) {
    if (name == nullptr) return 1;
    zorva::chan::Status st;
    if (status == ZORVA_OPEN_OLD)
        st = zorva::chan::Status::Old;
    else if (status == ZORVA_OPEN_REPLACE)
        st = zorva::chan::Status::Replace;
    else
        return 1;
    return zorva::chan::open(unit, name, st) == 0 ? 0 : 1;
}

void zorva_close_unit(int unit) { zorva::chan::close(unit); }

}  // extern "C"
