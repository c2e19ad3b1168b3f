// A control surface held in a geometry-model file: rgkinitcsf.txt written
// from the .csf file, and the surface loaded by SURFLINK.
#include <string>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "ctrlsurf/ctrlsurf.hpp"
#include "geometry/model.hpp"
#include "geometry/rgklink.hpp"
#include "main/fnames.hpp"

namespace zorva {

namespace {

std::string rtrim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// The second line of a failed RGKINIT or RGKINITCSF, and the pointer to the
// library's log.
void code_line(int code) {
    ERRMSG("                               error code = ", code);
    RGKLOGNOTE();
}

}  // namespace

void INITRGKCSF(int IB, int& IERR) {
    IERR = 0;
    constexpr int IURGK = 3;
    if (model::NRGKBODY == 0) {
        // No body of the run uses the kernel: set it up without bodies.
        if (!WRRGKHEAD()) {
            ERRMSG("Error opening RGKINIT.TXT file ", 0);
            IERR = 1;
            return;
        }
        chan::close(IURGK);
        int code = 0;
        RGKINIT(code);
        if (code != 0) {
            ERRMSG(" Error return from subroutine RGKINIT, body ", IB);
            code_line(code);
            IERR = 1;
            return;
        }
        model::NRGKBODY = 1;
    }
    auto unreadable = [&] {
        ERRMSG(" Error reading .csf file, body ", IB);
        chan::close(IURGK);
        IERR = 1;
    };
    if (chan::open(IURGK, fnames::RUNFILES[2], chan::Status::Replace) != 0) {
        ERRMSG("Error opening RGKINITCSF.TXT file ", 0);
        IERR = 1;
        return;
    }
    std::string ms2;
    FNAMEXT(csf::FILECSF, ms2, "_ms2.csf");
    chan::write_line(IURGK, fmt::I(IB, 6) + fmt::X(30) + "!IBODY");
    chan::write_line(IURGK, csf::FILECSF);
    chan::write_line(IURGK, ms2);
    chan::write_line(IURGK, XBODYLINE(IB));
    int nlines = 0;
    if (fread::read_group(IUCSF, {fread::I(nlines)}) != 0 || nlines < 0 || nlines > fread::MAXITEMS)
        return unreadable();
    chan::rewind(IUCSF);
    int ilow = 1;
    for (int r = 1; r <= nlines + 5; ++r) {
        std::string line;
        if (fread::read_line(IUCSF, line) != 0) return unreadable();
        line = rtrim(line.substr(0, 80));
        if (r == 2 && fread::parse_group(line, {fread::I(ilow)}) != 0) return unreadable();
        // A low-order file's panel-count line holds 0 and the kind only;
        // the library takes the count, the kind and a panel size.
        if (r == 4 && ilow == 0) line = fmt::I(0, 6) + fmt::I(2, 6) + fmt::F(0.0f, 10, 3) + fmt::X(6) + "!NPATCSF, ICDEF, PSZCSF";
        chan::write_line(IURGK, line);
    }
    chan::close(IURGK);
    int code = 0;
    RGKINITCSF(code);
    if (code != 0) {
        ERRMSG(" Error return from subroutine RGKINITCSF, body ", IB);
        code_line(code);
        IERR = 1;
    }
}

}  // namespace zorva
