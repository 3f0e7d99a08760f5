// The server program as an administrator runs it: exit statuses, messages
// and the single-instance lock, on real settings files and databases.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "database/Recordset.h"
#include "database/SqliteConnection.h"
#include "output/EscPosDecoder.h"
#include "startup/SingleInstance.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"
#include "text/Text.h"

namespace kps::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Starts the server in `folder` (layout files are found relative to it);
// the caller waits for it.
pid_t Start(const std::vector<std::string>& args, const std::string& folder,
            const std::string& input = "") {
    std::string inFile = folder + "/stdin.txt";
    WriteBytes(inFile, input);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen(inFile.c_str(), "r", stdin) ||
            !freopen((folder + "/stdout.txt").c_str(), "w", stdout) ||
            !freopen((folder + "/stderr.txt").c_str(), "w", stderr)) {
            _exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(KPS_SERVER_EXE)};
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(KPS_SERVER_EXE, argv.data());
        _exit(127);
    }
    return pid;
}

// Waits at most 30 s; a server that does not end is killed and fails the test.
Outcome Wait(pid_t pid, const std::string& folder) {
    Outcome outcome;
    int status = 0;
    for (int i = 0; i < 300; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (outcome.status < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "the server did not end within 30 s";
    }
    outcome.out = ReadBytes(folder + "/stdout.txt");
    outcome.err = ReadBytes(folder + "/stderr.txt");
    return outcome;
}

Outcome RunServer(const std::vector<std::string>& args, const std::string& folder,
                  const std::string& input = "") {
    return Wait(Start(args, folder, input), folder);
}

// Without a status page unless `statusAddress` is given, so that servers
// of tests running side by side do not compete for its port.
void WriteSettings(const std::string& folder, const GeneralSetup& s,
                   const std::string& statusAddress = "") {
    std::ofstream ini(folder + "/GSetup.ini", std::ios::binary);
    ini << "[GeneralSetup]\r\nServerName=" << s.ServerName << "\r\nDatabaseName=" << s.DatabaseName
        << "\r\nUserID=" << s.UserID << "\r\nPassword=" << s.Password << "\r\nDrivePath=" << folder
        << "\r\n[COMPANYSETTINGS]\r\nsystemtype=\r\nOutletCode=\r\n"
        << "[PrintServer]\r\nDatabase=" << s.Database << "\r\nOdbcDriver=" << s.OdbcDriver
        << "\r\nOdbcOptions=" << s.OdbcOptions << "\r\nStatusAddress=" << statusAddress << "\r\n";
}

// Everything the print log under `drivePath` holds.
std::string PrintLogText(const std::string& drivePath) {
    std::string text;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(drivePath + "/LOG", ec)) {
        if (entry.path().filename().string().starts_with("Prt_")) {
            text += ReadBytes(entry.path().string());
        }
    }
    return text;
}

// Waits at most 10 s for `text` to appear in `file`.
bool WaitForText(const std::string& file, const std::string& text) {
    for (int i = 0; i < 100; ++i) {
        if (ReadBytes(file).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// A loopback port nobody listens on at the moment of asking.
int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

// One kitchen group printing on one direct-port device.
void AddOutlet(TestDatabase& db) {
    db.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('OUT01', 'X')");
    db.Exec(
        "INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, PrinterGroupName, RefPrinterGroup) "
        "VALUES ('KIT', 'Kitchen', 'O')");
    db.Exec(
        "INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, PrinterType, DirectPort, "
        "WP_FileName) VALUES (1, 'KITCHEN1', 'D', 'kitchen1.prn', 'Kit001.ini')");
}

void WriteLayout(const std::string& folder) {
    WriteBytes(folder + "/Kit001.ini",
               "[GENERAL]\r\nRowPerLine=40\r\n[BODY]\r\nFont=1\r\nFormat=2\r\n"
               "PosDescriptionLine=PosDescription\r\n[HEADER]\r\nL1=0C1=KITCHEN\r\n");
}

// The arguments of a headless run of one tick on the settings in `folder`.
std::vector<std::string> OneTick(const std::string& folder) {
    return {"--settings", folder + "/GSetup.ini", "--headless", "--ticks", "1"};
}

class ServerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AddOutlet(db_);
        WriteLayout(db_.Folder());
        WriteSettings(db_.Folder(), db_.Setup());
    }
    TestDatabase db_;
};

TEST_F(ServerProcessTest, RunsItsTicksOnAValidOutletAndPrintsTheWaitingItem) {
    db_.Exec(
        "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
        "PosDescription) VALUES (1, 'T5', 'F1', 2, 'B1', 'Soup')");
    db_.Exec("INSERT INTO mrex_mt_item (ItemCode, RefPrinterGroupCode) VALUES ('F1', 'KIT')");
    Outcome run = RunServer(OneTick(db_.Folder()), db_.Folder());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 Item(s) waiting to print"), std::string::npos) << run.out;
    EXPECT_NE(ReadBytes(db_.Folder() + "/kitchen1.prn").find("Soup"), std::string::npos);
    auto rows = db_.Db().OpenRecordset("select PrintStatus from kelt_trs_printingdetails");
    EXPECT_EQ(rows->Field("PrintStatus").AsText(), "1");
}

TEST(ServerWithoutLeaseTest, ADatabaseWithoutAnOutletLeaseIsWarnedOfAndStillPrints) {
    TestDatabase db(Backend::SqliteOdbc);  // SQLite, but reached through ODBC: no lease file
    AddOutlet(db);
    WriteLayout(db.Folder());
    WriteSettings(db.Folder(), db.Setup());
    db.Exec(
        "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
        "PosDescription) VALUES (1, 'T5', 'F1', 2, 'B1', 'Soup')");
    db.Exec("INSERT INTO mrex_mt_item (ItemCode, RefPrinterGroupCode) VALUES ('F1', 'KIT')");
    Outcome run = RunServer(OneTick(db.Folder()), db.Folder());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("<4>The database (SQLite) offers no outlet lease"), std::string::npos)
        << run.err;
    EXPECT_NE(ReadBytes(db.Folder() + "/kitchen1.prn").find("Soup"), std::string::npos);
}

TEST_F(ServerProcessTest, ServesItsStatusPageWhileItRuns) {
    const int port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    WriteSettings(db_.Folder(), db_.Setup(), "127.0.0.1:" + std::to_string(port));
    const pid_t pid = Start(
        {"--settings", db_.Folder() + "/GSetup.ini", "--headless", "--ticks", "3"}, db_.Folder());
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(1);
    client.set_read_timeout(1);
    // Healthy once its first tick has ended; at most 5 s.
    std::string health;
    for (int i = 0; i < 50 && health.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (const httplib::Result answer = client.Get("/healthz");
            answer && answer->status == 200) {
            health = answer->body;
        }
    }
    const httplib::Result page = client.Get("/");
    const Outcome run = Wait(pid, db_.Folder());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(health, "Printing for this outlet\n");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<tr><td>KITCHEN1<small>direct port</small></td>"), std::string::npos)
        << page->body;
}

TEST_F(ServerProcessTest, RefusesToStartWithoutTheLayoutFiles) {
    std::filesystem::remove(db_.Folder() + "/Kit001.ini");
    Outcome run = RunServer(OneTick(db_.Folder()), db_.Folder());
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("No Kitchen Files Select for Device : KITCHEN1,"), std::string::npos)
        << run.err;
}

TEST_F(ServerProcessTest, AnUnreachableDatabaseEndsWithTheFatalErrorReport) {
    GeneralSetup setup = db_.Setup();
    setup.Database = "ODBC";
    setup.OdbcDriver = "PostgreSQL Unicode";
    setup.ServerName = "127.0.0.1";
    setup.DatabaseName = "orders";
    setup.OdbcOptions = "Port=9;";  // nothing listens there
    WriteSettings(db_.Folder(), setup);
    Outcome run = RunServer(OneTick(db_.Folder()), db_.Folder());
    EXPECT_EQ(run.status, 5);
    // For the journal an error, naming where the database was looked for.
    const std::string where =
        "Cannot connect to the database 'orders' at server '127.0.0.1' port 9";
    EXPECT_NE(run.err.find("<3>Kitchen Print Server: Run-time error '"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(where), std::string::npos) << run.err;
    EXPECT_NE(PrintLogText(db_.Folder()).find(" ended the print server: " + where),
              std::string::npos);
}

TEST_F(ServerProcessTest, ASecondCopyOnTheSameSettingsIsRefusedWhileTheFirstRuns) {
    pid_t first = Start({"--settings", db_.Folder() + "/GSetup.ini", "--headless"}, db_.Folder());
    // The first copy holds the lock once it has printed its first line.
    for (int i = 0; i < 100 && ReadBytes(db_.Folder() + "/stdout.txt").empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::string second = db_.Folder() + "/second";
    ASSERT_TRUE(std::filesystem::create_directory(second));
    Outcome refused = RunServer(OneTick(db_.Folder()), second);
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.err.find("Print Server Already Started."), std::string::npos);

    kill(first, SIGTERM);
    Outcome stopped = Wait(first, db_.Folder());
    EXPECT_EQ(stopped.status, 0) << stopped.err;
}

TEST_F(ServerProcessTest, AServerStartingWhileTheOldOneStillEndsWaitsForItsLock) {
    const std::string state = db_.Folder() + "/LOG";
    ASSERT_TRUE(std::filesystem::create_directory(state));
    auto ending = SingleInstance::TryAcquire(state);
    ASSERT_NE(ending, nullptr);
    const pid_t starting = Start(OneTick(db_.Folder()), db_.Folder());
    EXPECT_TRUE(WaitForText(db_.Folder() + "/stderr.txt", "waiting up to 10 s"));
    ending.reset();
    const Outcome run = Wait(starting, db_.Folder());
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(ServerProcessTest, APortNobodyReadsHoldsNothingUpAndTheServerStillStops) {
    // The kitchen's port is a named pipe that nobody reads.
    ASSERT_EQ(::mkfifo((db_.Folder() + "/kitchen1.prn").c_str(), 0600), 0);
    db_.Exec(
        "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
        "PosDescription) VALUES (1, 'T5', 'F1', 2, 'B1', 'Soup')");
    db_.Exec("INSERT INTO mrex_mt_item (ItemCode, RefPrinterGroupCode) VALUES ('F1', 'KIT')");
    pid_t server = Start({"--settings", db_.Folder() + "/GSetup.ini", "--headless"}, db_.Folder());
    for (int i = 0;
         i < 100 && ReadBytes(db_.Folder() + "/stdout.txt").find("Sending") == std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(server, SIGTERM);
    Outcome stopped = Wait(server, db_.Folder());
    EXPECT_EQ(stopped.status, 0) << stopped.err;
    auto rows = db_.Db().OpenRecordset("select PrintStatus from kelt_trs_printingdetails");
    EXPECT_EQ(rows->Field("PrintStatus").AsText(), "0");
}

TEST_F(ServerProcessTest, PreviewIsWhatThenPrintsAndTheRunningServerReprintsItLabelled) {
    db_.Exec(
        "INSERT INTO kelt_trs_printingdetails (TRSID, TableCode, ItemCode, Quantity, BillNo, "
        "PosDescription) VALUES (1, 'T5', 'F1', 2, 'B1', 'Soup')");
    db_.Exec("INSERT INTO mrex_mt_item (ItemCode, RefPrinterGroupCode) VALUES ('F1', 'KIT')");
    const std::string ini = db_.Folder() + "/GSetup.ini";
    const std::string port = db_.Folder() + "/kitchen1.prn";
    Outcome preview =
        RunServer({"--preview", "--settings", ini, "--out", db_.Folder() + "/pv"}, db_.Folder());
    ASSERT_EQ(preview.status, 0) << preview.err;
    const std::string text = ReadBytes(db_.Folder() + "/pv/01-KITCHEN1-T5.txt");
    EXPECT_NE(text.find("Soup"), std::string::npos) << preview.out;
    EXPECT_FALSE(std::filesystem::exists(port));
    EXPECT_EQ(db_.Db()
                  .OpenRecordset("select ID from kelt_trs_printingdetails where PrintStatus=0")
                  ->RecordCount(),
              1);

    ASSERT_EQ(RunServer(OneTick(db_.Folder()), db_.Folder()).status, 0);
    EXPECT_EQ(DecodeEscPos(ReadBytes(port)), text);

    // Asked while the server is only starting, the reprint neither stops
    // it nor is lost: the server takes the request once it runs.
    const std::string shell = db_.Folder() + "/shell";
    ASSERT_TRUE(std::filesystem::create_directory(shell));
    const pid_t reprint = Start({"--reprint", "KITCHEN1", "--settings", ini}, shell);
    const pid_t server = Start({"--settings", ini, "--headless"}, db_.Folder());
    const Outcome taken = Wait(reprint, shell);
    EXPECT_EQ(taken.status, 0) << taken.err;
    EXPECT_NE(taken.out.find("The running server took the reprint request for 'KITCHEN1'"),
              std::string::npos);
    EXPECT_TRUE(WaitForText(port, "*** REPRINT ***"));
    const std::string copy = DecodeEscPos(ReadBytes(port));
    EXPECT_LT(copy.find("KITCHEN"), copy.find("*** REPRINT ***"));
    EXPECT_LT(copy.find("*** REPRINT ***"), copy.find("Soup"));
    int status = 0;
    EXPECT_EQ(waitpid(server, &status, WNOHANG), 0) << "the server must still be running";
    kill(server, SIGTERM);
    const Outcome stopped = Wait(server, db_.Folder());
    EXPECT_EQ(stopped.status, 0) << stopped.err;

    // With no server, nobody takes it: the request is withdrawn.
    const Outcome alone = RunServer({"--reprint", "KITCHEN1", "--settings", ini}, shell);
    EXPECT_EQ(alone.status, 6);
    EXPECT_NE(alone.err.find("no server took the reprint request for 'KITCHEN1' within 5 s"),
              std::string::npos)
        << alone.err;
    for (const auto& entry : std::filesystem::directory_iterator(db_.Folder() + "/LOG")) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("reprint-request-"))
            << entry.path();
    }
}

// The newcomer's demo: its orders come out of the fake network printer and
// the direct-port file, and nothing is left waiting.
TEST(DemoOutletTest, PrintsEveryWaitingOrderOnItsTwoPrinters) {
    TempFolder folder;
    const std::string outlet = folder.File("outlet");
    Outcome run = RunServer({"--demo", outlet, "--headless", "--ticks", "3"}, folder.Path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Espresso"), std::string::npos) << run.out;
    // The bar printer is in auto: its Chinese, Thai and Arabic lines are drawn.
    EXPECT_NE(run.out.find("[raster "), std::string::npos) << run.out;
    // The port file holds the last ticket: the table exchange, after the orders.
    EXPECT_NE(ReadBytes(outlet + "/kitchen1.prn").find("*TABLE EXCHANGE*"), std::string::npos);

    SqliteConnection db(outlet + "/outlet.db");
    EXPECT_EQ(db.OpenRecordset("select ID from kelt_trs_printingdetails where PrintStatus=0")
                  ->RecordCount(),
              0);
    EXPECT_EQ(
        db.OpenRecordset("select ID from kelt_trs_printkitchen where PrintStatus=0")->RecordCount(),
        0);
}

TEST(ServerCommandLineTest, RejectsUnknownArgumentsWithStatus2) {
    TestDatabase db;
    Outcome run = RunServer({"--tick", "1"}, db.Folder());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown argument '--tick'"), std::string::npos);
}

TEST(EncryptPasswordTest, TheStoredFormLogsTheServerIn) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not running (scripts/test starts it)";
    }
    TestDatabase db(Backend::Postgres);
    AddOutlet(db);
    WriteLayout(db.Folder());
    Outcome encrypted = RunServer({"--encrypt-password"}, db.Folder(), "secret\n");
    ASSERT_EQ(encrypted.status, 0) << encrypted.err;
    std::string stored = encrypted.out.substr(0, encrypted.out.find('\n'));
    EXPECT_EQ(stored.find("secret"), std::string::npos);

    GeneralSetup setup = db.Setup();
    ASSERT_EQ(setup.Password, "secret");
    // Printed as the terminal shows it; the settings file holds code page 1252.
    setup.Password = ToCodePage(stored, 1252);
    WriteSettings(db.Folder(), setup);
    Outcome run = RunServer(OneTick(db.Folder()), db.Folder());
    EXPECT_EQ(run.status, 0) << run.err;

    setup.Password = "wrong";
    WriteSettings(db.Folder(), setup);
    Outcome refused = RunServer(OneTick(db.Folder()), db.Folder());
    EXPECT_EQ(refused.status, 5);
}

}  // namespace
}  // namespace kps::test
