#include "common/messages.hpp"

#include <cstdio>
#include <cstdlib>

#include "common/channels.hpp"

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
    // integer field would show it.
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%*d", width, value);
    if (n > width) return std::string(static_cast<std::size_t>(width), '*');
    return buf;
}

void ERRMSG(std::string_view text, int value) {
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

}  // namespace zorva
