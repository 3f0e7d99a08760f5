#include "harness/OrderDesk.h"

#include "database/Value.h"
#include "harness/PrintedTicket.h"

namespace kps::bench {

OrderDesk::OrderDesk(const std::string& database) : db_(database) {}

std::int64_t OrderDesk::Queue(const std::vector<Order>& orders) {
    std::string sql = "BEGIN;\n";
    for (const Order& order : orders) {
        for (const OrderItem& item : order.items) {
            sql += "INSERT INTO Kelt_trs_BillDetails (BillNo, ItemCode, Quantity) VALUES ('" +
                   order.table + "', '" + item.itemCode +
                   "', 1);\n"
                   "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, PluCode, "
                   "Quantity, BillNo, PosDescription, ServiceType, PaxNo, StaffName) VALUES "
                   "(last_insert_rowid(), '" +
                   order.table + "', '" + item.itemCode + "', '" + item.itemCode + "', 1, '" +
                   order.table + "', '" + item.description + "', 'D', 2, 'Bench');\n";
        }
    }
    db_.Execute(sql + "COMMIT;\n");
    return NowUs();
}

void OrderDesk::QueueNotice(const std::string& group, const std::string& remark,
                            const std::string& from, const std::string& to) {
    db_.Execute(
        "INSERT INTO kelt_trs_printkitchen (PrinterGroupCode, Remark1, FromTableCode, "
        "ToTableCode, TrsDate, TrsTime) VALUES ('" +
        group + "', '" + remark + "', '" + from + "', '" + to +
        "', date('now', 'localtime'), time('now', 'localtime'))");
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
        for (const auto& row : db_.Query(sql).rows) {
            codes.insert(row[0].AsText());
        }
    }
    return codes;
}

long OrderDesk::Count(const std::string& sql) {
    const ResultTable rows = db_.Query(sql);
    return rows.rows.empty() ? 0 : std::stol(rows.rows[0][0].AsText());
}

}  // namespace kps::bench
