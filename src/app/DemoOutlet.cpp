#include "app/DemoOutlet.h"

#include <filesystem>
#include <fstream>

#include "DemoSql.h"
#include "database/SqliteConnection.h"
#include "text/KpsError.h"

namespace kps {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        throw KpsError(kErrFile, "Cannot write " + path.string());
    }
}

// Orders as the terminals queue them: a bill line and its printing row.
const char* const kWaitingOrders = R"sql(
INSERT INTO Kelt_trs_BillDetails (ID, BillNo, ItemCode, Quantity) VALUES
    (1, 'B1001', 'F001', 2), (2, 'B1001', 'F003', 1), (3, 'B1001', 'B001', 2),
    (4, 'B1002', 'F004', 1), (5, 'B1002', 'F007', 1), (6, 'B1002', 'B004', 2),
    (7, 'B1003', 'F005', 1), (8, 'B1004', 'B005', 6), (9, 'B1004', 'B006', 1),
    (10, 'B1004', 'B007', 2);
INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, PluCode, Quantity, BillNo,
    PosDescription, PosDescription1, Remark1, ServiceType, PaxNo, StaffName) VALUES
    (1, 'T5', 'F001', '1001', 2, 'B1001', 'Tomato Soup', NULL, 'no cream', 'D', 2, 'Anna'),
    (2, 'T5', 'F003', '1003', 1, 'B1001', 'Grilled Salmon', 'medium', NULL, 'D', 2, 'Anna'),
    (3, 'T5', 'B001', '2001', 2, 'B1001', 'Espresso', NULL, NULL, 'D', 2, 'Anna'),
    (4, 'T7', 'F004', '1004', 1, 'B1002', 'Beef Burger', 'well done', 'no onions', 'D', 4,
        'Marco'),
    (5, 'T7', 'F007', '1007', 1, 'B1002', 'French Fries', NULL, NULL, 'D', 4, 'Marco'),
    (6, 'T7', 'B004', '2004', 2, 'B1002', 'House Red Wine', NULL, NULL, 'D', 4, 'Marco'),
    (7, 'TA1', 'F005', '1005', 1, 'B1003', 'Chicken Curry', NULL, 'extra spicy', 'T', 1,
        'Anna'),
    (8, 'T8', 'B005', '2005', 6, 'B1004', '饺子', 'Dumplings', NULL, 'D', 3, 'Mei'),
    (9, 'T8', 'B006', '2006', 1, 'B1004', 'ผัดไทย', 'Pad Thai', 'ไม่ใส่ถั่ว', 'D', 3, 'Mei'),
    (10, 'T8', 'B007', '2007', 2, 'B1004', 'فلافل', 'Falafel', NULL, 'D', 3, 'Mei');
INSERT INTO kelt_trs_printkitchen (PrinterGroupCode, Remark1, FromTableCode, ToTableCode,
    TrsDate, TrsTime) VALUES ('KIT', 'Guests moved to the terrace', 'T5', 'T9',
    date('now', 'localtime'), time('now', 'localtime'));
)sql";

}  // namespace

std::string CreateDemoOutlet(const std::string& folder, int barPrinterPort, int divertPrinterPort) {
    fs::path root = fs::absolute(folder);
    fs::create_directories(root);
    fs::path database = root / "outlet.db";
    fs::remove(database);

    WriteFile(root / "GSetup.ini",
              "[GeneralSetup]\r\n"
              "ServerName=\r\n"
              "DatabaseName=outlet.db\r\n"
              "UserID=\r\n"
              "Password=\r\n"
              "DrivePath=" +
                  root.string() +
                  "\r\n"
                  "[COMPANYSETTINGS]\r\n"
                  "systemtype=\r\n"
                  "OutletCode=OUT01\r\n"
                  "[PrintServer]\r\n"
                  "Database=SQLite\r\n"
                  "CodePage=1252\r\n");
    WriteFile(root / "Kit001.ini", demo_sql::kLayout);
    auto entry = [](const char* name, int port) {
        return std::string("[") + name + "]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(port) +
               "\r\nCutter=Y\r\nEncoding=auto\r\n";
    };
    WriteFile(root / "PosPrinters.ini",
              entry("BAR1", barPrinterPort) + entry("BAR2", divertPrinterPort));

    SqliteConnection db(database.string(), true);
    db.Execute(demo_sql::kSchema);
    db.Execute(demo_sql::kMasterData);
    db.Execute(kWaitingOrders);
    return (root / "GSetup.ini").string();
}

}  // namespace kps
