#pragma once

namespace kps {

// Exit statuses of the server process.
enum ExitStatus : int {
    kExitNormal = 0,          // shut down by the operator, or the last tick ran
    kExitCommandLine = 2,     // the command line could not be understood
    kExitAlreadyRunning = 3,  // another server already runs on the same state folder
    kExitMissingLayouts = 4,  // a device of a printer group lacks its layout file
    kExitFatalError = 5,      // an error ended the process (the fatal error report)
    kExitNotReprinted = 6,    // --reprint: no server took the request, or no state folder
};

}  // namespace kps
