#pragma once

#include "database/Connection.h"
#include "database/OutletLease.h"
#include "sending/LeaseFence.h"
#include "sending/PrintJournalTable.h"
#include "sending/PrintPasses.h"
#include "sending/PrinterStates.h"
#include "sending/TicketRecords.h"

namespace kps {

// The printing half of a tick for a server that prints only while it holds
// its outlet's lease. It checks the lease when a pass settles, its last
// step (the fence guards every first byte meanwhile): on standby it tries
// to take it, and dispatches nothing until it holds it; a holder that
// finds it gone stops its lanes and throws, which ends the process. On
// taking the lease, what the print journal table says may be on paper is
// labelled when printed again; without the table, a take-over from standby
// treats every waiting item as possibly printed by the server before.
class LeasedPrinting final : public PrintPasses {
  public:
    LeasedPrinting(PrintPasses& printing, OutletLease& lease, LeaseFence& flag, Connection& db,
                   TicketRecords& records, PrinterStates& states,
                   PrintJournalTable* journal = nullptr);

    // Takes the lease when it is free, or confirms that it is still held;
    // true when this server may print. Throws KpsError when a held lease was
    // lost, or the database cannot be asked.
    bool CheckLease();

    // Checks the lease first, and settles only while it is held.
    void SettleReports() override;
    void DispatchPrintQueue() override;
    void PrintKitchenNotices() override;
    bool FinishSending(std::chrono::milliseconds limit) override;

  private:
    void TakeOver();

    PrintPasses& printing_;
    OutletLease& lease_;
    LeaseFence& flag_;  // opened to the lanes on a take-over, closed when the lease is lost
    Connection& db_;
    TicketRecords& records_;
    PrinterStates& states_;
    PrintJournalTable* journal_;
    bool held_ = false;
    bool onStandby_ = false;
};

}  // namespace kps
