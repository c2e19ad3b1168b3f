// The configuration block: the values of the configuration keywords, read
// once per stage by RDCONFIG and read by every subsystem, with the per-body
// and tank arrays that the configuration gives.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "common/farray.hpp"

namespace zorva::cfg {

inline constexpr int NKEYS = 50;  // entries of the keyword table
inline constexpr int NCFGI = 36;  // integer keywords at the head of the table

// Integer keywords, in table order.
extern int IDIAG, ILOWHI, ILOG, IPERIO, IQUAD, IQUADI, IQUADO, ISCATT, ISOLVE, ISOR, KSPLIN, MAXSCR,
    MODLST, MONITR, IFORCE, IPOTEN, MAXITT, MAXMIT, NUMHDR, NUMNAM, ILOWGDF, IPLTDAT, IPNLBPT, INUMOPT5,
    INUMOPT6, INUMOPT7, IALTPOT, IALTFRC, ITANKFPT, ICTRSURF, IFIELD_ARRAYS, ITRIMWL, IBODY_WAVEMAKER,
    IWALLX0, IWALLY0, IREADRAO;

// Real and text keywords.
extern float PANEL_SIZE;         // negative: not given
extern float TOLGAPWL;
extern std::string SCRATCH_PATH; // first blank-delimited word of the value, at most 40 characters
extern int LSCRATCH;             // its length

// Given-flags: CFGSET(k) = 1 when a line with keyword k of the table was
// matched in the current stage.  KEYXBODY is the place of XBODY.
extern Arr1<int> CFGSET;
extern int KEYXBODY;

// Per-body arrays (body index NB from 1), grown on demand.
extern int NBODY;                // number of bodies (1 until the model readers set it)
extern Arr1<int> IRR;            // irregular-frequency index, -1 = unset
extern Arr2<float> XBODY;        // (1:4, NB): x, y, z of the origin and heading (degrees)
extern Arr2<float> XTRIM;        // (1:3, NB): sinkage, pitch, roll
extern Arr1<int> NEWMDS;         // generalized modes per body
extern Arr1<int> IGENMDS;
extern Arr1<int> NTANKB;         // tank count per body (NPTANK ranges)
extern Arr1<int> IALTFRCN;       // FORCE: force-control layout per body
extern Arr1<int> NOOUT;          // FORCE: output suppression flags

// Internal tanks and dipole panels.
extern int NTANKS, IDIPOLE, IZTANKFS;
extern Arr1<float> ZTANKFS;      // free-surface height per tank
extern Arr2<float> CTANK;        // (1:9, tank)
extern Arr2<float> VOLTANK;      // (1:3, tank)
extern Arr1<int> ITANKB;         // body of each tank
extern Arr1<float> RHOTANK;      // FORCE: tank fluid density

// Names of the keyword table, in table order (KEYNAME[k-1] is keyword k);
// CFGSET(k) belongs to KEYNAME[k-1].
extern const char* const KEYNAME[NKEYS];

// Reads the configuration file FILECFG for the POTEN stage (RUNTYPE 0) or
// the FORCE stage (RUNTYPE 1).  IERR 0: read, or no file (defaults stand);
// 1: an error, its message already written.
void RDCONFIG(int RUNTYPE, int& IERR);

// The POTEN pass holds its warnings: a comment line that starts with a
// keyword, an unknown keyword, and a file without a line giving a keyword
// (no file, a file that cannot be read, a file of blanks only, of comments
// or of unknown keywords).  The first stage that runs writes them here once
// its error log is open, so that they reach the screen and both logs (an
// error of the reader writes them first).  Nothing when none is held.
void warn_file();

// After a message that refuses the value a keyword has in the run (checked
// once the model is read): when the configuration file gave KEY (for body
// NB, when NB > 0), the line naming the file, the last line that gave it,
// the keyword and its value as written.  Returns 1.
int name_given(std::string_view key, int nb = 0);

// After the model input, once the bodies are counted: one warning for each
// line of the POTEN pass that gave a per-body keyword (XBODY, XTRIM, IRR,
// NEWMDS, IGENMDS, NPDIPOLE) for a body beyond NBODY, which the run
// ignores, naming the file, the line and the keyword with its body.
void warn_bodies();

// The configuration block as it stands (every target of the keyword table,
// the given-flags, the tank densities and volumes, and where each keyword
// was given), put back when the object goes: a check that reads the file as
// the other stage will (RDCONFIG with the other RUNTYPE) leaves the values
// of the stage that runs as they were.
class Kept {
public:
    Kept();
    ~Kept();
    Kept(const Kept&) = delete;
    Kept& operator=(const Kept&) = delete;

private:
    struct Values;
    std::unique_ptr<Values> was_;
};

// Grow-and-keep of the per-body arrays to NBNEW bodies (nothing happens
// when the array is already as large).  IERR 1 when memory runs out.
// GROWIRR fills new entries with -1 (unset); with IFILL other than -1 they
// take a copy of the last old entry.
void GROWIRR(int NBNEW, int& IERR);
void GROWIRR(int NBNEW, int IFILL, int& IERR);
void GROWXTRIM(int NBNEW, int& IERR);   // new entries 0.0
void GROWXBODY(int NBNEW, int& IERR);   // new entries left for the model readers
void GROWGENM(int NBNEW, int& IERR);    // NEWMDS and IGENMDS, new entries 0
void ALLOCCFG2(int NBNEW, int& IERR);   // tank count per body, new entries 0

// The defaults of the keywords that have one (the others stay as they are).
void set_defaults();

// Back to the state before any configuration was read (for tests).
void reset();

}  // namespace zorva::cfg
