#include "app/CommandLine.h"

#include <cstdlib>

namespace kps {

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
    CommandLine cl;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* what) -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                error = arg + " needs " + what;
                return std::nullopt;
            }
            return args[++i];
        };
        if (arg == "--settings") {
            auto v = value("a file name");
            if (!v) {
                return std::nullopt;
            }
            cl.settingsFile = *v;
        } else if (arg == "--headless") {
            cl.headless = true;
        } else if (arg == "--ticks") {
            auto v = value("a number");
            if (!v) {
                return std::nullopt;
            }
            char* end = nullptr;
            long n = std::strtol(v->c_str(), &end, 10);
            if (v->empty() || *end != '\0' || n < 0) {
                error = "--ticks needs a whole number of 0 or more, not '" + *v + "'";
                return std::nullopt;
            }
            cl.ticks = n;
        } else if (arg == "--demo") {
            cl.action = CommandLine::Action::Demo;
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                cl.demoFolder = args[++i];
            }
        } else if (arg == "--encrypt-password") {
            cl.action = CommandLine::Action::EncryptPassword;
        } else if (arg == "--help" || arg == "-h") {
            cl.action = CommandLine::Action::Help;
        } else if (arg == "--version") {
            cl.action = CommandLine::Action::Version;
        } else {
            error = "unknown argument '" + arg + "'";
            return std::nullopt;
        }
    }
    return cl;
}

std::string UsageText() {
    return "usage: kitchen-print-server [--settings FILE] [--headless] [--ticks N]\n"
           "       kitchen-print-server --demo [DIR]\n"
           "       kitchen-print-server --encrypt-password   (reads the password on stdin)\n"
           "       kitchen-print-server --help | --version\n";
}

}  // namespace kps
