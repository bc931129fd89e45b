#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// A folder of its own for a fuzz run, gone again at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) : path("/tmp/" + name + "-XXXXXX") {
        if (::mkdtemp(path.data()) == nullptr) {
            std::abort();
        }
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path;
};
