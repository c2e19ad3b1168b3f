// Test helpers: each test that touches files runs in a fresh temporary
// working directory, with the channel table and the clock reset.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace zorva::test {

// Creates and enters a fresh directory; leaves and removes it at the end.
// The keyboard reads from `keyboard`, the screen writes to `screen`, and the
// clock is fixed at 05-Mar-2024 09:07:03.
class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Write a text file in the working directory.
    static void write_file(const std::string& name, const std::string& text);
    // Whole content of a file ("" if missing).
    static std::string read_file(const std::string& name);
    static std::vector<std::string> read_lines(const std::string& name);
    // Runs the built program in the folder DIR without a console; its
    // screen output goes to DIR/screen.txt and to OUT.  Its exit status, or
    // -1 when it did not end normally.
    static int run_program(const std::filesystem::path& dir, std::string& out);
    void set_input(const std::string& text);

    std::istringstream keyboard;
    std::ostringstream screen;
    std::filesystem::path dir, old_cwd;
};

// Path of a file below the source tree (examples, test data).
std::string source_path(const std::string& rel);

// The input files of examples/<name>: fnames.zrv, the files it lists, and
// the body files that a global geometry file among them names.  Outputs of
// a run made in the example folder are not among them.
std::vector<std::string> example_inputs(const std::string& name);
// The geometry-model files among them: those that its geometry and
// control-surface files of kind 2 name.
std::vector<std::string> example_models(const std::string& name);
// Copies those input files into the folder `to` (default: the working
// directory), replacing files of the same name.
void copy_example(const std::string& name, const std::filesystem::path& to = ".");

}  // namespace zorva::test
