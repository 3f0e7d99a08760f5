#include <gtest/gtest.h>

#include "database/Recordset.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

// Counts what a recordset prepares on a real SQLite outlet.
class PrepareCounter final : public Connection {
  public:
    explicit PrepareCounter(Connection& inner) : inner_(inner) {}
    void Execute(const std::string& sql) override { inner_.Execute(sql); }
    ResultTable Query(const std::string& sql) override { return inner_.Query(sql); }
    std::unique_ptr<Statement> Prepare(const std::string& sql) override {
        ++prepared;
        return inner_.Prepare(sql);
    }
    void BeginTransaction() override { inner_.BeginTransaction(); }
    void CommitTransaction() override { inner_.CommitTransaction(); }
    void RollbackTransaction() override { inner_.RollbackTransaction(); }
    std::string DbmsName() const override { return inner_.DbmsName(); }

    int prepared = 0;

  private:
    Connection& inner_;
};

TEST(RecordsetTest, PreparesOnceAndRequeriesSeeNewRows) {
    TestDatabase database;
    PrepareCounter db(database.Db());
    Recordset outlets(db,
                      "SELECT OutletCode, RefOutlet, OutletName AS outletcode FROM Kelt_mt_Outlet");
    EXPECT_TRUE(outlets.IsEOF());
    database.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('A', 'O')");
    outlets.Requery();
    database.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('B', NULL)");
    outlets.Requery();
    EXPECT_EQ(outlets.RecordCount(), 2);
    EXPECT_EQ(db.prepared, 1);

    // Positions are looked up once, without regard to case; the first of two
    // equal names wins.
    std::size_t code = outlets.ColumnIndex("OUTLETCODE");
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(outlets.FindColumn("refoutlet"), 1u);
    EXPECT_EQ(outlets.FindColumn("Missing"), std::nullopt);
    EXPECT_EQ(outlets.At(code).AsText(), "A");
    outlets.MoveNext();
    EXPECT_EQ(outlets.At(code).AsText(), "B");
    EXPECT_TRUE(outlets.At(1).IsNull());
    try {
        outlets.ColumnIndex("Missing");
        FAIL() << "a missing column must throw";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), kErrFieldNotFound);
    }
    EXPECT_THROW(outlets.At(3), KpsError);
    outlets.MoveNext();
    EXPECT_THROW(outlets.At(code), KpsError);
}

}  // namespace
}  // namespace kps::test
