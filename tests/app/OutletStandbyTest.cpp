// Two servers of one outlet on one database, as an administrator runs them
// for a hot standby: one prints, the other waits and takes over when the
// first goes, losing no item and printing a second copy only as a reprint.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "startup/ExitStatus.h"
#include "support/FileBytes.h"
#include "support/LoopbackProxy.h"
#include "support/SplitBrain.h"
#include "support/StandbyOutlet.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;

const std::string kStandby = "Standby: another server prints for this outlet";
const std::string kReprint = "*** REPRINT ***";
constexpr auto kLimit = 10s;
constexpr int kTakeOvers = 20;

class OutletStandbyTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (!TestDatabase::IsAvailable(GetParam())) {
            GTEST_SKIP() << BackendName(GetParam()) << " is not started here";
        }
        db_ = std::make_unique<TestDatabase>(GetParam());
        outlet_ = std::make_unique<StandbyOutlet>(*db_);
    }

    std::unique_ptr<TestDatabase> db_;
    std::unique_ptr<StandbyOutlet> outlet_;
};

TEST_P(OutletStandbyTest, TheStandbyPrintsNothingUntilItTakesOverFromAKilledHolder) {
    const std::string servers[] = {outlet_->AddServer("a"), outlet_->AddServer("b")};
    outlet_->Start(servers[0]);
    ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(0), kLimit, servers[0]))
        << outlet_->Output(servers[0]) << ReadBytes(servers[0] + "/err.txt");
    outlet_->Start(servers[1]);
    ASSERT_TRUE(outlet_->WaitForOutput(servers[1], kStandby, kLimit))
        << outlet_->Output(servers[1]);
    ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(1), kLimit, servers[0]));
    EXPECT_TRUE(outlet_->Tickets(servers[1]).empty());

    // Orders keep coming while holders die, one just before each death.
    int order = 2;
    for (int takeOver = 0; takeOver < kTakeOvers; ++takeOver) {
        const std::string& holder = servers[takeOver % 2];
        const std::string& standby = servers[(takeOver + 1) % 2];
        outlet_->Order(order++);
        outlet_->Kill(holder);
        ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(order++), kLimit, standby))
            << "take-over " << takeOver;
        outlet_->Start(holder);
        ASSERT_TRUE(outlet_->WaitForOutput(holder, kStandby, kLimit)) << outlet_->Output(holder);
    }
    ASSERT_TRUE(outlet_->WaitUntilNothingWaits(kLimit));

    const auto tickets = outlet_->Tickets();
    for (int n = 0; n < order; ++n) {
        int copies = 0;
        int unlabelled = 0;
        for (const std::string& ticket : tickets) {
            if (ticket.find(StandbyOutlet::Dish(n)) != std::string::npos) {
                ++copies;
                unlabelled += ticket.find(kReprint) == std::string::npos ? 1 : 0;
            }
        }
        EXPECT_GE(copies, 1) << StandbyOutlet::Dish(n) << " was lost";
        EXPECT_LE(unlabelled, 1) << StandbyOutlet::Dish(n) << " came twice without the label";
    }
}

// The ticket holding `dish` that the server of `folder` printed, or "".
std::string TicketOf(const StandbyOutlet& outlet, const std::string& dish,
                     const std::string& folder) {
    for (const std::string& ticket : outlet.Tickets(folder)) {
        if (ticket.find(dish) != std::string::npos) {
            return ticket;
        }
    }
    return "";
}

// The holder hangs while its printer is still taking one order, and dies;
// an order that came meanwhile was never sent and is no reprint.
TEST_P(OutletStandbyTest, AfterAFrozenHolderIsKilledOnlyWhatItWasSendingIsLabelled) {
    const std::string holder = outlet_->AddServer("a", "", 3000);
    const std::string standby = outlet_->AddServer("b");
    outlet_->Start(holder);
    ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(0), kLimit, holder))
        << outlet_->Output(holder) << ReadBytes(holder + "/err.txt");
    ASSERT_TRUE(outlet_->WaitUntilNothingWaits(kLimit));
    outlet_->Start(standby);
    ASSERT_TRUE(outlet_->WaitForOutput(standby, kStandby, kLimit));

    ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(1), kLimit, holder));
    outlet_->Freeze(holder);  // its printer still prints order 1
    outlet_->Order(2);
    outlet_->Kill(holder);

    ASSERT_TRUE(outlet_->WaitForTicket(StandbyOutlet::Dish(1), kLimit, standby));
    ASSERT_TRUE(outlet_->WaitForTicket(StandbyOutlet::Dish(2), kLimit, standby));
    EXPECT_NE(TicketOf(*outlet_, StandbyOutlet::Dish(1), standby).find(kReprint),
              std::string::npos);
    EXPECT_EQ(TicketOf(*outlet_, StandbyOutlet::Dish(2), standby).find(kReprint),
              std::string::npos);
}

// No standby waited: a server started after the holder died mid-ticket
// labels that ticket, and only that one.
TEST_P(OutletStandbyTest, AColdSpareLabelsTheTicketTheKilledHolderWasSending) {
    const std::string holder = outlet_->AddServer("a", "", 3000);
    const std::string spare = outlet_->AddServer("b");
    outlet_->Start(holder);
    ASSERT_TRUE(outlet_->WaitForTicket(outlet_->Order(0), kLimit, holder))
        << outlet_->Output(holder) << ReadBytes(holder + "/err.txt");
    outlet_->Kill(holder);
    outlet_->Order(1);

    outlet_->Start(spare);
    ASSERT_TRUE(outlet_->WaitForTicket(StandbyOutlet::Dish(0), kLimit, spare))
        << outlet_->Output(spare) << ReadBytes(spare + "/err.txt");
    ASSERT_TRUE(outlet_->WaitForTicket(StandbyOutlet::Dish(1), kLimit, spare));
    EXPECT_NE(TicketOf(*outlet_, StandbyOutlet::Dish(0), spare).find(kReprint), std::string::npos);
    EXPECT_EQ(TicketOf(*outlet_, StandbyOutlet::Dish(1), spare).find(kReprint), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Databases, OutletStandbyTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

// A machine that vanishes leaves its connection open at the database; the
// session is cut off all the same, and the standby takes over.
TEST(OutletStandbyNetworkTest, AHolderWhoseNetworkVanishedLosesTheLeaseToTheStandby) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TestDatabase db(Backend::Postgres);
    StandbyOutlet outlet(db);
    GeneralSetup setup = db.Setup();
    LoopbackProxy proxy(static_cast<std::uint16_t>(std::stoi(std::getenv("KPS_TEST_PG_PORT"))));
    const std::string viaProxy = "Port=" + std::to_string(proxy.Port()) +
                                 setup.OdbcOptions.substr(setup.OdbcOptions.find(';'));
    const std::string holder = outlet.AddServer("a", viaProxy);
    const std::string standby = outlet.AddServer("b");
    outlet.Start(holder);
    ASSERT_TRUE(outlet.WaitForTicket(outlet.Order(0), kLimit, holder));
    outlet.Start(standby);
    ASSERT_TRUE(outlet.WaitForOutput(standby, kStandby, kLimit));

    proxy.Freeze();
    EXPECT_TRUE(outlet.WaitForTicket(outlet.Order(1), 30s, standby));
    outlet.Kill(holder);  // stuck on its silent connection
}

// The same, while the holder still has tickets queued for a slow printer:
// it must stop starting them before the standby may begin, and end itself.
TEST(OutletStandbyNetworkTest, AHolderCutOffFromItsDatabaseStartsNoTicketOnceTheStandbyPrints) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TestDatabase db(Backend::Postgres);
    StandbyOutlet outlet(db);
    const SplitBrain split = RunSplitBrain(db, outlet, "a", 0, 20);
    ASSERT_NE(split.standbyFirstUs, -1) << "the standby never printed";
    EXPECT_LT(split.holderLastStartUs, split.standbyFirstUs);
    EXPECT_EQ(split.holderExit, kExitFatalError);
    EXPECT_NE(split.holderErrors.find("Error Lease not confirmed"), std::string::npos)
        << split.holderErrors;
    EXPECT_TRUE(split.nothingWaits);
}

}  // namespace
}  // namespace kps::test
