#include "main/drivers/mainprog.hpp"

#include "common/channels.hpp"
#include "common/messages.hpp"

namespace zorva {

// Placeholder until the run sequence is built: opens the run log only.
int MAIN() {
    if (chan::open(IULOG, "zorvalog.txt", chan::Status::Replace) != 0) {
        chan::write_line(IUSCR, " Unable to open ZORVA log file, UNIT =   4");
        return 1;
    }
    chan::close(IULOG);
    return 0;
}

}  // namespace zorva
