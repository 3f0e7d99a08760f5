#pragma once

#include <string>

namespace kps {

// Where the layout file `name` (as the device stores it) is: the name itself
// when it exists from the current folder, else the settings file's folder
// joined with it when that exists, else the name unchanged.
std::string FindLayoutFile(const std::string& name, const std::string& settingsFolder);

}  // namespace kps
