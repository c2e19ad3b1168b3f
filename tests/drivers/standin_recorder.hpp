// The driver tests' own versions of the routines that the program has only
// as stand-ins (main/drivers/standins.hpp): each records its call, and a
// test can make a chosen call fail or warn, or act at a call.  Linked into
// the driver tests in place of the program's stand-ins.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>


namespace zorva::standin {

// Calls in the order made: the routine's name, for some followed by the
// arguments that tell the calls apart.
extern std::vector<std::string> CALLS;

// Make the nth call (from 1) of the named routine return status 1 (after one
// message through ERRMSG, as the routine would write).
void fail(std::string_view name, int nth = 1);
// Make the nth call (0: every call) of the named routine write a warning
// (status stays 0).
void warn(std::string_view name, int nth = 0);

// Called with the routine's name at each recorded call, before a chosen
// failure: lets a test put in place what the routine would make, change the
// run at that point, or look at the state the driver has reached.
extern std::function<void(const std::string&)> ON_CALL;

// Back to the start: no calls, no failures, warnings or hook.
void reset();
// No calls, failures or warnings; the hook kept.
void clear_calls();

}  // namespace zorva::standin
