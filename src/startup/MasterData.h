#pragma once

#include <string>

#include "database/Connection.h"
#include "startup/GeneralSetup.h"

namespace kps {

// The current outlet's option flags (RefOutlet): with systemtype exactly "HQ"
// the row of OutletCode, otherwise the first outlet row. "" without a row or
// with a Null column.
std::string LoadOutlet(Connection& db, const GeneralSetup& setup);

// Checks the layout file of every device a printer group flags with "O";
// returns the names of the devices whose file is missing, each followed by a
// comma ("" when none is missing). Throws KpsError for a Null
// RefPrinterGroup or Wp_FileName.
std::string LoadPrinterGroups(Connection& db, const std::string& settingsFolder);

// Appends the device's name and a comma to `missing` when the device has a
// row and its layout file is found neither from the current folder nor in
// `settingsFolder` (FindLayoutFile).
void CheckDeviceLayout(Connection& db, const std::string& deviceCode,
                       const std::string& settingsFolder, std::string& missing);

}  // namespace kps
