#include "status/StatusHealth.h"

#include "sending/PrinterStateLine.h"

namespace kps {

double SecondsSinceTick(const StatusSnapshot& snapshot, SteadyTime now) {
    return std::chrono::duration<double>(now - snapshot.server.lastTickEnded).count();
}

Health HealthOf(const StatusSnapshot& snapshot, SteadyTime now) {
    if (snapshot.server.ticks == 0) {
        return {false, "No polling cycle has run yet"};
    }
    if (now - snapshot.server.lastTickEnded > kHealthyTickAge) {
        const auto seconds = static_cast<long long>(SecondsSinceTick(snapshot, now));
        return {false, "No polling cycle for " + std::to_string(seconds) + " s"};
    }
    if (snapshot.server.alertAfter.count() > 0) {
        for (const PrinterSnapshot& printer : snapshot.printers) {
            if (printer.notPrintingSince &&
                now - *printer.notPrintingSince > snapshot.server.alertAfter) {
                const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                         now - *printer.notPrintingSince)
                                         .count();
                return {false, "'" + printer.status.device + "' has not printed for " +
                                   std::to_string(seconds) +
                                   " s: " + DescribePrinterState(printer.status)};
            }
        }
    }
    return {true, StandbyLine(snapshot.server.standby)};
}

std::optional<double> SecondsSinceLastPrint(const StatusSnapshot& snapshot,
                                            const PrinterStatus& printer, SteadyTime now) {
    if (!printer.lastPrinted) {
        return std::nullopt;
    }
    // Wall-clock seconds up to the tick, steady ones since.
    const long long atTick = SecondsOf(snapshot.server.lastTick) - SecondsOf(*printer.lastPrinted);
    return static_cast<double>(atTick) + SecondsSinceTick(snapshot, now);
}

}  // namespace kps
