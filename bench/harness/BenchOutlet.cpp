#include "harness/BenchOutlet.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "database/SqliteConnection.h"
#include "startup/EncryptText.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw KpsError(kErrFile, "Cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

constexpr const char* kDropWaitingTriggers =
    "DO $$DECLARE t record; BEGIN FOR t IN SELECT tgname, tgrelid::regclass AS tab "
    "FROM pg_trigger WHERE NOT tgisinternal AND tgrelid IN "
    "('kelt_trs_printingdetails'::regclass, 'kelt_trs_printkitchen'::regclass) LOOP "
    "EXECUTE format('DROP TRIGGER %I ON %s', t.tgname, t.tab); END LOOP; END$$";

// A port no one listens on now; the server binds it a moment later.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    if (fd >= 0) {
        close(fd);
    }
    if (!bound) {
        throw KpsError(kErrFile, "Cannot find a free port for the status page");
    }
    return ntohs(address.sin_port);
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

std::string SchemaFolderOf(const std::string& serverExecutable) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path folder = fs::weakly_canonical(serverExecutable, error).parent_path();
    for (int up = 0; up < 3 && !folder.empty(); ++up, folder = folder.parent_path()) {
        if (fs::exists(folder / "schema" / "sqlite.sql", error)) {
            return (folder / "schema").string();
        }
    }
    return std::string(KPS_SOURCE_DIR) + "/schema";
}

std::string ChangeSignalScript(const std::string& schemaFolder) {
    namespace fs = std::filesystem;
    const auto signals = [](const fs::path& script) {
        return Lower(ReadFile(script.string())).find("notify") != std::string::npos;
    };
    const fs::path main = fs::path(schemaFolder) / "postgres.sql";
    if (signals(main)) {
        return main.string();
    }
    std::vector<std::string> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(schemaFolder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".sql") && name.find("postgres") != std::string::npos &&
            signals(entry.path())) {
            found.push_back(entry.path().string());
        }
    }
    std::sort(found.begin(), found.end());
    return found.empty() ? "" : found.front();
}

BenchOutlet::BenchOutlet(const OutletPlan& plan)
    : BenchOutlet(plan, OutletDatabase{{}, std::string(KPS_SOURCE_DIR) + "/schema", false}) {}

BenchOutlet::BenchOutlet(const OutletPlan& plan, const OutletDatabase& where) : where_(where) {
    char pattern[] = "/tmp/kps-bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw KpsError(kErrFile, std::string("Cannot make a folder: ") + std::strerror(errno));
    }
    folder_ = pattern;
    pgDatabase_ = "bench_" + Lower(folder_.substr(folder_.rfind('.') + 1));
    statusPort_ = FreePort();
    if (mkdir(PortFolder().c_str(), 0755) != 0) {
        throw KpsError(kErrFile, "Cannot make " + PortFolder());
    }
    WriteSettings();
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
    if (OnPostgres()) {
        MakePostgres(MasterData(plan, *this));
    } else {
        MakeSqlite(MasterData(plan, *this));
    }
    // The servers' shared print journal must be there whichever back end: a
    // missing table throws here rather than skewing the figures.
    Open()->Query("select count(*) as n from kps_print_journal");
}

void BenchOutlet::WriteSettings() {
    std::string general;
    std::string server;
    if (OnPostgres()) {
        const PostgresLogin& login = *where_.postgres;
        std::mt19937 random(1);
        general = "ServerName=127.0.0.1\r\nDatabaseName=" + pgDatabase_ +
                  "\r\nUserID=" + login.user +
                  "\r\nPassword=" + EncryptText(login.password, random);
        server = "Database=ODBC\r\nOdbcDriver=";
        server += kPostgresOdbcDriver;
        server += "\r\nOdbcOptions=Port=" + std::to_string(login.port) + ";";
    } else {
        general = "ServerName=\r\nDatabaseName=outlet.db\r\nUserID=\r\nPassword=";
        server = "Database=SQLite";
    }
    WriteFile(Settings(), "[GeneralSetup]\r\n" + general + "\r\nDrivePath=" + folder_ +
                              "\r\n[COMPANYSETTINGS]\r\nsystemtype=\r\nOutletCode=OUT01\r\n"
                              "[PrintServer]\r\n" +
                              server + "\r\nCodePage=1252\r\nStatusAddress=127.0.0.1:" +
                              std::to_string(statusPort_) + "\r\n");
}

void BenchOutlet::MakeSqlite(const std::string& masterData) {
    SqliteConnection db(Database(), true);
    db.Execute(ReadFile(where_.schemaFolder + "/sqlite.sql"));
    db.Execute(masterData);
}

void BenchOutlet::MakePostgres(const std::string& masterData) {
    const PostgresLogin& login = *where_.postgres;
    const std::string log = folder_ + "/psql.log";
    login.RunStatement("postgres", "CREATE DATABASE " + pgDatabase_, log);
    const std::string main = where_.schemaFolder + "/postgres.sql";
    login.RunScript(pgDatabase_, main, log);
    const std::string signal = ChangeSignalScript(where_.schemaFolder);
    if (where_.trigger) {
        signalScript_ = signal;
        if (!signal.empty() && signal != main) {
            login.RunScript(pgDatabase_, signal, log);
        }
    } else {
        // Whatever triggers the schema put on the waiting tables go again.
        login.RunStatement(pgDatabase_, kDropWaitingTriggers, log);
    }
    WriteFile(folder_ + "/master.sql", masterData);
    login.RunScript(pgDatabase_, folder_ + "/master.sql", log);
    // As an outlet's database that has run a while: statistics gathered and
    // nothing left for autovacuum, which would otherwise work through every
    // new database (and wake every session) while a bench measures.
    login.RunStatement(pgDatabase_, "VACUUM ANALYZE", log);
}

std::string BenchOutlet::Database() const {
    return OnPostgres() ? pgDatabase_ : folder_ + "/outlet.db";
}

std::unique_ptr<Connection> BenchOutlet::Open() const {
    if (OnPostgres()) {
        return where_.postgres->Open(pgDatabase_);
    }
    return std::make_unique<SqliteConnection>(Database());
}

std::string BenchOutlet::PortPath(const std::string& deviceName) const {
    return PortFolder() + "/" + deviceName;
}

}  // namespace kps::bench
