#pragma once

#include <iostream>
#include <string>

#include "startup/GeneralSetup.h"
#include "startup/Operator.h"

namespace kps {

// Reads the settings file at `iniPath`. A missing file shows "No Ini !!",
// names the path on `diagnostics` and gives empty settings (start-up goes on
// and fails at the connection); a file that is there but cannot be read
// throws KpsError kErrSettings naming it. An empty DrivePath is the settings file's
// folder. An unsupported [PrintServer] CodePage or a LogKeepDays that is no
// whole number throws KpsError kErrSettings.
// The file's [PrintServer] CodePage (1252 when missing); KpsError
// kErrSettings when it is not supported.
int SettingsCodePage(const std::string& iniPath);

GeneralSetup LoadGeneralSetup(const std::string& iniPath, Operator& op,
                              std::ostream& diagnostics = std::cerr);

}  // namespace kps
