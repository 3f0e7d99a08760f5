#pragma once

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

// Refuses a second server on the same settings file, reads the settings,
// opens the database, loads the outlet's flags and checks the layout files of
// the printer groups' devices. Every refusal and error has been shown to the
// operator when this returns; nothing is written to the print log. Where a
// missing file was looked for goes to `diagnostics`.
StartupResult RunStartup(const std::string& iniPath, Operator& op,
                         std::ostream& diagnostics = std::cerr);

}  // namespace kps
