#include "status/StatusCollector.h"

#include <algorithm>

namespace kps {

namespace {

PrinterSnapshot* Find(std::vector<PrinterSnapshot>& printers, const std::string& device) {
    auto found = std::find_if(printers.begin(), printers.end(),
                              [&](const PrinterSnapshot& p) { return p.status.device == device; });
    return found == printers.end() ? nullptr : &*found;
}

// The device list's devices, each once, with their printing type.
void AddDeviceList(std::vector<PrinterSnapshot>& printers, const Recordset& devices) {
    const auto name = devices.FindColumn("DeviceName");
    const auto type = devices.FindColumn("PrintingType");
    if (!name) {
        return;
    }
    for (const auto& row : devices.Rows().rows) {
        if (row[*name].IsNull() || Find(printers, row[*name].AsText()) != nullptr) {
            continue;
        }
        PrinterSnapshot& printer = printers.emplace_back();
        printer.status.device = row[*name].AsText();
        printer.printingType = type ? row[*type].AsText() : std::string();
    }
}

}  // namespace

StatusCollector::StatusCollector(const StatusSources& sources, StatusBoard& board, SteadyNow now)
    : sources_(sources), board_(board), now_(std::move(now)) {
    server_.lastTickEnded = now_();
    Publish();
}

void StatusCollector::TickStarted() {
    tickStarted_ = now_();
}

void StatusCollector::TickEnded(bool passRan) {
    server_.lastTickEnded = now_();
    server_.lastTickTook = server_.lastTickEnded - tickStarted_;
    if (passRan) {
        passes_.Record(server_.lastTickTook);
        server_.passes = passes_.Read();
    }
    server_.lastTick = sources_.clock.Now();
    ++server_.ticks;
    Publish();
}

void StatusCollector::Publish() {
    auto snapshot = std::make_shared<StatusSnapshot>();
    const WaitingGrid& grid = sources_.form.FlxData();
    const std::vector<WaitingGrid::Row>& rows = grid.Rows();
    server_.standby = sources_.states.Standby();
    server_.statusLine = sources_.form.Label2();
    server_.waitingItems = grid.Waiting();
    server_.unroutableItems = sources_.states.Unroutable();
    server_.alertAfter = sources_.alertAfter;
    if (sources_.firstByte != nullptr) {
        server_.firstByte = sources_.firstByte->Read();
    }
    if (sources_.databaseErrors != nullptr) {
        server_.databaseErrors = sources_.databaseErrors->load(std::memory_order_relaxed);
    }
    snapshot->server = server_;
    snapshot->printers = Printers();
    Date(snapshot->printers, now_());
    snapshot->waiting.assign(
        rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(
                                         std::min(rows.size(), StatusSnapshot::kMaxWaitingRows)));
    // Fifty tickets a printer are copied only when one was added.
    const std::size_t revision = sources_.reprints.Revision();
    if (!tickets_ || revision != ticketsRevision_) {
        tickets_ = std::make_shared<const KeptTickets>(sources_.reprints.Everything());
        ticketsRevision_ = revision;
    }
    snapshot->tickets = tickets_;
    snapshot->codePage = sources_.codePage;
    snapshot->registry = sources_.registry;
    board_.Publish(std::move(snapshot));
}

void StatusCollector::Date(std::vector<PrinterSnapshot>& printers, SteadyTime now) {
    std::map<std::string, PrinterSnapshot> dated;
    for (PrinterSnapshot& printer : printers) {
        const auto last = last_.find(printer.status.device);
        const PrinterSnapshot* before = last == last_.end() ? nullptr : &last->second;
        if (printer.status.state != PrinterState::Printing) {
            printer.notPrintingSince =
                before && before->notPrintingSince ? before->notPrintingSince : now;
        }
        if (printer.status.waitingItems > 0) {
            const bool stillWaiting = before && before->waitingSince &&
                                      before->status.lastPrinted == printer.status.lastPrinted;
            printer.waitingSince = stillWaiting ? before->waitingSince : now;
        }
        dated.emplace(printer.status.device, printer);
    }
    last_ = std::move(dated);
}

std::vector<PrinterSnapshot> StatusCollector::Printers() const {
    std::vector<PrinterSnapshot> printers;
    if (server_.ticks > 0) {  // the device list opens with the load before the first tick
        AddDeviceList(printers, sources_.form.DeviceList());
    }
    for (const PrinterStatus& status : sources_.states.Printers()) {
        if (PrinterSnapshot* known = Find(printers, status.device)) {
            known->status = status;
        } else {
            printers.push_back({status, "", 0, std::nullopt, std::nullopt});
        }
    }
    for (const auto& [id, record] : sources_.records.All()) {
        if (record.job.kind == JobKind::Probe || record.state == RecordState::Printed) {
            continue;
        }
        const std::string& device =
            record.state == RecordState::DivertQueued ? record.divertDevice : record.job.device;
        if (PrinterSnapshot* printer = Find(printers, device)) {
            ++printer->ticketsOnTheirWay;
        }
    }
    return printers;
}

}  // namespace kps
