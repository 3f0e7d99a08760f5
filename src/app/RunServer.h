#pragma once

#include <string>

namespace kps {

// Starts the server on the settings file and runs it until it is shut down
// (or for `ticks` polling cycles, headless); returns the exit status.
int RunHeadlessServer(const std::string& iniPath, long ticks);

// The same in the window; available when the program is built with Qt.
int RunWindowServer(int& argc, char** argv, const std::string& iniPath);

}  // namespace kps
