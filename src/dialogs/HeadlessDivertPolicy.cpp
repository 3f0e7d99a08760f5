#include "dialogs/HeadlessDivertPolicy.h"

#include "dialogs/TRDIVET.h"

namespace kps {

void HeadlessDivertPolicy::Show(TRDIVET& dialog) {
    dialog.Open(*this);
    if (dialog.OPrinterName.empty()) {
        dialog.GiveUp();
        return;
    }
    // Nobody is there to be asked again: every ticket of the outage goes
    // the same way.
    dialog.ForEveryTicket = true;
    dialog.Command1();
}

int HeadlessDivertPolicy::SetWindowTopmost(bool) {
    return 0;  // no window to keep on top
}

}  // namespace kps
