// Free-format ("list-directed") reading of the input text files.
//
// A group is one read: it starts on a new record, takes its values separated
// by blanks or commas, continues onto further records while values are still
// missing, and ignores the rest of its last record.  Accepted as a Fortran
// list-directed read accepts them: E or D exponents, repeat counts r*value
// and r* (null values), empty values between commas (null: the item keeps its
// value), quoted or plain texts, and a slash, which ends the group leaving the
// remaining items as they were.  A real written for an integer item (1.5) is
// a read error.
//
// Fixed-width texts are held as std::string cut to the field width with
// their trailing blanks removed; writers pad them where a layout asks.
#pragma once

#include <complex>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorva::fread {

// The largest count of entries that an input file may announce for a list
// it goes on to give (periods, headings, bodies, panels, field points, a
// body index).  A larger count can only come from a damaged file; readers
// refuse it as an unreadable value before they allocate anything for it.
inline constexpr int MAXITEMS = 1 << 24;

// One item of a group: a scalar or an array of n elements, or a text of at
// most `len` characters.
struct Item {
    enum class Kind { Int, Real, Double, Text };
    Kind kind;
    void* p;
    int n = 1;
    int len = 0;
};

inline Item I(int& v) { return {Item::Kind::Int, &v}; }
inline Item I(int* p, int n) { return {Item::Kind::Int, p, n}; }
inline Item R(float& v) { return {Item::Kind::Real, &v}; }
inline Item R(float* p, int n) { return {Item::Kind::Real, p, n}; }
inline Item D(double& v) { return {Item::Kind::Double, &v}; }
inline Item D(double* p, int n) { return {Item::Kind::Double, p, n}; }
inline Item A(std::string& s, int len) { return {Item::Kind::Text, &s, 1, len}; }

// Status of a read: 0 every item given (or the group ended by a slash),
// -1 end of file (before or inside the group), 1 a value that cannot be read.
// nvals (optional) receives the number of values assigned or skipped as null.
int read_group(int unit, std::span<const Item> items, int* nvals = nullptr);
inline int read_group(int unit, std::initializer_list<Item> items, int* nvals = nullptr) {
    return read_group(unit, std::span<const Item>(items.begin(), items.size()), nvals);
}

// Where a group found its values, for a reader that holds its file to a
// layout: the records that gave values or nulls, in order (the blank ones
// passed over are not among them; after a value that cannot be read, the
// last of them is the record that holds it), and, when the group was read,
// the text of its last record after the group ended (from its slash, if a
// slash ended it), which the group ignores.
struct Taken {
    std::vector<std::string> records;
    std::string rest;
};

// A group read as above that also tells where its values were.
int read_group(int unit, std::span<const Item> items, Taken& taken);
inline int read_group(int unit, std::initializer_list<Item> items, Taken& taken) {
    return read_group(unit, std::span<const Item>(items.begin(), items.size()), taken);
}

// The same from a text held in memory (a configuration value): running out
// of text before the items are given is end of file (-1).
int parse_group(std::string_view text, std::span<const Item> items, int* nvals = nullptr);
inline int parse_group(std::string_view text, std::initializer_list<Item> items, int* nvals = nullptr) {
    return parse_group(text, std::span<const Item>(items.begin(), items.size()), nvals);
}

// One record whole: 0, -1 at end of file, 1 on a read error.  A record
// longer than text::MAXLINE characters (an endless or binary file) is a
// read error that gets its own message naming the file; every read of this
// reader goes through here.
int read_line(int unit, std::string& line);

// The numbers a record gives from its start, as a read of reals would take
// them: values separated by blanks or commas, r*value counting r times, up
// to the end of the record, a slash or the first value that is no number
// (a word of a note).  Null values are no numbers and are not counted.
long long count_numbers(std::string_view record);

// One record as text, its first `len` characters kept (a title: len 72).
// Status 0, -1 at end of file, 1 on a read error.
int read_text(int unit, std::string& s, int len);

// One record holding a file name: its first 20 characters, leading blanks
// dropped, cut at the first blank.
int read_fname(int unit, std::string& name);

}  // namespace zorva::fread
