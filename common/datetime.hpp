// Date and time stamps of the run: the shared stamp texts and the routine
// that gives the current date and time as text.
#pragma once

#include <string>

namespace zorva {

// Date and time of the latest run stamp ("DD-Mon-YYYY", "HH:MM:SS"), set by
// RUNSTAMP and by the stage drivers through ERRLOGOPEN; the POTEN progress
// line prints them.
extern std::string RUNDATE;
extern std::string RUNTIME;

// DATE receives the current date as "DD-Mon-YYYY" (11 characters), TIME the
// current time as "HH:MM:SS" (8 characters).  RUNDATE and RUNTIME are not
// touched unless they are the texts passed.
void DATETIME(std::string& DATE, std::string& TIME);

}  // namespace zorva
