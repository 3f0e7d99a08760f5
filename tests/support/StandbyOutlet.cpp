#include "support/StandbyOutlet.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "database/Recordset.h"
#include "startup/EncryptText.h"
#include "support/FileBytes.h"

namespace kps::test {
namespace {

const char* const kLayout =
    "[GENERAL]\r\nRowPerLine=40\r\n[BODY]\r\nFont=1\r\nFormat=2\r\n"
    "PosDescriptionLine=PosDescription\r\n[HEADER]\r\nL1=0C1=KITCHEN\r\n";

std::string Numbered(const char* prefix, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%03d", prefix, n);
    return text;
}

// Polls `found` every 50 ms until it holds or `limit` is over.
template <typename Found>
bool PollFor(Found found, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!found()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

}  // namespace

StandbyOutlet::StandbyOutlet(TestDatabase& db)
    : db_(db),
      // Unique per test run: tests running side by side share one PostgreSQL database.
      outletCode_("S" + std::filesystem::path(db.Folder()).filename().string().substr(9)) {
    // No "O" at position 74 of RefOutlet: tickets are split by table.
    db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('" + outletCode_ +
             "', 'X')");
    db_.Exec(
        "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName, RefPrinterGroup) "
        "VALUES ('KIT', 'Kitchen', 'O')");
    db_.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, LDNName, "
        "PrinterRowLine, WP_FileName) VALUES (1, 'KITCHEN1', 'O', '127.0.0.1', 40, 'Kit001.ini')");
    db_.Exec("INSERT INTO mrex_mt_item (ItemCode, RefPrinterGroupCode) VALUES ('F1', 'KIT')");
}

StandbyOutlet::~StandbyOutlet() {
    for (const Server& server : servers_) {
        Kill(server.folder);
    }
}

std::string StandbyOutlet::AddServer(const std::string& name, const std::string& odbcOptions,
                                     int printMs) {
    const std::string folder = db_.Folder() + "/" + name;
    std::filesystem::create_directories(folder);
    GeneralSetup s = db_.Setup();
    if (s.Database == "SQLite") {
        s.DatabaseName = db_.Folder() + "/" + s.DatabaseName;
    }
    std::mt19937 rng(1);
    const std::string storedPassword = EncryptText(s.Password, rng);
    WriteBytes(
        folder + "/GSetup.ini",
        "[GeneralSetup]\r\nServerName=" + s.ServerName + "\r\nDatabaseName=" + s.DatabaseName +
            "\r\nUserID=" + s.UserID + "\r\nPassword=" + storedPassword +
            "\r\nDrivePath=" + folder + "\r\n[COMPANYSETTINGS]\r\nOutletCode=" + outletCode_ +
            "\r\n[PrintServer]\r\nDatabase=" + s.Database + "\r\nOdbcDriver=" + s.OdbcDriver +
            "\r\nOdbcOptions=" + (odbcOptions.empty() ? s.OdbcOptions : odbcOptions) +
            "\r\nStatusAddress=\r\n");
    WriteBytes(folder + "/Kit001.ini", kLayout);
    FakeReceiptPrinter::Options options;
    options.printMs = printMs;
    auto printer = std::make_unique<FakeReceiptPrinter>(options);
    WriteBytes(folder + "/PosPrinters.ini",
               "[KITCHEN1]\r\nHost=127.0.0.1\r\nPort=" + std::to_string(printer->Port()) +
                   "\r\nReleasePause=0\r\n" +
                   // A slow printer holds its lane until each ticket is out.
                   (printMs > 0 ? "ConfirmPrinted=Y\r\n" : ""));
    servers_.push_back({folder, -1, std::move(printer)});
    return folder;
}

void StandbyOutlet::Start(const std::string& folder) {
    const std::string settings = folder + "/GSetup.ini";
    // Emptied before the child runs, so no line of an earlier run is taken for its own.
    WriteBytes(folder + "/out.txt", "");
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen("/dev/null", "r", stdin) ||
            !freopen((folder + "/out.txt").c_str(), "a", stdout) ||
            !freopen((folder + "/err.txt").c_str(), "w", stderr)) {
            _exit(126);
        }
        execl(KPS_SERVER_EXE, KPS_SERVER_EXE, "--settings", settings.c_str(), "--headless",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    for (Server& server : servers_) {
        if (server.folder == folder) {
            server.pid = pid;
        }
    }
}

void StandbyOutlet::Kill(const std::string& folder) {
    for (Server& server : servers_) {
        if (server.folder == folder && server.pid > 0) {
            kill(server.pid, SIGKILL);
            waitpid(server.pid, nullptr, 0);
            server.pid = -1;
        }
    }
}

int StandbyOutlet::WaitForExit(const std::string& folder, std::chrono::milliseconds limit) {
    for (Server& server : servers_) {
        if (server.folder != folder || server.pid <= 0) {
            continue;
        }
        int status = 0;
        if (!PollFor([&] { return waitpid(server.pid, &status, WNOHANG) == server.pid; }, limit)) {
            return -1;
        }
        server.pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return -1;
}

void StandbyOutlet::Freeze(const std::string& folder) {
    for (const Server& server : servers_) {
        if (server.folder == folder && server.pid > 0) {
            kill(server.pid, SIGSTOP);
        }
    }
}

std::string StandbyOutlet::Output(const std::string& folder) const {
    return ReadBytes(folder + "/out.txt");
}

bool StandbyOutlet::WaitForOutput(const std::string& folder, const std::string& text,
                                  std::chrono::milliseconds limit) const {
    return PollFor([&] { return Output(folder).find(text) != std::string::npos; }, limit);
}

std::string StandbyOutlet::Dish(int n) {
    return Numbered("Dish-", n);
}

std::string StandbyOutlet::Order(int n) {
    db_.Exec(
        "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
        "PosDescription) VALUES (" +
        std::to_string(n) + ", '" + Numbered("T", n) + "', 'F1', 1, '" + Numbered("B", n) + "', '" +
        Dish(n) + "')");
    return Dish(n);
}

std::vector<StandbyOutlet::Printed> StandbyOutlet::PrintedTickets(const std::string& folder) const {
    std::vector<Printed> printed;
    for (const Server& server : servers_) {
        if (!folder.empty() && server.folder != folder) {
            continue;
        }
        for (const auto& job : server.printer->Jobs()) {
            const auto bytes = FakeReceiptPrinter::TicketBytes(job);
            for (std::size_t i = 0; i < bytes.size() && i < job.tickets.size(); ++i) {
                printed.push_back({std::string(bytes[i]), job.tickets[i].arrivedUs});
            }
        }
    }
    return printed;
}

std::vector<std::string> StandbyOutlet::Tickets(const std::string& folder) const {
    std::vector<std::string> tickets;
    for (Printed& ticket : PrintedTickets(folder)) {
        tickets.push_back(std::move(ticket.bytes));
    }
    return tickets;
}

std::int64_t StandbyOutlet::ArrivedUs(const std::string& text) const {
    for (const Printed& ticket : PrintedTickets("")) {
        if (ticket.bytes.find(text) != std::string::npos) {
            return ticket.arrivedUs;
        }
    }
    return -1;
}

std::vector<std::int64_t> StandbyOutlet::ArrivalsUs(const std::string& folder) const {
    std::vector<std::int64_t> arrivals;
    for (const Printed& ticket : PrintedTickets(folder)) {
        arrivals.push_back(ticket.arrivedUs);
    }
    return arrivals;
}

bool StandbyOutlet::WaitForTicket(const std::string& text, std::chrono::milliseconds limit,
                                  const std::string& folder) const {
    return PollFor(
        [&] {
            for (const std::string& ticket : Tickets(folder)) {
                if (ticket.find(text) != std::string::npos) {
                    return true;
                }
            }
            return false;
        },
        limit);
}

bool StandbyOutlet::WaitUntilNothingWaits(std::chrono::milliseconds limit) {
    return PollFor(
        [&] {
            return db_.Db()
                       .OpenRecordset("select ID from kelt_trs_printingdetails where PrintStatus=0")
                       ->RecordCount() == 0;
        },
        limit);
}

}  // namespace kps::test
