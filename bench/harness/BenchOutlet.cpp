#include "harness/BenchOutlet.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "database/SqliteConnection.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

std::string ReadSchema() {
    std::ifstream file(std::string(KPS_SOURCE_DIR) + "/schema/sqlite.sql", std::ios::binary);
    if (!file) {
        throw KpsError(kErrFile, "Cannot read the database schema");
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        throw KpsError(kErrFile, "Cannot write " + path);
    }
}

// The ticket names its table in the header: "Table: T0001".
const char* const kLayout =
    "[GENERAL]\r\nRowPerLine=40\r\n"
    "[BODY]\r\nFont=1\r\nFormat=2\r\nPosDescriptionLine=PosDescription\r\n"
    "PosDescriptionLine1=\r\nPosDescriptionLine2=\r\nPosDescriptionLine3=\r\nSkipline=Y\r\n"
    "[HEADER]\r\nL1=0C1=KITCHEN ORDER\r\nL2=1L1=Table: [VarTableNo]\r\n"
    "L3=1L1=Check [VarTicketNo]\r\nL4=X\r\nL5=X\r\nL6=X\r\nL7=X\r\nL8=X\r\nL9=X\r\nL10=X\r\n"
    "[FOOTER]\r\nL1=1C1=-- [PR_DefPrinterName] --\r\n"
    "L2=X\r\nL3=X\r\nL4=X\r\nL5=X\r\nL6=X\r\nL7=X\r\nL8=X\r\nL9=X\r\nL10=X\r\n";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string MasterData(const OutletPlan& plan, const BenchOutlet& outlet) {
    // No "O" at position 74 of RefOutlet: tickets are grouped by table.
    std::string sql =
        "INSERT INTO Kelt_mt_Outlet (OutletCode, OutletName, RefOutlet) VALUES ('OUT01', "
        "'Bench', '" +
        std::string(80, 'N') + "');\n";
    for (const BenchDevice& d : plan.devices) {
        const bool network = d.type == 'O';
        sql +=
            "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, OptionPrinter1, "
            "DirectPort, LDNName, PrinterRowLine, WP_FileName) VALUES (" +
            std::to_string(d.code) + ", " + Quoted(d.name) + ", " + Quoted(std::string(1, d.type)) +
            ", " + std::to_string(d.divertCode) + ", " +
            (network ? "NULL" : Quoted(outlet.PortPath(d.name))) + ", " +
            (network ? "'127.0.0.1'" : "NULL") + ", 40, 'Kit001.ini');\n";
    }
    for (const BenchGroup& g : plan.groups) {
        sql +=
            "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName, "
            "RefPrinterGroup) VALUES (" +
            Quoted(g.code) + ", " + Quoted(g.code) + ", " + Quoted(g.flags) + ");\n";
    }
    for (const BenchItem& i : plan.items) {
        sql += "INSERT INTO mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) VALUES (" +
               Quoted(i.code) + ", " + Quoted(i.code) + ", " + Quoted(i.group) + ");\n";
    }
    return sql +
           "INSERT INTO Kelt_mt_Service (ServiceType, ServiceName, BillCaption) VALUES "
           "('D', 'Dine In', 'DINE IN');\n";
}

}  // namespace

BenchOutlet::BenchOutlet(const OutletPlan& plan) {
    char pattern[] = "/tmp/kps-bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw KpsError(kErrFile, std::string("Cannot make a folder: ") + std::strerror(errno));
    }
    folder_ = pattern;
    if (mkdir(PortFolder().c_str(), 0755) != 0) {
        throw KpsError(kErrFile, "Cannot make " + PortFolder());
    }
    WriteFile(Settings(),
              "[GeneralSetup]\r\nServerName=\r\nDatabaseName=outlet.db\r\nUserID=\r\n"
              "Password=\r\nDrivePath=" +
                  folder_ +
                  "\r\n[COMPANYSETTINGS]\r\nsystemtype=\r\nOutletCode=OUT01\r\n"
                  "[PrintServer]\r\nDatabase=SQLite\r\nCodePage=1252\r\n");
    WriteFile(folder_ + "/Kit001.ini", kLayout);
    std::string registry;
    for (const BenchDevice& d : plan.devices) {
        if (d.type == 'O') {
            registry += "[" + d.name + "]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(d.port) +
                        "\r\nCutter=Y\r\n";
            if (!plan.releasePause.empty()) {
                registry += "ReleasePause=" + plan.releasePause + "\r\n";
            }
        } else if (mkfifo(PortPath(d.name).c_str(), 0666) != 0) {
            throw KpsError(kErrFile, "Cannot make the port " + PortPath(d.name));
        }
    }
    WriteFile(folder_ + "/PosPrinters.ini", registry);
    SqliteConnection db(Database(), true);
    db.Execute(ReadSchema());
    db.Execute(MasterData(plan, *this));
}

std::string BenchOutlet::PortPath(const std::string& deviceName) const {
    return PortFolder() + "/" + deviceName;
}

}  // namespace kps::bench
