#include "sending/PrinterResume.h"

namespace kps {

bool ResumePrinter(DivertState& divert, PrinterStates& states, const std::string& device) {
    const bool cancelled = divert.CancelledPrinters.erase(device) > 0;
    states.OnResumed(device);
    return cancelled;
}

void RestartPrinters(DivertState& divert, PrinterStates& states) {
    for (const std::string& name : divert.CancelledPrinters) {
        states.OnResumed(name);
    }
    divert.CancelledPrinters.clear();
}

}  // namespace kps
