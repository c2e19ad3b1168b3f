// The frame shared by the result writers: report lines to the report unit
// (when the option's report flag is 1) and to the screen (when MONITR is
// 1), numeric records to the option's numeric file, every write checked.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/fmtwrite.hpp"

namespace zorva::fout {

class Writer {
public:
    // Re-opens the numeric file NAME on IUNUM for append (IERR 1 after a
    // message when that fails: the writer then writes nothing).
    Writer(int iuout, int noout, int iunum, std::string_view name, int& ierr);
    // Report line(s) with their screen copy.
    void rep(std::string_view f, std::initializer_list<fmt::Arg> a);
    // Numeric record(s).  The first value that is not finite gives one
    // warning naming the quantity, the file and the period (the leading
    // value of the latest record that began with a real).
    void num(std::string_view f, std::initializer_list<fmt::Arg> a);
    // Flushes and closes the numeric file; a write that failed on the way
    // gives its one message and IERR = 1.
    void done();
    bool ok() const { return ierr_ == 0; }

private:
    void failed(int unit);
    int iuout_, noout_, iunum_;
    std::string name_;
    int& ierr_;
    bool open_ = false;
    bool warned_ = false;
    float per_ = 0.0f;
};

// Heading in degrees rounded to the nearest integer, halves away from zero.
int nint(float v);

}  // namespace zorva::fout
