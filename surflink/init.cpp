// The control files rgkinit.txt and rgkinitcsf.txt: RGKINIT and RGKINITCSF
// read them and load one model per block.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/textline.hpp"
#include "surflink/state.hpp"
#include "surflink/surflink.h"

namespace surflink {
namespace {

constexpr const char* INITFILE = "rgkinit.txt";
constexpr const char* CSFFILE = "rgkinitcsf.txt";

using zorva::text::MAXLINE;

bool is_separator(const std::string& line) { return line.compare(0, 20, "====================") == 0; }

// What is wrong with a model file that did not load, and where: from the
// error number of the load state and the line it carries (zuzovoza.h).
void load_fault(const std::string& path, int state) {
    const int line = state / 10000;
    switch (rg_GetErrorNumber(state)) {
    case 1:
        log::put("ERROR: %s cannot be opened (missing or not readable).\n", path.c_str());
        break;
    case 2:
        log::put("ERROR: line 1 of %s is not the header \"ZUZOVOZA MODEL 1\": not a model file, or one of a "
                 "version that this kernel does not read.\n",
                 path.c_str());
        break;
    case 3:
        if (line > 0) log::put("ERROR: line %d of %s", line, path.c_str());
        else log::put("ERROR: %s", path.c_str());
        log::put(" holds a faulty record (an unknown keyword, a wrong count of items, a value that is not a number "
                 "or out of range, an unknown attribute, a name given twice or not found, or a line too long).\n");
        break;
    default:
        break;
    }
}

// A control file read line by line; a line's newline becomes a blank.
class Lines {
public:
    explicit Lines(const char* name) : name_(name), in_(name) {}
    bool open() const { return static_cast<bool>(in_); }
    const char* name() const { return name_; }
    int number() const { return n_; }
    // False at the end of the file or at a line longer than MAXLINE (a
    // file without line ends, a binary file), which ends the reading.
    bool next(std::string& line) {
        using zorva::text::Got;
        const Got got =
            zorva::text::get_line(*in_.rdbuf(), line, n_ == 0 ? zorva::text::At::Start : zorva::text::At::Within);
        if (got == Got::TooLong) too_long_ = true;
        if (got == Got::End || got == Got::TooLong) return false;
        if (got == Got::Line) line += ' ';
        for (char& c : line)
            if (c == '\r' || c == '\t') c = ' ';
        ++n_;
        return true;
    }
    bool too_long() const { return too_long_; }

private:
    const char* name_;
    std::ifstream in_;
    int n_ = 0;
    bool too_long_ = false;
};

std::vector<std::string> fields(const std::string& line) {
    std::istringstream is(line);
    std::vector<std::string> f;
    std::string t;
    while (is >> t) f.push_back(t);
    return f;
}

bool parse_int(const std::string& t, int& v) {
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end != '\0' || errno != 0 || x < -2147483647L || x > 2147483647L) return false;
    v = static_cast<int>(x);
    return true;
}

bool parse_real(const std::string& t, double& v) {
    char* end = nullptr;
    v = std::strtod(t.c_str(), &end);
    return !t.empty() && *end == '\0' && std::isfinite(v);
}

// Reads one block of a control file into entry e.
class BlockReader {
public:
    BlockReader(Lines& f, int& ierr) : f_(f), ierr_(ierr) {}

    // The next line, or false at the end of the file (ierr 2, logged).
    bool line(std::string& s) {
        if (f_.next(s)) return true;
        eof_ = true;
        if (f_.too_long()) {
            first_code(ierr_, 7);
            log::put("ERROR: Line %d of %s is longer than %d characters.\n", f_.number() + 1, f_.name(),
                     static_cast<int>(MAXLINE));
            return false;
        }
        first_code(ierr_, 2);
        log::put("Unexpected end of file %s\n", f_.name());
        return false;
    }
    bool eof() const { return eof_; }

    // A line of at least n fields; false ends the block (ierr 7 or 2).
    bool fields_of(int n, std::vector<std::string>& f) {
        std::string s;
        if (!line(s)) return false;
        f = fields(s);
        if (static_cast<int>(f.size()) >= n) return true;
        ierr_ = 7;
        log::put("ERROR: Line %d of %s has %d items; %d needed.\n", f_.number(), f_.name(), static_cast<int>(f.size()),
                 n);
        return false;
    }

    // Integers and reals of the leading fields; false ends the block (ierr 7).
    bool ints(const std::vector<std::string>& f, std::vector<int*> out) {
        for (size_t k = 0; k < out.size(); ++k)
            if (!parse_int(f[k], *out[k])) return bad(k, f[k]);
        return true;
    }
    bool real(const std::vector<std::string>& f, size_t k, double& x) { return parse_real(f[k], x) || bad(k, f[k]); }

    // Lines 3 to 14 of a block (control surface: csf true).
    void read(int e, bool csf);

private:
    bool bad(size_t k, const std::string& t) {
        ierr_ = 7;
        log::put("ERROR: Item %d of line %d of %s is not a number: %s\n", static_cast<int>(k) + 1, f_.number(),
                 f_.name(), t.c_str());
        return false;
    }
    void parameter(int model, int p, const std::string& s);

    Lines& f_;
    int& ierr_;
    bool eof_ = false;
};

void BlockReader::read(int e, bool csf) {
    State& st = S();
    Entry& en = st.e[static_cast<size_t>(e)];
    en.rec = std::make_unique<Record>();
    Record& r = *en.rec;
    std::vector<std::string> f;
    std::string s;

    if (!fields_of(1, f)) return;
    r.file = f[0];
    log::put("Filename: %s\n", r.file.c_str());
    if (!fields_of(1, f)) return;
    r.file2 = f[0];
    log::put("2nd filename: %s\n", r.file2.c_str());

    BlockNames names;
    if (!line(s)) return;
    double xbody[4] = {0.0, 0.0, 0.0, 0.0};
    f = fields(s);
    for (size_t k = 0; k < 4 && k < f.size() && parse_real(f[k], xbody[k]); ++k) {}
    log::put("XBODY: ");
    for (double x : xbody) log::put(" %7.3f", x);
    log::put("\n");
    names.zoffset = xbody[2];

    if (!line(s)) return;
    const auto b = s.find_first_not_of(' ');
    r.title = b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(' ') - b + 1);
    log::put("%s\n", r.title.c_str());

    if (csf) {
        if (!fields_of(1, f) || !ints(f, {&r.ilowhi})) return;
    } else {
        if (!fields_of(2, f) || !real(f, 0, r.ULEN) || !real(f, 1, r.GRAV)) return;
        log::put("ULEN: %7.3f  GRAV: %8.5f\n", r.ULEN, r.GRAV);
    }

    int isx = 0, isy = 0;
    if (!fields_of(2, f) || !ints(f, {&isx, &isy})) return;
    log::put("ISX: %d  ISY: %d\n", isx, isy);
    // A wall in a plane is given as -1, or -2 when the body is symmetric
    // about it too.
    if (isx < 0) isx = -1 - isx;
    if (isy < 0) isy = -1 - isy;
    if (isx < 0 || isx > 1 || isy < 0 || isy > 1) {
        ierr_ = 7;
        log::put("ERROR: ISX and ISY in line %d of %s must be 0 or 1 (or -1, -2 for a wall).\n", f_.number(),
                 f_.name());
        return;
    }
    r.symcode = isx + 2 * isy;

    int npatch = 0, igdef = 0;
    if (csf) {
        double psz = 0.0;
        if (!fields_of(3, f) || !ints(f, {&npatch, &igdef}) || !real(f, 2, psz)) return;
        log::put("NPATCSF: %d  ICDEF: %d  PSZCSF: %.3f\n", npatch, igdef, psz);
    } else {
        if (!fields_of(2, f) || !ints(f, {&npatch, &igdef})) return;
        log::put("NPATCH: %d  IGDEF: %d\n", npatch, igdef);
    }
    en.symcode = r.symcode;
    en.axis = 0;
    en.nrot = 1;
    en.igdef = igdef;
    if (igdef != 2) return;

    int nlines = 0;
    if (!fields_of(1, f) || !ints(f, {&nlines})) return;
    if (!fields_of(1, f)) return;
    const std::string path = f[0];
    log::put("MS2 filename: %s\n", path.c_str());
    if (!fields_of(1, f)) return;
    names.wetted = f[0];
    log::put("Entity List of wetted surfaces: %s\n", names.wetted.c_str());
    if (!csf) {
        names.tank = f.size() > 1 ? f[1] : "";
        log::put("Tank Entity List: %s\n", names.tank.c_str());
    }
    int accurate = 0, divmult = 0, inward = 0;
    if (!fields_of(3, f) || !ints(f, {&accurate, &divmult, &inward})) return;
    if (divmult < 0 || divmult > 10) {
        ierr_ = 7;
        log::put("ERROR: DivMult %d in line %d of %s is outside 0 to 10.\n", divmult, f_.number(), f_.name());
        return;
    }
    log::put("Model will be evaluated in %s mode.\n", accurate != 0 ? "ACCURATE" : "FAST");
    log::put("Unit normals are %s.\n", inward != 0 ? "inward" : "outward");
    r.inward = inward != 0 ? 1 : 0;

    const int res = rg_LoadModelFromFile(path.c_str(), 0, &r.model);
    if (res != 0) {
        r.model = 0;
        first_code(ierr_, 3);
        log::put("Could not open RG model file: %s\n(error number %d)\n", path.c_str(), rg_GetErrorNumber(res));
        load_fault(path, res);
        return;
    }
    log::put("Opened RG model file: %s\n", path.c_str());

    for (int p = 1; p <= nlines - 3; ++p) {
        if (!line(s)) return;
        parameter(r.model, p, s);
    }

    rg_SetUseEvalTable(r.model, accurate != 0 ? 0 : 63);
    if (divmult != 0) {
        log::put("Overriding model DivMult (%d) with %d.\n", rg_GetModelDivMult(r.model), divmult);
        rg_SetModelDivMult(r.model, divmult);
    }

    // Length units: codes of one family measure in the same unit.
    if (st.unit != 0) {
        const int m = rg_GetModelUnits(r.model), u = st.unit;
        auto family = [](int c) { return c == 3 || c == 4 ? 1 : c == 5 ? 2 : c; };
        if (!(m == 0 || m > 8 || family(m) == family(u))) {
            log::put("Model units are %s; converting model to %s.\n", rg_GetUnitNames(m), st.unitname.c_str());
            rg_ConvertModelUnits(r.model, u);
        }
    }

    int xs = 0, ys = 0, axis = 0, foldm1 = 0;
    rg_GetModelSymmetry(r.model, &xs, &ys, &axis, &foldm1);
    if (xs != isx) log::put("WARNING: Model X symmetry does not agree with ISX.\n");
    if (ys != isy) log::put("WARNING: Model Y symmetry does not agree with ISY.\n");
    if (axis > 0) {
        en.axis = axis;
        en.nrot = foldm1 + 1;
        log::put("Model has %d-fold rotational symmetry about the %c axis.\n", en.nrot, "XYZ"[(axis - 1) % 3]);
    }

    names.npatch = npatch;
    select_surfaces(e, names, ierr_);
}

void BlockReader::parameter(int model, int p, const std::string& s) {
    log::put("Parameter line %d: %s\n", p, s.c_str());
    const auto f = fields(s);
    if (f.empty()) {
        log::put("WARNING: Blank parameter line.\n");
        return;
    }
    const int h = rg_GetObjectFromName(model, f[0].c_str());
    if (h == 0) {
        log::put("WARNING: Entity '%s' not found in model.\n", f[0].c_str());
        return;
    }
    if (f.size() == 1) {
        log::put("WARNING: No float-index specified for parameter %d\n", p);
        return;
    }
    if (f.size() == 2) {
        log::put("WARNING: No value specified for parameter %d\n", p);
        return;
    }
    int k = 0;
    double x = 0.0;
    // A value beyond 1e15 is no length or angle of any model (the kernel
    // refuses such reals in its files too).
    if (!parse_int(f[1], k) || !parse_real(f[2], x) || std::fabs(x) > 1.0e15) {
        log::put("WARNING: Float-index or value of parameter %d is not a number (or beyond 1e15).\n", p);
        return;
    }
    const char* name = rg_GetObjectName(h);
    if (rg_GetObjectType(h) == RG_TYPE_VARIABLE) {
        const double lo = rg_GetObjectReal(h, 1), hi = rg_GetObjectReal(h, 2);
        if (lo <= x && x <= hi) {
            rg_SetObjectReal(h, 0, x);
            rg_InvalidateObjectAndDependencies(h);
            log::put("Setting value of Variable '%s' to %10.5f .\n", name, x);
        } else {
            log::put("WARNING: Value specified (%10.5f) for Variable '%s' is out of range (%10.5f to %10.5f).\n", x,
                     name, lo, hi);
        }
        return;
    }
    const int n = rg_NReals(h);
    if (k < 1 || k > n) {
        log::put("WARNING: Float-index (%d) is out of range (1 to %d)\n", k, n);
        return;
    }
    rg_SetObjectReal(h, k - 1, x);
    rg_InvalidateObjectAndDependencies(h);
    char ord[16];
    log::put("Setting value of %s float of %s to %10.5f .\n", rg_Ordinal(k, ord), rg_GetObjectFullName(h), x);
}

// The length unit whose gravity GRAV is: code and name.
void infer_unit(State& st) {
    struct U {
        double g;
        int code;
        const char* name;
    };
    static const U table[] = {{9.80665, 2, "m"}, {980.665, 8, "cm"}, {9806.65, 7, "mm"}, {32.174, 1, "ft"},
                              {386.088, 6, "in"}};
    st.unit = 0;
    st.unitname.clear();
    for (const U& u : table) {
        const double q = st.GRAV / u.g;
        if (0.99 < q && q < 1.01) {
            st.unit = u.code;
            st.unitname = u.name;
            log::put("Length unit (inferred from GRAV) is %s.\n", u.name);
            return;
        }
    }
    log::put("The value of GRAV does not correspond to m, ft, in, cm, or mm.\n");
}

// Lines 1 to 3 of rgkinit.txt; false stops the run.
bool read_head(Lines& f, BlockReader& rd) {
    State& st = S();
    std::vector<std::string> v;
    if (!rd.fields_of(1, v) || !rd.ints(v, {&st.ILOWHI})) return false;
    log::put("ILOWHI: %d\n", st.ILOWHI);
    if (!rd.fields_of(1, v) || !rd.real(v, 0, st.GRAV)) return false;
    log::put("GRAV: %.6f\n", st.GRAV);
    infer_unit(st);
    if (!rd.fields_of(1, v) || !rd.ints(v, {&st.NBODY})) return false;
    if (st.NBODY < 0 || st.NBODY > 1000000) {
        log::put("ERROR: NBODY = %d in %s is out of range.\n", st.NBODY, f.name());
        st.NBODY = 0;
        return false;
    }
    log::put("NBODY: %d\n", st.NBODY);
    st.e.clear();
    st.e.resize(static_cast<size_t>(st.NBODY) + 1);
    st.tables = true;
    return true;
}

int count_separators() {
    Lines in(INITFILE);
    std::string line;
    int n = 0;
    while (in.next(line))
        if (is_separator(line)) ++n;
    return n;
}

}  // namespace
}  // namespace surflink

using namespace surflink;

extern "C" {

void RGKINIT(int* IERR) {
    State& st = S();
    int ierr = 0;
    // A second RGKINIT without RGKDONE: the earlier models are released.
    for (auto& e : st.e) release(e);
    st.e.clear();
    st.tables = false;
    st.NBODY = 0;

    const int nblocks = count_separators();
    log::create();
    log::put("%s -- log file for SURFLINK.DLL\n", "rgklog.txt");
    log::put("SURFLINK version 2.02\n");
    log::put("ZUZovoza.dll version: %s\n", rg_KernelVersion());
    log::put("%s\n", log::EQ_LINE);
    log::put("Starting procedure RGKINIT at %s\n", log::now().c_str());
    st.neval = st.nx2nuv = 0;
    st.GRAV = 0.0;
    rg_AccessInit(0);

    Lines f(INITFILE);
    BlockReader rd(f, ierr);
    if (!f.open()) {
        log::put("Unable to open %s\n", INITFILE);
        ierr = 1;
    } else if (read_head(f, rd)) {
        bool stopped = false;
        for (int b = 1; b <= nblocks && !stopped; ++b) {
            // The block's separator: lines left of a block that ended early
            // are passed over.
            std::string s;
            bool found = false;
            while (f.next(s))
                if (is_separator(s)) {
                    found = true;
                    break;
                }
            std::vector<std::string> h;
            int ib = 0, irr = 0, itk = 0;
            if (!found || !rd.fields_of(3, h)) {
                stopped = rd.eof() || !found;
                continue;
            }
            if (!rd.ints(h, {&ib, &irr, &itk})) continue;
            if (ib < 1 || ib > st.NBODY) {
                ierr = 17;
                log::put("ERROR: Body number %d in %s is outside 1 to NBODY (%d).\n", ib, INITFILE, st.NBODY);
                stopped = true;
                break;
            }
            Entry& en = st.e[static_cast<size_t>(ib)];
            if (en.rec) {
                ierr = 18;
                log::put("ERROR: Body number %d is given twice in %s.\n", ib, INITFILE);
                stopped = true;
                break;
            }
            en.irr = irr;
            en.itkms2 = itk;
            log::put("%s\n", log::DASH_LINE);
            log::put("Data for body no. %d\n", ib);
            log::put("IRR: %d  ITKMS2: %d\n", irr, itk);
            rd.read(ib, false);
            if (rd.eof()) stopped = true;
        }
        if (f.too_long() && ierr == 0) {
            ierr = 7;
            log::put("ERROR: Line %d of %s is longer than %d characters.\n", f.number() + 1, INITFILE,
                     static_cast<int>(MAXLINE));
        }
        if (!stopped) patch_table();
    }
    log::put("Exiting RGKINIT at %s, err = %d\n", log::now().c_str(), ierr);
    log::put("%s\n", log::EQ_LINE);
    log::release();
    *IERR = ierr;
}

void RGKINITCSF(int* IERR) {
    State& st = S();
    int ierr = 0;
    Lines f(CSFFILE);
    log::hold_append();
    st.nevalcsf = 0;
    log::put("%s\n", log::EQ_LINE);
    log::put("Starting procedure RGKINITCSF at %s\n", log::now().c_str());
    BlockReader rd(f, ierr);
    std::vector<std::string> v;
    int ibody = 0;
    if (!st.tables) {
        log::put("RGKINITCSF ERROR: RGKINIT has not been called.\n");
        ierr = 1;
    } else if (!f.open()) {
        log::put("Unable to open %s\n", CSFFILE);
        ierr = 1;
    } else if (rd.fields_of(1, v) && rd.ints(v, {&ibody})) {
        log::put("IBODY: %d\n", ibody);
        // A control surface loaded before is released first.
        release(st.e[0]);
        st.e[0] = Entry{};
        rd.read(0, true);
    }
    log::put("Exiting RGKINITCSF at %s, err = %d\n", log::now().c_str(), ierr);
    log::put("%s\n", log::EQ_LINE);
    log::release();
    *IERR = ierr;
}

}  // extern "C"
