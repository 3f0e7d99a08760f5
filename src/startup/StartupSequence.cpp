#include "startup/StartupSequence.h"

#include <exception>
#include <filesystem>

#include "startup/LoadGeneralSetup.h"
#include "startup/MasterData.h"
#include "startup/OpenConnection.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// The number a failure outside our own errors is reported with.
constexpr long kErrUnexpected = 51;

StartupResult Ended(StartupResult result, StartupResult::Outcome outcome, int exitStatus) {
    result.outcome = outcome;
    result.exitStatus = exitStatus;
    result.db.reset();
    result.lock.reset();
    return result;
}

}  // namespace

StartupResult RunStartup(const std::string& iniPath, Operator& op, std::ostream& diagnostics) {
    StartupResult result;
    try {
        result.lock = SingleInstance::TryAcquire(iniPath);
        if (!result.lock) {
            op.ShowMessage("Print Server Already Started.", "Message", MessageIcon::Exclamation,
                           MessageButtons::Ok);
            return Ended(std::move(result), StartupResult::Outcome::AlreadyRunning,
                         kExitAlreadyRunning);
        }
        result.setup = LoadGeneralSetup(iniPath, op, diagnostics);
        result.db = OpenConnection(result.setup);
        result.RefOutlet = LoadOutlet(*result.db, result.setup);
        result.MissingLayoutDevices = LoadPrinterGroups(*result.db, result.setup.SettingsFolder());
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return Ended(std::move(result), StartupResult::Outcome::Failed, kExitFatalError);
    } catch (const std::exception& error) {
        ShowFatalErrorReport(op, kErrUnexpected, error.what());
        return Ended(std::move(result), StartupResult::Outcome::Failed, kExitFatalError);
    }

    if (!result.MissingLayoutDevices.empty()) {
        std::error_code ec;
        diagnostics << "<3>Layout files were looked for in the current folder ("
                    << std::filesystem::current_path(ec).string() << ") and then in "
                    << result.setup.SettingsFolder() << "." << std::endl;
        op.ShowMessage("No Kitchen Files Select for Device : " + result.MissingLayoutDevices,
                       "Print Server Message", MessageIcon::Critical, MessageButtons::Ok);
        return Ended(std::move(result), StartupResult::Outcome::MissingLayouts,
                     kExitMissingLayouts);
    }
    result.outcome = StartupResult::Outcome::Running;
    result.exitStatus = kExitNormal;
    return result;
}

}  // namespace kps
