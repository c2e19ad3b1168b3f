#include "tests/support/testdir.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>

#include <sys/wait.h>

#include "common/channels.hpp"
#include "common/clock.hpp"

namespace zorva::test {

void TempDirTest::SetUp() {
    // Called again within a test: the earlier folder goes first.
    if (dir.empty()) {
        old_cwd = std::filesystem::current_path();
    } else {
        std::filesystem::current_path(old_cwd);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
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
    dir.clear();
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

namespace {

std::string first_word(const std::string& line) {
    std::istringstream ss(line);
    std::string w;
    ss >> w;
    return w;
}

// The geometry-model file that a geometry or control-surface file of kind 2
// (the second number of its fourth line) names on its sixth line; "" for
// any other file.
std::string model_named(const std::filesystem::path& file) {
    const std::string ext = file.extension().string();
    if (ext != ".gdf" && ext != ".csf") return "";
    std::ifstream in(file);
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < 6 && std::getline(in, line)) lines.push_back(line);
    if (lines.size() < 6) return "";
    std::istringstream head(lines[3]);
    std::string count, kind;
    head >> count >> kind;
    return kind == "2" ? first_word(lines[5]) : "";
}

}  // namespace

std::vector<std::string> example_inputs(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path src = source_path("examples/" + name);
    std::vector<std::string> files{"fnames.zrv"};
    auto add = [&](const std::string& f) {
        if (!f.empty() && std::find(files.begin(), files.end(), f) == files.end() && fs::is_regular_file(src / f))
            files.push_back(f);
    };
    std::ifstream list(src / "fnames.zrv");
    std::string line;
    while (std::getline(list, line)) add(first_word(line));
    // A global geometry file names the geometry files of its bodies, one to
    // a line.
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (!files[i].ends_with(".gdf")) continue;
        std::ifstream gdf(src / files[i]);
        while (std::getline(gdf, line)) {
            const std::string w = first_word(line);
            if (w.ends_with(".gdf")) add(w);
        }
    }
    // Companion inputs of a geometry file share its base name: spline
    // control, extra modes, body points, control surface and its splines.
    const std::size_t n = files.size();
    for (std::size_t i = 1; i < n; ++i) {
        if (!files[i].ends_with(".gdf")) continue;
        const std::string base = files[i].substr(0, files[i].size() - 4);
        for (const char* ext : {".spl", ".mod", ".bpi", ".csf", ".csp"}) add(base + ext);
    }
    for (std::size_t i = 1, m = files.size(); i < m; ++i) add(model_named(src / files[i]));
    return files;
}

std::vector<std::string> example_models(const std::string& name) {
    const std::filesystem::path src = source_path("examples/" + name);
    std::vector<std::string> models;
    for (const auto& f : example_inputs(name))
        if (const std::string m = model_named(src / f); !m.empty()) models.push_back(m);
    return models;
}

void copy_example(const std::string& name, const std::filesystem::path& to) {
    for (const auto& f : example_inputs(name))
        std::filesystem::copy_file(source_path("examples/" + name + "/" + f), to / f,
                                   std::filesystem::copy_options::overwrite_existing);
}

int TempDirTest::run_program(const std::filesystem::path& dir, std::string& out) {
    const std::string cmd =
        "cd '" + dir.string() + "' && '" + ZORVA_BINARY_DIR_STR + "/zorva' < /dev/null > screen.txt 2>&1";
    const int st = std::system(cmd.c_str());
    out = read_file((dir / "screen.txt").string());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

}  // namespace zorva::test
