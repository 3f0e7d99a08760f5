#pragma once

#include <ostream>

#include "app/ServerStatusActions.h"
#include "app/ServerTicketTools.h"
#include "database/CountedConnection.h"
#include "database/OutletLease.h"
#include "dialogs/DivertDialogHost.h"
#include "dialogs/TRDIVET.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/PollTimer.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"
#include "sending/JournalWriter.h"
#include "sending/LeaseFence.h"
#include "sending/LeaseWatch.h"
#include "sending/LeasedPrinting.h"
#include "sending/LocalJobJournal.h"
#include "sending/PrintContext.h"
#include "sending/ThreadedPrinterLanes.h"
#include "sending/TicketRecords.h"
#include "sending/TicketReprinter.h"
#include "sending/TicketSendingStep.h"
#include "startup/SecondsHistogram.h"
#include "startup/StartupSequence.h"
#include "status/StatusService.h"
#include "tickets/KitchenNoticePass.h"
#include "tickets/KitchenPrinting.h"
#include "tickets/KitchenTicketComposer.h"
#include "tickets/PrintQueueDispatcher.h"
#include "wake/PassScheduler.h"

namespace kps {

// The ports a running server is given by its runner (window or headless).
struct ServerPorts {
    Operator& op;
    PollTimer& timer;
    SystemPrinterFactory systemPrinters;  // one for each system printer's lane
    DivertDialogHost& divertHost;
    bool operatorAnswersQuestions = false;  // the window: the status page may answer them too
};

// Every object of a running server, created once after a successful start-up
// and wired by reference: the process state, the printers' lanes, the main
// window's rules and the printing passes. `notices` (standard error) takes
// the reachability notes and every print-log line with its syslog priority.
// Unless [PrintServer] Lease=No, it prints only while it holds the outlet's
// lease, and waits on standby while another server does.
class PrintServer {
  public:
    PrintServer(StartupResult& started, const ServerPorts& ports, std::ostream& notices);

    MDIForm1& Form() { return form_; }
    PrintPasses& Passes() { return leased_ ? static_cast<PrintPasses&>(*leased_) : passes_; }
    DivertState& Divert() { return divert_; }
    PrinterStates& States() { return states_; }
    const PrintLog& Log() const { return log_; }
    const Clock& GetClock() const { return clock_; }
    TicketTools& Tools() { return tools_; }
    // When the runner's passes run: on the database's change signal, at
    // the clock's seconds while the outlet has work.
    PassScheduler& Scheduler() { return scheduler_; }

    // Lets the printers finish their jobs and settles them; `status` is the
    // exit status to end with. Ends the process at once when a printer is
    // still busy after the time allowed, so nothing it holds is torn down
    // under it; its items stay waiting.
    int Finish(int status);

  private:
    // Ends the process when the lease went unconfirmed for too long, from
    // the watch's thread: the tick may hang in a statement meanwhile.
    [[noreturn]] void EndForLapsedLease();

    GeneralSetup& setup_;
    std::atomic<long long> databaseErrors_{0};  // on every connection of the server
    CountedConnection countedDb_;
    Connection& db_;
    SystemClock clock_;
    PrintLog log_;

    PrinterCodes codes_;
    PrintDeviceSetting device_;
    TicketBuffers ticket_;
    DivertState divert_;
    TicketRecords records_;
    PrinterStates states_;
    ReprintJournal journal_;
    LocalJobJournal localJournal_{journal_};
    std::unique_ptr<PrintJournalTable> journalTable_;  // when the database has the table
    std::unique_ptr<JournalWriter> journalWriter_;     // the lanes' way to it

    LeaseFence fence_;
    SecondsHistogram firstByte_;
    std::unique_ptr<OutletLease> lease_;  // kept on a connection of its own

    PosPrinterRegistry registry_;
    // Before the lanes: their threads wake it until they are joined.
    PassScheduler scheduler_;
    ThreadedPrinterLanes lanes_;
    std::unique_ptr<LeaseWatch> watch_;  // goes before the lease and the lanes

    MDIForm1 form_;
    PrintContext context_;
    TRDIVET dialog_;
    TicketSendingStep sending_;
    KitchenTicketComposer composer_;
    PrintQueueDispatcher dispatcher_;
    KitchenNoticePass notices_;
    KitchenPrinting passes_;
    std::unique_ptr<LeasedPrinting> leased_;

    std::string stateFolder_;
    ReprintStore reprints_;
    TicketReprinter reprinter_;
    ServerTicketTools tools_;
    ServerStatusActions statusActions_;
    std::unique_ptr<ChangeSignal> changes_;  // goes before the scheduler it wakes
    StatusService status_;  // last: stops serving before what its snapshots are taken from goes
};

}  // namespace kps
