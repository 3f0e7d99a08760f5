#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "harness/PrintedTicket.h"

namespace kps::bench {

// What reached paper, judged against what was queued. Items and notices are
// known by the codes their tickets print (item descriptions "ITEMnnnnnn",
// notice remarks "NOTEnnnn"); a ticket cut short counts for the codes that
// reached the printer whole.
struct CopyFigures {
    long items = 0;
    long notices = 0;
    long itemsLost = 0;          // never reached paper
    long noticesLost = 0;        // never reached paper
    long lostMarkedPrinted = 0;  // of the lost: no longer waiting in the database
    long copies = 0;             // tickets that carried a queued item or notice
    long duplicates = 0;         // copies with something that had reached paper before
    long unlabelledDuplicates = 0;
    long labelledFirstCopies = 0;  // carry the reprint line, yet nothing reached paper before
    std::vector<std::string> lostSample;  // a few lost and marked printed, to look into
};

inline constexpr const char* kReprintLine = "*** REPRINT ***";

// `tickets` oldest first; `waiting` the codes of rows still waiting.
CopyFigures Reckon(const std::set<std::string>& items, const std::set<std::string>& notices,
                   const std::set<std::string>& waiting, const std::vector<PrintedTicket>& tickets);

}  // namespace kps::bench
