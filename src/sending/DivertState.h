#pragma once

#include <set>
#include <string>

namespace kps {

// What the sending step and the divert dialog share, for the whole process.
struct DivertState {
    std::string DivertBanner;      // "" or "*Divert From " + the failing printer
    std::string DivertLabelText;   // the dialog's message when it loads
    bool DivertSucceeded = false;  // the dialog printed the held ticket
    // The printers the operator cancelled; "Restart" clears them all.
    std::set<std::string> CancelledPrinters;
};

}  // namespace kps
