// The ticket select of one table, run the way the server may run it: one
// prepared statement re-run with a bound table code, a statement prepared
// afresh for every run, and the text with the code joined in.

#include <benchmark/benchmark.h>

#include <string>

#include "support/TestDatabase.h"

namespace kps::test {
namespace {

constexpr int kTables = 20;

const std::string kTicketSql =
    "select A.TRSID,A.ID,A.TableCode,A.Quantity,A.PosDescription,A.PosDescription1,A.Remark1,"
    "A.PaxNo,A.StaffName,B.ItemCode,B.ItemName,C.ServiceName,D.PrinterGroupCode"
    " from kelt_trs_printingdetails as a"
    " left outer join mrex_mt_item as b on b.itemcode=a.itemcode"
    " Left Outer Join Kelt_mt_Service As C On A.ServiceType=C.ServiceType "
    " left outer join kelt_mt_printergroup as D on D.PrinterGroupCode=b.RefPrinterGroupCode"
    " WHERE a.TableCode=? and d.PrinterGroupCode='G1' and A.PrintStatus=0";

// A SQLite outlet with 200 waiting items on 20 tables.
struct Outlet {
    Outlet() {
        database.Exec("INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode) VALUES ('G1')");
        database.Exec(
            "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
            "VALUES ('BURG', 'Burger', 'G1')");
        database.Exec("BEGIN");
        for (int id = 1; id <= 200; ++id) {
            database.Exec(
                "INSERT INTO kelt_trs_printingdetails (TableCode, ItemCode, Quantity, "
                "PosDescription, PaxNo, StaffName, PrintStatus) VALUES ('T" +
                std::to_string(id % kTables) + "', 'BURG', 2, 'Burger', 4, 'Anna', 0)");
        }
        database.Exec("COMMIT");
    }

    TestDatabase database;
};

std::string TableCode(int run) {
    return "T" + std::to_string(run % kTables);
}

void BM_TicketSelectPreparedOnce(benchmark::State& state) {
    Outlet outlet;
    auto select = outlet.database.Db().Prepare(kTicketSql);
    int run = 0;
    for (auto _ : state) {
        select->Bind(1, Value::Text(TableCode(run++)));
        benchmark::DoNotOptimize(select->Query());
    }
}
BENCHMARK(BM_TicketSelectPreparedOnce)->Unit(benchmark::kMicrosecond);

void BM_TicketSelectPreparedEveryRun(benchmark::State& state) {
    Outlet outlet;
    int run = 0;
    for (auto _ : state) {
        auto select = outlet.database.Db().Prepare(kTicketSql);
        select->Bind(1, Value::Text(TableCode(run++)));
        benchmark::DoNotOptimize(select->Query());
    }
}
BENCHMARK(BM_TicketSelectPreparedEveryRun)->Unit(benchmark::kMicrosecond);

void BM_TicketSelectJoinedText(benchmark::State& state) {
    Outlet outlet;
    const std::size_t marker = kTicketSql.find('?');
    int run = 0;
    for (auto _ : state) {
        std::string sql = kTicketSql;
        sql.replace(marker, 1, "'" + TableCode(run++) + "'");
        benchmark::DoNotOptimize(outlet.database.Db().Query(sql));
    }
}
BENCHMARK(BM_TicketSelectJoinedText)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kps::test
