#include "database/OutletLeaseRow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "startup/ConnectionFactory.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

// The lease row's statements through ODBC, as they run on SQL Server but
// for the clock: two servers of one outlet, each on a connection of its own.
class OutletLeaseRowTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (!TestDatabase::IsAvailable(GetParam())) {
            GTEST_SKIP() << BackendName(GetParam()) << " is not started here";
        }
        database = std::make_unique<TestDatabase>(GetParam());
        const GeneralSetup setup = database->Setup();
        for (auto* db : {&firstDb, &secondDb}) {
            *db = OpenDatabaseConnection(setup, AdoConnectionString(setup));
        }
        first = std::make_unique<OutletLeaseRow>(*firstDb, "POSDB|OUT01", "first");
        second = std::make_unique<OutletLeaseRow>(*secondDb, "POSDB|OUT01", "second");
    }

    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<Connection> firstDb, secondDb;
    std::unique_ptr<OutletLeaseRow> first, second;
};

TEST_P(OutletLeaseRowTest, OnlyAFreeRowIsTakenAndOnlyItsHolderRenewsIt) {
    ASSERT_TRUE(first->Available());
    EXPECT_FALSE(second->Claim(false)) << "a missing row is made only under the lock";
    EXPECT_TRUE(first->Claim(true));
    EXPECT_TRUE(first->Claim(true)) << "renewed";
    EXPECT_FALSE(second->Claim(false));

    // The holder's session ended: the lock it held is free, the row is not.
    EXPECT_TRUE(second->Claim(true));
    EXPECT_FALSE(first->Claim(false));

    // A holder that took the row without the lock cannot be ousted by the lock.
    database->Exec("UPDATE kps_outlet_lease SET ExpiresAt = '2000-01-01 00:00:00'");
    EXPECT_TRUE(first->Claim(false)) << "an expired row is free";
    EXPECT_FALSE(second->Claim(true));
    EXPECT_TRUE(first->Claim(false));

    first->Drop();
    EXPECT_TRUE(second->Claim(false)) << "a dropped row is free at once";
    EXPECT_FALSE(first->Claim(false));
}

TEST_P(OutletLeaseRowTest, ADatabaseWithoutTheTableHasNoRow) {
    database->Exec("DROP TABLE kps_outlet_lease");
    EXPECT_FALSE(first->Available());
}

INSTANTIATE_TEST_SUITE_P(Databases, OutletLeaseRowTest,
                         ::testing::Values(Backend::SqliteOdbc, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
}  // namespace kps::test
