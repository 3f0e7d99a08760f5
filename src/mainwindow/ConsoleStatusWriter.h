#pragma once

#include <ostream>
#include <string>

#include "mainwindow/MDIForm1.h"
#include "mainwindow/MainWindowObserver.h"
#include "startup/Clock.h"

namespace kps {

// Shows the main window on a console: one "[hh:mm:ss] text" line each time
// the status label or the count of waiting items changes.
class ConsoleStatusWriter final : public MainWindowObserver {
  public:
    ConsoleStatusWriter(const MDIForm1& form, const Clock& clock, std::ostream& out);

    void StatusChanged() override;
    void CycleChanged() override;
    // Nothing to close: the headless runner asks to close between ticks only.
    void CloseReady() override {}

  private:
    void WriteLine(const std::string& text);

    const MDIForm1& form_;
    const Clock& clock_;
    std::ostream& out_;
    std::string lastStatus_;
    std::string lastCount_;
};

}  // namespace kps
