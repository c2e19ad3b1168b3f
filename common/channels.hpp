// The channel table: the program's numbered units.
//
// Every file the program reads or writes is reached through a unit number,
// as the routines of the program name them (1 error log, 4 run log, 5
// keyboard, 6 screen, 8 configuration, 11 list file and report, 13 .p2f,
// 21..44 scratch, ...).  Units 5 and 6 are bound to streams that tests may
// replace (set_keyboard / set_screen); every other unit is a file.
//
// Text units read and write records (lines).  Unformatted units hold
// sequential records framed by a 4-byte little-endian length before and
// after each record (see unformatted.hpp for typed access).
//
// Status values: 0 success, -1 end of file (reads only), 1 failure.  The
// table writes no messages: the caller reports through ERRMSG.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace zorva::chan {

enum class Status {
    Replace,  // create or truncate
    Old,      // must exist
    Unknown,  // open existing, else create
    Append,   // open existing for appending, else create
};
enum class Form { Formatted, Unformatted };

inline constexpr int KEYBOARD = 5;
inline constexpr int SCREEN = 6;
inline constexpr int MAXUNIT = 99;

// Open NAME on UNIT (a unit already open is closed first, keeping its file).
// NAME is used as written: trailing blanks are dropped, case is kept.
int open(int unit, std::string_view name, Status st, Form form = Form::Formatted);

// Open an unnamed scratch file on UNIT, in the scratch directory
// (set_scratch_path, else the working directory).  The file is removed when
// the unit is closed, at reset(), and at program exit.
int open_scratch(int unit, Form form = Form::Formatted);

// Directory for scratch files (SCRATCH_PATH); empty means the working directory.
void set_scratch_path(std::string_view path);
const std::string& scratch_path();

bool is_open(int unit);
bool exists(std::string_view name);   // file existence query
const std::string& name(int unit);    // file name of an open unit ("" if none)

int rewind(int unit);
// Step back over the text record read last, so that the next read takes it
// again (once; 1 when no record was read since the last positioning).
int backspace(int unit);
// Close UNIT; with del = true the file is removed.  Scratch files are always
// removed.  Closing a unit that is not open does nothing.
void close(int unit, bool del = false);

// Text records.  A record longer than text::MAXLINE characters is no
// record of any input file (an endless or binary file): the read stops
// there with status 1, and line_too_long tells that this was the cause.
int read_line(int unit, std::string& line);   // 0, -1 at end of file, 1 on error
bool line_too_long(int unit);                  // the last read_line on UNIT met a record beyond text::MAXLINE
int write_line(int unit, std::string_view s);  // the record and its line end
int write_text(int unit, std::string_view s);  // no line end: a prompt leaves the cursor on the line
int flush(int unit);

// Unformatted records.
int write_record(int unit, const void* p, std::size_t n);
int write_record(int unit, const std::vector<char>& buf);
// Reads the next record whole into buf; -1 at a clean end of file, 1 when the
// framing is broken or the file ends inside a record.
int read_record(int unit, std::vector<char>& buf);
// The same into the caller's memory: the first CAP bytes of the record into
// DST (the rest is passed over) and its whole length into LEN.
int read_record(int unit, void* dst, std::size_t cap, std::size_t& len);
// Skip one record (read and discard).
int skip_record(int unit);

// Rebind the keyboard and the screen (nullptr restores std::cin / std::cout).
void set_keyboard(std::istream* in);
void set_screen(std::ostream* out);

// Close every unit (removing scratch files) and restore the keyboard and screen.
void reset();

}  // namespace zorva::chan
