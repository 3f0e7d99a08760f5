#pragma once

#include "mainwindow/MDIForm1.h"
#include "mainwindow/TicketTools.h"
#include "mainwindow/qt/QtPollTimer.h"
#include "sending/DivertState.h"
#include "sending/PrintPasses.h"
#include "sending/PrinterStates.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"
#include "wake/PassScheduler.h"

class QApplication;

namespace kps {

// Shows the main window on a server whose start-up has succeeded, runs the
// event loop and returns the exit status: kExitNormal after the confirmed
// shut-down, kExitFatalError after the fatal error report of an error in
// the load handler or a tick. `form` must have been built on `timer`;
// `tools` serve the window's Preview and Reprint actions; `scheduler` says
// when the passes run.
int RunGui(QApplication& app, MDIForm1& form, PrintPasses& passes, QtPollTimer& timer, Operator& op,
           DivertState& divert, PrinterStates& states, const PrintLog& log, TicketTools& tools,
           PassScheduler& scheduler);

}  // namespace kps
