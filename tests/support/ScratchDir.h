// A fresh temporary folder made the current one for the life of the object.
#pragma once

#include <filesystem>
#include <string>

class ScratchDir {
public:
    ScratchDir() : previous_(std::filesystem::current_path()) {
        const auto base = std::filesystem::temp_directory_path();
        for (int i = 0;; ++i) {
            path_ = base / ("tolvane-test-" + std::to_string(i));
            if (std::filesystem::create_directory(path_)) break;
        }
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
