// Messages and logs: the one message writer of the program and the small
// text services that the readers share.
//
// ERRMSG writes every warning and error identically to the screen (unit 6),
// the current stage's error log (unit 1) and the run log (unit 4).  A unit
// that is not open is passed over: messages written before a stage has
// opened its error log go to the screen and the run log only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorva {

inline constexpr int IUERR = 1;   // error log of the current stage
inline constexpr int IULOG = 4;   // run log zorvalog.txt
inline constexpr int IUKBD = 5;   // keyboard
inline constexpr int IUSCR = 6;   // screen

// Writes an empty line, then one blank and the text, followed by the value
// when it is not 0 (right-justified in 1 to 5 columns by its magnitude, 6
// when negative) and then one more empty line.
void ERRMSG(std::string_view text, int value);

// The value as ERRMSG places it after the text ("" for 0).
std::string errmsg_value(int value);

// One line to the screen, kept back like the messages while a hold lasts.
void SCRLINE(std::string_view text);

// Holds back what ERRMSG, SCRLINE and ECHOINP would write while it lives, in
// order.  release() writes what is held, as it would have been written at
// the time; a hold that ends without release drops it (a check that passes
// says nothing).  A hold made within another passes its release to the
// outer one.
class MessageHold {
public:
    MessageHold();
    ~MessageHold();
    MessageHold(const MessageHold&) = delete;
    MessageHold& operator=(const MessageHold&) = delete;
    void release();

    // For the writers here: true when a hold keeps the line (UNIT 0: the
    // ERRMSG call of TEXT and VALUE).
    static bool keep(int unit, std::string_view text, int value = 0);

private:
    struct Entry {
        int unit;
        std::string text;
        int value;
    };
    std::vector<Entry> held_;
    MessageHold* outer_;
};

// Opens a stage's error log on unit 1 (replacing the file), sets DATE and
// TIME to the current date and time, writes the log's header line
// ("Warning and error log from <STAGE> run: <date> <time>") and the line
// "<STAGE> run started: <date> <time>" to the run log.  When the file cannot
// be opened, only the screen is told; IERR = 1.
void ERRLOGOPEN(std::string_view FILENAME, std::string_view STAGE, std::string& DATE,
                std::string& TIME, int& IERR);

// Echoes the first N lines (N < 1: all, up to 99999) of the file NAME, open
// on UNIT, into the run log under a heading line, each line cut to 80
// characters and without trailing blanks.  UNIT is rewound before and after,
// so the caller reads the file from its start.  Stops quietly at end of
// file or on a read error.
void ECHOINP(std::string_view NAME, int UNIT, int N);

// Normalises a typed file name: only its first 20 characters count; leading
// blanks are dropped and the name ends at its first blank (a tab counts as a
// blank).  The result has no trailing blanks (an all-blank name becomes
// empty).
void LJUST20(std::string& NAME);

}  // namespace zorva
