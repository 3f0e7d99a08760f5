#pragma once

#include <string>

#include "startup/GeneralSetup.h"
#include "startup/Operator.h"

namespace kps {

// Reads the settings file at `iniPath`. A missing file shows "No Ini !!" and
// gives empty settings (start-up goes on and fails at the connection). An
// unsupported [PrintServer] CodePage throws KpsError kErrSettings.
GeneralSetup LoadGeneralSetup(const std::string& iniPath, Operator& op);

}  // namespace kps
