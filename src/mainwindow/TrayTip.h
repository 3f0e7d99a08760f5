#pragma once

#include <string>

namespace kps {

// The tray icon's tip: "KELT Print Server", then the waiting items and the
// printers not printing, each on a line of its own when there are any.
std::string TrayTip(long waitingItems, long printersNotPrinting);

}  // namespace kps
