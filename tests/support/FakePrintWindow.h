#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "database/Recordset.h"
#include "sending/PrintWindow.h"

namespace kps::test {

// The main window as the printing passes see it, over a real connection: the
// device list and the waiting notices are opened with the window's own
// statements; status captions are recorded.
class FakePrintWindow final : public PrintWindow {
  public:
    explicit FakePrintWindow(Connection& db, bool individualMode = false);

    Recordset& DeviceList() override { return *deviceList_; }
    Recordset& PendingNotices() override { return *pendingNotices_; }
    bool IndividualMode() const override { return individualMode; }
    void ShowStatus(const std::string& caption) override { captions.push_back(caption); }

    // The last caption shown, or "" when none was.
    std::string Status() const { return captions.empty() ? "" : captions.back(); }

    bool individualMode;
    std::vector<std::string> captions;

  private:
    std::unique_ptr<Recordset> deviceList_;
    std::unique_ptr<Recordset> pendingNotices_;
};

}  // namespace kps::test
