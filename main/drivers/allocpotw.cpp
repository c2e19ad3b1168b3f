// Symmetry components of the POTEN stage: the run's symmetry case and the
// per-mode symmetry classes IMODE become the lists of kept components and
// the solution order of the modes.
#include "geometry/model.hpp"
#include "geometry/symmetry.hpp"
#include "main/drivers/drivers.hpp"
#include "main/symmetry.hpp"

namespace zorva {

void ALLOCPOTW(int NMODT, int IDIFF) {
    using namespace sym;
    const SymCase& c = symcase(model::ISX, model::ISY);
    int n = NMODT > 0 ? NMODT : 0;
    IMODORD.allocate(n);
    IMODSC.allocate(n, 4);
    IMODPOS.allocate(n);

    NIMAGE = c.nimage;
    IMAGEID.fill(0);
    ISYMF.fill(0);
    ISYMC.fill(0);
    NMODSC.fill(0);
    NSYMRHS.fill(0);
    for (int i = 1; i <= 4; ++i) IMAGEID[static_cast<std::size_t>(i)] = c.imageid[static_cast<std::size_t>(i - 1)];
    NSYMF = c.nsymf;
    NSYMD = c.nsymd;
    NSYMC = 0;
    NSOLC = 0;
    if (NSYMF < 1) return;

    int nrhs = 0;
    int next = 0;  // next entry of the rigid-mode list D
    for (int k = 1; k <= NSYMF; ++k) {
        auto uk = static_cast<std::size_t>(k - 1);
        int id = c.isymf[uk];
        int r = c.nrig[uk];
        ISYMF[static_cast<std::size_t>(k)] = id;
        int j = NSYMC + 1;
        int count = 0;
        for (int m = 1; m <= n; ++m) {
            int cls = model::IMODE(m);
            if (cls <= 0) continue;
            bool match = false;
            for (int q = 0; q < r; ++q) match = match || c.mrig[static_cast<std::size_t>(next + q)] == cls;
            if (!match) continue;
            ++count;
            IMODSC(count, j) = m;
            ++NSOLC;
            IMODORD(NSOLC) = m;
            IMODPOS(m) = NSOLC;
        }
        next += r;
        // The diffraction problem needs every component, even one without a
        // solved mode.
        if (count >= 1 || IDIFF == 1) {
            NSYMC = j;
            ISYMC[static_cast<std::size_t>(j)] = id;
            NMODSC[static_cast<std::size_t>(j)] = count;
            for (int e = 1; e <= NSYMD; ++e)
                NSYMRHS[static_cast<std::size_t>(++nrhs)] = c.isymd[static_cast<std::size_t>((k - 1) * NSYMD + e - 1)];
        }
    }
}

void SYMTOKERN() {
    // The Rankine kernels read the symmetry set-up from their own tables.
    geo::NIMAGE = sym::NIMAGE;
    geo::NSYMC = sym::NSYMC;
    geo::NSOLC = sym::NSOLC;
    for (int k = 0; k < 4; ++k) {
        geo::IMGSYM[k] = sym::IMAGEID[static_cast<std::size_t>(k + 1)];
        geo::ICOMPSYM[k] = sym::ISYMC[static_cast<std::size_t>(k + 1)];
    }
    geo::NMODCOMP.allocate(4);
    for (int k = 1; k <= 4; ++k) geo::NMODCOMP(k) = sym::NMODSC[static_cast<std::size_t>(k)];
    geo::IMODSC = sym::IMODSC;
    geo::IMODPOS = sym::IMODPOS;
}

}  // namespace zorva
