// RGKINIT, RGKINITCSF, RGKDONE and RGKDONECSF: the control files, model
// loading and the log rgklog.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/surflink/fixture.hpp"

namespace zorva::test {
namespace {

const std::string EQ(53, '=');
const std::string DASH(53, '-');

std::string two_bodies() {
    Block b1;
    b1.xbody = "      0.00      0.00      0.10      0.00";
    b1.title = "   Box body title   ";
    b1.isxy = "   0   1";
    b1.npatch_igdef = "   2   2";
    b1.flags = "1 3 0";
    b1.params = {"T 1 2.0", "T 1 2.5", "", "nothing 1 2", "side", "side 4", "side 4 2.5", "side 13 1.0"};
    Block b2;
    b2.ib = 2;
    b2.irr = 1;
    b2.itkms2 = 0;
    b2.gdf = "cyl.gdf";
    b2.ms2 = "cyl_ms2.gdf";
    b2.xbody = "0 0 0 45";
    b2.title = "Cylinder";
    b2.model = "cyl.zzm";
    b2.lists = "DEFAULT";
    b2.flags = "0 0 1";
    return rgk_head(1, "9.80665", 2) + rgk_block(b1) + rgk_block(b2);
}

using SurflinkInit = SurflinkTest;

// The whole log of a run with two bodies: parameter lines of every kind,
// DivMult override, unit conversion, symmetry warnings, rotational
// symmetry, a positioning warning, the error listing and the patch table.
TEST_F(SurflinkInit, LogOfTwoBodies) {
    write_file("rgkinit.txt", two_bodies());
    write_file("box.zzm", box_model("ft"));
    write_file("cyl.zzm", cylinder_model());
    ASSERT_EQ(init(), 0);
    RGKDONE();
    const std::string T = FIXED_TIME;
    const std::vector<std::string> expected = {
        "rgklog.txt -- log file for SURFLINK.DLL",
        "SURFLINK version 2.02",
        "ZUZovoza.dll version: 1.0 (stand-in kernel)",
        EQ,
        "Starting procedure RGKINIT at " + T,
        "ILOWHI: 1",
        "GRAV: 9.806650",
        "Length unit (inferred from GRAV) is m.",
        "NBODY: 2",
        DASH,
        "Data for body no. 1",
        "IRR: 0  ITKMS2: 1",
        "Filename: box.gdf",
        "2nd filename: box_ms2.gdf",
        "XBODY:    0.000   0.000   0.100   0.000",
        "Box body title",
        "ULEN:   1.000  GRAV:  9.80665",
        "ISX: 0  ISY: 1",
        "NPATCH: 2  IGDEF: 2",
        "MS2 filename: box.zzm",
        "Entity List of wetted surfaces: Hull",
        "Tank Entity List: ",
        "Model will be evaluated in ACCURATE mode.",
        "Unit normals are outward.",
        "Opened RG model file: box.zzm",
        "Parameter line 1: T 1 2.0 ",
        "Setting value of Variable 'T' to    2.00000 .",
        "Parameter line 2: T 1 2.5 ",
        "WARNING: Value specified (   2.50000) for Variable 'T' is out of range (   0.50000 to    2.00000).",
        "Parameter line 3:  ",
        "WARNING: Blank parameter line.",
        "Parameter line 4: nothing 1 2 ",
        "WARNING: Entity 'nothing' not found in model.",
        "Parameter line 5: side ",
        "WARNING: No float-index specified for parameter 5",
        "Parameter line 6: side 4 ",
        "WARNING: No value specified for parameter 6",
        "Parameter line 7: side 4 2.5 ",
        "Setting value of 4th float of Quad side to    2.50000 .",
        "Parameter line 8: side 13 1.0 ",
        "WARNING: Float-index (13) is out of range (1 to 12)",
        "Overriding model DivMult (2) with 3.",
        "Model units are ft; converting model to m.",
        "WARNING: Model X symmetry does not agree with ISX.",
        "WARNING: Model Y symmetry does not agree with ISY.",
        "Body 1 surface 1 name: bottom",
        "Body 1 surface 2 name: side",
        "WARNING: When positioned by XBODY, surface side",
        "extends   1.00e-01    above the global free surface.",
        "Do body surfaces qualify for making low-order panels? Y",
        "Do body surfaces qualify for higher-order analysis? Y",
        "2 entities are in error",
        "error no.    entity type and name",
        "M5     Variable broken",
        "S7     Quad bad",
        DASH,
        "Data for body no. 2",
        "IRR: 1  ITKMS2: 0",
        "Filename: cyl.gdf",
        "2nd filename: cyl_ms2.gdf",
        "XBODY:    0.000   0.000   0.000  45.000",
        "Cylinder",
        "ULEN:   1.000  GRAV:  9.80665",
        "ISX: 0  ISY: 0",
        "NPATCH: 0  IGDEF: 2",
        "MS2 filename: cyl.zzm",
        "Entity List of wetted surfaces: DEFAULT",
        "Tank Entity List: ",
        "Model will be evaluated in FAST mode.",
        "Unit normals are inward.",
        "Opened RG model file: cyl.zzm",
        "Model has 4-fold rotational symmetry about the Z axis.",
        "Body 2 surface 1 name: wall",
        "Body 2 surface 2 name: base",
        "Do body surfaces qualify for making low-order panels? Y",
        "Do body surfaces qualify for higher-order analysis? Y",
        DASH,
        " body  isurf  patches ptype   ior  surface name",
        "    1     1    1 -  1     1     0  bottom",
        "    1     2    2 -  2     1     0  side",
        "    2     1    1 -  1     1     0  wall",
        "    2     2    2 -  2     1     0  wall",
        "    2     3    3 -  3     1     0  wall",
        "    2     4    4 -  4     1     0  wall",
        "    2     5    5 -  5     1     1  base",
        "    2     6    6 -  6     1     1  base",
        "    2     7    7 -  7     1     1  base",
        "    2     8    8 -  8     1     1  base",
        DASH,
        "Exiting RGKINIT at " + T + ", err = 0",
        EQ,
        "There were 0 RGKEVAL calls.",
        "There were 0 RGKX2NUV calls.",
        "Executing RGKDONE at " + T,
    };
    EXPECT_EQ(log(), expected);
}

// A UTF-8 byte-order mark before the first line of the control file and of
// the model files is skipped: the log is that of the files without it.
TEST_F(SurflinkInit, ByteOrderMarksAreSkipped) {
    const std::string BOM = "\xEF\xBB\xBF";
    std::vector<std::string> logs[2];
    for (int with = 0; with < 2; ++with) {
        const std::string mark = with ? BOM : "";
        write_file("rgkinit.txt", mark + two_bodies());
        write_file("box.zzm", mark + box_model("ft"));
        write_file("cyl.zzm", mark + cylinder_model());
        ASSERT_EQ(init(), 0) << with;
        RGKDONE();
        logs[with] = log();
    }
    EXPECT_TRUE(std::find(logs[0].begin(), logs[0].end(), "Opened RG model file: box.zzm") != logs[0].end());
    EXPECT_EQ(logs[1], logs[0]);
}

// What the log reports is what was loaded: counts, and the model converted
// from feet with the parameters applied (T = 2 ft, the side's P10 x = 2.5 ft).
TEST_F(SurflinkInit, LoadedModelsAnswer) {
    write_file("rgkinit.txt", two_bodies());
    write_file("box.zzm", box_model("ft"));
    write_file("cyl.zzm", cylinder_model());
    ASSERT_EQ(init(), 0);
    int n = 0, n2 = 0;
    RGKNPATCH((const int[]){1}, &n);
    EXPECT_EQ(n, 2);
    RGKNPATCH((const int[]){2}, &n);
    EXPECT_EQ(n, 8);
    RGKNPAN((const int[]){1}, &n, &n2);
    EXPECT_EQ(n, 4 * 9 + 9);  // bottom 2 x 2 and side 1 x 1 divisions, DivMult 3
    EXPECT_EQ(n2, 0);
    RGKNTANK((const int[]){1}, &n);
    EXPECT_EQ(n, 0);
    // side at u = v = -1: outward normals and orientation 0 reverse v, so
    // the pane corner (0, 1) = P01 = (2, 1, -T) ft; and (1, -1) gives P11 = (2, 1, 0).
    float X[3], XU[3], XV[3];
    int ierr = -1;
    const int ib = 1, ip = 2;
    const float m1 = -1.0f, p1 = 1.0f;
    RGKEVAL(&m1, &m1, &ib, &ip, X, XU, XV, &ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_NEAR(X[0], 2 * 0.3048, 1e-6);
    EXPECT_NEAR(X[1], 1 * 0.3048, 1e-6);
    EXPECT_NEAR(X[2], -2 * 0.3048, 1e-6);
    RGKEVAL(&p1, &m1, &ib, &ip, X, XU, XV, &ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_NEAR(X[0], 2 * 0.3048, 1e-6);  // P11 = (2, 1, 0)
    EXPECT_NEAR(X[1], 1 * 0.3048, 1e-6);
    EXPECT_NEAR(X[2], 0.0, 1e-6);
    const float h = 0.0f;
    RGKEVAL(&h, &m1, &ib, &ip, X, XU, XV, &ierr);  // half way from P01 to P11 along u
    EXPECT_NEAR(X[2], -0.3048, 1e-6);
}

// GRAV of rgkinit.txt names the length unit: ratio strictly within 1 % of
// standard gravity in m, cm, mm, ft or in.
TEST_F(SurflinkInit, LengthUnitFromGravity) {
    const std::string none = "The value of GRAV does not correspond to m, ft, in, cm, or mm.";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"9.80665", "m"}, {"9.81", "m"},     {"980.665", "cm"}, {"9806.65", "mm"}, {"32.174", "ft"},
        {"386.088", "in"}, {"9.70", ""},     {"0.0", ""},       {"10.0", ""}};
    for (const auto& [grav, unit] : cases) {
        write_file("rgkinit.txt", rgk_head(0, grav, 0));
        EXPECT_EQ(init(), 0) << grav;
        const auto l = log();
        ASSERT_GE(l.size(), 9u);
        EXPECT_EQ(l[7], unit.empty() ? none : "Length unit (inferred from GRAV) is " + unit + ".") << grav;
        RGKDONE();
    }
}

// The model is converted to the inferred unit unless both measure in the
// same unit; a model without units, or a run without one, is left as it is.
TEST_F(SurflinkInit, UnitConversion) {
    struct Case {
        std::string model_units, grav;
        double factor;  // model length -> run length
        bool converted;
    };
    const std::vector<Case> cases = {
        {"m", "32.174", 1.0 / 0.3048, true}, {"ft-in", "32.174", 1.0, false}, {"m-mm", "9.80665", 1.0, false},
        {"cm", "9806.65", 10.0, true},       {"none", "9.80665", 1.0, false}, {"mm", "9.70", 1.0, false},
        {"in", "32.174", 1.0 / 12.0, true},  {"mm", "9806.65", 1.0, false}};
    for (const auto& c : cases) {
        Block b;
        b.isxy = "1 0";
        write_file("rgkinit.txt", rgk_head(1, c.grav, 1) + rgk_block(b));
        write_file("box.zzm", box_model(c.model_units));
        ASSERT_EQ(init(), 0) << c.model_units << " " << c.grav;
        bool logged_conversion = false;
        for (const auto& l : log()) logged_conversion |= l.rfind("Model units are ", 0) == 0;
        EXPECT_EQ(logged_conversion, c.converted) << c.model_units << " " << c.grav;
        // bottom (patch 1) at u = v = 1 with v reversed: pane corner (1, 0) = P10 = (2, -1, -1)
        float X[3], XU[3], XV[3];
        int ierr = -1;
        const int ib = 1, ip = 1;
        const float p1 = 1.0f;
        RGKEVAL(&p1, &p1, &ib, &ip, X, XU, XV, &ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_NEAR(X[0], 2 * c.factor, 1e-5 * c.factor);
        EXPECT_NEAR(X[1], -1 * c.factor, 1e-5 * c.factor);
        EXPECT_NEAR(X[2], -1 * c.factor, 1e-5 * c.factor);
        RGKDONE();
    }
}

// Error codes of RGKINIT, each with its log line.
TEST_F(SurflinkInit, ErrorCodes) {
    Block good;
    good.isxy = "1 0";
    Block b2 = good;
    b2.ib = 2;
    Block missing = good;
    missing.model = "missing.zzm";
    missing.params = {"T 1 1.5", "T 1 0.7"};
    Block bad_model = good;
    bad_model.model = "bad.zzm";
    Block v10 = good;
    v10.model = "v10.zzm";
    Block letters = good;
    letters.isxy = "1 x";
    std::string short_line = rgk_block(good);
    short_line.replace(short_line.find("1 0      !ISX, ISY"), 18, "1");
    Block out = good;
    out.ib = 3;
    Block isx2 = good;
    isx2.isxy = "2 0";
    Block wall = good;  // a wall in x = 0 about which the body is symmetric
    wall.isxy = "-2 0";
    Block endless = good;  // a title line without end: the reading stops there
    endless.title = std::string(1000001, 'x');
    Block divmult = good;
    divmult.flags = "1 11 0";
    const std::string head = rgk_head(1, "9.80665", 2);
    const std::string full = head + rgk_block(good);
    struct Case {
        std::string name, file, line;
        int code;
    };
    const std::vector<Case> cases = {
        {"no file", "", "Unable to open rgkinit.txt", 1},
        {"end in a block", full.substr(0, full.find("box_ms2.gdf")), "Unexpected end of file rgkinit.txt", 2},
        {"end in the head", head.substr(0, head.find("!GRAV")), "Unexpected end of file rgkinit.txt", 2},
        {"model missing", head + rgk_block(missing) + rgk_block(b2),
         "Could not open RG model file: missing.zzm", 3},
        {"model faulty", head + rgk_block(bad_model) + rgk_block(b2), "(error number 3)", 3},
        {"model missing: what is wrong", head + rgk_block(missing) + rgk_block(b2),
         "ERROR: missing.zzm cannot be opened (missing or not readable).", 3},
        {"model faulty: where", head + rgk_block(bad_model) + rgk_block(b2),
         "ERROR: line 3 of bad.zzm holds a faulty record (an unknown keyword, a wrong count of items, a value that "
         "is not a number or out of range, an unknown attribute, a name given twice or not found, or a line too "
         "long).",
         3},
        {"model of another version", head + rgk_block(v10) + rgk_block(b2),
         "ERROR: line 1 of v10.zzm is not the header \"ZUZOVOZA MODEL 1\": not a model file, or one of a version "
         "that this kernel does not read.",
         3},
        {"too few items", head + short_line + rgk_block(b2),
         "ERROR: Line 11 of rgkinit.txt has 1 items; 2 needed.", 7},
        {"not a number", head + rgk_block(letters) + rgk_block(b2),
         "ERROR: Item 2 of line 11 of rgkinit.txt is not a number: x", 7},
        {"ISX 2", head + rgk_block(isx2) + rgk_block(b2),
         "ERROR: ISX and ISY in line 11 of rgkinit.txt must be 0 or 1 (or -1, -2 for a wall).", 7},
        {"wall", head + rgk_block(wall), "ISX: -2  ISY: 0", 0},
        {"line too long", head + rgk_block(endless) + rgk_block(b2),
         "ERROR: Line 9 of rgkinit.txt is longer than 1000000 characters.", 7},
        {"DivMult 11", head + rgk_block(divmult) + rgk_block(b2),
         "ERROR: DivMult 11 in line 16 of rgkinit.txt is outside 0 to 10.", 7},
        {"body out of range", head + rgk_block(out), "ERROR: Body number 3 in rgkinit.txt is outside 1 to NBODY (2).",
         17},
        {"body twice", head + rgk_block(good) + rgk_block(good), "ERROR: Body number 1 is given twice in rgkinit.txt.",
         18},
    };
    for (const auto& c : cases) {
        std::filesystem::remove("rgkinit.txt");
        if (!c.file.empty()) write_file("rgkinit.txt", c.file);
        write_file("box.zzm", box_model());
        write_file("bad.zzm", "ZUZOVOZA MODEL 1\n# a quad of too few reals\nQUAD q 1 2 3\n");
        write_file("v10.zzm", "ZUZOVOZA MODEL 10\n" + box_model().substr(box_model().find('\n') + 1));
        EXPECT_EQ(init(), c.code) << c.name;
        EXPECT_TRUE(logged(c.line)) << c.name;
        EXPECT_EQ(log().back(), EQ) << c.name;
        EXPECT_EQ(log()[log().size() - 2], "Exiting RGKINIT at " + std::string(FIXED_TIME) +
                                               ", err = " + std::to_string(c.code))
            << c.name;
        if (c.name == "wall") {
            EXPECT_FALSE(logged("WARNING: Model X symmetry does not agree with ISX."));
        }
        if ((c.code == 3 || c.code == 7) && c.name != "line too long") {  // the run went on with the next block
            int n = 0;
            RGKNPATCH((const int[]){2}, &n);
            EXPECT_EQ(n, 3) << c.name;
        }
        RGKDONE();
    }
}

// Count queries answer -1 where nothing is loaded: before RGKINIT, after
// RGKDONE, for a body without a block and for the control surface before
// RGKINITCSF.
TEST_F(SurflinkInit, CountsBeforeLoading) {
    auto counts = [](int ib) {
        int a = 0, b = 0, c = 0, d = 0;
        RGKNPATCH(&ib, &a);
        RGKNTANK(&ib, &b);
        RGKNPAN(&ib, &c, &d);
        return std::vector<int>{a, b, c, d};
    };
    const std::vector<int> none = {-1, -1, -1, -1};
    RGKDONE();
    EXPECT_EQ(counts(1), none);
    int n = 0;
    RGKNPATCSF(&n);
    EXPECT_EQ(n, -1);

    Block b;
    b.isxy = "1 0";
    write_file("rgkinit.txt", rgk_head(1, "9.80665", 2) + rgk_block(b));
    write_file("box.zzm", box_model());
    ASSERT_EQ(init(), 0);
    EXPECT_EQ(counts(1), (std::vector<int>{3, 0, 4 * 4 + 4 + 2 * 4, 0}));
    EXPECT_EQ(counts(2), none);
    EXPECT_EQ(counts(3), none);
    RGKNPATCSF(&n);
    EXPECT_EQ(n, -1);
    int c = 0, d = 0;
    RGKNPAN((const int[]){0}, &c, &d);
    EXPECT_EQ(c, -1);

    // A second RGKINIT keeps nothing of the first.
    write_file("rgkinit.txt", rgk_head(1, "9.80665", 1));
    ASSERT_EQ(init(), 0);
    EXPECT_EQ(counts(1), none);
    EXPECT_EQ(log().front(), "rgklog.txt -- log file for SURFLINK.DLL");
}

// A log that cannot be written loses its lines; the loading goes on.
TEST_F(SurflinkInit, LogThatCannotBeWritten) {
    std::filesystem::create_directory("rgklog.txt");
    Block b;
    b.isxy = "1 0";
    write_file("rgkinit.txt", rgk_head(1, "9.80665", 1) + rgk_block(b));
    write_file("box.zzm", box_model());
    EXPECT_EQ(init(), 0);
    int n = 0;
    RGKNPATCH((const int[]){1}, &n);
    EXPECT_EQ(n, 3);
    const float u = 0, v = 0;
    float X[3], XU[3], XV[3];
    int ierr = -1, ib = 9, ip = 1;
    RGKEVAL(&u, &v, &ib, &ip, X, XU, XV, &ierr);  // an error message with nowhere to go
    EXPECT_EQ(ierr, 1);
}

// A block whose kind is not 2 ends after its NPATCH line; the next block
// is read as usual.
TEST_F(SurflinkInit, BlockOfAnotherKind) {
    Block other;
    other.npatch_igdef = "4 0";
    Block b2;
    b2.ib = 2;
    b2.isxy = "1 0";
    std::string f = rgk_head(0, "9.80665", 2) + rgk_block(other);
    f = f.substr(0, f.find("!NPATCH")) + "\n" + rgk_block(b2);
    write_file("rgkinit.txt", f);
    write_file("box.zzm", box_model());
    ASSERT_EQ(init(), 0);
    int n = 0;
    RGKNPATCH((const int[]){1}, &n);
    EXPECT_EQ(n, -1);
    RGKNPATCH((const int[]){2}, &n);
    EXPECT_EQ(n, 3);
    const auto l = log();
    const auto at = std::find(l.begin(), l.end(), "NPATCH: 4  IGDEF: 0");
    ASSERT_NE(at, l.end());
    EXPECT_EQ(*(at + 1), DASH);
    EXPECT_EQ(*(at + 2), "Data for body no. 2");
}

// The control surface goes into entry 0 after RGKINIT; RGKDONECSF releases
// it and appends its two lines.
TEST_F(SurflinkInit, ControlSurface) {
    write_file("rgkinit.txt", rgk_head(1, "9.80665", 1));
    write_file("cyl.zzm", cylinder_model());
    ASSERT_EQ(init(), 0);
    int ierr = -1, n = 0;
    RGKINITCSF(&ierr);
    EXPECT_EQ(ierr, 1);  // no rgkinitcsf.txt
    EXPECT_TRUE(logged("Unable to open rgkinitcsf.txt"));
    write_file("rgkinitcsf.txt",
               "     1            !IBODY\ncyl.csf\ncyl_ms2.csf\n0 0 0 0\nControl surface\n 1    !ILOWHICSF\n0 0\n"
               "0 2 0.5    !NPATCSF ICDEF PSZCSF\n3\ncyl.zzm\nDEFAULT\n1 0 0\n");
    RGKINITCSF(&ierr);
    EXPECT_EQ(ierr, 0);
    RGKNPATCSF(&n);
    EXPECT_EQ(n, 8);
    RGKDONECSF();
    RGKNPATCSF(&n);
    EXPECT_EQ(n, -1);
    auto l = log();
    const std::string T = FIXED_TIME;
    const std::vector<std::string> tail(l.end() - 23, l.end());
    const std::vector<std::string> expected = {
        EQ,
        "Starting procedure RGKINITCSF at " + T,
        "IBODY: 1",
        "Filename: cyl.csf",
        "2nd filename: cyl_ms2.csf",
        "XBODY:    0.000   0.000   0.000   0.000",
        "Control surface",
        "ISX: 0  ISY: 0",
        "NPATCSF: 0  ICDEF: 2  PSZCSF: 0.500",
        "MS2 filename: cyl.zzm",
        "Entity List of wetted surfaces: DEFAULT",
        "Model will be evaluated in ACCURATE mode.",
        "Unit normals are outward.",
        "Opened RG model file: cyl.zzm",
        "Model has 4-fold rotational symmetry about the Z axis.",
        "Body 0 surface 1 name: wall",
        "Body 0 surface 2 name: base",
        "Do body surfaces qualify for making low-order panels? Y",
        "Do body surfaces qualify for higher-order analysis? Y",
        "Exiting RGKINITCSF at " + T + ", err = 0",
        EQ,
        "There were 0 RGKEVALCSF calls.",
        "Executing RGKDONECSF at " + T,
    };
    EXPECT_EQ(tail, expected);

    RGKDONE();
    RGKINITCSF(&ierr);  // without RGKINIT
    EXPECT_EQ(ierr, 1);
    EXPECT_TRUE(logged("RGKINITCSF ERROR: RGKINIT has not been called."));
}

}  // namespace
}  // namespace zorva::test
