// Fixture of the model-input tests: a fresh working directory with the
// shared model, the configuration and the file names reset, and helpers to
// copy an example's inputs and run the model input as the POTEN stage does.
#pragma once

#include <filesystem>
#include <string>

#include "common/channels.hpp"
#include "common/datetime.hpp"
#include "geometry/model.hpp"
#include "geometry/modelmore.hpp"
#include "geometry/modelin.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"
#include "panels/geom.hpp"
#include "tests/support/modules.hpp"
#include "tests/support/testdir.hpp"

namespace zorva::test {

class ModelTest : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        model::reset();
        model::reset_more();
        cfg::reset();
        fnames::reset();
    }
    void TearDown() override {
        model::reset();
        model::reset_more();
        cfg::reset();
        fnames::reset();
        TempDirTest::TearDown();
    }

    // Back to a clean state in the same working directory (for tables of
    // cases within one test).
    void fresh() {
        chan::reset();
        chan::set_keyboard(&keyboard);
        chan::set_screen(&screen);
        screen.str("");
        model::reset();
        model::reset_more();
        cfg::reset();
        fnames::reset();
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
            std::filesystem::remove_all(e.path());
    }

    // Copies the input files of examples/<name> into the working directory.
    static void copy_example(const std::string& name) { test::copy_example(name); }

    // Configuration (POTEN) and model input; returns GETIP's status.
    int getip() {
        int ierr = 0;
        fnames::SETFNAMES(11, chan::KEYBOARD, chan::SCREEN, fnames::RUNFILES[5], fnames::EXTS, -1, ierr);
        if (ierr != 0) return -1;
        cfg::RDCONFIG(0, ierr);
        if (ierr != 0) return -1;
        DATETIME(RUNDATE, RUNTIME);  // as the stage's error log does
        int imodfl = 9, nbetax = 0;
        GETIP(imodfl, nbetax, ierr);
        NBETAX = nbetax;
        IMODFL = imodfl;
        return ierr;
    }

    // A one-body run of the box's periods and headings with the given
    // configuration lines and geometry file.
    static void one_body_run(const std::string& cfgtext, const std::string& gdf) {
        write_file("fnames.zrv", "b.cfg\nb.pot\nb.gdf\n");
        write_file("b.cfg", "ILOWHI=0\n" + cfgtext);
        write_file("b.pot", "B\n0\n0\n0. 0. 0. 0. 0.\n0 0 0\n1 1\n1 1 1 1 1 1\n1\n5.\n1\n0.\n");
        write_file("b.gdf", gdf);
    }

    // Replaces line `n` (from 1) of a file.
    static void set_line(const std::string& file, int n, const std::string& text) {
        auto lines = read_lines(file);
        lines.at(static_cast<std::size_t>(n - 1)) = text;
        std::string all;
        for (const auto& l : lines) all += l + "\n";
        write_file(file, all);
    }

    bool said(const std::string& text) const { return screen.str().find(text) != std::string::npos; }

    int NBETAX = 0, IMODFL = 0;
};

// The model input followed by the geometry step (panel tables and
// hydrostatics), every module reset around each test.
class ModelHydroTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        reset_modules();
    }
    void TearDown() override {
        reset_modules();
        ModelTest::TearDown();
    }
    // GETIP and GEOMSTAT; GEOMSTAT's status, -1 when the input failed.
    int hydro() {
        if (getip() != 0) return -1;
        int ierr = 0;
        GEOMSTAT(model::NEQN, 0, ierr);
        return ierr;
    }
};

}  // namespace zorva::test
