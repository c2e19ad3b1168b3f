#include "common/channels.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>

#include "common/textline.hpp"

namespace zorva::chan {
namespace {

struct Unit {
    std::unique_ptr<std::fstream> f;
    std::string name;
    Form form = Form::Formatted;
    bool scratch = false;
    bool reading = false;  // last transfer was a read (a seek is needed to switch)
    int tfd = -1;          // descriptor of the same file, used to cut it short
    std::streampos last = -1;  // start of the record read last (for backspace)
    bool overlong = false;     // the last text read stopped at text::MAXLINE characters
};

// A file stream must be repositioned between a read and a write.
std::fstream& for_read(Unit& u) {
    if (!u.reading) {
        u.f->clear();
        u.f->seekg(u.f->tellp());
        u.reading = true;
    }
    return *u.f;
}
// A sequential write makes its record the last one of the file: what lay
// beyond the current position (records not yet read, or the old content
// after a rewind) is cut off, so that a later read meets the end of file
// there and never stale records.
std::fstream& for_write(Unit& u) {
    if (u.reading) {
        u.f->clear();
        std::streampos here = u.f->tellg();
        u.f->seekp(here);
        if (here >= 0 && u.tfd >= 0 && ::ftruncate(u.tfd, static_cast<off_t>(here)) != 0)
            u.f->setstate(std::ios::badbit);
        u.reading = false;
    }
    return *u.f;
}

std::array<Unit, MAXUNIT + 1> units;
std::istream* keyboard = nullptr;
bool keyboard_overlong = false;
bool keyboard_begun = false;  // a line has been read from the keyboard stream
std::ostream* screen = nullptr;
std::string scratch_dir;
const std::string empty;

std::istream& kbd() { return keyboard ? *keyboard : std::cin; }
std::ostream& scr() { return screen ? *screen : std::cout; }

bool valid(int unit) { return unit >= 0 && unit <= MAXUNIT; }

std::string trim_name(std::string_view s) {
    std::size_t e = s.find_last_not_of(' ');
    return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

Unit* file_unit(int unit) {
    if (!valid(unit) || unit == KEYBOARD || unit == SCREEN) return nullptr;
    Unit& u = units[unit];
    return u.f ? &u : nullptr;
}

void put_u32(std::ostream& o, std::uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    o.write(reinterpret_cast<const char*>(b), 4);
}

// 0 ok, -1 clean end of file, 1 short
int get_u32(std::istream& in, std::uint32_t& v) {
    unsigned char b[4];
    in.read(reinterpret_cast<char*>(b), 4);
    std::streamsize got = in.gcount();
    if (got == 0 && in.eof()) return -1;
    if (got != 4) return 1;
    v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return 0;
}

}  // namespace

int open(int unit, std::string_view name, Status st, Form form) {
    if (!valid(unit) || unit == KEYBOARD || unit == SCREEN) return 1;
    close(unit);
    std::string path = trim_name(name);
    if (path.empty()) return 1;
    std::ios::openmode m = std::ios::in | std::ios::out | std::ios::binary;
    switch (st) {
    case Status::Replace:
        m |= std::ios::trunc;
        break;
    case Status::Old:
        if (!exists(path)) return 1;
        break;
    case Status::Unknown:
    case Status::Append:
        if (!exists(path)) m |= std::ios::trunc;  // creates the file
        break;
    }
    auto f = std::make_unique<std::fstream>(path, m);
    if (!f->is_open()) {
        // An existing file without write permission may still be read.
        if (st == Status::Old) f = std::make_unique<std::fstream>(path, std::ios::in | std::ios::binary);
        if (!f->is_open()) return 1;
    }
    if (st == Status::Append) f->seekp(0, std::ios::end);
    Unit& u = units[unit];
    u.f = std::move(f);
    u.tfd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);  // -1 for a read-only file: writes fail anyway
    u.name = path;
    u.form = form;
    u.scratch = false;
    u.reading = (st != Status::Append);
    return 0;
}

int open_scratch(int unit, Form form) {
    if (!valid(unit) || unit == KEYBOARD || unit == SCREEN) return 1;
    close(unit);
    std::string tmpl = (scratch_dir.empty() ? std::string(".") : scratch_dir) + "/zorvascrXXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd < 0) return 1;
    std::string path(buf.data());
    auto f = std::make_unique<std::fstream>(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    // The name is removed at once: the open stream keeps the file alive, and
    // nothing is left behind however the run ends.
    std::remove(path.c_str());
    if (!f->is_open()) {
        ::close(fd);
        return 1;
    }
    Unit& u = units[unit];
    u.f = std::move(f);
    u.tfd = fd;
    u.name.clear();
    u.form = form;
    u.scratch = true;
    u.reading = false;
    return 0;
}

void set_scratch_path(std::string_view path) { scratch_dir = trim_name(path); }
const std::string& scratch_path() { return scratch_dir; }

bool is_open(int unit) {
    if (unit == KEYBOARD || unit == SCREEN) return true;
    return file_unit(unit) != nullptr;
}

bool exists(std::string_view name) {
    std::string path = trim_name(name);
    return !path.empty() && access(path.c_str(), F_OK) == 0;
}

const std::string& name(int unit) {
    Unit* u = file_unit(unit);
    return u ? u->name : empty;
}

int rewind(int unit) {
    Unit* u = file_unit(unit);
    if (!u) return 1;
    u->f->clear();
    u->f->seekg(0);
    u->f->seekp(0);
    u->reading = true;
    u->last = -1;
    return u->f->good() ? 0 : 1;
}

int backspace(int unit) {
    Unit* u = file_unit(unit);
    if (!u || !u->reading || u->last < 0) return 1;
    u->f->clear();
    u->f->seekg(u->last);
    u->last = -1;
    return u->f->good() ? 0 : 1;
}

void close(int unit, bool del) {
    Unit* u = file_unit(unit);
    if (!u) return;
    u->f->close();
    if (u->tfd >= 0) ::close(u->tfd);
    u->tfd = -1;
    if (del && !u->scratch && !u->name.empty()) std::remove(u->name.c_str());
    u->f.reset();
    u->name.clear();
    u->scratch = false;
}

int read_line(int unit, std::string& line) {
    std::istream* in;
    bool* overlong;
    text::At at = text::At::Within;
    if (unit == KEYBOARD) {
        in = &kbd();
        overlong = &keyboard_overlong;
        if (!keyboard_begun) at = text::At::Start;
        keyboard_begun = true;
    } else {
        Unit* u = file_unit(unit);
        if (!u) return 1;
        in = &for_read(*u);
        u->last = in->tellg();
        overlong = &u->overlong;
        // The first record, also after a rewind or a backspace to it.
        if (u->last == std::streampos(0)) at = text::At::Start;
    }
    *overlong = false;
    line.clear();
    std::istream::sentry ok(*in, true);
    if (!ok) return in->eof() ? -1 : 1;
    switch (text::get_line(*in->rdbuf(), line, at)) {
    case text::Got::Line: break;
    case text::Got::Unended: in->setstate(std::ios::eofbit); break;
    case text::Got::End: in->setstate(std::ios::eofbit); return -1;
    case text::Got::TooLong:
        *overlong = true;
        in->setstate(std::ios::failbit);
        return 1;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return 0;
}

bool line_too_long(int unit) {
    if (unit == KEYBOARD) return keyboard_overlong;
    const Unit* u = file_unit(unit);
    return u && u->overlong;
}

int write_text(int unit, std::string_view s) {
    std::ostream* out;
    if (unit == SCREEN) {
        out = &scr();
    } else {
        Unit* u = file_unit(unit);
        if (!u) return 1;
        out = &for_write(*u);
    }
    out->write(s.data(), static_cast<std::streamsize>(s.size()));
    if (unit == SCREEN) out->flush();
    return out->good() ? 0 : 1;
}

int write_line(int unit, std::string_view s) {
    if (write_text(unit, s) != 0) return 1;
    return write_text(unit, "\n");
}

int flush(int unit) {
    if (unit == SCREEN) {
        scr().flush();
        return 0;
    }
    Unit* u = file_unit(unit);
    if (!u) return 1;
    u->f->flush();
    return u->f->good() ? 0 : 1;
}

int write_record(int unit, const void* p, std::size_t n) {
    Unit* u = file_unit(unit);
    if (!u || n > 0x7fffffffu) return 1;
    auto len = static_cast<std::uint32_t>(n);
    std::fstream& out = for_write(*u);
    put_u32(out, len);
    if (n) out.write(static_cast<const char*>(p), static_cast<std::streamsize>(n));
    put_u32(out, len);
    return out.good() ? 0 : 1;
}

int write_record(int unit, const std::vector<char>& buf) { return write_record(unit, buf.data(), buf.size()); }

namespace {
// The length of the next record of unit U, its stream placed at the data.
int record_head(int unit, std::istream*& pin, std::uint32_t& head) {
    Unit* u = file_unit(unit);
    if (!u) return 1;
    std::istream& in = for_read(*u);
    pin = &in;
    int s = get_u32(in, head);
    if (s != 0) return s;
    if (head > 0x7fffffffu) return 1;
    // Do not trust a large length beyond the end of the file (a broken
    // length must not allocate gigabytes); a short one shows in the read.
    if (head > (1u << 16)) {
        std::streampos here = in.tellg();
        in.seekg(0, std::ios::end);
        std::streampos end = in.tellg();
        in.seekg(here);
        if (here < 0 || end < 0 || static_cast<std::uint64_t>(end - here) < static_cast<std::uint64_t>(head) + 4)
            return 1;
    }
    return 0;
}

// The trailing length of a record of length HEAD.
int record_tail(std::istream& in, std::uint32_t head) {
    std::uint32_t tail = 0;
    if (get_u32(in, tail) != 0 || tail != head) return 1;
    return 0;
}
}  // namespace

int read_record(int unit, std::vector<char>& buf) {
    std::istream* in = nullptr;
    std::uint32_t head = 0;
    if (const int s = record_head(unit, in, head); s != 0) return s;
    buf.resize(head);
    if (head) in->read(buf.data(), head);
    if (static_cast<std::uint32_t>(in->gcount()) != head && head) return 1;
    return record_tail(*in, head);
}

int read_record(int unit, void* dst, std::size_t cap, std::size_t& len) {
    std::istream* in = nullptr;
    std::uint32_t head = 0;
    len = 0;
    if (const int s = record_head(unit, in, head); s != 0) return s;
    len = head;
    const auto n = static_cast<std::streamsize>(std::min<std::size_t>(head, cap));
    if (n) {
        in->read(static_cast<char*>(dst), n);
        if (in->gcount() != n) return 1;
    }
    if (head > cap) {
        const auto rest = static_cast<std::streamsize>(head - static_cast<std::uint32_t>(n));
        in->ignore(rest);
        if (in->gcount() != rest) return 1;
    }
    return record_tail(*in, head);
}

int skip_record(int unit) {
    std::vector<char> buf;
    return read_record(unit, buf);
}

void set_keyboard(std::istream* in) {
    keyboard = in;
    keyboard_begun = false;
}
void set_screen(std::ostream* out) { screen = out; }

void reset() {
    for (int i = 0; i <= MAXUNIT; ++i) close(i);
    keyboard = nullptr;
    keyboard_begun = false;
    screen = nullptr;
    scratch_dir.clear();
}

}  // namespace zorva::chan
