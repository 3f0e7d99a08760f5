#include "mainwindow/TrayTip.h"

#include "sending/PrinterStateLine.h"

namespace kps {

std::string TrayTip(long waitingItems, const PrinterStates& states) {
    std::string tip = "KELT Print Server";
    if (waitingItems > 0) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on
        // "\n" + text at -O3.
        tip += '\n';
        tip += std::to_string(waitingItems) + " Item(s) waiting to print";
    }
    if (const long notPrinting = states.NotPrintingCount(); notPrinting > 0) {
        tip += '\n';
        tip += std::to_string(notPrinting) + " printer(s) not printing";
    }
    for (const PrinterStatus& status : states.Printers()) {
        if (status.answersAgain) {
            tip += '\n';
            tip += AnswersAgainLine(status.device);
        }
    }
    return tip;
}

}  // namespace kps
