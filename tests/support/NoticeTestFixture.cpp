#include "support/NoticeTestFixture.h"

#include "text/Text.h"

namespace kps::test {

namespace {

std::string QuotedOrNull(const std::string& text) {
    return text.empty() ? "NULL" : "'" + SqlQuote(text) + "'";
}

}  // namespace

NoticeTestFixture::NoticeTestFixture(Backend backend)
    : RecordedDatabase(backend), PrintRig(db, database.Folder()) {
    database.Exec(
        "INSERT INTO kelt_mt_printerModel (PrinterCode, PrinterModelName) VALUES ('M1', 'Model')");
}

void NoticeTestFixture::AddDevice(int code, const std::string& name, const std::string& type,
                                  const std::string& directPort, const std::string& address) {
    std::string port = directPort.empty() ? PortPath(name + ".prn") : directPort;
    database.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, PrinterCode, DirectPort,"
        " LDNName, PrinterFont1, PrinterFont4) VALUES (" +
        std::to_string(code) + ", '" + SqlQuote(name) + "', '" + type + "', 'M1', '" +
        SqlQuote(port) + "', '" + address + "', 'SMALL', 'LARGE')");
    pinger.reachable.push_back(address);
    window.DeviceList().Requery();
}

void NoticeTestFixture::UpdateDevicePort(int code, const std::string& directPort) {
    database.Exec("UPDATE Kelt_mt_Device SET DirectPort='" + SqlQuote(directPort) +
                  "' WHERE DeviceCode=" + std::to_string(code));
    window.DeviceList().Requery();
}

void NoticeTestFixture::AddGroup(const std::string& code, const std::string& flags) {
    database.Exec("INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) VALUES ('" +
                  code + "', '" + flags + "')");
}

void NoticeTestFixture::AddGroupWithNullFlags(const std::string& code) {
    database.Exec("INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode) VALUES ('" + code + "')");
}

void NoticeTestFixture::AddNotice(const NoticeRow& row) {
    std::string sql =
        "INSERT INTO kelt_trs_printkitchen (ID, PrinterGroupCode, Remark1, Remark2, Remark3,"
        " Remark4, Remark5, FromTableCode, ToTableCode, TrsDate, TrsTime, PrintStatus) VALUES (" +
        std::to_string(row.id) + ", '" + row.group + "'";
    for (const auto& remark : row.remarks) {
        sql += ", " + QuotedOrNull(remark);
    }
    sql += ", " + QuotedOrNull(row.from) + ", " + QuotedOrNull(row.to) + ", " +
           QuotedOrNull(row.date) + ", " + QuotedOrNull(row.time) + ", 0)";
    database.Exec(sql);
}

long NoticeTestFixture::PrintStatus(long id) {
    auto rows = database.Db().Query("SELECT PrintStatus FROM kelt_trs_printkitchen WHERE ID=" +
                                    std::to_string(id));
    return rows.rows.empty() ? -1 : LeadingNumber(rows.rows[0][0].AsText());
}

void NoticeTestFixture::Tick() {
    sending.SettleReports();
    pass.PrintKitchenNotices();
}

long NoticeTestFixture::UpdatesOf(long id) const {
    const std::string update =
        "Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=" + std::to_string(id);
    long count = 0;
    for (const auto& sql : db.executed) {
        count += sql == update ? 1 : 0;
    }
    return count;
}

}  // namespace kps::test
