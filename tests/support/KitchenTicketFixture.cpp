#include "support/KitchenTicketFixture.h"

#include <fstream>

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps::test {

void RecordingSender::SendTicket() {
    sent.push_back({ticket_.DeviceName, ticket_.PrintingType, ticket_.List3, ticket_.List1,
                    ticket_.List2, ctx_.itemsFound});
    ticket_.List1.clear();
    ticket_.List2.clear();
}

KitchenTicketFixture::KitchenTicketFixture(Backend backend)
    : RecordedDatabase(backend), PrintRig(db, database.Folder()) {
    database.Exec(
        "INSERT INTO kelt_mt_printerModel (PrinterCode, PrinterModelName) VALUES ('M1', 'Model')");
    database.Exec(
        "INSERT INTO Kelt_mt_Service (ServiceType, ServiceName, BillCaption) VALUES "
        "('T', 'TakeAway', 'Take'), ('D', 'Dine In', 'Dine')");
}

std::string KitchenTicketFixture::WriteLayout(const std::string& name,
                                              const std::string& text) const {
    const std::string path = database.Folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void KitchenTicketFixture::AddDevice(int code, const std::string& name, const std::string& type,
                                     const std::string& layoutFile) {
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode,"
        " WP_FileName) VALUES (" +
        std::to_string(code) + ", '" + SqlQuote(name) + "', '" + type + "', 'M1', " +
        (layoutFile.empty() ? "NULL" : "'" + SqlQuote(layoutFile) + "'") + ")");
    window.DeviceList().Requery();
}

void KitchenTicketFixture::AddGroup(const std::string& group, const std::string& flags) {
    database.Exec(
        "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName,"
        " RefPrinterGroup) VALUES ('" +
        group + "', 'Group " + group + "', '" + flags + "')");
}

void KitchenTicketFixture::AddItem(const std::string& itemCode, const std::string& group) {
    database.Exec(
        "INSERT INTO mrex_mt_item (ItemCode, ItemName, BasedMeasure,"
        " RefPrinterGroupCode) VALUES ('" +
        itemCode + "', 'Item " + itemCode + "', 'pc', '" + group + "')");
}

void KitchenTicketFixture::AddWaiting(long id, const std::string& table,
                                      const std::string& itemCode,
                                      const std::map<std::string, std::string>& columns) {
    std::map<std::string, std::string> values = {
        {"ID", std::to_string(id)},
        {"TRSID", std::to_string(id + 100)},
        {"TableCode", "'" + SqlQuote(table) + "'"},
        {"ItemCode", "'" + SqlQuote(itemCode) + "'"},
        {"Quantity", "2"},
        {"BillNo", "'123'"},
        {"PosDescription", "'Burger'"},
        {"PaxNo", "4"},
        {"StaffName", "'Anna'"},
        {"PrintStatus", "0"},
    };
    for (const auto& [column, value] : columns) {
        values[column] = value;
    }
    std::string names;
    std::string literals;
    for (const auto& [column, value] : values) {
        names += (names.empty() ? "" : ", ") + column;
        literals += (literals.empty() ? "" : ", ") + value;
    }
    database.Exec("INSERT INTO kelt_trs_printingdetails (" + names + ") VALUES (" + literals + ")");
    database.Exec(
        "INSERT INTO Kelt_trs_BillDetails (ID, BillNo, ItemCode, KitchenStatus) VALUES (" +
        std::to_string(id + 100) + ", '123', '" + SqlQuote(itemCode) + "', 0)");
}

long KitchenTicketFixture::PrintStatus(long id) {
    auto rows = database.Db().Query("SELECT PrintStatus FROM kelt_trs_printingdetails WHERE ID=" +
                                    std::to_string(id));
    return rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText());
}

void KitchenTicketFixture::Compose(const std::string& type, const std::string& layoutFile,
                                   const std::string& table, const std::string& group,
                                   const std::string& deviceName) {
    PR_LoadOposSetting(codes, type);
    composer.ComposeKitchenTicket(deviceName, type, group, Value::Text(table), 7, layoutFile,
                                  "TableCode");
}

}  // namespace kps::test
