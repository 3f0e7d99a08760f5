#pragma once

namespace kps {

// What the window commands ask of the window system: the main window, its
// tray icon and the divert dialog.
class WindowShell {
  public:
    virtual ~WindowShell() = default;

    // Asks the main window to close; its unload handler may refuse.
    virtual void RequestClose() = 0;

    // Closes the divert and retry dialog when it is open.
    virtual void CloseDivertDialog() = 0;

    virtual bool TrayAvailable() const = 0;
    virtual void ShowWindow() = 0;  // visible and active
    virtual void HideWindow() = 0;
    virtual void MinimizeWindow() = 0;  // to the task bar, still reachable
    virtual void ShowTrayIcon() = 0;
    virtual void DeleteTrayIcon() = 0;
};

}  // namespace kps
