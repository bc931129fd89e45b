#include "link/executable_folder.h"

#include <filesystem>
#include <system_error>

namespace qmt::link {

std::string ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return exe.parent_path().string();
}

} // namespace qmt::link
