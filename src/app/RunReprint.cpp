#include "app/RunReprint.h"

#include <filesystem>
#include <thread>

#include "mainwindow/HeadlessOperator.h"
#include "reprint/ReprintRequest.h"
#include "startup/ExitStatus.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/StateFolder.h"
#include "text/KpsError.h"

namespace kps {
namespace {

bool TakenWithin(const std::string& requestFile, std::chrono::milliseconds wait) {
    constexpr std::chrono::milliseconds kLookEvery{100};
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    std::error_code ec;
    while (std::filesystem::exists(requestFile, ec)) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            // Withdrawn, unless a server took it in the meantime.
            return !WithdrawReprintRequest(requestFile);
        }
        std::this_thread::sleep_for(kLookEvery);
    }
    return true;
}

}  // namespace

int RunReprint(const std::string& iniPath, const std::string& device, int n, std::ostream& out,
               std::ostream& err, std::chrono::milliseconds wait) {
    HeadlessOperator op(err);
    try {
        const GeneralSetup setup = LoadGeneralSetup(iniPath, op, err);
        const std::string stateFolder = ResolveStateFolder(setup);
        std::error_code ec;
        if (!std::filesystem::is_directory(stateFolder, ec)) {
            // Created here, it would belong to whoever runs this command.
            err << "kitchen-print-server: the state folder " << stateFolder
                << " does not exist: no server has run on " << iniPath
                << "; nothing was reprinted\n";
            return kExitNotReprinted;
        }
        const std::string request = WriteReprintRequest(stateFolder, device, n);
        if (!TakenWithin(request, wait)) {
            err << "kitchen-print-server: no server took the reprint request for '" << device
                << "' within " << wait.count() / 1000.0 << " s; nothing was reprinted. Is the "
                << "server running on " << iniPath << "?\n";
            return kExitNotReprinted;
        }
        out << "The running server took the reprint request for '" << device
            << "'; its print log tells how the printer answered\n";
        return kExitNormal;
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return kExitFatalError;
    }
}

}  // namespace kps
