// Recording versions of the program's stand-ins for the driver tests.
#include "tests/drivers/standin_recorder.hpp"

#include <functional>
#include <map>
#include <vector>

#include "common/messages.hpp"

namespace zorva {

namespace standin {

std::vector<std::string> CALLS;
std::function<void(const std::string&)> ON_CALL;

namespace {
std::map<std::string, int, std::less<>> failat;  // routine -> call number that fails
std::map<std::string, int, std::less<>> ncalls;
std::map<std::string, int, std::less<>> warnings;

// Records the call; returns 1 (after the routine's message) when this call
// is the one a test asked to fail.
int record(std::string_view name, const std::string& args = {}) {
    CALLS.push_back(args.empty() ? std::string(name) : std::string(name) + " " + args);
    int n = ++ncalls[std::string(name)];
    if (ON_CALL) ON_CALL(std::string(name));
    auto w = warnings.find(name);
    if (w != warnings.end() && (w->second == 0 || w->second == n)) ERRMSG("Warning from " + std::string(name), 0);
    auto it = failat.find(name);
    if (it != failat.end() && it->second == n) {
        ERRMSG("Error return from " + std::string(name), 0);
        return 1;
    }
    return 0;
}
}  // namespace

void fail(std::string_view name, int nth) { failat[std::string(name)] = nth; }
void warn(std::string_view name, int nth) { warnings[std::string(name)] = nth; }

void clear_calls() {
    CALLS.clear();
    failat.clear();
    ncalls.clear();
    warnings.clear();
}

void reset() {
    clear_calls();
    ON_CALL = nullptr;
}

namespace {
struct Init {
    Init() { reset(); }
} init;
}  // namespace

}  // namespace standin

using standin::record;


}  // namespace zorva
