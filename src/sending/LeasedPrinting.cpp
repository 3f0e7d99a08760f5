#include "sending/LeasedPrinting.h"

#include <string>
#include <vector>

#include "database/Recordset.h"
#include "text/KpsError.h"

namespace kps {
LeasedPrinting::LeasedPrinting(PrintPasses& printing, OutletLease& lease, LeaseFence& flag,
                               Connection& db, TicketRecords& records, PrinterStates& states,
                               PrintJournalTable* journal)
    : printing_(printing),
      lease_(lease),
      flag_(flag),
      db_(db),
      records_(records),
      states_(states),
      journal_(journal) {}

bool LeasedPrinting::CheckLease() {
    if (held_) {
        if (!lease_.StillHeld()) {
            held_ = false;
            flag_.Publish(false);
            throw KpsError(kErrLeaseLost,
                           "The outlet lease was lost; another server may print for this outlet.");
        }
    } else if (lease_.TryAcquire()) {
        TakeOver();
    } else {
        onStandby_ = true;
        states_.SetStandby(true);
    }
    return held_;
}

void LeasedPrinting::SettleReports() {
    if (CheckLease()) {
        printing_.SettleReports();
    }
}

void LeasedPrinting::TakeOver() {
    if (journal_ != nullptr) {
        // Exactly what a server before (this one's last run included) was
        // sending when it stopped.
        records_.NoteMayBeOnPaper(journal_->MayBeOnPaper());
    } else if (onStandby_) {
        // The server that held the lease may have printed any of these
        // without living to mark them.
        std::vector<std::string> waiting;
        auto rows =
            db_.OpenRecordset("select ID from kelt_trs_printingdetails where PrintStatus=0");
        for (; !rows->IsEOF(); rows->MoveNext()) {
            waiting.push_back(rows->Field("ID").AsText());
        }
        records_.NoteMayBeOnPaper(waiting);
    }
    held_ = true;
    onStandby_ = false;
    flag_.Publish(true);
    states_.SetStandby(false);
}

void LeasedPrinting::DispatchPrintQueue() {
    if (held_) {
        printing_.DispatchPrintQueue();
    }
}

void LeasedPrinting::PrintKitchenNotices() {
    if (held_) {
        printing_.PrintKitchenNotices();
    }
}

bool LeasedPrinting::FinishSending(std::chrono::milliseconds limit) {
    return printing_.FinishSending(limit);
}

}  // namespace kps
