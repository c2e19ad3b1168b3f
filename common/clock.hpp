// The clock: date and time of day for the run stamps and file headers.
// Tests install a fixed source with set_source.
#pragma once

#include <functional>
#include <string>

namespace zorva::clock {

struct DateTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Replace the clock (an empty function restores the system clock).
void set_source(std::function<DateTime()> src);
DateTime now();

// "DD-Mon-YYYY", month abbreviation from a fixed table (never the locale).
std::string date_text(const DateTime& t);
// "HH:MM:SS"
std::string time_text(const DateTime& t);

}  // namespace zorva::clock
