#pragma once

#include <string>

#include "database/Recordset.h"

namespace kps {

// What the printing passes use of the main window: its device list and
// notice recordsets, the split-mode buttons and the status label.
class PrintWindow {
  public:
    virtual ~PrintWindow() = default;

    virtual Recordset& DeviceList() = 0;
    virtual Recordset& PendingNotices() = 0;

    // True when "Individual" (Option1) is selected, false for "Table No".
    virtual bool IndividualMode() const = 0;

    // Writes the status label Label2 and repaints it at once.
    virtual void ShowStatus(const std::string& caption) = 0;
};

}  // namespace kps
