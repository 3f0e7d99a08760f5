#include <QApplication>
#include <iostream>

#include "app/GuiRunnerQt.h"
#include "app/PrintServer.h"
#include "app/RunServer.h"
#include "dialogs/qt/DivertDialogQt.h"
#include "mainwindow/qt/QtOperator.h"
#include "mainwindow/qt/QtPollTimer.h"
#include "output/qt/QtSystemPrinter.h"
#include "text/KpsError.h"

namespace kps {

int RunWindowServer(int& argc, char** argv, const std::string& iniPath) {
    QApplication app(argc, argv);
    QtOperator op;
    StartupResult started = RunStartup(iniPath, op);
    if (started.outcome != StartupResult::Outcome::Running) {
        return started.exitStatus;
    }
    QtPollTimer timer;
    DivertDialogQt divertDialog;
    try {
        PrintServer server(started, {op, timer, QtSystemPrinter::Factory(), divertDialog, true},
                           std::cerr);
        return server.Finish(RunGui(app, server.Form(), server.Passes(), timer, op, server.Divert(),
                                    server.States(), server.Log(), server.Tools(),
                                    server.Scheduler()));
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return kExitFatalError;
    }
}

}  // namespace kps
