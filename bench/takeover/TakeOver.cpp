// Take-over times of whole server processes: two headless servers of one
// outlet, one holding the lease and one on standby; the holder is killed
// (SIGKILL), or its database connection goes silent as if its machine had
// vanished, and the next order is queued at once. Measured: from the kill
// (or the silence) to the first byte of that order's ticket at the
// standby's printer. Then split brains: the holder's database goes silent
// while it still has a queue for a slow printer; measured is the margin from
// the old holder's last ticket start to the standby's first ticket, which
// must stay positive. PostgreSQL runs when scripts/lib/postgres.sh started
// one (KPS_TEST_PG_* set), as scripts/takeover does.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "harness/Spread.h"
#include "support/LoopbackProxy.h"
#include "support/SplitBrain.h"
#include "support/StandbyOutlet.h"
#include "support/TestDatabase.h"

namespace kps::bench {
namespace {

using namespace std::chrono_literals;
using test::Backend;
using test::StandbyOutlet;
using test::TestDatabase;

const std::string kStandby = "Standby: another server prints for this outlet";

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void Fail(const std::string& what) {
    std::cerr << "kps-takeover: " << what << "\n";
    std::exit(1);
}

void Require(bool done, const std::string& what) {
    if (!done) {
        Fail(what);
    }
}

// Milliseconds from `startUs` to the first byte of order `n`'s ticket.
double TicketAfter(StandbyOutlet& outlet, int n, std::int64_t startUs) {
    Require(outlet.WaitForTicket(StandbyOutlet::Dish(n), 60s),
            "order " + std::to_string(n) + " was not printed");
    return static_cast<double>(outlet.ArrivedUs(StandbyOutlet::Dish(n)) - startUs) / 1000.0;
}

std::vector<double> AfterKills(Backend backend, int rounds) {
    TestDatabase db(backend);
    StandbyOutlet outlet(db);
    const std::string servers[] = {outlet.AddServer("a"), outlet.AddServer("b")};
    outlet.Start(servers[0]);
    outlet.Order(0);
    TicketAfter(outlet, 0, NowUs());
    outlet.Start(servers[1]);
    Require(outlet.WaitForOutput(servers[1], kStandby, 30s), "no standby");
    std::vector<double> sample;
    for (int round = 0; round < rounds; ++round) {
        const std::string& holder = servers[round % 2];
        const std::int64_t killedUs = NowUs();
        outlet.Kill(holder);
        outlet.Order(round + 1);
        sample.push_back(TicketAfter(outlet, round + 1, killedUs));
        outlet.Start(holder);
        Require(outlet.WaitForOutput(holder, kStandby, 30s), "no standby after a restart");
    }
    return sample;
}

std::vector<double> AfterSilence(int rounds) {
    TestDatabase db(Backend::Postgres);
    StandbyOutlet outlet(db);
    const std::string options = db.Setup().OdbcOptions;
    const auto pgPort = static_cast<std::uint16_t>(std::stoi(std::getenv("KPS_TEST_PG_PORT")));
    std::vector<double> sample;
    int order = 0;
    for (int round = 0; round < rounds; ++round) {
        test::LoopbackProxy proxy(pgPort);
        const std::string holder =
            outlet.AddServer("h" + std::to_string(round), "Port=" + std::to_string(proxy.Port()) +
                                                              options.substr(options.find(';')));
        const std::string standby = outlet.AddServer("s" + std::to_string(round));
        outlet.Start(holder);
        outlet.Order(order);
        TicketAfter(outlet, order++, NowUs());
        outlet.Start(standby);
        Require(outlet.WaitForOutput(standby, kStandby, 30s), "no standby");
        const std::int64_t silencedUs = NowUs();
        proxy.Freeze();
        outlet.Order(order);
        sample.push_back(TicketAfter(outlet, order++, silencedUs));
        outlet.Kill(holder);
        outlet.Kill(standby);
    }
    return sample;
}

// Seconds from the old holder's last ticket start to the standby's first
// ticket, when the holder's database goes silent while it still has a queue.
std::vector<double> SplitBrainMargins(int rounds) {
    TestDatabase db(Backend::Postgres);
    StandbyOutlet outlet(db);
    constexpr int kOrders = 20;
    std::vector<double> sample;
    for (int round = 0; round < rounds; ++round) {
        const test::SplitBrain split =
            test::RunSplitBrain(db, outlet, "b" + std::to_string(round), round * kOrders, kOrders);
        Require(split.standbyFirstUs != -1 && split.holderLastStartUs != -1,
                "split brain round " + std::to_string(round) + " did not come to a take-over");
        std::cout << "  round " << round << ": holder exit status " << split.holderExit
                  << (split.nothingWaits ? "" : ", orders left waiting") << std::endl;
        sample.push_back(static_cast<double>(split.standbyFirstUs - split.holderLastStartUs) / 1e6);
    }
    return sample;
}

void ReportSeconds(const std::string& what, const std::vector<double>& sample) {
    const Spread spread = SpreadOf(sample);
    std::cout << what << ": min " << *std::min_element(sample.begin(), sample.end())
              << " s, median " << spread.median << " s over " << spread.count << " rounds"
              << std::endl;
}

void Report(const std::string& what, const std::vector<double>& sample) {
    const Spread spread = SpreadOf(sample);
    std::cout << what << ": median " << spread.median << " ms, max " << spread.max << " ms over "
              << spread.count << " take-overs" << std::endl;
}

}  // namespace
}  // namespace kps::bench

int main(int argc, char** argv) {
    using namespace kps::bench;
    int rounds = 20;
    int splitRounds = 10;
    bool understood = argc % 2 == 1;
    for (int i = 1; understood && i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--rounds") {
            rounds = std::atoi(argv[i + 1]);
        } else if (option == "--split-rounds") {
            splitRounds = std::atoi(argv[i + 1]);
        } else {
            understood = false;
        }
    }
    if (!understood) {
        std::cerr << "usage: kps-takeover [--rounds N] [--split-rounds N]\n";
        return 2;
    }
    Report("SQLite, holder killed", AfterKills(kps::test::Backend::Sqlite, rounds));
    if (!kps::test::TestDatabase::IsAvailable(kps::test::Backend::Postgres)) {
        std::cout << "PostgreSQL: not started (scripts/takeover starts one)" << std::endl;
        return 0;
    }
    Report("PostgreSQL, holder killed", AfterKills(kps::test::Backend::Postgres, rounds));
    Report("PostgreSQL, holder's network silent", AfterSilence(rounds));
    ReportSeconds("PostgreSQL split brain, standby's first ticket after the old holder's last",
                  SplitBrainMargins(splitRounds));
    return 0;
}
