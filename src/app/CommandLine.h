#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kps {

struct CommandLine {
    enum class Action { Run, Demo, EncryptPassword, Preview, Reprint, StatusToken, Help, Version };

    Action action = Action::Run;
    std::string settingsFile;  // empty: FindSettingsFile
    bool headless = false;
    long ticks = 0;  // 0: until shut down
    std::string demoFolder = "demo-outlet";
    std::string device;                 // --preview: only this device; --reprint: its device
    std::string outFolder = "preview";  // --preview
    int reprintNumber = 1;              // --reprint: 1 the last ticket, 2 the one before, ...
};

// Parses the arguments (without the program name). An unusable command line
// gives nullopt and a message in `error`.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

// The synopsis, shown after a bad command line.
std::string UsageText();

// --help: every option, where the settings are looked for, the exit statuses.
std::string HelpText();

}  // namespace kps
