#pragma once

#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include "database/Connection.h"
#include "startup/ExitStatus.h"
#include "startup/GeneralSetup.h"
#include "startup/Operator.h"
#include "startup/SingleInstance.h"

namespace kps {

// What start-up left behind. Only Running carries a connection and a lock;
// the caller keeps both for the life of the process.
struct StartupResult {
    enum class Outcome { Running, AlreadyRunning, MissingLayouts, Failed };

    Outcome outcome = Outcome::Failed;
    GeneralSetup setup;  // Password holds the plain password once the connection opened
    std::unique_ptr<Connection> db;
    std::string RefOutlet;
    std::string MissingLayoutDevices;
    std::unique_ptr<SingleInstance> lock;
    int exitStatus = kExitFatalError;
};

// How long a starting server waits for the instance lock: a service
// restarted while its old process is still ending must not give up.
inline constexpr std::chrono::milliseconds kInstanceLockWait{10000};

// Reads the settings, refuses a second server on the same state folder
// (after waiting up to `lockWait` for the lock), opens the database, loads
// the outlet's flags and checks the layout files of the printer groups'
// devices. Every refusal and error has been shown to the operator when this
// returns; only the fatal error report reaches the print log. Where a
// missing file was looked for goes to `diagnostics`.
StartupResult RunStartup(const std::string& iniPath, Operator& op,
                         std::ostream& diagnostics = std::cerr,
                         std::chrono::milliseconds lockWait = kInstanceLockWait);

}  // namespace kps
