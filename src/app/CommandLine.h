#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kps {

struct CommandLine {
    enum class Action { Run, Demo, EncryptPassword, Help, Version };

    Action action = Action::Run;
    std::string settingsFile;  // empty: GSetup.ini beside the executable
    bool headless = false;
    long ticks = 0;  // 0: until shut down
    std::string demoFolder = "demo-outlet";
};

// Parses the arguments (without the program name). An unusable command line
// gives nullopt and a message in `error`.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

std::string UsageText();

}  // namespace kps
