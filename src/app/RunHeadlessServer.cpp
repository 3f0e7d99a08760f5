#include <iostream>

#include "app/PrintServer.h"
#include "app/RunServer.h"
#include "dialogs/HeadlessDivertPolicy.h"
#include "mainwindow/HeadlessOperator.h"
#include "mainwindow/HeadlessPollTimer.h"
#include "mainwindow/HeadlessRunner.h"
#include "output/LpSystemPrinter.h"
#include "sending/PrinterStateLine.h"
#include "startup/SdServiceManager.h"
#include "text/KpsError.h"

namespace kps {

int RunHeadlessServer(const std::string& iniPath, long ticks) {
    HeadlessOperator op(std::cerr);
    StartupResult started = RunStartup(iniPath, op);
    if (started.outcome != StartupResult::Outcome::Running) {
        return started.exitStatus;
    }
    HeadlessPollTimer timer;
    HeadlessDivertPolicy divertPolicy;
    // Before the server's own threads (lease keeper, journal writer, ...)
    // start, so that none of them takes a stop signal.
    BlockedRunnerSignals blocked;
    try {
        PrintServer server(
            started, {op, timer, LpSystemPrinter::Factory(started.setup.CodePage), divertPolicy},
            std::cerr);
        ConsolePrinterStateWriter states(server.GetClock(), std::cout);
        server.States().SetListener(&states);
        if (server.States().Standby()) {
            states.StandbyChanged(true);  // found before the writer was there to hear it
        }
        HeadlessRunner runner(server.Form(), server.Passes(), server.Divert(), server.States(), op,
                              server.GetClock(), std::cout);
        SdServiceManager serviceManager;
        HeadlessOptions options;
        options.ticks = ticks;
        options.service = &serviceManager;
        options.scheduler = &server.Scheduler();
        return server.Finish(runner.Run(options));
    } catch (const KpsError& error) {
        ShowFatalErrorReport(op, error.Number(), error.Description());
        return kExitFatalError;
    }
}

}  // namespace kps
