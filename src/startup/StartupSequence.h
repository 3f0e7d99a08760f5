#pragma once

#include <memory>
#include <string>

#include "startup/Connection.h"
#include "startup/GeneralSetup.h"
#include "startup/Operator.h"
#include "startup/SingleInstance.h"

namespace kps {

// Exit statuses of the server process.
enum ExitStatus : int {
    kExitNormal = 0,          // shut down by the operator, or the last tick ran
    kExitCommandLine = 2,     // the command line could not be understood
    kExitAlreadyRunning = 3,  // another server already runs on the same settings file
    kExitMissingLayouts = 4,  // a device of a printer group lacks its layout file
    kExitFatalError = 5,      // an error ended the process (the fatal error report)
};

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
// operator when this returns; nothing is written to the print log.
StartupResult RunStartup(const std::string& iniPath, Operator& op);

}  // namespace kps
