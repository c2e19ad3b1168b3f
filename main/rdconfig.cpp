// The configuration reader: one pass over the configuration file per stage,
// driven by the keyword table below.  Each table entry says what its value
// is, which stage uses it, how it reaches the run scalar, and where it goes.
#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/bounds.hpp"
#include "common/channels.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva::cfg {

const char* const KEYNAME[NKEYS] = {
    "IDIAG",    "ILOWHI",     "ILOG",      "IPERIO",   "IQUAD",        "IQUADI",          "IQUADO",
    "ISCATT",   "ISOLVE",     "ISOR",      "KSPLIN",   "MAXSCR",       "MODLST",          "MONITR",
    "IFORCE",   "IPOTEN",     "MAXITT",    "MAXMIT",   "NUMHDR",       "NUMNAM",          "ILOWGDF",
    "IPLTDAT",  "IPNLBPT",    "INUMOPT5",  "INUMOPT6", "INUMOPT7",     "IALTPOT",         "IALTFRC",
    "ITANKFPT", "ICTRSURF",   "IFIELD_ARRAYS", "ITRIMWL", "IBODY_WAVEMAKER", "IWALLX0",   "IWALLY0",
    "IREADRAO", "IALTFRCN",   "NEWMDS",    "IGENMDS",  "NOOUT",        "PANEL_SIZE",      "XBODY",
    "SCRATCH_PATH", "NPTANK", "RHOTANK",   "ZTANKFS",  "XTRIM",        "IRR",             "NPDIPOLE",
    "TOLGAPWL"};

namespace {

constexpr int IUCFG = 8;    // configuration file
constexpr int IURNG = 21;   // tank and dipole range records (POTEN)
constexpr int IUZTK = 22;   // ZTANKFS value texts (POTEN)
constexpr int LINELEN = 80;
constexpr int PATHLEN = 40;

const char* const EREAD = " Error reading input file CONFIG.ZRV";

enum class Type {
    Int,        // one integer, staged in CFGVAL
    IntBody,    // one integer for body NB
    IntNBody,   // NBODY integers
    IntList,    // as many integers as the target array holds
    Real,       // one real
    RealBody,   // a fixed count of reals for body NB
    RealList,   // reals into the still-unset entries of a list
    Text,       // the first word of the value
    ValueText,  // the value text kept for reading after the file
    Ranges,     // bracketed panel ranges, scanned character by character
};
enum class Stage { P, F, B };
enum class Rule {
    Staged,        // copied from CFGVAL after the file (0 when not given)
    StagedGiven,   // copied from CFGVAL only when given
    GivenAbove1,   // copied only when given and greater than 1
    Direct,        // the value goes straight to its target
};

struct Key {
    Type type;
    Stage stage;
    Rule rule;
    int* ival = nullptr;        // integer scalar target
    float* rval = nullptr;      // real scalar target
    Arr1<int>* iarr = nullptr;  // integer per-body or list target
    Arr2<float>* rarr = nullptr;
    int nval = 1;               // reals per body
    void (*grow)(int, int&) = nullptr;
    const char* growname = nullptr;  // array named when its growth fails
    int sign = 0;               // ranges: -1 tank (NPTANK), +1 dipole (NPDIPOLE)
};

// The keyword table, in the order of KEYNAME.
const std::array<Key, NKEYS>& keytab() {
    using T = Type;
    using S = Stage;
    using R = Rule;
    static const std::array<Key, NKEYS> tab = {{
        {T::Int, S::P, R::Staged, &IDIAG},
        {T::Int, S::P, R::Staged, &ILOWHI},
        {T::Int, S::P, R::Staged, &ILOG},
        {T::Int, S::P, R::StagedGiven, &IPERIO},
        {T::Int, S::P, R::Staged, &IQUAD},
        {T::Int, S::P, R::Staged, &IQUADI},
        {T::Int, S::P, R::Staged, &IQUADO},
        {T::Int, S::P, R::Staged, &ISCATT},
        {T::Int, S::P, R::Staged, &ISOLVE},
        {T::Int, S::P, R::Staged, &ISOR},
        {T::Int, S::P, R::Staged, &KSPLIN},
        {T::Int, S::P, R::GivenAbove1, &MAXSCR},
        {T::Int, S::B, R::Staged, &MODLST},
        {T::Int, S::B, R::Staged, &MONITR},
        {T::Int, S::B, R::StagedGiven, &IFORCE},
        {T::Int, S::B, R::StagedGiven, &IPOTEN},
        {T::Int, S::P, R::StagedGiven, &MAXITT},
        {T::Int, S::F, R::StagedGiven, &MAXMIT},
        {T::Int, S::B, R::Staged, &NUMHDR},
        {T::Int, S::B, R::Staged, &NUMNAM},
        {T::Int, S::B, R::Staged, &ILOWGDF},
        {T::Int, S::B, R::Staged, &IPLTDAT},
        {T::Int, S::B, R::Staged, &IPNLBPT},
        {T::Int, S::B, R::Staged, &INUMOPT5},
        {T::Int, S::B, R::Staged, &INUMOPT6},
        {T::Int, S::B, R::Staged, &INUMOPT7},
        {T::Int, S::B, R::StagedGiven, &IALTPOT},
        {T::Int, S::B, R::StagedGiven, &IALTFRC},
        {T::Int, S::B, R::Staged, &ITANKFPT},
        {T::Int, S::B, R::Staged, &ICTRSURF},
        {T::Int, S::B, R::Staged, &IFIELD_ARRAYS},
        {T::Int, S::P, R::Staged, &ITRIMWL},
        {T::Int, S::P, R::Staged, &IBODY_WAVEMAKER},
        {T::Int, S::P, R::Staged, &IWALLX0},
        {T::Int, S::P, R::Staged, &IWALLY0},
        {T::Int, S::B, R::Staged, &IREADRAO},
        {T::IntNBody, S::F, R::Direct, nullptr, nullptr, &IALTFRCN},
        {T::IntBody, S::P, R::Direct, nullptr, nullptr, &NEWMDS, nullptr, 1, GROWGENM, "NEWMDS"},
        {T::IntBody, S::P, R::Direct, nullptr, nullptr, &IGENMDS, nullptr, 1, GROWGENM, "IGENMDS"},
        {T::IntList, S::F, R::Direct, nullptr, nullptr, &NOOUT},
        {T::Real, S::B, R::Direct, nullptr, &PANEL_SIZE},
        {T::RealBody, S::P, R::Direct, nullptr, nullptr, nullptr, &XBODY, 4, GROWXBODY, nullptr},
        {T::Text, S::B, R::Direct},
        {T::Ranges, S::P, R::Direct, nullptr, nullptr, nullptr, nullptr, 1, ALLOCCFG2, "NTANKB", -1},
        {T::RealList, S::F, R::Direct},
        {T::ValueText, S::P, R::Direct, &IZTANKFS},
        {T::RealBody, S::P, R::Direct, nullptr, nullptr, nullptr, &XTRIM, 3, GROWXTRIM, nullptr},
        {T::IntBody, S::P, R::Direct, nullptr, nullptr, &IRR, nullptr, 1, GROWIRR, "IRR"},
        {T::Ranges, S::P, R::Direct, &IDIPOLE, nullptr, nullptr, nullptr, 1, nullptr, nullptr, 1},
        {T::Real, S::B, R::Direct, nullptr, &TOLGAPWL},
    }};
    return tab;
}

// State of one pass.
struct Pass {
    int runtype = 0;
    bool blank = true;                    // no line so far holds more than blanks
    std::array<int, NCFGI + 1> cfgval{};  // 1-based
    int ntankn = 0;                       // tank range numbers so far (c)
    int line = 0;                         // number of the line being read
    std::string key;                      // its keyword
};

bool stage_uses(Stage s, int runtype) {
    return s == Stage::B || (s == Stage::P && runtype == 0) || (s == Stage::F && runtype == 1);
}

// The warnings of the POTEN pass (comment lines that start with a keyword,
// unknown keywords, a file that gives nothing), in the order found, until
// warn_file writes them.
std::vector<std::string> held;

// Where the file gave each keyword, for the line that names a value refused
// after the file: (keyword, body) -> the last line that gave it and its
// value as written (body 1 for a keyword of the run).
std::map<std::pair<int, int>, std::pair<int, std::string>> bodyline;

// An error message of the reader: the held warnings go first.
void error(std::string_view text, int value) {
    warn_file();
    ERRMSG(text, value);
}

int fail(const char* text, int value = 0) {
    error(text, value);
    return 1;
}

// The line that follows the message refusing an item of a keyword line: the
// file, the line number, the keyword and the item as written.  Returns 1.
int name_item(int line, std::string_view key, const char* item, std::string_view text) {
    const std::size_t b = text.find_first_not_of(' ');
    text = b == std::string_view::npos ? std::string_view() : text.substr(b, text.find_last_not_of(' ') + 1 - b);
    error(" Configuration file " + fnames::FILECFG + ", line " + std::to_string(line) + ", keyword " +
              std::string(key) + ": " + item + " \"" + std::string(text) + "\" not accepted",
          0);
    return 1;
}

// The value of the line being read refused: the message that says why,
// then the line naming it.
int bad_value(const Pass& ps, std::string_view value, const char* why = EREAD) {
    error(why, 0);
    return name_item(ps.line, ps.key, "value", value);
}

// A message that ends with an integer value: the value in the field of the
// message writer, or written into the text where that field cannot show it
// (0, which it leaves out, or a value too wide for it).
void error_value(const std::string& text, int value) {
    if (value == 0 || errmsg_value(value).find('*') != std::string::npos)
        error(text + std::to_string(value), 0);
    else
        error(text, value);
}

// A staged integer refused after the file: its own message (by default
// " Illegal value of KEY = value"; WITHVALUE: the message shows the value),
// the read-error message and the line naming where it was given.
int bad_staged(int knum, int value, const char* why, bool withvalue) {
    const std::string name = KEYNAME[knum - 1];
    if (!why)
        error_value(" Illegal value of " + name + " = ", value);
    else if (withvalue)
        error_value(why, value);
    else
        error(why, 0);
    error(EREAD, 0);
    return name_given(name);
}

// A free-format read of the value text of the line being read; 0, or 1
// after the messages.
int parse(const Pass& ps, std::string_view text, std::initializer_list<fread::Item> items) {
    if (fread::parse_group(text, items) != 0) return bad_value(ps, text);
    return 0;
}

int grow_to(const Key& k, int nb) {
    int ierr = 0;
    k.grow(nb, ierr);
    if (ierr != 0) {
        // GROWXBODY and GROWXTRIM name their arrays themselves.
        if (k.growname) error(std::string("Insufficient memory to allocate ") + k.growname + " array", 0);
        return 1;
    }
    return 0;
}

// Scan of an NPTANK or NPDIPOLE value: "(" and ")" give the records (0, 1)
// and (0, -1); each run of digits gives the record of its body (-NB for a
// tank range, +NB for a dipole range) and then the digit text.
int scan_ranges(const Key& k, std::string_view value, int nb, Pass& ps) {
    auto rec2 = [](int a, int b) {
        std::string r(1, ' ');
        r.append(std::to_string(a)).append(1, ' ').append(std::to_string(b));
        chan::write_line(IURNG, r);
    };
    if (k.sign < 0 && grow_to(k, nb) != 0) return 1;
    if (k.ival) *k.ival = 1;
    // The ranges the model readers take: "(first last)" pairs, and for
    // NPDIPOLE also single panel numbers outside parentheses.
    auto illegal = [&] {
        error("Error: NPTANK or NPDIPOL illegal in CFG file", 0);
        return bad_value(ps, value);
    };
    int inside = -1;  // numbers since "(", -1 outside
    std::size_t i = 0;
    while (i < value.size()) {
        char ch = value[i];
        if (ch == '(') {
            if (inside >= 0) return illegal();
            inside = 0;
            rec2(0, 1);
            ++i;
        } else if (ch == ')') {
            if (inside != 2) return illegal();
            inside = -1;
            rec2(0, -1);
            ++i;
        } else if (std::isdigit(static_cast<unsigned char>(ch))) {
            if (inside >= 0 ? ++inside > 2 : k.sign < 0) return illegal();
            std::size_t j = i;
            while (j < value.size() && std::isdigit(static_cast<unsigned char>(value[j]))) ++j;
            std::string digits(value.substr(i, j - i));
            std::string r(1, ' ');
            r.append(std::to_string(k.sign * nb));
            chan::write_line(IURNG, r);
            std::string field = digits.size() < 12 ? std::string(12 - digits.size(), ' ') + digits : digits;
            chan::write_line(IURNG, field);
            if (k.sign < 0) {
                ++ps.ntankn;
                ++NTANKB(nb);
            }
            i = j;
        } else {
            ++i;
        }
    }
    if (ps.ntankn % 2 != 0) return bad_value(ps, value, " Incomplete NPTANK data in CONFIG.ZRV");
    if (inside >= 0) return illegal();
    return 0;
}

// The value of one matched keyword line.
int act(int knum, std::string_view value, int nb, Pass& ps) {
    const Key& k = keytab()[static_cast<std::size_t>(knum - 1)];
    if (k.type == Type::Int) return parse(ps, value, {fread::I(ps.cfgval[static_cast<std::size_t>(knum)])});
    if (!stage_uses(k.stage, ps.runtype)) return 0;
    switch (k.type) {
        case Type::Int:
            break;
        case Type::IntBody:
            if (nb > k.iarr->extent(1) && grow_to(k, nb) != 0) return 1;
            if (parse(ps, value, {fread::I((*k.iarr)(nb))}) != 0) return 1;
            if (k.iarr == &NEWMDS && (NEWMDS(nb) < 0 || NEWMDS(nb) > fread::MAXITEMS)) {
                // A body's count of generalized modes.
                error_value(" Illegal value of NEWMDS = ", NEWMDS(nb));
                return bad_value(ps, value);
            }
            if (k.iarr == &IRR && (IRR(nb) < 0 || IRR(nb) > 3)) {
                // A body's irregular-frequency method: 0 to 3.
                error(IRR(nb) < 0 ? " IRR < 0 is illegal " : " IRR > 3 is illegal  ", 0);
                return bad_value(ps, value);
            }
            return 0;
        case Type::IntNBody: {
            if (NBODY < 1) return 0;
            if (k.iarr->extent(1) < NBODY && !k.iarr->resize_keep_fill(1, NBODY))
                return fail("Insufficient memory to allocate IALTFRCN array");
            int st = fread::parse_group(value, {fread::I(k.iarr->data(), NBODY)});
            if (st < 0) return bad_value(ps, value, " Not enough data for IALTFRCN in CONFIG.ZRV");
            if (st > 0) return bad_value(ps, value);
            return 0;
        }
        case Type::IntList: {
            int n = static_cast<int>(k.iarr->size());
            if (n == 0) return 0;
            return parse(ps, value, {fread::I(k.iarr->data(), n)});
        }
        case Type::Real:
            return parse(ps, value, {fread::R(*k.rval)});
        case Type::RealBody:
            if (nb > k.rarr->extent(2) && grow_to(k, nb) != 0) return 1;
            return parse(ps, value, {fread::R(k.rarr->ptr(1, nb), k.nval)});
        case Type::RealList: {
            // RHOTANK: from the first entry still unset up to entry NTANKS;
            // a line may give fewer values than that.
            if (NTANKS < 1) return 0;
            if (RHOTANK.extent(1) < NTANKS && !RHOTANK.resize_keep_fill(-1.0f, NTANKS))
                return fail("Insufficient memory to allocate RHOTANK array");
            int first = 1;
            while (first <= NTANKS && RHOTANK(first) >= 0.0f) ++first;
            if (first > NTANKS) return 0;
            int nvals = 0;
            int st = fread::parse_group(value, {fread::R(RHOTANK.ptr(first), NTANKS - first + 1)}, &nvals);
            if (st > 0 || nvals < 1) return bad_value(ps, value);
            return 0;
        }
        case Type::Text: {
            std::size_t b = value.find_first_not_of(' ');
            std::string word;
            if (b != std::string_view::npos) {
                std::size_t e = value.find(' ', b);
                word = std::string(value.substr(b, e == std::string_view::npos ? e : e - b));
            }
            if (static_cast<int>(word.size()) > PATHLEN)
                return bad_value(ps, value, " Path name for file in CONFIG.ZRV too long");
            SCRATCH_PATH = word;
            LSCRATCH = static_cast<int>(word.size());
            return 0;
        }
        case Type::ValueText:
            *k.ival = 1;
            chan::write_line(IUZTK, value);
            return 0;
        case Type::Ranges:
            return scan_ranges(k, value, nb, ps);
    }
    return 0;
}

// Body index of a keyword line: 1 without "(" before "=", else the number
// between "(" and the first ")".  0 on success, 1 after the messages (the
// last names the index as written, from "(" up to "=").
int body_index(const Pass& ps, std::string_view line, std::size_t eq, int& nb) {
    nb = 1;
    std::size_t lp = line.find('(');
    if (lp == std::string_view::npos || lp > eq) return 0;
    std::size_t rp = line.find(')');
    bool bad = rp == std::string_view::npos || rp > eq || rp < lp + 2 ||
               fread::parse_group(line.substr(lp + 1, rp - lp - 1), {fread::I(nb)}) != 0;
    if (!bad && (nb < 1 || nb > fread::MAXITEMS)) {
        error_value(" Illegal value of body index NB = ", nb);
        bad = true;
    }
    if (!bad) return 0;
    error(EREAD, 0);
    return name_item(ps.line, ps.key, "body index", line.substr(lp, eq - lp));
}

// The first word of a text, cut at the first of the characters ENDS,
// upper-cased (a-z only).  The keyword of a line is its text before "=" cut
// at "(" or a blank.
std::string first_word(std::string_view text, const char* ends) {
    std::string word(text.substr(0, text.find_first_of(ends)));
    for (char& ch : word)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return word;
}

// The first word of a comment line as a keyword would be written: letters,
// digits and "_" up to any other character (after one leading quote),
// upper-cased.
std::string comment_word(std::string_view text) {
    if (!text.empty() && (text[0] == '"' || text[0] == '\'')) text.remove_prefix(1);
    std::size_t n = 0;
    while (n < text.size() && (std::isalnum(static_cast<unsigned char>(text[n])) || text[n] == '_')) ++n;
    return first_word(text.substr(0, n), "");
}

// Staged integer keys of one stage class, copied by their rules.
void copy_staged(const Pass& ps, Stage s) {
    for (int k = 1; k <= NCFGI; ++k) {
        const Key& key = keytab()[static_cast<std::size_t>(k - 1)];
        if (key.stage != s) continue;
        int v = ps.cfgval[static_cast<std::size_t>(k)];
        bool given = CFGSET(k) == 1;
        switch (key.rule) {
            case Rule::Staged: *key.ival = v; break;
            case Rule::StagedGiven: if (given) *key.ival = v; break;
            case Rule::GivenAbove1: if (given && v > 1) *key.ival = v; break;
            case Rule::Direct: break;
        }
    }
}

int keynum(std::string_view name) {
    for (int k = 1; k <= NKEYS; ++k)
        if (name == KEYNAME[k - 1]) return k;
    return 0;
}

// The lines of the file.  0 at its end, 1 after an error.
int read_lines(Pass& ps) {
    std::string line;
    for (ps.line = 1;; ++ps.line) {
        int st = fread::read_line(IUCFG, line);
        if (st < 0) return 0;
        if (st > 0) return fail(EREAD);
        if (line.size() > LINELEN) line.resize(LINELEN);
        // A tab separates like a blank.
        std::replace(line.begin(), line.end(), '\t', ' ');
        std::size_t b = line.find_first_not_of(' ');
        if (b != std::string::npos) ps.blank = false;
        std::string_view l = b == std::string::npos ? std::string_view() : std::string_view(line).substr(b);
        std::size_t eq = l.find('=');
        if (eq == std::string_view::npos) {
            // A comment.  One whose first word (letters, digits and "_") is
            // a keyword is most likely a setting that lost its "=": said
            // once per run, in the first pass over the file.
            const std::string word = comment_word(l);
            if (ps.runtype == 0 && keynum(word) != 0)
                held.push_back(" WARNING: keyword " + word + " without = in line " + std::to_string(ps.line) +
                               " of configuration file " + fnames::FILECFG + "; line taken as a comment");
            continue;
        }
        // The keyword first: a line whose keyword is unknown (a note such
        // as "Direct solver (ISOLVE = 1)") is skipped whatever follows it.
        ps.key = first_word(l.substr(0, eq), " (");
        const int knum = ps.key.empty() ? 0 : keynum(ps.key);
        if (knum == 0) {
            // Said once per run, in the first pass over the file.
            if (ps.runtype == 0)
                held.push_back(" WARNING: unknown keyword " + (ps.key.empty() ? std::string("(none)") : ps.key) +
                               " in configuration file " + fnames::FILECFG + "; line ignored");
            continue;
        }
        int nb = 1;
        if (body_index(ps, l, eq, nb) != 0) return 1;
        CFGSET(knum) = 1;
        bodyline[{knum, nb}] = {ps.line, std::string(l.substr(eq + 1))};
        if (act(knum, l.substr(eq + 1), nb, ps) != 0) return 1;
    }
}

// Bounds of the integer keywords, checked after the file when the file
// gives them: a value outside ends the run with its message (without one,
// " Illegal value of KEY = value"), the read-error message and the line
// naming it.  Values that the program gives a meaning stay inside: 0 or a
// negative KSPLIN, IQUADO, IQUADI for the orders of the .spl file or the
// defaults, any ISOLVE from -1, any IALTFRC from 1 (3 or more: one force
// control file per body), a negative MAXMIT for no angular integration of
// the momentum drift, any IPNLBPT whose size is an integer, and any
// IPERIO, IALTPOT, MAXSCR, INUMOPT5..7 and ITANKFPT (no entry).
//
// Each bound belongs to the stage that uses the value.  The stage switches
// are checked in the first pass of every run.  The POTEN pass of a run that
// solves checks the bounds of the POTEN stage, those of both stages, and
// those of the FORCE stage when that stage runs too, so that a bad value
// ends the run before the solve; the FORCE pass checks the bounds of the
// FORCE stage and of both (the only check of a run without the POTEN stage).
enum class Use {
    Run,  // the stage switches
    P,    // the POTEN stage
    F,    // the FORCE stage
    B,    // both stages
};
struct Limit {
    const char* key;
    int lo, hi;
    const char* why;
    bool withvalue;               // the message shows the value
    Use use;
    bool (*when)() = nullptr;     // the bound holds only where this is true
};
constexpr int NOLIM = 2147483647;
// The solvers that iterate: the iterative one (ISOLVE 0) and the block one
// (2 or more), for the potentials and for the source strengths alike.
// The direct solver (1) and a run that solves nothing (-1) take no limit.
bool iterates() { return ISOLVE == 0 || ISOLVE >= 2; }
const Limit LIMITS[] = {
    {"IPOTEN", 0, 1, nullptr, true, Use::Run},
    {"IFORCE", 0, 1, nullptr, true, Use::Run},
    {"ILOWHI", 0, 1, nullptr, true, Use::P},
    {"ISOLVE", -1, NOLIM, "Value of ISOLVE is illegal In CONFIG file: ISOLVE=", true, Use::P},
    // The iteration limit sizes the iterative solvers' work space; below 1
    // no iterated solution could converge.
    {"MAXITT", -NOLIM, fread::MAXITEMS, nullptr, true, Use::P},
    {"MAXITT", 1, NOLIM, nullptr, true, Use::P, iterates},
    {"ISOR", 0, 1, "Value of ISOR is illegal in CONFIG file: ISOR=", true, Use::P},
    {"ISCATT", 0, 1, "Value of ISCATT is illegal In CONFIG file: ISCATT=", true, Use::P},
    // The wavemaker's body number; the bodies are counted later.
    {"IBODY_WAVEMAKER", 0, NOLIM, "Value of IBODY_WAVEMAKER is illegal In CONFIG file: IBODY_WAVEMAKER=", true,
     Use::P},
    {"IQUAD", 0, 1, " Value of IQUAD index is illegal ", false, Use::P},
    {"ILOG", 0, 1, " Value of ILOG index is illegal ", false, Use::P},
    {"IDIAG", 0, 1, " Value of IDIAG index is illegal ", false, Use::P},
    {"KSPLIN", -NOLIM, MAXBSPLORD, " KSPLIN above the largest B-spline order (16): KSPLIN=", true, Use::P},
    {"IQUADO", -NOLIM, MAXGAUSSORD, " IQUADO above the largest Gauss quadrature order (16): IQUADO=", true, Use::P},
    {"IQUADI", -NOLIM, MAXGAUSSORD, " IQUADI above the largest Gauss quadrature order (16): IQUADI=", true, Use::P},
    // 0 or the trimming of the waterline, as the .p2f file carries it.
    {"ITRIMWL", 0, static_cast<int>(MAXCOUNT), nullptr, true, Use::P},
    // A wall in the plane x = 0 or y = 0, or none.
    {"IWALLX0", 0, 1, nullptr, true, Use::P},
    {"IWALLY0", 0, 1, nullptr, true, Use::P},
    // Off, or the panels a side of a low-order or plot panel.
    {"ILOWGDF", 0, NOLIM, nullptr, true, Use::B},
    {"IPLTDAT", 0, NOLIM, nullptr, true, Use::B},
    {"MODLST", 0, 1, nullptr, true, Use::F},
    {"MONITR", 0, 1, nullptr, true, Use::F},
    {"NUMHDR", 0, 1, nullptr, true, Use::F},
    {"NUMNAM", 0, 1, nullptr, true, Use::F},
    // The angles of the momentum drift double with each pass: 2 to the
    // power MAXMIT of them at most.
    {"MAXMIT", -NOLIM, 30, nullptr, true, Use::F},
    // The body points take the |IPNLBPT| nearest panels.
    {"IPNLBPT", -NOLIM, NOLIM, nullptr, true, Use::F},
    {"IALTFRC", 1, NOLIM, nullptr, true, Use::F},
    // Off (0), or control surfaces (1 and 2 with their drift forces).
    {"ICTRSURF", 0, NOLIM, nullptr, true, Use::F},
    {"IFIELD_ARRAYS", 0, NOLIM, nullptr, true, Use::F},
    // Motions solved (0), solved with the body and field sections left out
    // (1), or read from the .rao file (2).
    {"IREADRAO", 0, 2, nullptr, true, Use::F},
};
static_assert(MAXBSPLORD == 16 && MAXGAUSSORD == 16, "the messages of LIMITS name the limits");

// The bounds of the integer keywords the file gives, for the uses USE;
// 0, or 1 after the messages.  The values are those the file gave, also
// for keys the pass does not copy.
int check_limits(const Pass& ps, std::initializer_list<Use> use) {
    for (const Limit& lim : LIMITS) {
        if (std::find(use.begin(), use.end(), lim.use) == use.end()) continue;
        const int k = keynum(lim.key);
        const int v = ps.cfgval[static_cast<std::size_t>(k)];
        if (CFGSET(k) != 1 || (v >= lim.lo && v <= lim.hi) || (lim.when && !lim.when())) continue;
        return bad_staged(k, v, lim.why, lim.withvalue);
    }
    return 0;
}

// Tank arrays after the file (POTEN).
int tanks_poten(Pass& ps) {
    if (ps.ntankn > 0) {
        NTANKS = ps.ntankn / 2;
        if (!ZTANKFS.allocate(NTANKS) || !CTANK.allocate(9, NTANKS) || !VOLTANK.allocate(3, NTANKS) ||
            !ITANKB.allocate(NTANKS))
            return fail("Insufficient memory to allocate tank arrays");
        int sum = 0;
        for (int ib = 1; ib <= static_cast<int>(NTANKB.size()); ++ib) {
            NTANKB(ib) /= 2;
            sum += NTANKB(ib);
        }
        if (sum != NTANKS) {
            error(" Incomplete NPTANK data in CONFIG.ZRV", 0);
            error(EREAD, 0);
            return name_given("NPTANK");
        }
        if (IZTANKFS == 1) {
            chan::rewind(IUZTK);
            if (fread::read_group(IUZTK, {fread::R(ZTANKFS.data(), NTANKS)}) != 0) {
                error(" Not enough data for ZTANK in CONFIG.ZRV", 0);
                error(EREAD, 0);
                return name_given("ZTANKFS");
            }
        }
    }
    chan::close(IUZTK);
    return 0;
}

}  // namespace

void warn_file() {
    // Cleared first: ERRMSG does not come back here.
    const std::vector<std::string> w = std::move(held);
    held.clear();
    for (const std::string& text : w) ERRMSG(text, 0);
}

int name_given(std::string_view key, int nb) {
    // Not CFGSET: the model input lets it go once read.  Without a body,
    // the last line that gave the keyword for any body.
    const int k = keynum(key);
    const std::pair<int, std::string>* at = nullptr;
    for (auto it = bodyline.lower_bound({k, 0}); k != 0 && it != bodyline.end() && it->first.first == k; ++it)
        if (nb > 0 ? it->first.second == nb : !at || it->second.first > at->first) at = &it->second;
    if (!at) return 1;
    return name_item(at->first, key, "value", at->second);
}

struct Kept::Values {
    std::array<int, NKEYS> ints{};
    std::array<float, NKEYS> reals{};
    std::array<Arr1<int>, NKEYS> iarrs;
    std::array<Arr2<float>, NKEYS> rarrs;
    std::string scratch;
    int lscratch = 0, keyxbody = 0;
    Arr1<int> cfgset;
    Arr1<float> rhotank;
    Arr2<float> ctank, voltank;
    std::map<std::pair<int, int>, std::pair<int, std::string>> lines;
};

Kept::Kept() : was_(std::make_unique<Values>()) {
    Values& w = *was_;
    for (std::size_t i = 0; i < keytab().size(); ++i) {
        const Key& k = keytab()[i];
        if (k.ival) w.ints[i] = *k.ival;
        if (k.rval) w.reals[i] = *k.rval;
        if (k.iarr) w.iarrs[i] = *k.iarr;
        if (k.rarr) w.rarrs[i] = *k.rarr;
    }
    w.scratch = SCRATCH_PATH;
    w.lscratch = LSCRATCH;
    w.keyxbody = KEYXBODY;
    w.cfgset = CFGSET;
    w.rhotank = RHOTANK;
    w.ctank = CTANK;
    w.voltank = VOLTANK;
    w.lines = bodyline;
}

Kept::~Kept() {
    Values& w = *was_;
    for (std::size_t i = 0; i < keytab().size(); ++i) {
        const Key& k = keytab()[i];
        if (k.ival) *k.ival = w.ints[i];
        if (k.rval) *k.rval = w.reals[i];
        if (k.iarr) *k.iarr = std::move(w.iarrs[i]);
        if (k.rarr) *k.rarr = std::move(w.rarrs[i]);
    }
    SCRATCH_PATH = std::move(w.scratch);
    LSCRATCH = w.lscratch;
    KEYXBODY = w.keyxbody;
    CFGSET = std::move(w.cfgset);
    RHOTANK = std::move(w.rhotank);
    CTANK = std::move(w.ctank);
    VOLTANK = std::move(w.voltank);
    bodyline = std::move(w.lines);
}

void warn_bodies() {
    std::vector<std::pair<int, std::string>> lines;
    for (const auto& [kb, at] : bodyline) {
        // Tank ranges are not among them: the checks refuse those.
        const Key& k = keytab()[static_cast<std::size_t>(kb.first - 1)];
        const bool perbody =
            k.type == Type::IntBody || k.type == Type::RealBody || (k.type == Type::Ranges && k.sign > 0);
        if (perbody && kb.second > NBODY)
            lines.emplace_back(at.first, std::string(KEYNAME[kb.first - 1]) + "(" + std::to_string(kb.second) + ")");
    }
    std::sort(lines.begin(), lines.end());
    const std::string bodies = std::to_string(NBODY) + (NBODY == 1 ? " body" : " bodies");
    for (const auto& [line, key] : lines)
        ERRMSG(" WARNING: keyword " + key + " in line " + std::to_string(line) + " of configuration file " +
                   fnames::FILECFG + " ignored: the run has " + bodies,
               0);
}

void RDCONFIG(int RUNTYPE, int& IERR) {
    IERR = 0;
    Pass ps;
    ps.runtype = RUNTYPE;
    const bool poten = RUNTYPE == 0;

    // Entry.
    KEYXBODY = keynum("XBODY");
    if (!poten) {
        NOOUT.fill(1);
    } else {
        chan::open_scratch(IUZTK);
        chan::open_scratch(IURNG);
        bool ok = true;
        if (!IRR.allocated()) ok = IRR.allocate(1) && ok;  // 0: the .pot reader gives IRR(1)
        if (!XBODY.allocated()) ok = XBODY.allocate(4, 1) && ok;
        if (!NEWMDS.allocated()) ok = NEWMDS.allocate(1) && ok;
        if (!IGENMDS.allocated()) ok = IGENMDS.allocate(1) && ok;
        if (!XTRIM.allocated()) ok = XTRIM.allocate(3, 1) && ok;
        if (!ok) {
            IERR = fail("Insufficient memory to allocate configuration arrays");
            return;
        }
    }

    // Defaults.
    set_defaults();
    if (poten) {
        NBODY = 1;
        IDIPOLE = 0;
        IZTANKFS = 0;
    } else {
        IALTFRCN.fill(1);
    }
    if (!CFGSET.allocated()) CFGSET.allocate(NKEYS);
    CFGSET.fill(0);
    bodyline.clear();
    if (poten) held.clear();

    // The lines.  Without a line that gives a keyword (no file, a file that
    // cannot be read, one of blanks only, or one of comments and unknown
    // keywords) every keyword keeps its default: legal, but a forgotten or
    // emptied file would silently change the method, so the POTEN pass
    // holds one warning for the stage log (written by warn_file once that
    // log is open).
    std::error_code ec;
    const bool isdir = std::filesystem::is_directory(fnames::FILECFG, ec);
    std::string trouble;
    if (!isdir && chan::open(IUCFG, fnames::FILECFG, chan::Status::Old) == 0) {
        if (poten) ECHOINP(fnames::FILECFG, IUCFG, 0);
        if (read_lines(ps) != 0) {
            chan::close(IUCFG);
            IERR = 1;
            return;
        }
        if (ps.blank)
            trouble = " is empty";
        else if (std::find(CFGSET.begin(), CFGSET.end(), 1) == CFGSET.end())
            trouble = " sets no keyword";
    } else if (isdir || chan::exists(fnames::FILECFG)) {
        trouble = " cannot be read";
    } else {
        trouble = " not found";
    }
    if (poten && !trouble.empty()) {
        const std::string what = fnames::FILECFG.empty() ? std::string("no configuration file named")
                                                         : "configuration file " + fnames::FILECFG + trouble;
        held.push_back(" WARNING: " + what + "; every keyword keeps its default");
    }
    chan::close(IUCFG);

    // Both stage switches come first: a POTEN stage that is switched off
    // returns here, and the FORCE switch must stand all the same.
    int kpot = keynum("IPOTEN"), kfrc = keynum("IFORCE");
    if (CFGSET(kpot) == 1) IPOTEN = ps.cfgval[static_cast<std::size_t>(kpot)];
    if (CFGSET(kfrc) == 1) IFORCE = ps.cfgval[static_cast<std::size_t>(kfrc)];

    if (poten && check_limits(ps, {Use::Run}) != 0) {
        IERR = 1;
        return;
    }

    if (poten) {
        if (IPOTEN == 0) {
            chan::close(IUZTK);
            chan::close(IURNG);
            return;
        }
        copy_staged(ps, Stage::P);
    } else {
        copy_staged(ps, Stage::F);
    }
    copy_staged(ps, Stage::B);
    const int st = !poten        ? check_limits(ps, {Use::F, Use::B})
                   : IFORCE == 1 ? check_limits(ps, {Use::P, Use::B, Use::F})
                                 : check_limits(ps, {Use::P, Use::B});
    if (st != 0) {
        IERR = 1;
        return;
    }

    if (poten) {
        // The trim of a run without waterline trimming: said for each line
        // that gives it.
        if (ITRIMWL == 0) {
            std::vector<int> lines;
            const int kx = keynum("XTRIM");
            for (auto it = bodyline.lower_bound({kx, 0}); it != bodyline.end() && it->first.first == kx; ++it)
                lines.push_back(it->second.first);
            std::sort(lines.begin(), lines.end());
            for (int line : lines)
                held.push_back(" WARNING: keyword XTRIM in line " + std::to_string(line) + " of configuration file " +
                               fnames::FILECFG + " ignored: no waterline trimming (ITRIMWL = 0)");
        }
        if (tanks_poten(ps) != 0) {
            IERR = 1;
            return;
        }
    } else if (NTANKS >= 1) {
        if (RHOTANK.extent(1) < NTANKS && !RHOTANK.resize_keep_fill(-1.0f, NTANKS)) {
            IERR = fail("Insufficient memory to allocate RHOTANK array");
            return;
        }
        if (RHOTANK(1) < 0.0f) {
            IERR = fail(" RHOTANK not in CONFIG.ZRV, NTANKS=", NTANKS);
            return;
        }
        for (int t = 2; t <= NTANKS; ++t)
            if (RHOTANK(t) < 0.0f) RHOTANK(t) = RHOTANK(t - 1);
        if (!CTANK.allocate(9, NTANKS) || !VOLTANK.allocate(3, NTANKS)) {
            IERR = fail("Insufficient memory to allocate tank arrays");
            return;
        }
    }

    if (IRR.size() > 0 && *std::min_element(IRR.begin(), IRR.end()) < 0) {
        IERR = fail(" Not enough data for IRR in CONFIG.ZRV");
        return;
    }
    if (!poten && IALTFRC == 2) IALTFRCN.fill(2);
}

}  // namespace zorva::cfg
