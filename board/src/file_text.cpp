#include "file_text.h"

#include <array>
#include <fstream>

namespace tarnlink {

FileTextResult ReadFileText(const char* path, std::size_t maxBytes, std::string& text) {
    text.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return FileTextResult::Unreadable;
    }
    std::array<char, 16 * 1024> chunk{};
    while (file.read(chunk.data(), chunk.size()) || file.gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
        if (text.size() > maxBytes) {
            return FileTextResult::TooLarge;
        }
    }
    // Reading a folder fails here, not when it is opened.
    return file.bad() ? FileTextResult::Unreadable : FileTextResult::Ok;
}

} // namespace tarnlink
