// The extra-mode hand-over file of one body at model input: the .mod file
// when the outside extra-mode program has written it, else the head of the
// .pre file that the first run hands to that program.
#include "geometry/modfile.hpp"

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "main/fnames.hpp"

namespace zorva {

namespace {
std::string rtrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}
}  // namespace

void RDMODF(int IUNIT, const ExtTable& EXTS, int ECHO1, int ECHO2, int& IMODFL, int& NEWMDSNB, int NB,
            std::array<int, 2> ISXY, int NPAN, int NMODT, const std::string& DATE, const std::string& TIME) {
    if (NB == 1) IMODFL = 0;
    std::string& name = fnames::GDFNAME(NB);
    const std::string base = name;
    FNAMEXT(base, name, EXTS[5]);
    auto echo = [&](const std::string& s) {
        chan::write_line(ECHO1, rtrim(s));
        chan::write_line(ECHO2, rtrim(s));
    };
    if (chan::open(IUNIT, name, chan::Status::Old) == 0) {
        if (IMODFL != -1) IMODFL = 1;
        echo(" Input from Extra Mode MOD File:         " + fmt::ljust(name, 20));
        std::string l1, l2;
        fread::read_text(IUNIT, l1, 72);
        echo(" " + l1);
        fread::read_text(IUNIT, l2, 72);
        echo(" " + l2);
        echo("");
    } else {
        IMODFL = -1;
        NEWMDSNB = -NEWMDSNB;
        FNAMEXT(base, name, EXTS[4]);
        const std::string head = " NORMIX Input,  Filename: " + fmt::ljust(name, 20) + fmt::X(4) +
                                 fmt::ljust(DATE, 11) + fmt::X(2) + fmt::ljust(TIME, 8);
        chan::write_line(ECHO2, head);
        if (chan::open(IUNIT, name, chan::Status::Replace) == 0) {
            chan::write_line(IUNIT, head);
            chan::write_line(IUNIT, fmt::I(ISXY[0], 8) + fmt::I(ISXY[1], 8) + fmt::I(NPAN, 8) + fmt::I(NMODT, 8));
        }
    }
    chan::close(IUNIT);
}

}  // namespace zorva
