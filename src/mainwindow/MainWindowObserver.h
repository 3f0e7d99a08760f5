#pragma once

namespace kps {

// Whatever shows the main window's state: the Qt window or the headless
// runner's console lines.
class MainWindowObserver {
  public:
    virtual ~MainWindowObserver() = default;

    // Label2 changed while a pass is still at work: show it at once.
    virtual void StatusChanged() = 0;

    // A tick or a load has finished: time, grid and count are current.
    virtual void CycleChanged() = 0;

    // A shut-down the operator confirmed during a tick may now go ahead:
    // ask the window to close again.
    virtual void CloseReady() = 0;
};

}  // namespace kps
