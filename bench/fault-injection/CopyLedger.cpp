#include "fault-injection/CopyLedger.h"

#include "harness/TicketText.h"

namespace kps::bench {
namespace {

constexpr std::size_t kLostSample = 8;

// The queued codes a ticket carries.
std::vector<std::string> Carried(const PrintedTicket& ticket, const std::set<std::string>& items,
                                 const std::set<std::string>& notices) {
    std::vector<std::string> carried;
    for (const std::string& code : CodesIn(ticket.text, "ITEM")) {
        if (items.contains(code)) {
            carried.push_back(code);
        }
    }
    for (const std::string& code : CodesIn(ticket.text, "NOTE")) {
        if (notices.contains(code)) {
            carried.push_back(code);
        }
    }
    return carried;
}

long LostOf(const std::set<std::string>& queued, const std::set<std::string>& seen,
            const std::set<std::string>& waiting, CopyFigures& figures) {
    long lost = 0;
    for (const std::string& code : queued) {
        if (seen.contains(code)) {
            continue;
        }
        ++lost;
        if (!waiting.contains(code)) {
            ++figures.lostMarkedPrinted;
            if (figures.lostSample.size() < kLostSample) {
                figures.lostSample.push_back(code);
            }
        }
    }
    return lost;
}

}  // namespace

CopyFigures Reckon(const std::set<std::string>& items, const std::set<std::string>& notices,
                   const std::set<std::string>& waiting,
                   const std::vector<PrintedTicket>& tickets) {
    CopyFigures figures;
    figures.items = static_cast<long>(items.size());
    figures.notices = static_cast<long>(notices.size());
    std::set<std::string> seen;
    for (const PrintedTicket& ticket : tickets) {
        const auto carried = Carried(ticket, items, notices);
        if (carried.empty()) {
            continue;
        }
        ++figures.copies;
        bool again = false;
        for (const std::string& code : carried) {
            again = seen.contains(code) || again;
        }
        const bool labelled = ticket.text.find(kReprintLine) != std::string::npos;
        figures.duplicates += again;
        figures.unlabelledDuplicates += again && !labelled;
        figures.labelledFirstCopies += !again && labelled;
        seen.insert(carried.begin(), carried.end());
    }
    figures.itemsLost = LostOf(items, seen, waiting, figures);
    figures.noticesLost = LostOf(notices, seen, waiting, figures);
    return figures;
}

}  // namespace kps::bench
