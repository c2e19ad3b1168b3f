// Loading a model file (layout: surflink/model_format.md).
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "common/textline.hpp"
#include "platform/zuzovoza/kernel.hpp"

namespace zuz {
namespace {

constexpr int ERR_OPEN = 3001, ERR_HEADER = 3002, ERR_RECORD = 3003;
constexpr long MAXSTATELINE = 200000;  // 10000 times it stays within int

// The state of a failing load: the error above and 10000 times the line of
// the file at fault, where there is one and it fits.
int load_error(int err, long line) {
    return line > 0 && line <= MAXSTATELINE ? static_cast<int>(10000 * line) + err : err;
}

// Largest magnitude of a real of a model file: far beyond any length of a
// model in any unit, and small enough that squares and products of
// coordinates stay finite in single precision.
constexpr double MAXREAL = 1.0e15;

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool to_int(const std::string& t, int& v) {
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end != '\0' || errno != 0 || x < -1000000000L || x > 1000000000L) return false;
    v = static_cast<int>(x);
    return true;
}

bool to_real(const std::string& t, double& v) {
    char* end = nullptr;
    v = std::strtod(t.c_str(), &end);
    return !t.empty() && *end == '\0' && std::isfinite(v) && std::fabs(v) <= MAXREAL;
}

struct Kind {
    int type;
    const char* word;  // record keyword and the kind in full names
    int nreals;        // fixed count (B-spline: from its header)
    const char* lengths;  // per fixed real: 'L' length, 'A' angle
};

const std::map<std::string, Kind> kKinds = {
    {"QUAD", {RG_TYPE_QUAD, "Quad", 12, "LLLLLLLLLLLL"}},
    {"BSPLINE", {RG_TYPE_BSPLINE, "BSpline", -1, ""}},
    {"CYLINDER", {RG_TYPE_CYLINDER, "Cylinder", 7, "LLLLLAA"}},
    {"DISC", {RG_TYPE_DISC, "Disc", 6, "LLLLAA"}},
    {"SPHERE", {RG_TYPE_SPHERE, "Sphere", 8, "LLLLAAAA"}},
};

// "AxB" with positive integers of at most MAXCELLS cells, so that with the
// largest DIVMULT the panel and index counts of a surface stay within int.
constexpr long MAXCELLS = 1000000;

bool pair(const std::string& t, int& a, int& b) {
    const auto x = t.find('x');
    return x != std::string::npos && to_int(t.substr(0, x), a) && to_int(t.substr(x + 1), b) && a > 0 && b > 0 &&
           static_cast<long>(a) * b <= MAXCELLS;
}

class Loader {
public:
    explicit Loader(Model& m) : m_(m) {}

    long line = 0;  // first line of the record being read
    long bad = 0;   // after a failed resolve: the line of the record naming what was not found

    // One logical record; false on any fault.
    bool record(const std::vector<std::string>& f) {
        const std::string key = upper(f[0]);
        if (key == "UNITS") return f.size() == 2 && units(f[1]);
        if (key == "SYMMETRY") return symmetry(f);
        if (key == "DIVMULT") return f.size() == 2 && to_int(f[1], m_.divmult) && m_.divmult > 0 && m_.divmult <= MAXDIVMULT;
        if (key == "LAYER") {
            if (f.size() != 3 || layer_index(f[1]) != 0) return false;
            const std::string on = upper(f[2]);
            if (on != "ON" && on != "OFF") return false;
            m_.layers.push_back({f[1], on == "ON"});
            return true;
        }
        if (key == "VAR") return variable(f);
        if (key == "LIST") return list(f);
        if (kKinds.count(key)) return surface(kKinds.at(key), f);
        return false;
    }

    // Members of lists and variables of bound values, named before or after.
    bool resolve() {
        for (auto& [h, names] : members_) {
            for (const auto& n : names) {
                const int m = find(n);
                if (m == 0 || m == h) {
                    bad = lines_[h];
                    return false;
                }
                object(h)->members.push_back(m);
            }
        }
        for (auto& [h, refs] : refs_) {
            Object* o = object(h);
            for (auto& [i, name] : refs) {
                const int v = find(name);
                if (v == 0 || object(v)->type != RG_TYPE_VARIABLE) {
                    bad = lines_[h];
                    return false;
                }
                o->bound[static_cast<size_t>(i)] = v;
            }
        }
        return true;
    }

private:
    int find(const std::string& name) const {
        for (int h : m_.objects)
            if (object(h)->name == name) return h;
        return 0;
    }

    int layer_index(const std::string& name) const {
        for (size_t i = 0; i < m_.layers.size(); ++i)
            if (m_.layers[i].name == name) return static_cast<int>(i) + 1;
        return 0;
    }

    bool units(const std::string& t) {
        int code = -1;
        if (!to_int(t, code)) {
            for (int c = 0; c <= 8; ++c)
                if (t == rg_GetUnitNames(c) || (c == 0 && upper(t) == "NONE")) code = c;
        }
        if (code < 0) return false;
        m_.units = code;
        return true;
    }

    bool symmetry(const std::vector<std::string>& f) {
        if (f.size() != 3 && f.size() != 5) return false;
        if (!to_int(f[1], m_.xsym) || !to_int(f[2], m_.ysym)) return false;
        if (m_.xsym < 0 || m_.xsym > 1 || m_.ysym < 0 || m_.ysym > 1) return false;
        if (f.size() == 5) {
            if (!to_int(f[3], m_.axis) || !to_int(f[4], m_.fold)) return false;
            if (m_.axis < 0 || m_.axis > 3 || m_.fold < 1 || m_.fold > 360) return false;
            if (m_.axis == 0) m_.fold = 1;
        }
        return true;
    }

    // A new entity named f[1]; null when the name is taken or not allowed.
    Object* entity(const std::vector<std::string>& f, int type, int cls, const char* kind) {
        if (f.size() < 2 || f[1] == "DEFAULT" || f[1].find('=') != std::string::npos || find(f[1]) != 0)
            return nullptr;
        auto o = std::make_unique<Object>();
        o->model = m_.handle;
        o->name = f[1];
        o->full_name = std::string(kind) + " " + f[1];
        o->type = type;
        o->cls = cls;
        Object* p = o.get();
        m_.objects.push_back(add_object(std::move(o)));
        return p;
    }

    // A real, or a variable's value ("$NAME" or "-$NAME").
    bool value(Object& o, const std::string& t, bool is_length) {
        double x = 0.0;
        const size_t i = o.reals.size();
        int sign = 1;
        std::string name;
        if (t.rfind("$", 0) == 0) name = t.substr(1);
        else if (t.rfind("-$", 0) == 0) name = t.substr(2), sign = -1;
        else if (!to_real(t, x)) return false;
        if (!name.empty()) refs_[o.handle].push_back({static_cast<int>(i), name}), lines_[o.handle] = line;
        else if (t.rfind("$", 0) == 0 || t.rfind("-$", 0) == 0) return false;
        o.reals.push_back(x);
        o.bound.push_back(0);
        o.bound_sign.push_back(sign);
        o.length.push_back(is_length);
        return true;
    }

    // key=value attributes from f[from] on.
    bool attributes(Object& o, const std::vector<std::string>& f, size_t from, bool surface) {
        for (size_t i = from; i < f.size(); ++i) {
            const auto eq = f[i].find('=');
            if (eq == std::string::npos) return false;
            const std::string key = upper(f[i].substr(0, eq)), val = f[i].substr(eq + 1);
            int n = 0;
            if (key == "ERROR") {
                if (!to_int(val, n) || n < 1 || n > 999) return false;
                o.error = 1000 * (o.error >= 2000 ? 2 : 1) + n;
            } else if (key == "ERRKIND") {
                if (val != "S" && val != "M") return false;
                if (o.error == 0) return false;  // after error=
                o.error = 1000 * (val == "S" ? 2 : 1) + o.error % 1000;
            } else if (!surface) {
                if (key == "UNIT" && o.type == RG_TYPE_VARIABLE && (val == "length" || val == "none")) {
                    for (size_t k = 0; k < o.length.size(); ++k) o.length[k] = val == "length";
                } else {
                    return false;
                }
            } else if (key == "COLOR") {
                if (!to_int(val, o.color)) return false;
            } else if (key == "ORIENT") {
                if (!to_int(val, o.orient) || o.orient < 0 || o.orient > 1) return false;
            } else if (key == "LAYER") {
                if ((o.layer = layer_index(val)) == 0) return false;
            } else if (key == "VISIBLE" || key == "TRIMMED" || key == "MESH") {
                if (!to_int(val, n) || n < 0 || n > 1) return false;
                if (key == "VISIBLE") o.visible = n == 1;
                if (key == "TRIMMED") o.trimmed = n == 1;
                if (key == "MESH") o.nomesh = n == 0;
            } else if (key == "DIV") {
                if (!pair(val, o.divu, o.divv)) return false;
            } else if (key == "PANES") {
                if (!pair(val, o.paneu, o.panev)) return false;
            } else {
                return false;
            }
        }
        return true;
    }

    bool variable(const std::vector<std::string>& f) {
        if (f.size() < 5) return false;
        Object* o = entity(f, RG_TYPE_VARIABLE, RG_CLASS_VARIABLE, "Variable");
        if (!o) return false;
        for (int k = 2; k <= 4; ++k)
            if (f[static_cast<size_t>(k)].find('$') != std::string::npos || !value(*o, f[static_cast<size_t>(k)], true))
                return false;
        o->valid = true;
        return o->reals[1] <= o->reals[2] && attributes(*o, f, 5, false);
    }

    bool list(const std::vector<std::string>& f) {
        Object* o = entity(f, RG_TYPE_LIST, RG_CLASS_LIST, "EntityList");
        if (!o) return false;
        o->subclass = RG_SUBCLASS_ENTITY_LIST;
        o->valid = true;
        size_t i = 2;
        auto& names = members_[o->handle];
        lines_[o->handle] = line;
        for (; i < f.size() && f[i].find('=') == std::string::npos; ++i) names.push_back(f[i]);
        return attributes(*o, f, i, false);
    }

    bool surface(const Kind& k, const std::vector<std::string>& f) {
        Object* o = entity(f, k.type, RG_CLASS_SURFACE, k.word);
        if (!o) return false;
        size_t i = 2;
        int n = k.nreals;
        std::string lengths = k.lengths;
        if (k.type == RG_TYPE_BSPLINE) {
            if (f.size() < 6 || !to_int(f[2], o->ku) || !to_int(f[3], o->kv) || !to_int(f[4], o->nu) ||
                !to_int(f[5], o->nv))
                return false;
            if (o->ku < 2 || o->kv < 2 || o->ku > 10 || o->kv > 10 || o->nu < o->ku || o->nv < o->kv ||
                o->nu > 1000 || o->nv > 1000)
                return false;
            n = 3 * o->nu * o->nv;
            lengths.assign(static_cast<size_t>(n), 'L');
            i = 6;
        }
        if (f.size() < i + static_cast<size_t>(n)) return false;
        for (int r = 0; r < n; ++r)
            if (!value(*o, f[i + static_cast<size_t>(r)], lengths[static_cast<size_t>(r)] == 'L')) return false;
        return attributes(*o, f, i + static_cast<size_t>(n), true);
    }

    Model& m_;
    std::map<int, std::vector<std::string>> members_;
    std::map<int, std::vector<std::pair<int, std::string>>> refs_;
    std::map<int, long> lines_;  // line of the record of an entity that names others
};

// The next line of IN; false at the end of the file, and with TOOLONG set
// on a line longer than any line of a model file (a file without line
// ends, a binary file, a device that never ends), which refuses the file.
bool next_line(std::istream& in, std::string& line, bool& toolong, zorva::text::At at = zorva::text::At::Within) {
    using zorva::text::Got;
    const Got got = zorva::text::get_line(*in.rdbuf(), line, at);
    if (got == Got::TooLong) toolong = true;
    return got == Got::Line || got == Got::Unended;
}

std::vector<std::string> split(const std::string& s) {
    std::istringstream is(s);
    std::vector<std::string> out;
    std::string t;
    while (is >> t) out.push_back(t);
    return out;
}

}  // namespace
}  // namespace zuz

using namespace zuz;

extern "C" int rg_LoadModelFromFile(const char* path, int, int* model_out) {
    if (model_out) *model_out = 0;
    std::ifstream in(path ? path : "");
    if (!in) return ERR_OPEN;
    std::string line;
    bool toolong = false;
    if (!next_line(in, line, toolong, zorva::text::At::Start) ||
        split(line) != std::vector<std::string>{"ZUZOVOZA", "MODEL", "1"})
        return load_error(ERR_HEADER, 1);
    auto m = std::make_unique<Model>();
    Model& mr = *m;
    const int h = add_model(std::move(m));
    Loader ld(mr);
    std::string rec;
    bool ok = true;
    long n = 1, fault = 0;  // lines read, the line at fault
    while (ok && next_line(in, line, toolong)) {
        ++n;
        if (rec.empty()) ld.line = n;
        if (const auto c = line.find('#'); c != std::string::npos) line.erase(c);
        for (char& ch : line)
            if (ch == '\t' || ch == '\r') ch = ' ';
        const auto last = line.find_last_not_of(' ');
        if (last != std::string::npos && line[last] == '&') {  // continued on the next line
            rec += line.substr(0, last) + " ";
            continue;
        }
        rec += line;
        const auto f = split(rec);
        rec.clear();
        if (!f.empty() && !(ok = ld.record(f))) fault = ld.line;
    }
    if (toolong) ok = false, fault = n + 1;
    if (ok && !split(rec).empty()) ok = false, fault = ld.line;  // continuation at the end of the file
    if (ok && !(ok = ld.resolve())) fault = ld.bad;
    if (!ok) {
        remove_model(h);
        return load_error(ERR_RECORD, fault);
    }
    *model_out = h;
    return 0;
}
