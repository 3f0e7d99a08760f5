#include "app/PrintServer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "database/CountedConnection.h"
#include "mainwindow/OutletIdle.h"
#include "sending/DeviceLaneRunner.h"
#include "sending/LaneDestination.h"
#include "sending/LeaseKeeper.h"
#include "sending/WaitingItems.h"
#include "startup/ConnectionFactory.h"
#include "startup/ExitStatus.h"
#include "startup/OpenChangeSignal.h"
#include "startup/OpenConnection.h"
#include "startup/StateFolder.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// Every exchange with a printer is bounded; this is what a lane gets to end
// the job it is printing when the server stops.
constexpr std::chrono::milliseconds kLaneFinishLimit{5000};
// How long one pass may send before it leaves the rest of a backlog to the
// next, which follows at once.
constexpr std::chrono::milliseconds kSendingPerPass{200};

// A connection of the server's own beside the tick's, its failures counted.
std::unique_ptr<Connection> OpenCountedConnection(const GeneralSetup& setup,
                                                  std::atomic<long long>& failures) {
    return std::make_unique<CountedConnection>(
        OpenDatabaseConnection(setup, BuildAdoConnectionString(setup, setup.Password)), failures);
}

std::unique_ptr<OutletLease> MakeLease(const GeneralSetup& setup, Connection& tick,
                                       LeaseFence& fence, const PrintLog& log,
                                       std::ostream& notices, std::atomic<long long>& failures) {
    if (!setup.Lease) {
        return nullptr;
    }
    // A lease on an ODBC connection gets one of its own, so that a tick
    // waiting on a slow statement does not leave the lease unconfirmed.
    std::unique_ptr<Connection> own;
    if (OutletLeaseUsesConnection(tick.DbmsName())) {
        own = OpenCountedConnection(setup, failures);
    }
    auto lease = MakeOutletLease(own ? *own : tick, setup.DatabaseName, setup.OutletCode,
                                 SqliteDatabaseFile(setup), OdbcConnectionString(setup));
    if (!lease) {
        notices << "<4>The database (" << tick.DbmsName()
                << ") offers no outlet lease: this server prints without one, so no other "
                   "server may print for this outlet."
                << std::endl;
        return nullptr;
    }
    return std::make_unique<LeaseKeeper>(std::move(own), std::move(lease), fence, &log);
}

// The print journal table when the database has it (SQLite's is made);
// without it a take-over cannot tell what the server before left on paper.
std::unique_ptr<PrintJournalTable> MakeJournalTable(Connection& db, const PrintLog& log) {
    if (PrintJournalTable::Available(db)) {
        return std::make_unique<PrintJournalTable>(db);
    }
    log.WriteLog(std::string("Warning: the database has no table ") + PrintJournalTable::kName +
                 ": what a server on another machine was printing when it stopped cannot be "
                 "told, so after a take-over every waiting item prints labelled as a reprint");
    return nullptr;
}

}  // namespace

PrintServer::PrintServer(StartupResult& started, const ServerPorts& ports, std::ostream& notices)
    : setup_(started.setup),
      countedDb_(*started.db, databaseErrors_),
      db_(countedDb_),
      log_(setup_.DrivePath, clock_, setup_.CodePage, &notices, setup_.LogKeepDays),
      journal_((std::filesystem::path(ResolveStateFolder(setup_)) / "reprint-journal").string(),
               log_),
      journalTable_(MakeJournalTable(db_, log_)),
      journalWriter_(journalTable_
                         ? std::make_unique<JournalWriter>(
                               [this] { return OpenCountedConnection(setup_, databaseErrors_); },
                               JournalWriter::UniqueWriterName(), clock_, log_)
                         : nullptr),
      lease_(MakeLease(setup_, db_, fence_, log_, notices, databaseErrors_)),
      registry_(PosPrinterRegistry::BesideSettings(setup_)),
      scheduler_([this] {
          return OutletIdle({form_, states_, records_, stateFolder_});
      }),
      lanes_(
          [this, &notices, systemPrinters = ports.systemPrinters] {
              JobJournal* journal =
                  journalWriter_ ? static_cast<JobJournal*>(journalWriter_.get()) : &localJournal_;
              return std::make_unique<DeviceLaneRunner>(registry_, log_, &notices, journal,
                                                        systemPrinters, lease_ ? &fence_ : nullptr,
                                                        &firstByte_);
          },
          lease_ ? &fence_ : nullptr,
          [this](const PrintJob& job) { return LaneDestination(job, registry_); }),
      form_(db_, clock_, ports.op, ticket_, ports.timer, started.RefOutlet),
      context_{db_,
               log_,
               clock_,
               ports.op,
               form_,
               codes_,
               device_,
               ticket_,
               divert_,
               records_,
               states_,
               journal_,
               setup_.CodePage,
               setup_.SettingsFolder(),
               &registry_},
      dialog_(sending_, ports.divertHost, log_, ports.op),
      sending_(context_, lanes_, dialog_),
      composer_(context_, sending_),
      dispatcher_(context_, composer_),
      notices_(context_, dispatcher_, sending_),
      passes_(sending_, dispatcher_, notices_),
      stateFolder_(ResolveStateFolder(setup_)),
      reprints_(stateFolder_, log_),
      reprinter_(db_, log_, reprints_, sending_, setup_.CodePage, &registry_),
      tools_(context_, reprinter_),
      statusActions_({divert_, states_, reprinter_, dialog_, log_, clock_, reprints_}),
      changes_(OpenChangeSignal(setup_, db_, log_, [this] { scheduler_.Wake(); })),
      status_(
          {form_, states_, records_, reprints_, clock_, setup_.CodePage,
           std::chrono::seconds(setup_.AlertAfterSeconds), &registry_, &firstByte_,
           &databaseErrors_},
          {setup_.StatusAddress, stateFolder_, ports.operatorAnswersQuestions, setup_.AlertCommand},
          log_) {
    status_.SetActionHandler(&statusActions_);
    scheduler_.UseSignal(changes_.get());
    lanes_.OnReport([this] { scheduler_.Wake(); });
    dispatcher_.LimitPasses(kSendingPerPass, [this] { scheduler_.Wake(); });
    if (lease_) {
        leased_ = std::make_unique<LeasedPrinting>(passes_, *lease_, fence_, db_, records_, states_,
                                                   journalTable_.get());
        leased_->CheckLease();  // a standby says so before its first polling cycle
        watch_ = std::make_unique<LeaseWatch>(fence_, [this] { EndForLapsedLease(); });
    }
    form_.SetPrinterStates(&states_);
    form_.SetPrintLog(&log_);
    form_.SetTickObserver(status_.Observer());
    sending_.KeepPrintedTickets(&reprints_);
    if (journalWriter_) {
        sending_.UseJournalTable(journalTable_.get(), journalWriter_->Writer());
    }
    journal_.SetWaitingCheck(
        [this](const std::vector<std::string>& keys) { return StillWaiting(db_, keys); });
    passes_.ServeReprints(&reprinter_, stateFolder_);
    log_.RemoveOldFiles();
    // What an earlier run may have printed without marking comes out again
    // labelled; notices go only to the devices that did not take them.
    const ReprintJournal::Contents left = journal_.Load();
    records_.NoteMayBeOnPaper(left.items);
    if (journalTable_ && !leased_) {
        // Without a lease nothing takes over: the rows are read now.
        records_.NoteMayBeOnPaper(journalTable_->MayBeOnPaper());
    }
    for (const auto& [notice, device] : left.deliveries) {
        records_.MarkDelivered(notice, device);
    }
}

int PrintServer::Finish(int status) {
    // No tick comes any more: the page must not say an action is on its way.
    status_.StopActing();
    bool finished = false;
    try {
        finished = passes_.FinishSending(kLaneFinishLimit);
    } catch (const KpsError&) {
        // The database went with the rest: the printed tickets' items stay
        // waiting and print again.
        log_.WriteLog("Error Update Transaction");
        finished = true;
    }
    if (!finished) {
        log_.WriteLog("Printers still busy at shut-down");
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(status);
    }
    return status;
}

void PrintServer::EndForLapsedLease() {
    log_.WriteLog("Error Lease not confirmed for " + std::to_string(fence_.Bound().count()) +
                  " ms, or found lost: this server stops, as another may now print for the "
                  "outlet");
    // Lanes start nothing more (the fence is closed); a ticket on its way
    // may end. What is not printed stays waiting for the server that holds
    // the lease.
    lanes_.Finish(kLaneFinishLimit);
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(kExitFatalError);
}

}  // namespace kps
