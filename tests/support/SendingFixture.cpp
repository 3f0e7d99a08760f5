#include "support/SendingFixture.h"

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps::test {

void ScriptedDivertHost::Show(TRDIVET& dialog) {
    ++shown;
    dialog.Open(*this);
    openedLabel = dialog.Label1;
    printerName = dialog.OPrinterName;
    address = dialog.oIPAddress;
    ownPrinter = dialog.OriPrinter;
}

void FailingConnection::Execute(const std::string& sql) {
    if (!failOnce.empty() && sql == failOnce) {
        failOnce.clear();
        throw KpsError(kErrStatement, "the statement failed");
    }
    inner_.Execute(sql);
}

SendingFixture::SendingFixture() : PrintRig(db, database.Folder()) {
    codes.CodeCentre = "<C>";
    codes.CodeFeedCut = "<CUT>";
    database.Exec("INSERT INTO kelt_mt_printerModel (PrinterCode) VALUES ('M1')");
    AddDevice(1, "K1", "127.0.0.1");
    AddDevice(2, "K2", "127.0.0.2");
    for (int id = 1; id <= 3; ++id) {
        database.Exec("INSERT INTO Kelt_trs_BillDetails (ID, KitchenStatus) VALUES (" +
                      std::to_string(10 + id) + ", 0)");
        database.Exec("INSERT INTO kelt_trs_printingdetails (ID, TRSID, PrintStatus) VALUES (" +
                      std::to_string(id) + ", " + std::to_string(10 + id) + ", 0)");
    }
}

void SendingFixture::AddDevice(int code, const std::string& name, const std::string& address) {
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode, LDNName)"
        " VALUES (" +
        std::to_string(code) + ", '" + name + "', 'O', 'M1', '" + address + "')");
}

void SendingFixture::ComposeTicket(const std::string& printingType, std::vector<std::string> ids,
                                   const std::string& deviceName) {
    ticket.PrintingType = printingType;
    ticket.DeviceName = deviceName;
    ticket.OptionPrinter1 = 2;
    device.DeviceName = deviceName;
    device.PrintingType = printingType;
    device.LDNName = "127.0.0.1";
    device.DirectPort = PortPath("port.prn");
    ticket.RTF = "L1\r\nL2\r\n";
    ticket.List3 = {"L1\r\n", "L2\r\n"};
    ticket.List1 = ids;
    ticket.List2.clear();
    for (const auto& id : ids) {
        ticket.List2.push_back(std::to_string(10 + LeadingNumber(id)));
    }
}

long SendingFixture::PrintStatus(long id) {
    const auto rows = database.Db().Query(
        "SELECT PrintStatus FROM kelt_trs_printingdetails WHERE ID=" + std::to_string(id));
    return rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText());
}

long SendingFixture::KitchenStatus(long id) {
    const auto rows = database.Db().Query(
        "SELECT KitchenStatus FROM Kelt_trs_BillDetails WHERE ID=" + std::to_string(id));
    return rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText());
}

}  // namespace kps::test
