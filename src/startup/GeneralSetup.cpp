#include "startup/GeneralSetup.h"

#include <filesystem>

namespace kps {

std::string GeneralSetup::SettingsFolder() const {
    auto folder = std::filesystem::path(IniPath).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

}  // namespace kps
