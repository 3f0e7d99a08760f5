#include "app/GuiRunnerQt.h"

#include <QApplication>

#include "mainwindow/qt/MainWindowQt.h"
#include "startup/ExitStatus.h"

namespace kps {

int RunGui(QApplication& app, MDIForm1& form, PrintPasses& passes, QtPollTimer& timer, Operator& op,
           DivertState& divert, PrinterStates& states, const PrintLog& log, TicketTools& tools,
           PassScheduler& scheduler) {
    // The window may be hidden in the tray when it closes; the run ends on
    // its Finished signal, not on the last visible window.
    app.setQuitOnLastWindowClosed(false);
    MainWindowQt window(form, passes, timer, op, divert, states, log);
    window.SetTicketTools(&tools);
    window.SetScheduler(scheduler);
    QObject::connect(&window, &MainWindowQt::Finished, &app,
                     [&app](int status) { app.exit(status); });
    if (!window.Load()) {
        return kExitFatalError;
    }
    window.show();
    return app.exec();
}

}  // namespace kps
