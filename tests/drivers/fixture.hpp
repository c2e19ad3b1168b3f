// Shared set-up of the driver tests: a fresh working directory, every
// shared module back at its start, and a one-panel model for the model
// input (list file, configuration, potential control and geometry files).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <map>
#include <cstdio>
#include <functional>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "main/config.hpp"
#include "main/drivers/drivers.hpp"
#include "main/fnames.hpp"
#include "main/runparams.hpp"
#include "main/symmetry.hpp"
#include "p2f/p2f.hpp"
#include "p2f/p2flayout.hpp"
#include "p2f/forcedata.hpp"
#include "panels/geomdata.hpp"
#include "panels/paneldata.hpp"
#include "solver/matrices.hpp"
#include "solver/scrstore.hpp"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

// Records of a drift file: (first heading, label) -> complex value.
inline std::map<std::pair<int, int>, std::complex<double>> drift_records(const std::vector<std::string>& lines) {
    std::map<std::pair<int, int>, std::complex<double>> out;
    for (const auto& l : lines) {
        std::istringstream in(l);
        double per, b1, b2, mod, pha, re, im;
        int label;
        if (in >> per >> b1 >> b2 >> label >> mod >> pha >> re >> im)
            out[{static_cast<int>(std::lround(b1)), label}] = {re, im};
    }
    return out;
}

// Keyboard input that answers "c" to every question and calls `f` with the
// number of the question (from 1) before it.
class CheckInput : public std::streambuf {
public:
    std::function<void(int)> f;
    int n = 0;
protected:
    int_type underflow() override {
        if (f) f(++n);
        setg(buf, buf, buf + 2);
        return traits_type::to_int_type(buf[0]);
    }
private:
    char buf[2] = {'c', '\n'};
};

class DriverTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fresh();
    }
    void TearDown() override {
        pnl::reset();
        slv::reset();
        slv::store_reset();
        chan::set_scratch_path("");
        TempDirTest::TearDown();
    }
    // Every shared module back at its start.
    static void reset_modules() { test::reset_modules(); }
    // A change of the run made once, inside the POTEN period loop, by
    // `first_at_check`.
    static inline std::function<void()> at_first;
    // Every module back at its start for one more run in the same test.
    void fresh() {
        chan::close(1);
        reset_modules();
        at_first = nullptr;
        std::remove("break.zrv");
        chan::set_keyboard(&keyboard);
    }
    // A potential control file: `head` holds the lines of ISOR and IRR (left
    // out where the configuration gives them), `quad` IQUAD ILOG IDIAG,
    // `raddiff` IRAD IDIFF, `per` NPER and the periods, `beta` NBETA and
    // the headings.  By default two periods of 10 s and 5 s, one heading.
    static std::string pot(const std::string& head = "0\n0\n", const std::string& quad = "0 0 0",
                           const std::string& raddiff = "1 1", const std::string& per = "2\n10. 5.",
                           const std::string& beta = "1\n0.") {
        return "Test model\n" + head + "0. 0. 0. 0. 0.\n" + quad + "\n" + raddiff + "\n1 1 1 1 1 1\n" + per + "\n" +
               beta + "\n";
    }
    // The same with water depth `hbot` (the first number of its line).
    static std::string pot_depth(const std::string& hbot, const std::string& head = "0\n0\n") {
        std::string p = pot(head);
        return p.replace(p.find("0. 0. 0. 0. 0."), 2, hbot + " ");
    }
    static constexpr const char* GDF =
        "One square panel\n1.0 9.80665\n0 0\n1\n"
        "-1.0577 -0.3506 -0.0918  -0.6494 0.0577 -0.9082\n0.0577 -0.6494 -0.9082  -0.3506 -1.0577 -0.0918\n";
    // The list file names the configuration file, which holds `lines`, the
    // potential control file, which holds `potfile`, the geometry file,
    // which holds `gdf` (by default one square panel 1 x 1, centroid
    // (-0.5, -0.5, -0.5), normal along (1, 1, 1): the real geometry step
    // finds the same volume about each axis, no warning),
    // and the force control file run.frc (written with option 1 alone when
    // there is none yet).  The .p2f file of the run is run.p2f, the report
    // run.out.
    static void config(const std::string& lines, const std::string& potfile = pot(), const std::string& gdf = GDF) {
        write_file("fnames.zrv", "run.cfg\nrun.pot\nrun.gdf\nrun.frc\n");
        write_file("run.cfg", lines);
        write_file("run.pot", potfile);
        write_file("run.gdf", gdf);
        if (!chan::exists("run.frc")) frc_file({0, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    }
    // What the model input logs of the files above: the potential control
    // file in full, and the head of the geometry file twice (read once as the
    // global geometry file and once as the body's).
    static std::vector<std::string> model_echo() {
        std::vector<std::string> out = {"", " Input file run.pot"};
        for (const auto& l : read_lines("run.pot")) out.push_back(l);
        for (int k = 0; k < 2; ++k) {
            out.insert(out.end(), {"", " First    10 lines of input file run.gdf"});
            for (const auto& l : read_lines("run.gdf")) out.push_back(l);
        }
        return out;
    }
    // A force control file in the first layout for the one body of the
    // model: the options, ZCG, the radii of gyration, no Haskind
    // headings, and one field point when option 6 or 7 asks for it.
    static void frc_file(const std::array<int, 10>& ioptn) {
        std::ostringstream f;
        f << "Force control of the test model\n";
        for (int k = 1; k <= 9; ++k) f << ' ' << ioptn[static_cast<std::size_t>(k)];
        f << "\n0.0\n1 0 0  0 1 0  0 0 1\n0\n";
        if (ioptn[6] != 0 || ioptn[7] != 0)
            f << "1\n0.0 0.0 -0.5\n";
        else
            f << "0\n";
        write_file("run.frc", f.str());
    }
    // The POTEN stage of the model of the input files, leaving run.p2f;
    // then any change of the run not yet made is dropped and the POTEN error
    // log closed.
    static void poten_file() {
        int ierr = -1;
        POTENRUN(ierr);
        ASSERT_EQ(ierr, 0);
        at_first = nullptr;
        chan::close(1);
        for (const char* f : {"run.out", "run.hst"}) std::remove(f);
    }
    // A geometry-kernel body without a model: the geometry run's body
    // becomes one at the first check of the period loop, with the head of
    // rgkinit.txt that the geometry reader writes for it (the .p2f file
    // then carries it; the POTEN set-up's RGKDONE is behind).
    static void kernel_body() {
        at_first = [] {
            model::NRGKBODY = 1;
            chan::open(3, fnames::RUNFILES[3], chan::Status::Replace);
            for (const char* l : {"     0            !ILOWHI", "     9.80665      !GRAV", "     1            !NBODY"})
                chan::write_line(3, l);
            chan::close(3);
            model::NRGKLINES = 3;
        };
        first_at_check();
    }
    // The model input cannot read a higher-order model yet: at the first
    // period's check before its SOLVE the run becomes one of one patch (every maximum
    // 1, the body of the geometry-model kind) with zero tables.
    static void higher_order_body() {
        at_first = [] {
            using namespace model;
            const int nb = cfg::NBODY, nm = NMODT;
            cfg::ILOWHI = 1;
            NPATCHT = NPATCHBD = 1;
            NCOEFT = NPANT = 0;
            MAXKNOT = MAXKUG = MAXKVG = MAXKNU = MAXKNV = MAXKU = MAXKV = MAXQU = MAXQV = MAXNU = MAXNV = NQP = 1;
            IGDEF.allocate(nb);
            IGDEF.fill(2);
            NPATCH.allocate(nb);
            NPATCH.fill(1);
            NGXLINE.allocate(nb);
            for (auto* a : {&KU, &KV, &NU, &NV, &NBU, &NBV, &IQUI, &IQVI, &IBPTH, &ITRIM, &IWTL, &IFSPAT, &IPRL, &IPREF})
                a->allocate(1);
            for (auto* a : {&IPSTART, &IPATOFF, &NPATCHB}) a->allocate(nb);
            IPSTART.fill(1);
            NPATCHB.fill(1);
            IBPTH.fill(1);
            IPRL.fill(1);
            IPREF.fill(1);
            XQP.allocate(3, 1);
            ENQP.allocate(3, 1);
            WQP.allocate(1);
            VNQP.allocate(nm, 1);
            for (auto* a : {&HOTAB1, &HOTAB2, &HOTAB3, &HOTAB4, &HOTAB5, &HOTAB6}) a->allocate(1, 1);
            HOTAB7.allocate(1, 1, 1);
            HOTAB8.allocate(1, 1, 1);
            IDIPSYM = 0;
        };
        first_at_check(2);
    }
    // Reads the .p2f file the stage wrote as the FORCE stage does, velocities
    // kept, and calls CHECK after each period; the periods read.
    static int p2f_velocities(const std::function<void(int)>& check) {
        run::IOPTN[5] = 1;
        if (chan::open(13, "run.p2f", chan::Status::Old, chan::Form::Unformatted) != 0) return -1;
        int ierr = 0, j = 0;
        RDP2FH(13, ierr);
        if (ierr == 0) RDP2F(13, ierr);
        if (ierr == 0 && model::NRGKBODY > 0) RDP2FRGK(13, ierr);
        p2f::Pass p(p2f::Pass::Dir::Read, 13);
        for (std::string line; ierr == 0;) {
            p2f::lay_line(p, "T", line, 72);
            if (!p.ok()) ierr = 1;
            if (line.rfind('*', 0) == 0) break;
        }
        frc::NBETA0 = model::NBETA;
        frc::NBETAP = std::max(model::NBETA, 1);
        for (j = 1; ierr == 0 && j <= model::NPER; ++j) {
            RDP2FPOT(13, model::IPERFL(j), ierr);
            if (ierr == 0) check(j);
        }
        chan::close(13);
        return ierr == 0 ? j - 1 : -1;
    }


    // A hook inside the POTEN period loop: with the break file present the
    // loop asks at the start of every period and again before its SOLVE
    // (after the assembly); each answer is "c" (continue), and `f` is called
    // before it with the number of the check (1, 2 in period 1, 3, 4 in
    // period 2, ...).
    static inline CheckInput checkbuf;
    static inline std::istream checkin{&checkbuf};
    // `at_first` run at check `nth` of the POTEN period loop (1: the start
    // of the first period, after the model input, the geometry step and the
    // Rankine integrals; 2: before its SOLVE); the break file is removed
    // then, so that no later check asks.
    static void first_at_check(int nth = 1) {
        at_check([nth](int n) {
            if (n == nth) std::remove("break.zrv");
            if (n == nth && at_first) {
                auto f = std::move(at_first);
                at_first = nullptr;
                f();
            }
        });
    }
    static void at_check(std::function<void(int)> f) {
        write_file("break.zrv", "");
        checkbuf.f = std::move(f);
        checkbuf.n = 0;
        checkin.clear();
        chan::set_keyboard(&checkin);
    }
};

}  // namespace zorva::test
