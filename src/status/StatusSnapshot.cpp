#include "status/StatusSnapshot.h"

#include <algorithm>

namespace kps {

const PrinterSnapshot* StatusSnapshot::FindPrinter(const std::string& device) const {
    auto found = std::find_if(printers.begin(), printers.end(),
                              [&](const PrinterSnapshot& p) { return p.status.device == device; });
    return found == printers.end() ? nullptr : &*found;
}

const std::vector<StoredTicket>* StatusSnapshot::FindTickets(const std::string& device) const {
    static const std::vector<StoredTicket> none;
    auto found = tickets->find(device);
    if (found != tickets->end()) {
        return &found->second;
    }
    return FindPrinter(device) != nullptr ? &none : nullptr;
}

}  // namespace kps
