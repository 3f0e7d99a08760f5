#include "mainwindow/TrayTip.h"

namespace kps {

std::string TrayTip(long waitingItems, long printersNotPrinting) {
    std::string tip = "KELT Print Server";
    if (waitingItems > 0) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on
        // "\n" + text at -O3.
        tip += '\n';
        tip += std::to_string(waitingItems) + " Item(s) waiting to print";
    }
    if (printersNotPrinting > 0) {
        tip += '\n';
        tip += std::to_string(printersNotPrinting) + " printer(s) not printing";
    }
    return tip;
}

}  // namespace kps
