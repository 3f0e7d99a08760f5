#pragma once

#include <string>

namespace kps {

// The folder an installed server keeps its settings in.
inline constexpr const char* kSystemSettingsFolder = "/etc/kitchen-print-server";

// The settings file to use when none is named: GSetup.ini beside the
// executable, else GSetup.ini in `systemFolder`. When neither exists, the
// one in `systemFolder`, so the missing file's message names where an
// installed server wants it.
std::string FindSettingsFile(const std::string& exeFolder,
                             const std::string& systemFolder = kSystemSettingsFolder);

}  // namespace kps
