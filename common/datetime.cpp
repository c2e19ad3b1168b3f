#include "common/datetime.hpp"

#include "common/clock.hpp"

namespace zorva {

std::string RUNDATE;
std::string RUNTIME;

void DATETIME(std::string& DATE, std::string& TIME) {
    // One reading of the clock for both texts, so they belong together.
    const clock::DateTime t = clock::now();
    DATE = clock::date_text(t);
    TIME = clock::time_text(t);
}

}  // namespace zorva
