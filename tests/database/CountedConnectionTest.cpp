#include <gtest/gtest.h>

#include "database/CountedConnection.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

TEST(CountedConnectionTest, CountsEveryFailedStatementAndNothingElse) {
    TestDatabase database;
    std::atomic<long long> failures{0};
    CountedConnection db(database.Db(), failures);

    db.Execute("INSERT INTO Kelt_mt_Outlet (OutletCode) VALUES ('A')");
    EXPECT_EQ(db.Query("SELECT OutletCode FROM Kelt_mt_Outlet").rows.size(), 1u);
    EXPECT_EQ(failures, 0);

    EXPECT_THROW(db.Execute("INSERT INTO NoSuchTable VALUES (1)"), KpsError);
    EXPECT_THROW(db.Query("SELECT Nothing FROM Kelt_mt_Outlet"), KpsError);
    EXPECT_THROW(db.Prepare("SELEKT 1"), KpsError);
    // A prepared statement's runs are counted too.
    auto insert = db.Prepare("INSERT INTO Kelt_mt_Outlet (OutletCode) VALUES (?)");
    insert->Bind(1, Value::Text("B"));
    insert->Execute();
    db.Execute("CREATE UNIQUE INDEX ix_outlet_code ON Kelt_mt_Outlet (OutletCode)");
    EXPECT_THROW(insert->Execute(), KpsError);
    EXPECT_EQ(failures, 4);
}

}  // namespace
}  // namespace kps::test
