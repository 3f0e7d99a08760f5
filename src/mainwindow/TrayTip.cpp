#include "mainwindow/TrayTip.h"

namespace kps {

std::string TrayTip(long waitingItems, long printersNotPrinting) {
    std::string tip = "KELT Print Server";
    if (waitingItems > 0) {
        tip += "\n" + std::to_string(waitingItems) + " Item(s) waiting to print";
    }
    if (printersNotPrinting > 0) {
        tip += "\n" + std::to_string(printersNotPrinting) + " printer(s) not printing";
    }
    return tip;
}

}  // namespace kps
