// Small text helpers shared by the sample user libraries (geomxact/ and
// newmodes/): splitting data lines into items, reading numbers, and writing
// a message to the logs through zorva_units.h.  Header only, so that each
// sample library builds from the platform headers alone.
#pragma once

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/zorva_units.h"

namespace zorva_sample {

// Items of a data line: separated by blanks, tabs or commas; "!" starts a
// comment that runs to the end of the line.
inline std::vector<std::string> items(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : line) {
        if (c == '!') break;
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

inline std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A real item (a Fortran D exponent is accepted); false unless the whole
// item is a finite number.
inline bool real_item(const std::string& s, double& v) {
    if (s.empty()) return false;
    std::string t = s;
    for (char& c : t)
        if (c == 'd' || c == 'D') c = 'E';
    char* end = nullptr;
    errno = 0;
    double x = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end != '\0' || errno == ERANGE || !(x - x == 0.0)) return false;
    v = x;
    return true;
}

// An integer item; false unless the whole item is an integer of int range.
inline bool int_item(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long x = std::strtol(s.c_str(), &end, 10);
    if (end == s.c_str() || *end != '\0' || errno == ERANGE || x < -2147483647L - 1 || x > 2147483647L) return false;
    v = static_cast<int>(x);
    return true;
}

// Write a message the way the program lays out its own: an empty line, then
// the text after one blank; to each of the given units that is open.
inline void message(const std::string& text, int iuerr = ZORVA_UNIT_ERRLOG, int iulog = ZORVA_UNIT_RUNLOG) {
    std::string line = " " + text;
    for (int unit : {iuerr, iulog}) {
        if (zorva_write_line(unit, "") != 0) continue;
        zorva_write_line(unit, line.c_str());
    }
}

}  // namespace zorva_sample
