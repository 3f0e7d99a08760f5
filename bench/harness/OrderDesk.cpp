#include "harness/OrderDesk.h"

#include "database/SqliteConnection.h"
#include "database/Value.h"
#include "harness/BenchOutlet.h"
#include "harness/PrintedTicket.h"

namespace kps::bench {

OrderDesk::OrderDesk(const std::string& database)
    : db_(std::make_unique<SqliteConnection>(database)) {}

OrderDesk::OrderDesk(const BenchOutlet& outlet)
    : db_(outlet.Open()), postgres_(outlet.OnPostgres()) {}

std::int64_t OrderDesk::Queue(const std::vector<Order>& orders) {
    // The bill line's own ID, as the terminal links the two rows.
    const std::string lastId = postgres_
                                   ? "currval(pg_get_serial_sequence('kelt_trs_billdetails', 'id'))"
                                   : "last_insert_rowid()";
    db_->BeginTransaction();
    try {
        for (const Order& order : orders) {
            for (const OrderItem& item : order.items) {
                db_->Execute(
                    "INSERT INTO Kelt_trs_BillDetails (BillNo, ItemCode, Quantity) VALUES ('" +
                    order.table + "', '" + item.itemCode + "', 1)");
                db_->Execute(
                    "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, PluCode, "
                    "Quantity, BillNo, PosDescription, ServiceType, PaxNo, StaffName) VALUES (" +
                    lastId + ", '" + order.table + "', '" + item.itemCode + "', '" + item.itemCode +
                    "', 1, '" + order.table + "', '" + item.description + "', 'D', 2, 'Bench')");
            }
        }
        db_->CommitTransaction();
    } catch (...) {
        db_->RollbackTransaction();
        throw;
    }
    return NowUs();
}

void OrderDesk::QueueNotice(const std::string& group, const std::string& remark,
                            const std::string& from, const std::string& to) {
    const std::string now = postgres_ ? "CURRENT_DATE, LOCALTIME(0)"
                                      : "date('now', 'localtime'), time('now', 'localtime')";
    db_->Execute(
        "INSERT INTO kelt_trs_printkitchen (PrinterGroupCode, Remark1, FromTableCode, "
        "ToTableCode, TrsDate, TrsTime) VALUES ('" +
        group + "', '" + remark + "', '" + from + "', '" + to + "', " + now + ")");
}

long OrderDesk::WaitingItems() {
    return Count("select count(*) as n from kelt_trs_printingdetails where PrintStatus=0");
}

long OrderDesk::WaitingNotices() {
    return Count("select count(*) as n from kelt_trs_printkitchen where PrintStatus=0");
}

std::set<std::string> OrderDesk::WaitingCodes() {
    std::set<std::string> codes;
    for (const char* sql :
         {"select PosDescription from kelt_trs_printingdetails where PrintStatus=0",
          "select Remark1 from kelt_trs_printkitchen where PrintStatus=0"}) {
        for (const auto& row : db_->Query(sql).rows) {
            codes.insert(row[0].AsText());
        }
    }
    return codes;
}

long OrderDesk::Count(const std::string& sql) {
    const ResultTable rows = db_->Query(sql);
    return rows.rows.empty() ? 0 : std::stol(rows.rows[0][0].AsText());
}

}  // namespace kps::bench
