#include "tests/support/modules.hpp"

#include "ctrlsurf/csfdata.hpp"
#include "force/bodypts.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "kernels/wavegreen_fd.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/irrfs.hpp"
#include "panels/paneldata.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"

namespace zorva::test {

void reset_modules() {
    cfg::reset();
    fnames::reset();
    model::reset();
    model::reset_more();
    run::reset();
    sym::reset();
    pnl::reset();
    pnl::reset_geom();
    wl::reset();
    ifs::reset();
    frc::reset();
    frc::reset_res();
    frc::reset_bpt();
    frc::reset_hobody();
    wgcoef::reset();
    csf::reset();
    slv::reset();
    slv::store_reset();
}

}  // namespace zorva::test
