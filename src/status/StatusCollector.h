#pragma once

#include <atomic>

#include <functional>
#include <map>

#include "mainwindow/MDIForm1.h"
#include "mainwindow/TickObserver.h"
#include "output/PosPrinterRegistry.h"
#include "reprint/ReprintStore.h"
#include "sending/PrinterStates.h"
#include "sending/TicketRecords.h"
#include "startup/Clock.h"
#include "status/StatusBoard.h"

namespace kps {

// What a snapshot is taken from; all of it belongs to the tick thread.
struct StatusSources {
    MDIForm1& form;
    const PrinterStates& states;
    const TicketRecords& records;
    const ReprintStore& reprints;
    const Clock& clock;
    int codePage = 1252;
    std::chrono::seconds alertAfter{0};
    const PosPrinterRegistry* registry = nullptr;  // each printer's encoding, if any
    const SecondsHistogram* firstByte = nullptr;
    const std::atomic<long long>* databaseErrors = nullptr;  // failed statements
};

// Takes a snapshot of the server at the end of every tick and publishes it
// on the board, on the tick thread. The printers are the device list's,
// in its order, then any other device the printer states know.
class StatusCollector final : public TickObserver {
  public:
    using SteadyNow = std::function<SteadyTime()>;

    // Publishes a first snapshot at once, before any tick (and before the
    // device list is open).
    StatusCollector(const StatusSources& sources, StatusBoard& board,
                    SteadyNow now = &std::chrono::steady_clock::now);

    void TickStarted() override;
    void TickEnded(bool passRan) override;

  private:
    void Publish();
    std::vector<PrinterSnapshot> Printers() const;
    // Carries each printer's outage and waiting times on from the last
    // snapshot.
    void Date(std::vector<PrinterSnapshot>& printers, SteadyTime now);

    StatusSources sources_;
    StatusBoard& board_;
    SteadyNow now_;
    ServerSnapshot server_;
    SteadyTime tickStarted_;
    SecondsHistogram passes_;
    std::size_t ticketsRevision_ = 0;
    std::shared_ptr<const KeptTickets> tickets_;
    std::map<std::string, PrinterSnapshot> last_;
};

}  // namespace kps
