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
        } else if (arg == "--preview") {
            cl.action = CommandLine::Action::Preview;
        } else if (arg == "--device" || arg == "--out") {
            auto v = value(arg == "--device" ? "a device name" : "a folder");
            if (!v) {
                return std::nullopt;
            }
            (arg == "--device" ? cl.device : cl.outFolder) = *v;
        } else if (arg == "--reprint") {
            auto v = value("a device name");
            if (!v) {
                return std::nullopt;
            }
            cl.action = CommandLine::Action::Reprint;
            cl.device = *v;
            if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
                const std::string& n = args[++i];
                char* end = nullptr;
                const long number = std::strtol(n.c_str(), &end, 10);
                if (n.empty() || *end != '\0' || number < 1 || number > 50) {
                    error = "--reprint needs a ticket number from 1 to 50, not '" + n + "'";
                    return std::nullopt;
                }
                cl.reprintNumber = static_cast<int>(number);
            }
        } else if (arg == "--status-token") {
            cl.action = CommandLine::Action::StatusToken;
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
           "       kitchen-print-server --encrypt-password [--settings FILE]\n"
           "       kitchen-print-server --preview [--settings FILE] [--device NAME] [--out DIR]\n"
           "       kitchen-print-server --reprint DEVICE [N] [--settings FILE]\n"
           "       kitchen-print-server --status-token [--settings FILE]\n"
           "       kitchen-print-server --help | --version\n";
}

std::string HelpText() {
    return UsageText() +
           "\n"
           "Prints the kitchen tickets and notices that the point-of-sale terminals queue\n"
           "in the outlet's database, once a second.\n"
           "\n"
           "Options:\n"
           "  --settings FILE     the settings file (GSetup.ini) to use\n"
           "  --headless          no windows: messages go to standard error with their\n"
           "                      default answer; SIGTERM and SIGINT shut down after the\n"
           "                      current polling cycle, SIGHUP restarts cancelled printers\n"
           "  --ticks N           stop after N polling cycles (headless; 0: never)\n"
           "  --demo [DIR]        create a demo outlet in DIR (default demo-outlet) and run\n"
           "                      the server on it\n"
           "  --encrypt-password  read a password on standard input and scramble it: with\n"
           "                      --settings it is written as Password into that file, in\n"
           "                      the file's code page; without, it is printed\n"
           "  --preview           write the tickets the next polling cycle would print into\n"
           "                      DIR (default preview) as text and, in the window build,\n"
           "                      as PNG pictures; nothing is printed or marked, and a\n"
           "                      running server is not disturbed\n"
           "  --device NAME       with --preview: only the tickets of this device\n"
           "  --out DIR           with --preview: the folder to write into\n"
           "  --reprint DEVICE [N]  print the last (or N-th last, up to 50) ticket of a\n"
           "                      network or direct-port printer again, marked\n"
           "                      *** REPRINT ***: the running server takes the request\n"
           "                      from its state folder at its next polling cycle; when\n"
           "                      none takes it within 5 s, it is withdrawn\n"
           "  --status-token      print the running server's status page link with the\n"
           "                      token that lets the page resume printers, reprint and\n"
           "                      test print; keep it like a password\n"
           "  --help              this text\n"
           "  --version           the version\n"
           "\n"
           "Settings: without --settings, GSetup.ini beside the executable, else\n"
           "/etc/kitchen-print-server/GSetup.ini. Layout files are looked for in the\n"
           "current folder, then in the settings file's folder. An empty DrivePath puts\n"
           "the print log (LOG/Prt_ddmmyyyy.Log) in the settings file's folder.\n"
           "\n"
           "Exit status:\n"
           "  0  shut down, or the last of --ticks N done\n"
           "  2  bad command line, or the password could not be written\n"
           "  3  another copy already runs on the same state folder (after 10 s)\n"
           "  4  a printer group's device lacks its layout file\n"
           "  5  fatal error (database unreachable, statement failed, ...)\n"
           "  6  --reprint: no server took the request, or there is no state folder\n"
           "\n"
           "See kitchen-print-server(8).\n";
}

}  // namespace kps
