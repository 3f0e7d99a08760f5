#pragma once

#include "mainwindow/WindowShell.h"
#include "sending/DivertState.h"
#include "sending/PrinterStates.h"
#include "startup/PrintLog.h"

namespace kps {

// The main window's buttons, picture and tray menu. Every shut-down path
// ends in the window's close request, whose unload handler asks first.
class WindowCommands {
  public:
    WindowCommands(WindowShell& shell, DivertState& divert, PrinterStates& states,
                   const PrintLog& log);

    // Command3 "Minimized": hides the window into the tray. Without a tray
    // the window is minimized instead, so it can always be reached again.
    void Minimized();

    // MURESTORE "Restore": shows and activates the window, removes the icon.
    void Restore();

    // The tray icon's double-click: with true, what Tray_NoSysIcon(true) does.
    void NoSysIcon(bool show);

    // Tray_NoSysIcon: true shows the window and removes the icon; false
    // hides the window and adds the icon.
    void Tray_NoSysIcon(bool show);

    // Command4 "Restart": every cancelled printer prints again.
    void Restart();

    // "Resume" on one suspended printer: it alone prints again.
    void ResumePrinter(const std::string& name);

    // PCLOSE "Shut Down": logged before the operator answers.
    void ShutDown();

    // MUSHUT "Shut Down Print Server".
    void ShutDownFromMenu();

    // MUexit: the exit command.
    void Exit();

    // Image1 double-click.
    void Image1DoubleClick();

    bool IsInTray() const { return inTray_; }

  private:
    WindowShell& shell_;
    DivertState& divert_;
    PrinterStates& states_;
    const PrintLog& log_;
    bool inTray_ = false;
};

}  // namespace kps
