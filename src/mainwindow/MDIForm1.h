#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "database/Connection.h"
#include "database/Recordset.h"
#include "mainwindow/MainWindowObserver.h"
#include "mainwindow/PollTimer.h"
#include "mainwindow/TickObserver.h"
#include "mainwindow/WaitingGrid.h"
#include "output/TicketBuffers.h"
#include "sending/PrintPasses.h"
#include "sending/PrintWindow.h"
#include "sending/PrinterStates.h"
#include "startup/Clock.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"

namespace kps {

// The main window's state and rules without a toolkit: its three recordsets,
// labels, grid and split-mode buttons, the polling cycle and the shut-down
// confirmation. Views (Qt window, headless runner) observe it and forward
// the operator's clicks. Database errors are not caught here: they reach
// the caller, which shows the fatal error report.
class MDIForm1 final : public PrintWindow {
  public:
    // `refOutlet` is the outlet's option flags read at start-up.
    MDIForm1(Connection& db, const Clock& clock, Operator& op, TicketBuffers& ticket,
             PollTimer& timer, std::string refOutlet);

    // Opens the recordsets, fills the grid, selects the split mode and
    // starts the timer.
    void Load();

    // One tick of Timer1. Returns at once while another tick is at work (a
    // modal dialog's event loop) or while the timer is stopped.
    void PollCycle(PrintPasses& passes);

    // A second of the clock that goes without a pass (the outlet idles and
    // the database signals its changes): the time and the tick observer
    // move on, so the window and the status page show the server alive.
    void KeepTime();

    void RefreshWaitingGrid();

    // Command1: the print queue dispatch, when the grid holds an item.
    void DispatchTrigger(PrintPasses& passes);
    // Command2: the kitchen notice pass.
    void NoticeTrigger(PrintPasses& passes);

    // Asks "Shut Down Print Server ?"; true when the window may close (the
    // recordsets are then closed). A Yes given during a tick is kept: the
    // close waits for the tick to end and the observer's CloseReady.
    bool Unload();

    // The operator clicked Option1 (true) or Option2 (false).
    void SelectIndividual(bool individual);

    void SetObserver(MainWindowObserver* observer) { observer_ = observer; }
    // Told when each tick starts and ends (not for a tick that throws).
    void SetTickObserver(TickObserver* observer) { tickObserver_ = observer; }
    // Given, the printer states learn each device's waiting items at every refresh.
    void SetPrinterStates(PrinterStates* states) { states_ = states; }
    const PrinterStates* States() const { return states_; }
    // Where items that no device can take are named, once each.
    void SetPrintLog(const PrintLog* log) { log_ = log; }
    // The waiting items that no device can take.
    long UnroutableItems() const { return unroutable_; }

    const std::string& Lbltime() const { return lbltime_; }
    const std::string& Label2() const { return label2_; }
    const std::string& Dis() const { return dis_; }
    const WaitingGrid& FlxData() const { return grid_; }
    bool Option1() const { return individual_; }
    bool Option2() const { return !individual_; }
    bool IsTickAtWork() const { return tickAtWork_; }
    bool IsClosed() const { return closed_; }

    Recordset& PendingItems();
    const std::string& PendingItemsSql() const { return pendingItemsSql_; }

    // PrintWindow
    Recordset& DeviceList() override;
    Recordset& PendingNotices() override;
    bool IndividualMode() const override { return individual_; }
    void ShowStatus(const std::string& caption) override;

  private:
    void CloseRecordsets();
    // Names each item no device can take, once while it waits.
    void LogUnroutable(const std::vector<std::string>& ids);
    static Recordset& Opened(const std::unique_ptr<Recordset>& recordset);

    Connection& db_;
    const Clock& clock_;
    Operator& operator_;
    TicketBuffers& ticket_;
    PollTimer& timer_;
    std::string refOutlet_;
    MainWindowObserver* observer_ = nullptr;
    TickObserver* tickObserver_ = nullptr;
    PrinterStates* states_ = nullptr;
    const PrintLog* log_ = nullptr;
    std::set<std::string> loggedUnroutable_;
    long unroutable_ = 0;

    std::unique_ptr<Recordset> deviceList_;
    std::string pendingItemsSql_;
    std::unique_ptr<Recordset> pendingItems_;
    std::unique_ptr<Recordset> pendingNotices_;

    std::string lbltime_;
    std::string label2_;
    std::string dis_;
    WaitingGrid grid_;
    bool individual_ = false;

    bool tickAtWork_ = false;
    bool closeConfirmed_ = false;
    bool closed_ = false;
};

}  // namespace kps
