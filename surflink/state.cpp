// Library-wide state, the log, and the release exports RGKDONE and
// RGKDONECSF.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "surflink/state.hpp"
#include "surflink/surflink.h"

namespace surflink {

State& S() {
    static State s;
    return s;
}

int colour_type(int colour) {
    switch (colour) {
    case 7: return 3;
    case 11: return 2;
    case 15: return 4;
    default: return 1;
    }
}

Record::~Record() {
    if (panemap) rg_DeallocatePaneMaps(panemap.get());
    rg_RedimSDAH(&surfaces, 0);
    for (auto& a : owned) rg_Redim(a.get(), 0);
    if (model != 0) rg_DestroyModel(model);
}

void release(Entry& e) { e.rec.reset(); }

namespace log {

const char* const EQ_LINE = "=====================================================";
const char* const DASH_LINE = "-----------------------------------------------------";

namespace {
const char* const LOGFILE = "rgklog.txt";
FILE* held = nullptr;
}  // namespace

void create() {
    release();
    held = std::fopen(LOGFILE, "w");
}

void hold_append() {
    release();
    held = std::fopen(LOGFILE, "a");
}

void release() {
    if (held) std::fclose(held);
    held = nullptr;
}

void put(const char* fmt, ...) {
    FILE* f = held ? held : std::fopen(LOGFILE, "a");
    if (!f) return;  // the log cannot be written: the line is lost
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(f, fmt, ap);
    va_end(ap);
    if (f == held) std::fflush(f);
    else std::fclose(f);
}

std::string now() {
    char buf[23] = {};
    rg_DateTime(22, buf);
    buf[22] = '\0';
    return buf;
}

}  // namespace log
}  // namespace surflink

using namespace surflink;

extern "C" {

void RGKDONE(void) {
    State& s = S();
    // Every entry is freed with the tables; the control surface too when
    // RGKDONECSF was not called.
    for (auto& e : s.e) release(e);
    log::put("There were %d RGKEVAL calls.\n", s.neval);
    log::put("There were %d RGKX2NUV calls.\n", s.nx2nuv);
    log::put("Executing RGKDONE at %s\n", log::now().c_str());
    log::release();
    rg_AccessDone();
    s.e.clear();
    s.tables = false;
}

void RGKDONECSF(void) {
    State& s = S();
    if (!s.e.empty()) release(s.e[0]);
    log::put("There were %d RGKEVALCSF calls.\n", s.nevalcsf);
    log::put("Executing RGKDONECSF at %s\n", log::now().c_str());
}

}  // extern "C"
