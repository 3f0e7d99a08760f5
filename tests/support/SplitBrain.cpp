#include "support/SplitBrain.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "support/FileBytes.h"
#include "support/LoopbackProxy.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;

const std::string kStandby = "Standby: another server prints for this outlet";
// Slow enough that the holder's queue outlasts the time its lease stays good.
constexpr int kPrintMs = 1000;

}  // namespace

SplitBrain RunSplitBrain(TestDatabase& db, StandbyOutlet& outlet, const std::string& name,
                         int firstOrder, int orders) {
    LoopbackProxy proxy(static_cast<std::uint16_t>(std::stoi(std::getenv("KPS_TEST_PG_PORT"))));
    const std::string options = db.Setup().OdbcOptions;
    const std::string holder = outlet.AddServer(
        name + "-holder",
        "Port=" + std::to_string(proxy.Port()) + options.substr(options.find(';')), kPrintMs);
    const std::string standby = outlet.AddServer(name + "-standby");
    SplitBrain result;
    outlet.Start(holder);
    if (!outlet.WaitForTicket(outlet.Order(firstOrder), 30s, holder)) {
        return result;
    }
    outlet.Start(standby);
    if (!outlet.WaitForOutput(standby, kStandby, 30s)) {
        return result;
    }
    for (int n = 1; n < orders; ++n) {
        outlet.Order(firstOrder + n);
    }
    if (!outlet.WaitForTicket(StandbyOutlet::Dish(firstOrder + 1), 30s, holder)) {
        return result;
    }
    proxy.Freeze();
    result.holderExit = outlet.WaitForExit(holder, 30s);
    result.holderErrors = ReadBytes(holder + "/err.txt");
    if (outlet.WaitForTicket("Dish-", 30s, standby)) {  // any ticket
        const auto standbyTickets = outlet.ArrivalsUs(standby);
        result.standbyFirstUs = *std::min_element(standbyTickets.begin(), standbyTickets.end());
    }
    const auto holderTickets = outlet.ArrivalsUs(holder);
    result.holderLastStartUs = *std::max_element(holderTickets.begin(), holderTickets.end());
    result.nothingWaits = outlet.WaitUntilNothingWaits(60s);
    outlet.Kill(holder);  // in case it did not end
    outlet.Kill(standby);
    return result;
}

}  // namespace kps::test
