// Head of each period of the FORCE stage: the default motion amplitudes and
// the period banner of the report.
#include <algorithm>

#include "common/fmtwrite.hpp"
#include "common/messages.hpp"
#include "force/force.hpp"
#include "force/forceres.hpp"
#include "geometry/model.hpp"
#include "main/runparams.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

void SETMODFAC(float /*PER*/, int IPFLAG) {
    using frc::RAO;
    // Unit amplitudes when the motions will be solved, without diffraction
    // or at a limit period; bodies held fixed otherwise.
    float f = 1.0f;
    if (model::IRAD == -1) f = 0.0f;
    else if (run::IOPTN[4] == 0 && model::IDIFF >= 0 && IPFLAG == 0) f = 0.0f;
    if (!RAO.allocated()) return;
    const int nm = static_cast<int>(RAO.extent(1));
    const int nb = static_cast<int>(std::min<long>(frc::NBETAF, RAO.extent(2)));
    for (int j = 1; j <= nb; ++j)
        for (int i = 1; i <= nm; ++i) {
            const int flag = frc::MODEC.allocated() && i <= frc::MODEC.extent(1) ? frc::MODEC(i) : 1;
            RAO(i, j) = cplx(f * static_cast<float>(flag), 0.0f);
        }
}

void WRPERHDR(float PER, float WNUM, int IUNIT) {
    auto both = [IUNIT](std::string_view f, std::initializer_list<fmt::Arg> a) {
        fmt::write(IUNIT, f, a);
        fmt::write(IUSCR, f, a);
    };
    both("(1X,72('*'),/)", {});
    if (PER > 1.0e-6f)
        both("(' Wave period (sec) = ',1P,E13.6,8X,'Wavenumber (kL) = ',E13.6)", {PER, WNUM});
    else if (PER <= 1.0e-6f && PER >= -1.0e-6f)
        both("(' Wave period = zero',32X,' Wavenumber = infinite ')", {});
    else
        both("(' Wave period = infinite',32X,' Wavenumber = zero ')", {});
    both("(1X,72('-'))", {});
}

}  // namespace zorva
