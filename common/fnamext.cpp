#include "common/fnamext.hpp"

namespace zorva {

void FNAMEXT(std::string_view NAME, std::string& OUT, std::string_view EXT) {
    // EXT may view OUT itself (a caller passes the suffix in the text that
    // receives the result): take the piece to insert before OUT changes.
    std::string piece;
    std::size_t us = EXT.find('_');
    if (us != std::string_view::npos) {
        piece = std::string(EXT.substr(us, 8));
        piece.resize(8, ' ');
    } else {
        std::size_t dot = EXT.find('.');
        piece = std::string(EXT.substr(dot == std::string_view::npos ? 0 : dot, 4));
        piece.resize(4, ' ');
    }

    // Work text: the name without leading blanks, blank-padded to 24.
    std::size_t first = NAME.find_first_not_of(' ');
    std::string work = first == std::string_view::npos ? std::string() : std::string(NAME.substr(first));
    if (work.size() < 24) work.resize(24, ' ');

    // Position of the first "." or, failing that, of the first blank.
    std::size_t p = work.find('.');
    if (p == std::string::npos) p = work.find(' ');
    if (p == std::string::npos) p = work.size();

    // Overwrite from P on; the text grows when the piece runs past its end.
    if (work.size() < p + piece.size()) work.resize(p + piece.size(), ' ');
    work.replace(p, piece.size(), piece);

    std::size_t last = work.find_last_not_of(' ');
    work.resize(last == std::string::npos ? 0 : last + 1);
    OUT = std::move(work);
}

}  // namespace zorva
