#include "startup/LayoutFilePath.h"

#include <filesystem>

namespace kps {

std::string FindLayoutFile(const std::string& name, const std::string& settingsFolder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(name, ec) || settingsFolder.empty()) {
        return name;
    }
    const fs::path beside = fs::path(settingsFolder) / name;
    return fs::exists(beside, ec) ? beside.string() : name;
}

}  // namespace kps
