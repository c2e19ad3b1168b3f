// Every shared module of the program back at its start (between runs in
// one test, or at a test's set-up).
#pragma once

namespace zorva::test {

void reset_modules();

}  // namespace zorva::test
