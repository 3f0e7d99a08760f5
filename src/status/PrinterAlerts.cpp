#include "status/PrinterAlerts.h"

#include "sending/PrinterStateLine.h"

namespace kps {

namespace {

long long SecondsSince(std::optional<SteadyTime> since, SteadyTime now) {
    return since ? std::chrono::duration_cast<std::chrono::seconds>(now - *since).count() : 0;
}

}  // namespace

std::vector<AlertEvent> PrinterAlerts::Check(const StatusSnapshot& snapshot, SteadyTime now) {
    std::vector<AlertEvent> events;
    const long long after = snapshot.server.alertAfter.count();
    if (after <= 0) {
        return events;
    }
    std::set<std::pair<std::string, AlertEvent::Kind>> seen;
    auto watch = [&](const PrinterSnapshot& printer, AlertEvent::Kind kind,
                     std::optional<SteadyTime> since, std::string reason) {
        const std::pair key{printer.status.device, kind};
        const long long seconds = SecondsSince(since, now);
        if (seconds > after) {
            seen.insert(key);
            if (raised_.insert(key).second) {
                events.push_back({kind, true, printer.status.device, std::move(reason), seconds});
            }
        }
    };
    for (const PrinterSnapshot& printer : snapshot.printers) {
        watch(printer, AlertEvent::Kind::NotPrinting, printer.notPrintingSince,
              DescribePrinterState(printer.status));
        watch(printer, AlertEvent::Kind::ItemsWaiting, printer.waitingSince,
              std::to_string(printer.status.waitingItems) + " item(s) waiting");
    }
    for (auto it = raised_.begin(); it != raised_.end();) {
        if (seen.count(*it) == 0) {
            events.push_back({it->second, false, it->first, "", 0});
            it = raised_.erase(it);
        } else {
            ++it;
        }
    }
    return events;
}

std::string AlertLine(const AlertEvent& event) {
    const std::string printer = "'" + event.device + "'";
    if (!event.raised) {
        return event.kind == AlertEvent::Kind::NotPrinting
                   ? "Alert ended: " + printer + " prints again"
                   : "Alert ended: the items for " + printer + " are printing";
    }
    const std::string seconds = std::to_string(event.seconds) + " s";
    return event.kind == AlertEvent::Kind::NotPrinting
               ? "Alert: " + printer + " has not printed for " + seconds + " (" + event.reason + ")"
               : "Alert: " + event.reason + " for " + printer + " for " + seconds;
}

}  // namespace kps
