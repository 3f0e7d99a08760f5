#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "database/Recordset.h"
#include "mainwindow/WindowStatements.h"
#include "startup/ConnectionFactory.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

// The dispatch's statements, as the server writes them.
const std::string kGroupJoins =
    " left outer join mrex_mt_item as b on b.itemcode=a.itemcode"
    " left outer join kelt_mt_printergroup as c on c.printergroupcode=b.refprintergroupcode";
const std::string kDistinctByItemSql =
    "select DISTINCT c.PrinterGroupCode,c.RefPrinterGroup,a.ItemCode from "
    "kelt_trs_printingdetails as a" +
    kGroupJoins + " WHERE a.PrintStatus=0";
const std::string kDistinctByTableSql =
    "select DISTINCT c.PrinterGroupCode,c.RefPrinterGroup,a.TableCode from "
    "kelt_trs_printingdetails as a" +
    kGroupJoins + " Where A.PrintStatus = 0";

std::string TicketSql(const std::string& keyColumn, const std::string& keyValue,
                      const std::string& group) {
    return "select "
           "A.TRSID,A.ID,A.TableCode,A.PluCode, A.Quantity , A.BillNo, A.TrsNo, A.PosDescription, "
           "A.PosDescription1, A.PosDescription2, A.PosDescription3, A.UnitPrice, "
           "A.Amount, A.Remark1, A.Remark2, A.Remark3, A.Remark4, A.Remark5,  A.ServiceType, "
           "A.VoidRemark, A.RePrintRemark, B.ItemCode, B.ItemName, "
           "B.BasedMeasure, C.ServiceName, C.BillCaption, A.KitStatus, A.KitReference,"
           "D.PrinterGroupCode,D.PrinterGroupName,D.RefPrinterGroup,"
           "A.PaxNo,A.StaffName,A.BillRef1,A.BillRef2,A.billRef3,A.AgentCode,A.AgentName,"
           "A.ClientCode,A.ClientName"
           " from kelt_trs_printingdetails as a"
           " left outer join mrex_mt_item as b on b.itemcode=a.itemcode"
           " Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType "
           " left outer join kelt_mt_printergroup as D on "
           "D.PrinterGroupCode=b.RefPrinterGroupCode"
           " WHERE a." +
           keyColumn + "='" + keyValue + "' and d.PrinterGroupCode='" + group +
           "' and A.PrintStatus=0";
}

class DatabaseBackendTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (!TestDatabase::IsAvailable(GetParam())) {
            GTEST_SKIP() << BackendName(GetParam()) << " is not started here";
        }
        db_ = std::make_unique<TestDatabase>(GetParam());
        db_->RunScript("demo-outlet.sql");
    }

    void AddItem(int trsId, const std::string& table, const std::string& item,
                 const std::string& quantity, const std::string& service = "D") {
        db_->Exec(
            "INSERT INTO Kelt_trs_BillDetails (ID, BillNo, ItemCode, KitchenStatus) VALUES (" +
            std::to_string(trsId) + ", 'B1', '" + item + "', 0)");
        db_->Exec(
            "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
            "PosDescription, UnitPrice, Amount, ServiceType, PaxNo, StaffName, PrintStatus) "
            "VALUES (" +
            std::to_string(trsId) + ", '" + table + "', '" + item + "', " + quantity +
            ", 'B1', 'desc " + item + "', 12.50, 25, '" + service + "', 4, 'ANNA', 0)");
    }

    void AddNotice(const std::string& group) {
        db_->Exec(
            "INSERT INTO kelt_trs_printkitchen (PrinterGroupCode, Remark1, FromTableCode, "
            "ToTableCode, TrsDate, TrsTime, PrintStatus) VALUES ('" +
            group + "', 'move', 'T1', 'T7', '2026-12-07', '22:05:09', 0)");
    }

    std::vector<std::string> Column(Recordset& rs, const std::string& name) {
        std::vector<std::string> values;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) {
            values.push_back(rs.Field(name).Or("<null>"));
        }
        return values;
    }

    std::unique_ptr<TestDatabase> db_;
};

// A second connection opened from the settings sees and changes the same rows.
TEST_P(DatabaseBackendTest, RecordsetIsASnapshotUntilRequeried) {
    auto notices = db_->Db().OpenRecordset(kNoticesSql);
    EXPECT_TRUE(notices->IsEOF());
    AddNotice("KIT");
    AddNotice("BAR");
    EXPECT_EQ(notices->RecordCount(), 0) << "rows appear only after a requery";
    notices->Requery();
    EXPECT_EQ(notices->RecordCount(), 2);
    EXPECT_FALSE(notices->IsEOF());

    auto other = OpenDatabaseConnection(db_->Setup(), AdoConnectionString(db_->Setup()));
    other->Execute("Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=" +
                   notices->Field("ID").AsText());
    // An update that finds no row is no failure.
    other->Execute("Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=999999");
    EXPECT_EQ(notices->RecordCount(), 2);
    notices->Requery();
    EXPECT_EQ(notices->RecordCount(), 1);
}

TEST_P(DatabaseBackendTest, MovesThroughWaitingItemsInIdOrder) {
    AddItem(11, "T1", "F003", "1");
    AddItem(12, "T1", "B001", "2");
    AddItem(13, "T2", "F001", "1");
    auto items = db_->Db().OpenRecordset(kItemsSql);
    EXPECT_EQ(items->RecordCount(), 3);
    EXPECT_EQ(Column(*items, "ItemCode"), (std::vector<std::string>{"F003", "B001", "F001"}));
    EXPECT_EQ(Column(*items, "TRSID"), (std::vector<std::string>{"11", "12", "13"}));
    EXPECT_TRUE(items->IsEOF());
    EXPECT_THROW(items->MoveNext(), KpsError);
    EXPECT_THROW(items->Field("ItemCode"), KpsError);
    items->MoveFirst();
    EXPECT_EQ(items->Field("ItemName").AsText(), "Grilled Salmon");
    EXPECT_EQ(items->Field("PrinterGroupName").AsText(), "Hot Kitchen");
}

// Reads the waiting items' item codes as they are fetched.
class ItemCodeSink final : public RowSink {
  public:
    void Columns(const std::vector<std::string>& names) override {
        column = std::find_if(names.begin(), names.end(),
                              [](const std::string& name) {
                                  return strcasecmp(name.c_str(), "ItemCode") == 0;
                              }) -
                 names.begin();
    }
    void Row(std::vector<Value>& values) override { codes.push_back(values.at(column).AsText()); }

    std::ptrdiff_t column = -1;
    std::vector<std::string> codes;
};

TEST_P(DatabaseBackendTest, ForwardRequeryHandsOnEveryRowAndKeepsOnlyTheFirst) {
    AddItem(11, "T1", "F003", "1");
    auto items = db_->Db().OpenRecordset(kItemsSql);
    AddItem(12, "T1", "B001", "2");
    AddItem(13, "T2", "F001", "1");
    ItemCodeSink sink;
    items->Requery(sink, 2);
    EXPECT_EQ(sink.codes, (std::vector<std::string>{"F003", "B001", "F001"}));
    EXPECT_EQ(items->RecordCount(), 2);
    EXPECT_EQ(Column(*items, "ItemCode"), (std::vector<std::string>{"F003", "B001"}));
}

TEST_P(DatabaseBackendTest, FindSearchesForwardFromTheCurrentRow) {
    for (int code : {4, 5}) {
        db_->Exec("INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType) VALUES (" +
                  std::to_string(code) + ", 'DEV" + std::to_string(code) + "', 'W')");
    }
    auto devices = db_->Db().OpenRecordset(kDeviceSql);
    ASSERT_EQ(devices->RecordCount(), 5);

    devices->Find("Devicecode=4");
    ASSERT_FALSE(devices->IsEOF());
    EXPECT_EQ(devices->Field("DeviceName").AsText(), "DEV4");
    devices->Find("Devicecode=4");
    EXPECT_EQ(devices->Field("DeviceName").AsText(), "DEV4") << "the current row matches too";
    devices->Find("Devicecode=1");
    EXPECT_TRUE(devices->IsEOF()) << "device 1 lies behind the current row";

    devices->MoveFirst();
    devices->Find("Devicecode=9");
    EXPECT_TRUE(devices->IsEOF());
    devices->MoveFirst();
    devices->Find("Devicecode=2");
    EXPECT_EQ(devices->Field("PrintingType").AsText(), "O");
}

// Names match without regard to case; of two joined columns of one name the
// first table's wins; Null is not empty text.
TEST_P(DatabaseBackendTest, FieldsAreFoundByNameAndNullStaysNull) {
    db_->Exec("UPDATE Kelt_mt_Device SET PrinterFont1='FONTA' WHERE DeviceCode=1");
    auto devices = db_->Db().OpenRecordset(kDeviceSql);
    EXPECT_EQ(devices->Field("Printerfont1").AsText(), "FONTA");
    EXPECT_EQ(devices->Field("PRINTERFONT1").AsText(), "FONTA");
    EXPECT_EQ(devices->Field("printingtype").AsText(), "D");
    EXPECT_EQ(devices->Field("Wp_FileName").AsText(), "Kit001.ini");
    EXPECT_EQ(devices->Field("PrinterModelName").AsText(), "80 mm receipt printer");
    try {
        devices->Field("NoSuchColumn");
        FAIL() << "a missing column must throw";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), kErrFieldNotFound);
    }

    AddNotice("NOGROUP");
    auto notices = db_->Db().OpenRecordset(kNoticesSql);
    ASSERT_EQ(notices->RecordCount(), 1);
    EXPECT_EQ(notices->Field("PrinterGroupCode").AsText(), "NOGROUP");
    EXPECT_TRUE(notices->Field("RefPrinterGroup").IsNull());

    AddItem(31, "T1", "ZZZ", "1");  // an item the menu does not know
    db_->Exec("UPDATE kelt_trs_printingdetails SET Remark1='', Remark2=NULL, Remark3='x'");
    auto items = db_->Db().OpenRecordset(kItemsSql);
    ASSERT_EQ(items->RecordCount(), 1);
    EXPECT_EQ(items->Field("ItemCode").AsText(), "ZZZ");
    EXPECT_TRUE(items->Field("ItemName").IsNull());
    EXPECT_TRUE(items->Field("PrinterGroupName").IsNull());
    EXPECT_FALSE(items->Field("Remark1").IsNull());
    EXPECT_EQ(items->Field("Remark1").AsText(), "");
    EXPECT_TRUE(items->Field("Remark2").IsNull());
    EXPECT_EQ(items->Field("Remark2").Or("LPT1"), "LPT1");
    EXPECT_EQ(items->Field("Remark3").AsText(), "x");
    EXPECT_TRUE(items->Field("PluCode").IsNull());
}

TEST_P(DatabaseBackendTest, ValuesComeAsPlainTextOfTheirKind) {
    AddItem(41, "T1", "F001", "2");
    AddItem(42, "T1", "F002", "2.5");
    AddNotice("KIT");
    db_->Exec("UPDATE kelt_trs_printingdetails SET UnitPrice=0.1 WHERE TRSID=42");
    auto items = db_->Db().OpenRecordset(kItemsSql);
    EXPECT_EQ(items->Field("Quantity").AsText(), "2");
    EXPECT_EQ(items->Field("Quantity").GetKind(), Value::Kind::Real);
    EXPECT_EQ(items->Field("UnitPrice").AsText(), "12.5");
    EXPECT_EQ(items->Field("Amount").AsText(), "25");
    EXPECT_EQ(items->Field("PaxNo").AsText(), "4");
    EXPECT_EQ(items->Field("PaxNo").GetKind(), Value::Kind::Integer);
    EXPECT_EQ(items->Field("ID").GetKind(), Value::Kind::Integer);
    items->MoveNext();
    EXPECT_EQ(items->Field("Quantity").AsText(), "2.5");
    EXPECT_EQ(items->Field("UnitPrice").AsText(), "0.1");

    auto notices = db_->Db().OpenRecordset(kNoticesSql);
    EXPECT_EQ(notices->Field("TrsDate").AsText(), "2026-12-07");
    EXPECT_EQ(notices->Field("TrsDate").GetKind(), Value::Kind::Date);
    EXPECT_EQ(notices->Field("TrsTime").AsText(), "22:05:09");
    EXPECT_EQ(notices->Field("TrsTime").GetKind(), Value::Kind::Time);

    auto menu = db_->Db().OpenRecordset("SELECT * from mrex_mt_item WHERE ItemCode='F008'");
    EXPECT_EQ(menu->Field("ItemName").AsText(), "Crème Brûlée");
    db_->Exec("UPDATE mrex_mt_item SET ItemName='Smørrebrød €5' WHERE ItemCode='F008'");
    menu->Requery();
    EXPECT_EQ(menu->Field("ItemName").AsText(), "Smørrebrød €5");
}

TEST_P(DatabaseBackendTest, AWriteWaitsForAnotherConnectionsTransactionRatherThanFailing) {
    auto other = OpenDatabaseConnection(db_->Setup(), AdoConnectionString(db_->Setup()));
    other->BeginTransaction();
    other->Execute("Update Kelt_mt_Outlet Set OutletName='Other' Where OutletCode='OUT01'");
    std::thread committer([&] {
        // Longer than a commit: the write waits past its quick polls.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        other->CommitTransaction();
    });
    EXPECT_NO_THROW(
        db_->Exec("Update Kelt_mt_Outlet Set OutletName='Mine' Where OutletCode='OUT01'"));
    committer.join();
    auto outlet = db_->Db().OpenRecordset("SELECT OutletName from Kelt_mt_Outlet");
    EXPECT_EQ(outlet->Field("OutletName").AsText(), "Mine");
}

TEST_P(DatabaseBackendTest, FailingStatementsThrowAndLeaveTheConnectionUsable) {
    try {
        db_->Db().Query("select * from kelt_no_such_table");
        FAIL() << "a missing table must throw";
    } catch (const KpsError& error) {
        EXPECT_NE(error.Number(), 0);
        EXPECT_FALSE(error.Description().empty());
    }
    EXPECT_THROW(db_->Exec("Update Kelt_trs_PrintKitchen Set NoColumn=1 Where ID=1"), KpsError);
    EXPECT_THROW(db_->Db().OpenRecordset("selec * from Kelt_mt_Outlet"), KpsError);
    EXPECT_EQ(db_->Db().OpenRecordset("SELECT * from Kelt_mt_Outlet")->RecordCount(), 1);
}

TEST_P(DatabaseBackendTest, StartUpStatementsRunAsWritten) {
    auto outlet = db_->Db().OpenRecordset("SELECT * from Kelt_mt_Outlet WHERE OutletCode='OUT01'");
    ASSERT_EQ(outlet->RecordCount(), 1);
    EXPECT_EQ(outlet->Field("RefOutlet").AsText().size(), 80u);
    EXPECT_EQ(db_->Db().Query("SELECT * from Kelt_mt_Outlet WHERE OutletCode='NONE'").rows.size(),
              0u);
    EXPECT_EQ(db_->Db().OpenRecordset("SELECT * from Kelt_mt_PrinterGroup")->RecordCount(), 2);

    auto device = db_->Db().OpenRecordset("SELECT * from Kelt_mt_Device where DeviceCode='2'");
    ASSERT_EQ(device->RecordCount(), 1);
    EXPECT_EQ(device->Field("DeviceName").AsText(), "BAR1");
    EXPECT_EQ(device->Field("OptionPrinter1").AsText(), "3");
    EXPECT_EQ(device->Field("LDNName").AsText(), "127.0.0.1");
    auto divert = db_->Db().OpenRecordset("Select * from kelt_mt_device WHERE Devicecode='3'");
    EXPECT_EQ(divert->Field("DeviceName").AsText(), "BAR2");
    EXPECT_EQ(divert->Field("PrinterType").AsText(), "O");
}

TEST_P(DatabaseBackendTest, DispatchAndTicketStatementsRunAsWritten) {
    AddItem(51, "T1", "F001", "1");
    AddItem(52, "T1", "F002", "1", "T");
    AddItem(53, "T1", "B001", "1");
    AddItem(54, "T2", "F001", "3");

    EXPECT_EQ(db_->Db().OpenRecordset(kDistinctByItemSql)->RecordCount(), 3);  // F001 once
    auto byTable = db_->Db().OpenRecordset(kDistinctByTableSql);
    EXPECT_EQ(byTable->RecordCount(), 3);  // KIT/T1, BAR/T1, KIT/T2
    byTable->Find("PrinterGroupCode=1");   // codes are text: no numeric match
    EXPECT_TRUE(byTable->IsEOF());

    auto ticket = db_->Db().OpenRecordset(TicketSql("TableCode", "T1", "KIT"));
    ASSERT_EQ(ticket->RecordCount(), 2);
    std::vector<std::string> services = Column(*ticket, "ServiceName");
    std::sort(services.begin(), services.end());
    EXPECT_EQ(services, (std::vector<std::string>{"Dine In", "Take Away"}));
    ticket->MoveFirst();
    EXPECT_EQ(ticket->Field("billRef3").Or("<null>"), "<null>");
    EXPECT_EQ(ticket->Field("StaffName").AsText(), "ANNA");

    EXPECT_EQ(db_->Db().OpenRecordset(TicketSql("ItemCode", "F001", "KIT"))->RecordCount(), 2);
    EXPECT_EQ(db_->Db().OpenRecordset(TicketSql("ItemCode", "F001", "BAR"))->RecordCount(), 0);
}

TEST_P(DatabaseBackendTest, StatusUpdatesMarkOneRowAndMayRepeat) {
    AddItem(61, "T1", "F001", "1");
    AddItem(62, "T1", "F002", "1");
    auto items = db_->Db().OpenRecordset(kItemsSql);
    std::string id = items->Field("ID").AsText();
    std::string trsId = items->Field("TRSID").AsText();
    for (int time = 0; time < 2; ++time) {
        db_->Exec("Update Kelt_trs_PrintingDetails Set PrintStatus=1 Where ID=" + id);
        db_->Exec("Update Kelt_trs_BillDetails Set KitchenStatus=1 Where ID=" + trsId);
    }
    items->Requery();
    EXPECT_EQ(Column(*items, "TRSID"), (std::vector<std::string>{"62"}));
    auto bills =
        db_->Db().OpenRecordset("SELECT * from Kelt_trs_BillDetails WHERE KitchenStatus=1");
    EXPECT_EQ(Column(*bills, "ID"), (std::vector<std::string>{"61"}));
}

// IDs above 2^53 would be rounded on any road through a double.
TEST_P(DatabaseBackendTest, PreparedStatementsRunAgainWithOtherValues) {
    constexpr std::int64_t kBigId = 9007199254740993;
    db_->Exec(
        "CREATE TABLE kps_bound (id BIGINT, note VARCHAR(20), amount NUMERIC(18, 2), "
        "code NUMERIC(19, 0))");
    auto insert =
        db_->Db().Prepare("INSERT INTO kps_bound (id, note, amount, code) VALUES (?, ?, ?, ?)");
    insert->Bind(1, Value::Integer(kBigId));
    insert->Bind(2, Value::Text("Crème 'brûlée'?"));
    insert->Bind(3, Value::Real(2.5));
    insert->Bind(4, Value::Integer(kBigId));
    insert->Execute();
    insert->Bind(1, Value::Integer(7));
    insert->Bind(2, Value::Null());
    insert->Bind(3, Value::Null());
    insert->Bind(4, Value::Null());
    insert->Execute();

    auto select = db_->Db().Prepare("SELECT id, note, amount FROM kps_bound WHERE id = ?");
    select->Bind(1, Value::Integer(kBigId));
    ResultTable big = select->Query();
    ASSERT_EQ(big.rows.size(), 1u);
    EXPECT_EQ(big.columns, (std::vector<std::string>{"id", "note", "amount"}));
    EXPECT_EQ(ExactInteger(big.rows[0][0]), kBigId);
    EXPECT_EQ(big.rows[0][1].AsText(), "Crème 'brûlée'?");
    EXPECT_EQ(big.rows[0][2].AsText(), "2.5");
    auto code =
        db_->Db().Query("SELECT code FROM kps_bound WHERE code IS NOT NULL").rows.at(0).at(0);
    // SQLite, and its ODBC driver, give NUMERIC columns as real numbers.
    if (GetParam() == Backend::Postgres) {
        EXPECT_EQ(code.GetKind(), Value::Kind::Integer);
        EXPECT_EQ(ExactInteger(code), kBigId);
    }
    select->Bind(1, Value::Integer(7));
    ResultTable small = select->Query();
    ASSERT_EQ(small.rows.size(), 1u);
    EXPECT_TRUE(small.rows[0][1].IsNull());
    EXPECT_TRUE(small.rows[0][2].IsNull());
    select->Bind(1, Value::Integer(kBigId - 1));
    EXPECT_TRUE(select->Query().rows.empty());
}

// PostgreSQL's statements are not timed one by one (its driver would send
// two "SET statement_timeout" round trips with each): the session limits them.
TEST_P(DatabaseBackendTest, PostgresSessionLimitsEveryStatement) {
    if (GetParam() != Backend::Postgres) {
        GTEST_SKIP() << "PostgreSQL's driver only";
    }
    db_->Db().Prepare("SELECT ItemCode FROM kelt_trs_printingdetails")->Query();
    EXPECT_EQ(db_->Db().Query("SHOW statement_timeout").rows.at(0).at(0).AsText(), "10s");
}

TEST_P(DatabaseBackendTest, RollbackLeavesNothingAndCommitKeepsBothRows) {
    auto other = OpenDatabaseConnection(db_->Setup(), AdoConnectionString(db_->Setup()));
    auto countOnOther = [&] {
        return other->Query("SELECT ID FROM kelt_trs_printkitchen").rows.size();
    };
    db_->Db().BeginTransaction();
    AddNotice("KIT");
    AddNotice("BAR");
    db_->Db().RollbackTransaction();
    EXPECT_EQ(countOnOther(), 0u);
    EXPECT_EQ(db_->Db().OpenRecordset(kNoticesSql)->RecordCount(), 0);

    db_->Db().BeginTransaction();
    AddNotice("KIT");
    AddNotice("BAR");
    db_->Db().CommitTransaction();
    EXPECT_EQ(countOnOther(), 2u);
    db_->Db().RollbackTransaction();  // none open: nothing to undo, no error
    EXPECT_EQ(countOnOther(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseBackendTest,
                         ::testing::Values(Backend::Sqlite, Backend::SqliteOdbc, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

}  // namespace
}  // namespace kps::test
