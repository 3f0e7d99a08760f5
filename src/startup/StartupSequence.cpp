#include "startup/StartupSequence.h"

#include <strings.h>

#include <exception>
#include <filesystem>
#include <thread>

#include "startup/ConnectionFactory.h"
#include "startup/LoadGeneralSetup.h"
#include "startup/MasterData.h"
#include "startup/OpenConnection.h"
#include "startup/StateFolder.h"
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

std::unique_ptr<SingleInstance> WaitForInstanceLock(const std::string& stateFolder,
                                                    std::chrono::milliseconds wait,
                                                    std::ostream& diagnostics) {
    constexpr std::chrono::milliseconds kRetryEvery{200};
    const auto giveUp = std::chrono::steady_clock::now() + wait;
    auto lock = SingleInstance::TryAcquire(stateFolder);
    if (!lock && wait.count() > 0) {
        diagnostics << "<5>Another server holds " << SingleInstance::LockFileIn(stateFolder)
                    << "; waiting up to " << wait.count() / 1000.0 << " s for it to end."
                    << std::endl;
    }
    while (!lock && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(kRetryEvery);
        lock = SingleInstance::TryAcquire(stateFolder);
    }
    return lock;
}

// Where the connection was tried, for the administrator who reads the
// report: the database file, or the server and the port the options name.
std::string DatabaseAddress(const GeneralSetup& setup) {
    if (const std::string file = SqliteDatabaseFile(setup); !file.empty()) {
        return "file " + file;
    }
    std::string address = "server '" + setup.ServerName + "'";
    std::size_t start = 0;
    while (start < setup.OdbcOptions.size()) {
        const std::size_t end =
            std::min(setup.OdbcOptions.find(';', start), setup.OdbcOptions.size());
        const std::string option = setup.OdbcOptions.substr(start, end - start);
        if (strncasecmp(option.c_str(), "Port=", 5) == 0) {
            address += " port ";
            address += option.substr(5);
        }
        start = end + 1;
    }
    return address;
}

std::unique_ptr<Connection> ConnectNamingTheAddress(GeneralSetup& setup) {
    try {
        return OpenConnection(setup);
    } catch (const KpsError& error) {
        std::string description = "Cannot connect to the database '";
        description += setup.DatabaseName;
        description += "' at ";
        description += DatabaseAddress(setup);
        description += ": ";
        description += error.Description();
        throw KpsError(error.Number(), description);
    }
}

}  // namespace

StartupResult RunStartup(const std::string& iniPath, Operator& op, std::ostream& diagnostics,
                         std::chrono::milliseconds lockWait) {
    StartupResult result;
    try {
        // The lock lives in the state folder, which the settings name.
        result.setup = LoadGeneralSetup(iniPath, op, diagnostics);
        // Without a settings file (DrivePath is set from any file read) there
        // is no state folder nor log to use; the connection fails next.
        if (!result.setup.DrivePath.empty()) {
            op.KeepFatalErrorsIn(result.setup.DrivePath, result.setup.CodePage);
            const std::string stateFolder = ResolveStateFolder(result.setup);
            CreateStateFolder(stateFolder);
            result.lock = WaitForInstanceLock(stateFolder, lockWait, diagnostics);
            if (!result.lock) {
                op.ShowMessage("Print Server Already Started.", "Message", MessageIcon::Exclamation,
                               MessageButtons::Ok);
                return Ended(std::move(result), StartupResult::Outcome::AlreadyRunning,
                             kExitAlreadyRunning);
            }
        }
        result.db = ConnectNamingTheAddress(result.setup);
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
