// SURFLINK's library-wide state: the per-entry tables, the body records,
// the call counters and result buffers, and the log rgklog.txt.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/zuzovoza/zuzovoza.h"

namespace surflink {

// What one block of a control file loaded.
struct Record {
    int model = 0;
    std::string title;
    double ULEN = 0.0, GRAV = 0.0;
    int symcode = 0;                       // ISX + 2 ISY
    rg_SDAH surfaces{};                    // selected surfaces, each NROT times in a row
    std::vector<rg_Array*> evalarrays;     // per surface-list entry (null: none)
    std::vector<std::unique_ptr<rg_Array>> owned;  // the arrays, one per surface
    std::vector<int> ptype;                // per surface-list entry
    std::vector<int> firstpan, lastpan;    // per selected surface
    int npan1 = 0, npan2 = 0;              // low-order panels not of type 2 / of type 2
    std::unique_ptr<rg_PaneMap> panemap;   // null unless every surface is untrimmed
    std::string file, file2;
    int tanklist = 0, ntank = 0;
    int flags = 0;    // 1: all qualify for low-order panels, 2: all untrimmed
    int inward = 0;   // normals-inward flag of the block
    int ilowhi = 1;   // ILOWHICSF of a control-surface block

    Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    // Gives back to the kernel what the record holds: also when the library
    // is unloaded with entries still loaded (no RGKDONE).
    ~Record();
};

struct Entry {
    int npatch = 0, symcode = 0, axis = 0, nrot = 1, igdef = 0, irr = 0, itkms2 = 0;
    std::unique_ptr<Record> rec;
};

struct State {
    bool tables = false;  // RGKINIT has allocated the entries
    int NBODY = 0, ILOWHI = 0;
    double GRAV = 0.0;
    int unit = 0;  // length-unit code inferred from GRAV
    std::string unitname;
    int neval = 0, nx2nuv = 0, nevalcsf = 0;
    double X[3]{}, XU[3]{}, XV[3]{};     // RGKEVAL
    double Xc[3]{}, XUc[3]{}, XVc[3]{};  // RGKEVALCSF
    double Xp[3]{}, up = 0.0, vp = 0.0, distp = 0.0;  // RGKX2NUV
    std::vector<Entry> e;                // 0..NBODY
};

State& S();

// Frees what an entry's record holds and drops the record.
void release(Entry& e);

// Colour type: 3 free surface, 2 dipole, 4 left out, 1 hull.
int colour_type(int colour);

// The log.  While a run of RGKINIT or RGKINITCSF holds it open, messages go
// through that one handle and are flushed at once; otherwise each message is
// appended by opening and closing the file.
namespace log {
void create();       // new file, held
void hold_append();  // existing file (or new), held
void release();
void put(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string now();   // date and time from the kernel
extern const char* const EQ_LINE;
extern const char* const DASH_LINE;
}  // namespace log

// Selection of the surfaces of a loaded block and the entry's tables.
struct BlockNames {
    std::string wetted, tank;
    double zoffset = 0.0;  // XBODY(3)
    int npatch = 0;        // NPATCH (NPATCSF) of the block
};
void select_surfaces(int e, const BlockNames& names, int& ierr);

// Symmetry class of an entry against its model: 0 agrees with the model,
// 1 the model's images belong to the export, -1 ISX or ISY without model
// symmetry, -2 planes not matched, -3 planes with rotational symmetry
// about z.
int symmetry_class(const Entry& en, int model);
void patch_table();

inline void first_code(int& ierr, int code) {
    if (ierr == 0) ierr = code;
}

}  // namespace surflink
