#pragma once

#include <string>

#include "sending/PrinterStates.h"

namespace kps {

// The tray icon's tip: "KELT Print Server", then the waiting items, the
// printers not printing and each suspended printer that answers again
// ("Printer 'BAR1' answers again: Resume?"), each on a line of its own when
// there are any.
std::string TrayTip(long waitingItems, const PrinterStates& states);

}  // namespace kps
