// Fixed-format output: the fields of the report, the logs and the numeric
// files, character for character as a Fortran FORMAT writes them.
//
// Field functions give one field; format() interprets a FORMAT text with
// its edit descriptors (Iw, Iw.m, Fw.d, Ew.d, Ew.dEe, ESw.d, Gw.d, A, Aw,
// nX, Tn, TLn, TRn, /, :, kP, 'text', "text", repeat counts, nested groups
// and format reversion) over a list of values; write() sends the result to
// a unit.  E fields have the form 0.123456E+01 (with kP: k digits before
// the point); a value that does not fit its field gives w asterisks.
#pragma once

#include <complex>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zorva::fmt {

std::string I(long v, int w, int m = -1);
std::string F(float v, int w, int d);
std::string F(double v, int w, int d);
// e = 0: the Ew.d form, two exponent digits after the letter, and beyond 99
// three digits without it (0.1+100); e > 0: Ew.dEe, asterisks when the
// exponent needs more than e digits.
std::string E(float v, int w, int d, int e = 0, int scale = 0);
std::string E(double v, int w, int d, int e = 0, int scale = 0);
std::string ES(float v, int w, int d, int e = 0);
std::string ES(double v, int w, int d, int e = 0);
// Aw: a shorter text is right-justified in w columns, a longer one cut to
// its first w characters; w < 0 writes the text as it is.
std::string A(std::string_view s, int w = -1);
std::string X(int n);
// A real in a message, as a person writes it: DIGITS = 0 gives the
// shortest text that reads back as V (a value as its input file gave it),
// DIGITS > 0 that many significant digits, trailing zeros dropped.
std::string num(float v, int digits = 0);
std::string rjust(std::string_view s, int w);
std::string ljust(std::string_view s, int w);

// A value handed to format(): scalars, texts, and arrays that the edit
// descriptors take one element at a time (a complex value counts as two reals).
using Arg = std::variant<int, long, float, double, std::complex<float>, std::string_view,
                         std::span<const int>, std::span<const float>, std::span<const double>,
                         std::span<const std::complex<float>>>;

// The records a FORMAT writes for the given values (one string per record).
// A malformed FORMAT throws std::invalid_argument: formats are program text.
std::vector<std::string> format(std::string_view fmt, std::initializer_list<Arg> args);
std::vector<std::string> format(std::string_view fmt, std::span<const Arg> args);

// format() written to UNIT, one line per record; status 0, or 1 when a
// write fails.
int write(int unit, std::string_view fmt, std::initializer_list<Arg> args);
int write(int unit, std::string_view fmt, std::span<const Arg> args);

// List-directed (free) output: one record that opens with a blank and
// holds the values in order, integers as I12, reals as 1PE16.8 (doubles
// 1PE25.16), a complex value as (re,im) of two such reals; array values
// one by one.
std::string list(std::span<const Arg> args);
std::string list(std::initializer_list<Arg> args);
int write_list(int unit, std::initializer_list<Arg> args);

}  // namespace zorva::fmt
