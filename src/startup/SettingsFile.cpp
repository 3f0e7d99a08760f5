#include "startup/SettingsFile.h"

#include <filesystem>

namespace kps {

std::string FindSettingsFile(const std::string& exeFolder, const std::string& systemFolder) {
    namespace fs = std::filesystem;
    const fs::path beside = fs::path(exeFolder) / "GSetup.ini";
    std::error_code ec;
    return fs::exists(beside, ec) ? beside.string()
                                  : (fs::path(systemFolder) / "GSetup.ini").string();
}

}  // namespace kps
