#include "main/fnames.hpp"

namespace zorva::fnames {

std::string FILECFG, FILEPOT, FILEP2F, FILEFRC, FILEOUT, FILEHST;
Arr1<std::string> GDFNAME;

void reset() {
    FILECFG.clear();
    FILEPOT.clear();
    FILEP2F.clear();
    FILEFRC.clear();
    FILEOUT.clear();
    FILEHST.clear();
    GDFNAME.allocate(1);
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace zorva::fnames
