#include <gtest/gtest.h>

#include <stdexcept>

#include "database/CountedConnection.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

// Answers every statement with one row, and only to a row-by-row read.
class RowByRowOnly final : public Connection {
    class OneRow final : public Statement {
      public:
        void Bind(int, const Value&) override {}
        void Execute() override {}
        ResultTable Query() override { throw std::logic_error("read whole"); }
        void QueryInto(RowSink& sink) override {
            sink.Columns({"ID"});
            std::vector<Value> row{Value::Integer(1)};
            sink.Row(row);
        }
    };

  public:
    void Execute(const std::string&) override {}
    ResultTable Query(const std::string&) override { return {}; }
    std::unique_ptr<Statement> Prepare(const std::string&) override {
        return std::make_unique<OneRow>();
    }
    void BeginTransaction() override {}
    void CommitTransaction() override {}
    void RollbackTransaction() override {}
    std::string DbmsName() const override { return "Fake"; }
};

class RowCounter final : public RowSink {
  public:
    void Columns(const std::vector<std::string>&) override {}
    void Row(std::vector<Value>&) override { ++rows; }
    int rows = 0;
};

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

TEST(CountedConnectionTest, ARowByRowReadStaysRowByRow) {
    RowByRowOnly inner;
    std::atomic<long long> failures{0};
    CountedConnection db(inner, failures);
    RowCounter sink;
    db.Prepare("SELECT ID FROM kelt_trs_printingdetails")->QueryInto(sink);
    EXPECT_EQ(sink.rows, 1);
}

}  // namespace
}  // namespace kps::test
