#include "common/clock.hpp"

#include <cstdio>
#include <ctime>

namespace zorva::clock {
namespace {
std::function<DateTime()> source;
}

void set_source(std::function<DateTime()> src) { source = std::move(src); }

DateTime now() {
    if (source) return source();
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string date_text(const DateTime& t) {
    static const char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    int m = (t.month >= 1 && t.month <= 12) ? t.month : 1;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%.3s-%04d", t.day % 100, months + 3 * (m - 1), t.year % 10000);
    return buf;
}

std::string time_text(const DateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour % 100, t.minute % 100, t.second % 100);
    return buf;
}

}  // namespace zorva::clock
