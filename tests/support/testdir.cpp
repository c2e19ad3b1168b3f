#include "tests/support/testdir.hpp"

#include <fstream>
#include <random>

#include "common/channels.hpp"
#include "common/clock.hpp"

namespace zorva::test {

void TempDirTest::SetUp() {
    old_cwd = std::filesystem::current_path();
    std::random_device rd;
    dir = std::filesystem::temp_directory_path() / ("zorvatest_" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    chan::reset();
    chan::set_keyboard(&keyboard);
    chan::set_screen(&screen);
    clock::set_source([] { return clock::DateTime{2024, 3, 5, 9, 7, 3}; });
}

void TempDirTest::TearDown() {
    chan::reset();
    clock::set_source({});
    std::filesystem::current_path(old_cwd);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void TempDirTest::write_file(const std::string& name, const std::string& text) {
    std::ofstream f(name, std::ios::binary);
    f << text;
}

std::string TempDirTest::read_file(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> TempDirTest::read_lines(const std::string& name) {
    std::ifstream f(name);
    std::vector<std::string> out;
    std::string line;
    while (std::getline(f, line)) out.push_back(line);
    return out;
}

void TempDirTest::set_input(const std::string& text) {
    keyboard.clear();
    keyboard.str(text);
}

std::string source_path(const std::string& rel) { return std::string(ZORVA_SOURCE_DIR_STR) + "/" + rel; }

}  // namespace zorva::test
