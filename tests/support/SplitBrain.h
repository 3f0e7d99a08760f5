#pragma once

#include <cstdint>
#include <string>

#include "support/StandbyOutlet.h"
#include "support/TestDatabase.h"

namespace kps::test {

// What one split brain came to; times in microseconds since the epoch.
struct SplitBrain {
    std::int64_t holderLastStartUs = -1;  // the old holder's last ticket (its ESC @)
    std::int64_t standbyFirstUs = -1;     // the standby's first ticket; -1: none came
    int holderExit = -1;                  // the old holder's exit status; -1: it did not end
    bool nothingWaits = false;            // every order was printed in the end
    std::string holderErrors;             // the old holder's standard error
};

// A split brain on PostgreSQL: a holder (folder `name`-holder) reaches the
// database through a loopback proxy and prints on a slow printer; a standby
// connects directly. While the holder works through a queue of `orders`
// orders, numbered from `firstOrder`, the proxy freezes, as a hung switch
// port would: the holder and its printer stay up, its database goes silent.
// Waits, bounded, for the standby's first ticket, the holder's end and the
// last order; kills the standby. Fields stay at their defaults from the
// first step that did not come.
SplitBrain RunSplitBrain(TestDatabase& db, StandbyOutlet& outlet, const std::string& name,
                         int firstOrder, int orders);

}  // namespace kps::test
