#include "tests/surflink/fixture.hpp"

#include <cstdio>

// The kernel's clock, replaced for the whole test program: SURFLINK binds
// rg_DateTime at load time, and the program's own definition comes first.
extern "C" __attribute__((visibility("default"))) void rg_DateTime(int len, char* buf) {
    std::snprintf(buf, static_cast<size_t>(len), "%s", zorva::test::FIXED_TIME);
}

namespace zorva::test {

std::string rgk_head(int ilowhi, const std::string& grav, int nbody) {
    char b[200];
    std::snprintf(b, sizeof b, "%6d            !ILOWHI\n%12s      !GRAV\n%6d            !NBODY\n", ilowhi, grav.c_str(),
                  nbody);
    return b;
}

std::string rgk_block(const Block& b) {
    std::string s = "====================\n";
    char h[100];
    std::snprintf(h, sizeof h, "%6d%6d%6d            !IBODY, IRR, ITKMS2\n", b.ib, b.irr, b.itkms2);
    s += h;
    s += b.gdf + "\n" + b.ms2 + "\n" + b.xbody + "      !XBODY\n" + b.title + "\n";
    s += b.ulen_grav + "      !ULEN, GRAV\n" + b.isxy + "      !ISX, ISY\n" + b.npatch_igdef + "      !NPATCH, IGDEF\n";
    s += std::to_string(3 + b.params.size()) + "      !NLINES\n";
    s += b.model + "\n" + b.lists + "\n" + b.flags + "\n";
    for (const auto& p : b.params) s += p + "\n";
    return s;
}

std::string box_model(const std::string& units) {
    return "ZUZOVOZA MODEL 1\n"
           "UNITS " + units + "\n"
           "SYMMETRY 1 0\n"
           "DIVMULT 2\n"
           "VAR T 1.0 0.5 2.0\n"
           "VAR broken 1 0 2 error=5\n"
           "# half box 4 x 2 x T, x >= 0\n"
           "QUAD bottom 0 -1 -$T  2 -1 -$T  2 1 -$T  0 1 -$T  div=2x2\n"
           "QUAD side   2 -1 -$T  2 -1 0  &\n"
           "            2 1 0  2 1 -$T\n"
           "QUAD front  0 -1 -$T  0 -1 0  2 -1 0  2 -1 -$T  div=2x1 orient=1\n"
           "QUAD bad    0 1 -1  2 1 -1  2 1 0  0 1 0  error=7 errkind=S\n"
           "LIST Hull bottom side front\n";
}

std::string cylinder_model() {
    return "ZUZOVOZA MODEL 1\n"
           "UNITS m\n"
           "SYMMETRY 0 0 3 4\n"
           "CYLINDER wall 0 0 1 -1 0 0 90 div=2x1\n"
           "DISC base 0 0 -1 1 0 90 orient=1\n";
}

}  // namespace zorva::test
