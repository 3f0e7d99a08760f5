#include "mainwindow/OutletIdle.h"

#include <algorithm>

#include "reprint/ReprintRequest.h"

namespace kps {

bool OutletIdle(const OutletActivity& outlet) {
    if (outlet.states.Standby() || !outlet.form.FlxData().Rows().empty() ||
        !outlet.records.All().empty()) {
        return false;
    }
    const auto& printers = outlet.states.Printers();
    if (!std::all_of(printers.begin(), printers.end(), [](const PrinterStatus& printer) {
            return printer.state == PrinterState::Printing;
        })) {
        return false;
    }
    if (outlet.form.PendingNotices().RecordCount() > 0) {
        return false;
    }
    return !ReprintRequestsWaiting(outlet.stateFolder);
}

}  // namespace kps
