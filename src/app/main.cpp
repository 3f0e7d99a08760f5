// kitchen-print-server: the command line.

#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/DemoOutlet.h"
#include "app/DemoPrinterProcess.h"
#include "app/RunPreview.h"
#include "app/RunReprint.h"
#include "app/RunServer.h"
#include "app/RunStatusToken.h"
#ifdef KPS_WITH_GUI
#include "app/PreviewPainterQt.h"
#endif
#include "startup/PasswordTool.h"
#include "startup/SettingsFile.h"
#include "startup/StartupSequence.h"
#include "text/KpsError.h"

namespace {

namespace fs = std::filesystem;

fs::path ExecutableFolder(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::absolute(argv0) : self).parent_path();
}

// The demo printer program: built beside the server, or found on the PATH.
std::string FakePrinterProgram(const fs::path& exeFolder) {
    for (const fs::path& candidate :
         {exeFolder / "fake-receipt-printer",
          exeFolder / "tools" / "fake-receipt-printer" / "fake-receipt-printer"}) {
        if (fs::exists(candidate)) {
            return candidate.string();
        }
    }
    return "fake-receipt-printer";
}

int Run(const kps::CommandLine& cl, int& argc, char** argv, const std::string& iniPath) {
#ifdef KPS_WITH_GUI
    const bool display = std::getenv("DISPLAY") != nullptr ||
                         std::getenv("WAYLAND_DISPLAY") != nullptr ||
                         std::getenv("QT_QPA_PLATFORM") != nullptr;
    if (!cl.headless && display) {
        return kps::RunWindowServer(argc, argv, iniPath);
    }
    if (!cl.headless) {
        std::cerr << "kitchen-print-server: no display; running headless\n";
    }
#else
    (void)argc;
    (void)argv;
    if (!cl.headless) {
        std::cerr << "kitchen-print-server: built without windows; running headless\n";
    }
#endif
    return kps::RunHeadlessServer(iniPath, cl.ticks);
}

}  // namespace

int main(int argc, char** argv) {
    // Printer connections and the CUPS tools may close on us mid-write; that
    // is a failed print, never the end of the server.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto cl = kps::ParseCommandLine(args, error);
    if (!cl) {
        std::cerr << "kitchen-print-server: " << error << "\n" << kps::UsageText();
        return kps::kExitCommandLine;
    }
    const fs::path exeFolder = ExecutableFolder(argv[0]);
    switch (cl->action) {
        case kps::CommandLine::Action::Help:
            std::cout << kps::HelpText();
            return kps::kExitNormal;
        case kps::CommandLine::Action::Version:
            std::cout << "kitchen-print-server " KPS_VERSION "\n";
            return kps::kExitNormal;
        case kps::CommandLine::Action::EncryptPassword: {
            std::random_device seed;
            std::mt19937 rng(seed());
            return kps::EncryptPasswordCommand(std::cin, std::cout, std::cerr, cl->settingsFile,
                                               rng);
        }
        case kps::CommandLine::Action::Demo: {
            try {
                const fs::path folder = fs::absolute(cl->demoFolder);
                const std::string fakePrinter = FakePrinterProgram(exeFolder);
                kps::DemoPrinterProcess printer(fakePrinter, (folder / "bar1-jobs").string());
                kps::DemoPrinterProcess divertPrinter(fakePrinter, (folder / "bar2-jobs").string());
                const std::string ini =
                    kps::CreateDemoOutlet(folder.string(), printer.Port(), divertPrinter.Port());
                // The direct port kitchen1.prn is a file relative to the current folder.
                fs::current_path(folder);
                std::cout << "Demo outlet in " << folder.string() << ": kitchen tickets go to "
                          << (folder / "kitchen1.prn").string()
                          << ", bar tickets to the fake printer on 127.0.0.1:" << printer.Port()
                          << ", diverted ones to 127.0.0.1:" << divertPrinter.Port() << "\n"
                          << std::flush;
                return Run(*cl, argc, argv, ini);
            } catch (const std::exception& e) {
                std::cerr << "kitchen-print-server: cannot create the demo outlet: " << e.what()
                          << "\n";
                return kps::kExitFatalError;
            }
        }
        case kps::CommandLine::Action::Run:
        case kps::CommandLine::Action::Preview:
        case kps::CommandLine::Action::Reprint:
        case kps::CommandLine::Action::StatusToken:
            break;
    }
    const std::string ini = cl->settingsFile.empty() ? kps::FindSettingsFile(exeFolder.string())
                                                     : fs::absolute(cl->settingsFile).string();
    if (cl->action == kps::CommandLine::Action::Reprint) {
        return kps::RunReprint(ini, cl->device, cl->reprintNumber, std::cout, std::cerr);
    }
    if (cl->action == kps::CommandLine::Action::StatusToken) {
        return kps::RunStatusToken(ini, std::cout, std::cerr);
    }
    if (cl->action == kps::CommandLine::Action::Preview) {
#ifdef KPS_WITH_GUI
        return kps::RunPreviewWithPictures(argc, argv, ini, cl->device, cl->outFolder);
#else
        return kps::RunPreview(ini, cl->device, cl->outFolder, nullptr, std::cout, std::cerr);
#endif
    }
    return Run(*cl, argc, argv, ini);
}
