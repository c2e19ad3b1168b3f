#include "common/unformatted.hpp"

#include "common/channels.hpp"

namespace zorva::ufmt {

RecWriter& RecWriter::put_text(std::string_view s, std::size_t len) {
    std::size_t n = std::min(s.size(), len);
    buf_.insert(buf_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    buf_.insert(buf_.end(), len - n, ' ');
    return *this;
}

int RecWriter::write(int unit) {
    int s = chan::write_record(unit, buf_);
    buf_.clear();
    return s;
}

int RecReader::read(int unit) {
    pos_ = 0;
    ok_ = true;
    int s = chan::read_record(unit, buf_);
    if (s != 0) buf_.clear();
    return s;
}

bool RecReader::get_text(std::string& s, std::size_t len) {
    if (len > buf_.size() - pos_) {
        ok_ = false;
        return false;
    }
    s.assign(buf_.data() + pos_, len);
    pos_ += len;
    std::size_t e = s.find_last_not_of(' ');
    s.resize(e == std::string::npos ? 0 : e + 1);
    return true;
}

}  // namespace zorva::ufmt
