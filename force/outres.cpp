// Report sections and numeric records of the added mass and damping, the
// exciting forces, the motions and the drift forces of a period.
#include <string>

#include "force/force.hpp"
#include "force/writer.hpp"
#include "geometry/model.hpp"
#include "main/symmetry.hpp"
#include "p2f/forcedata.hpp"

namespace zorva {

using fout::nint;
using fout::Writer;

namespace {

// True when some symmetry component solves both modes I and J.
bool coupled(int I, int J) {
    for (int k = 1; k <= sym::NSYMC; ++k) {
        bool hi = false, hj = false;
        for (int a = 1; a <= sym::NMODSC[static_cast<std::size_t>(k)]; ++a) {
            hi = hi || sym::IMODSC(a, k) == I;
            hj = hj || sym::IMODSC(a, k) == J;
        }
        if (hi && hj) return true;
    }
    return false;
}

enum class Kind { HASK, DIFF, RAO };

void outcplx(Arr2<cplx>* Xw, const Arr2<cplx>& X, Kind kind, float PER, int IUOUT, int NOOUT, int IUNUM,
             std::string_view NAME, int& IERR) {
    Writer w(IUOUT, NOOUT, IUNUM, NAME, IERR);
    if (!w.ok()) return;
    const bool wm = frc::NMODWM > 0 && kind != Kind::DIFF;
    const char* title = kind == Kind::HASK
                            ? (wm ? "(/,/,'  WAVEMAKER EXCITING FORCES AND MOMENTS',/)"
                                  : "(/,/,'    HASKIND EXCITING FORCES AND MOMENTS',/)")
                        : kind == Kind::DIFF ? "(/,/,'    DIFFRACTION EXCITING FORCES AND MOMENTS',/)"
                                             : "(/,/,'    RESPONSE AMPLITUDE OPERATORS',/)";
    const char* cols = kind == Kind::RAO ? "'     I    Mod[RAO(I)]    Pha[RAO(I)]',/)" : "'     I     Mod[Xh(I)]     Pha[Xh(I)]',/)";
    const std::string ghead = std::string("(1X,' Wave Heading (deg) :  ',I5,/,/,") + cols;
    const std::string gwm = std::string("(1X,' Wavemaker mode :  ',I5,/,/,") + cols;
    const char* line = kind == Kind::RAO ? "(I6,1P,E15.5,I15)" : "(I6,1P,E15.6,I15)";
    w.rep(title, {});

    const int ngroup = wm ? frc::NMODWM : model::NBETA;
    const int nrow = wm ? frc::NMODBD : sym::NSOLC;
    for (int g = 1; g <= ngroup && w.ok(); ++g) {
        if (wm) w.rep(gwm, {g});
        else w.rep(ghead, {nint(model::BETA(g))});
        for (int a = 1; a <= nrow; ++a) {
            const int r = frc::MODCOL(a);
            int I = frc::MODNUM(r);
            float amod, pha, xr, xi;
            int ipha;
            MODPHA(X(r, g), amod, pha, xr, xi, ipha);
            if (kind == Kind::RAO && frc::MODE.allocated() && frc::MODE(I) == 0) {
                I = -I;
                (*Xw)(r, g) = cplx{};
            }
            w.rep(line, {I, amod, ipha});
            if (wm) w.num("(E14.6,2I6,1P,4E14.6)", {PER, g, I, amod, pha, xr, xi});
            else w.num("(2E14.6,I6,1P,4E14.6)", {PER, model::BETA(g), I, amod, pha, xr, xi});
        }
        w.rep("(1X,/)", {});
    }
    w.done();
}

}  // namespace

void OUTADMS(const Arr2<float>& A, const Arr2<float>& B, float PER, int IUOUT, int NOOUT, int IUNUM,
             std::string_view NAME, int IPERFL, int& IERR) {
    Writer w(IUOUT, NOOUT, IUNUM, NAME, IERR);
    if (!w.ok()) return;
    if (IPERFL == 0)
        w.rep("(/,/,'    ADDED-MASS AND DAMPING COEFFICIENTS',/,'     I     J         A(I,J)         B(I,J)',/)", {});
    else
        w.rep("(/,/,'    ADDED-MASS COEFFICIENTS',/,'     I     J         A(I,J)',/)", {});
    for (int a = 1; a <= sym::NSOLC; ++a)
        for (int b = 1; b <= sym::NSOLC; ++b) {
            const int r = frc::MODCOL(a), s = frc::MODCOL(b);
            const int I = frc::MODNUM(r), J = frc::MODNUM(s);
            if (!coupled(I, J)) continue;
            if (IPERFL == 0) {
                w.rep("(2I6,1P,2E15.6)", {I, J, A(r, s), B(r, s)});
                w.num("(E14.6,2I6,1P,2E14.6)", {PER, I, J, A(r, s), B(r, s)});
            } else {
                w.rep("(2I6,1P,2E15.6)", {I, J, A(r, s)});
                w.num("(E14.6,2I6,1P,2E14.6)", {PER, I, J, A(r, s)});
            }
        }
    w.rep("(1X,/)", {});
    w.done();
}

void OUTHASK(const Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR) {
    outcplx(nullptr, X, Kind::HASK, PER, IUOUT, NOOUT, IUNUM, NAME, IERR);
}

void OUTDIFF(const Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR) {
    outcplx(nullptr, X, Kind::DIFF, PER, IUOUT, NOOUT, IUNUM, NAME, IERR);
}

void OUTRAO(Arr2<cplx>& X, float PER, int IUOUT, int NOOUT, int IUNUM, std::string_view NAME, int& IERR) {
    outcplx(&X, X, Kind::RAO, PER, IUOUT, NOOUT, IUNUM, NAME, IERR);
}

void OUTDRIFT(const Arr2<cplx>& D1, const Arr2<cplx>& D2, float PER, int IUOUT, int NOOUT, int IUNUM,
              std::string_view NAME, int NB, int IOPT, int ICS, int& IERR) {
    Writer w(IUOUT, NOOUT, IUNUM, NAME, IERR);
    if (!w.ok()) return;
    if (NB == 0)
        w.rep("(/,/,' SURGE, SWAY & YAW DRIFT FORCES',' (Momentum Conservation)',/)", {});
    else if (ICS == 0)
        w.rep("(/,/,' SURGE, SWAY, HEAVE, ROLL, PITCH & YAW DRIFT FORCES',' (Pressure Integration)',/)", {});
    else
        w.rep("(/,/,' SURGE, SWAY, HEAVE, ROLL, PITCH & YAW DRIFT FORCES',' (Control Surface)',/)", {});
    const int nh = frc::NBETAF;
    const bool twocol = NB != 0 && model::IRAD != -1;
    int p = 0;
    for (int i = 1; i <= nh && w.ok(); ++i)
        for (int j = i; j <= (IOPT == 1 ? i : nh); ++j) {
            ++p;
            const float bi = model::BETA(i), bj = model::BETA(j);
            if (model::IDIFF != -1) w.rep("(1X,' Wave Heading (deg) :  ',2(I5,5X),/)", {nint(bi), nint(bj)});
            if (twocol)
                w.rep("(5X,'I      Mod[F(I)]    Pha[F(I)]      Mod[F(I)]    Pha[F(I)]',/)", {});
            else
                w.rep("('     I      Mod[F(I)]    Pha[F(I)]',/)", {});
            float amod, pha, xr, xi, ymod, ypha, yr, yi;
            int ipha, iypha;
            if (NB == 0) {
                static constexpr int LABEL[3] = {1, 2, 6};
                for (int k = 1; k <= 3; ++k) {
                    MODPHA(D1(k, p), amod, pha, xr, xi, ipha);
                    w.rep("(I6,1P,E15.5,I13)", {LABEL[k - 1], amod, ipha});
                    w.num("(3E14.6,I6,1P,4(E14.6))", {PER, bi, bj, LABEL[k - 1], amod, pha, xr, xi});
                }
            } else {
                for (int b = 1; b <= NB; ++b) {
                    for (int m = 6 * (b - 1) + 1; m <= 6 * b; ++m) {
                        MODPHA(D1(m, p), amod, pha, xr, xi, ipha);
                        w.num("(3E14.6,I6,1P,4(E14.6))", {PER, bi, bj, m, amod, pha, xr, xi});
                        if (m >= 6 * (b - 1) + 4 && model::IRAD != -1) {
                            MODPHA(D2(m, p), ymod, ypha, yr, yi, iypha);
                            w.rep("(I6,1P,2(E15.5,I13))", {m, amod, ipha, ymod, iypha});
                        } else {
                            w.rep("(I6,1P,E15.5,I13)", {m, amod, ipha});
                        }
                    }
                    if (model::IRAD != -1)
                        for (int m = 6 * (b - 1) + 4; m <= 6 * b; ++m) {
                            MODPHA(D2(m, p), ymod, ypha, yr, yi, iypha);
                            w.num("(3E14.6,I6,1P,4(E14.6))", {PER, bi, bj, -m, ymod, ypha, yr, yi});
                        }
                }
            }
            w.rep("(1X,/)", {});
        }
    w.done();
}

}  // namespace zorva
