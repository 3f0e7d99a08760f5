#include "mainwindow/WindowCommands.h"

#include "sending/PrinterResume.h"

namespace kps {

WindowCommands::WindowCommands(WindowShell& shell, DivertState& divert, PrinterStates& states,
                               const PrintLog& log)
    : shell_(shell), divert_(divert), states_(states), log_(log) {}

void WindowCommands::Minimized() {
    if (!shell_.TrayAvailable()) {
        shell_.MinimizeWindow();
        return;
    }
    shell_.HideWindow();
    Tray_NoSysIcon(false);
}

void WindowCommands::Restore() {
    shell_.ShowWindow();
    Tray_NoSysIcon(true);
}

void WindowCommands::NoSysIcon(bool show) {
    if (show) {
        Tray_NoSysIcon(true);
    }
}

void WindowCommands::Tray_NoSysIcon(bool show) {
    if (show) {
        shell_.ShowWindow();
        if (inTray_) {
            shell_.DeleteTrayIcon();
            inTray_ = false;
        }
        return;
    }
    shell_.HideWindow();
    if (!inTray_) {
        shell_.ShowTrayIcon();
        inTray_ = true;
    }
}

void WindowCommands::Restart() {
    RestartPrinters(divert_, states_);
}

void WindowCommands::ResumePrinter(const std::string& name) {
    kps::ResumePrinter(divert_, states_, name);
}

void WindowCommands::ShutDown() {
    log_.WriteLog("Shut Down Print Server");
    shell_.RequestClose();
}

void WindowCommands::ShutDownFromMenu() {
    shell_.RequestClose();
}

void WindowCommands::Exit() {
    shell_.CloseDivertDialog();
    shell_.RequestClose();
}

void WindowCommands::Image1DoubleClick() {
    shell_.CloseDivertDialog();
    Exit();
}

}  // namespace kps
