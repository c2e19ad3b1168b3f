// A benchmark's working folder: made under the system's temporary folder
// and entered on first use, left and removed when the program ends.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace zorva::bench {

class WorkDir {
public:
    explicit WorkDir(const std::string& name)
        : dir_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~WorkDir() {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(dir_, ec);
    }
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

private:
    std::filesystem::path dir_;
};

}  // namespace zorva::bench
