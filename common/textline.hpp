// One line of a text file, bounded in length: the program's channels,
// SURFLINK's control files and the geometry kernel's model files read their
// lines through it.  Header only, so that the libraries use it without
// linking the program's services.
#pragma once

#include <cstddef>
#include <streambuf>
#include <string>
#include <string_view>

namespace zorva::text {

// Longest line of any text input.  A longer one is no record of any file
// the system reads: it comes from a file without line ends, a binary file
// or a device that never ends, and reading it whole would take memory
// without bound.
inline constexpr std::size_t MAXLINE = 1000000;

// What get_line met: a line and its line end, a last line without one, the
// end of the file with nothing left, or a line longer than the limit.
enum class Got { Line, Unended, End, TooLong };

// Where the line to read begins: at the start of the file, or after a
// line end.
enum class At { Start, Within };

// The UTF-8 byte-order mark that editors write before the first line of a
// text file.  It is no part of that line; anywhere else its bytes are data.
inline constexpr std::string_view BOM = "\xEF\xBB\xBF";

// The next line of SB into LINE, without its line end.  Character by
// character, so that no more than MAX characters are ever held; after
// TooLong the rest of that line is left unread.  At the start of the file
// a byte-order mark is dropped as soon as it is read (a file holding
// nothing else is empty).
inline Got get_line(std::streambuf &sb, std::string &line, At at = At::Within,
                    std::size_t max = MAXLINE) {
  line.clear();
  bool mark = at == At::Start; // a byte-order mark may still come
  for (;;) {
    const int c = sb.sbumpc();
    if (c == std::char_traits<char>::eof())
      return line.empty() ? Got::End : Got::Unended;
    if (c == '\n')
      return Got::Line;
    if (line.size() >= max)
      return Got::TooLong;
    line.push_back(static_cast<char>(c));
    if (mark && line.size() == BOM.size()) {
      if (line == BOM)
        line.clear();
      mark = false;
    }
  }
}

} // namespace zorva::text
