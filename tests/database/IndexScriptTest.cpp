#include <gtest/gtest.h>

#include <set>
#include <string>

#include "database/OutletLeaseRow.h"
#include "database/PostgresChangeListener.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

const std::set<std::string> kIndexes{"ix_printingdetails_waiting", "ix_printingdetails_table",
                                     "ix_printingdetails_item", "ix_printkitchen_waiting"};

class IndexScriptTest : public ::testing::TestWithParam<Backend> {
  protected:
    std::set<std::string> Indexes(TestDatabase& database) {
        const std::string sql =
            GetParam() == Backend::Postgres
                ? "SELECT indexname FROM pg_indexes WHERE schemaname = current_schema()"
                : "SELECT name FROM sqlite_master WHERE type = 'index'";
        std::set<std::string> names;
        for (const auto& row : database.Db().Query(sql).rows) {
            if (kIndexes.contains(row.at(0).AsText())) {
                names.insert(row.at(0).AsText());
            }
        }
        return names;
    }
};

// The schema has them; the script adds them, the lease table, the print
// journal table and (PostgreSQL) the wake triggers to a database without
// them and may run again.
TEST_P(IndexScriptTest, AddIndexScriptRunsTwiceAndLeavesEveryIndexTheLeaseAndTheJournalTable) {
    if (!TestDatabase::IsAvailable(GetParam())) {
        GTEST_SKIP() << BackendName(GetParam()) << " is not started here";
    }
    TestDatabase database(GetParam());
    EXPECT_EQ(Indexes(database), kIndexes);
    for (const auto& name : kIndexes) {
        database.Exec("DROP INDEX " + name);
    }
    database.Exec("DROP TABLE kps_outlet_lease");
    ASSERT_TRUE(Indexes(database).empty());
    database.Exec("DROP TABLE kps_print_journal");
    const bool postgres = GetParam() == Backend::Postgres;
    if (postgres) {
        database.Exec("DROP FUNCTION kps_notify_waiting() CASCADE");
    }
    const std::string script =
        GetParam() == Backend::Postgres ? "add-indexes-postgres.sql" : "add-indexes-sqlite.sql";
    database.RunScript(script);
    database.RunScript(script);
    EXPECT_EQ(Indexes(database), kIndexes);
    EXPECT_TRUE(OutletLeaseRow(database.Db(), "POSDB|OUT01", "here").Available());
    EXPECT_NO_THROW(
        database.Db().Query("SELECT ItemKey, Writer, Job, Device, StartedAt FROM "
                            "kps_print_journal"));
    if (postgres) {
        EXPECT_TRUE(PostgresChangeListener::TriggersPresent(database.Db()));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, IndexScriptTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
}  // namespace kps::test
