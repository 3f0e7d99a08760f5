#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>

#include "database/OdbcConnectionString.h"
#include "database/PostgresChangeListener.h"
#include "database/SqliteConnection.h"
#include "database/SqliteDataVersionSignal.h"
#include "database/WaitingRowsProbe.h"
#include "startup/ConnectionFactory.h"
#include "startup/OpenChangeSignal.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

constexpr const char* kNewItem = "INSERT INTO kelt_trs_printingdetails (TableCode) VALUES ('T1')";

std::unique_ptr<Connection> Terminal(const TestDatabase& database) {
    return OpenDatabaseConnection(database.Setup(), AdoConnectionString(database.Setup()));
}

TEST(ChangeSignalTest, SqliteWakesOnAnotherConnectionsCommitAndNotOnItsOwnWrites) {
    TestDatabase database;
    SqliteDataVersionSignal signal(database.Db());
    EXPECT_TRUE(signal.Live());
    EXPECT_FALSE(signal.Changed());

    Terminal(database)->Execute(kNewItem);
    EXPECT_TRUE(signal.Changed());
    EXPECT_FALSE(signal.Changed()) << "one change is told once";

    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus = 1");
    EXPECT_FALSE(signal.Changed()) << "the server's own marking";
}

// Waits, at most a generous bound, for the watch to tell of a write.
bool Told(const SqliteDataVersionSignal& signal, int waitMs = 10000) {
    pollfd watch{signal.Fd(), POLLIN, 0};
    return ::poll(&watch, 1, waitMs) == 1;
}

TEST(ChangeSignalTest, SqliteFilesWatchTellsOfEveryCommitInEitherJournalMode) {
    for (const char* mode : {"DELETE", "WAL"}) {
        SCOPED_TRACE(mode);
        TestDatabase database;
        database.Db().Query(std::string("PRAGMA journal_mode = ") + mode);
        SqliteDataVersionSignal signal(database.Db());
        ASSERT_GE(signal.Fd(), 0);
        EXPECT_EQ(signal.PollEvery(), std::chrono::seconds(1)) << "only the safety net";
        auto terminal = Terminal(database);
        EXPECT_FALSE(Told(signal, 0));
        for (int order = 0; order < 2; ++order) {  // the second goes to a log made by the first
            terminal->Execute(kNewItem);
            ASSERT_TRUE(Told(signal)) << "order " << order;
            signal.ClearFd();
            EXPECT_TRUE(signal.Changed());
        }
    }
}

TEST(ChangeSignalTest, SqliteWhoseFileCannotBeWatchedIsPolledAndSaysSoOnce) {
    TempFolder folder;
    SqliteConnection db(folder.File("orders.db"), true);
    db.Execute("CREATE TABLE t (x)");
    std::filesystem::remove(folder.File("orders.db"));
    std::vector<std::string> notes;
    SqliteDataVersionSignal signal(db,
                                   [&notes](const std::string& line) { notes.push_back(line); });
    EXPECT_EQ(signal.Fd(), -1);
    EXPECT_EQ(signal.PollEvery(), std::chrono::milliseconds(50));
    ASSERT_EQ(notes.size(), 1U);
    EXPECT_NE(notes[0].find("orders.db"), std::string::npos) << notes[0];
    EXPECT_FALSE(signal.Changed());
}

// The probe for a database without a signal of its own, through ODBC.
class WaitingRowsProbeTest : public ::testing::TestWithParam<Backend> {};

TEST_P(WaitingRowsProbeTest, SeesNewRowsAndRowsSetWaitingAgain) {
    if (!TestDatabase::IsAvailable(GetParam())) {
        GTEST_SKIP() << BackendName(GetParam()) << " is not started here";
    }
    TestDatabase database(GetParam());
    WaitingRowsProbe probe(database.Db(), std::chrono::milliseconds(200));
    EXPECT_FALSE(probe.Live()) << "not trusted to see every change";
    EXPECT_FALSE(probe.Changed());

    auto terminal = Terminal(database);
    terminal->Execute(kNewItem);
    EXPECT_TRUE(probe.Changed());
    EXPECT_FALSE(probe.Changed());
    database.Exec("UPDATE kelt_trs_printingdetails SET PrintStatus = 1");
    probe.Changed();
    terminal->Execute("UPDATE kelt_trs_printingdetails SET PrintStatus = 0");
    EXPECT_TRUE(probe.Changed()) << "set waiting again";
    terminal->Execute(
        "INSERT INTO kelt_trs_printkitchen (PrinterGroupCode, PrintStatus) VALUES ('G1', 0)");
    EXPECT_TRUE(probe.Changed()) << "a kitchen notice";
}

INSTANTIATE_TEST_SUITE_P(Databases, WaitingRowsProbeTest,
                         ::testing::Values(Backend::SqliteOdbc, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

TEST(ChangeSignalTest, PostgresParametersComeFromTheOdbcConnectionString) {
    const PostgresParameters parameters = PostgresParametersFromOdbc(
        "DRIVER={PostgreSQL Unicode};UID=kps;PWD={a;b}}c};DATABASE=orders;SERVER=10.0.0.5;"
        "Port=5433;SSLmode=require;",
        "listener");
    const PostgresParameters expected{{"host", "10.0.0.5"},  {"port", "5433"},
                                      {"dbname", "orders"},  {"user", "kps"},
                                      {"password", "a;b}c"}, {"sslmode", "require"}};
    ASSERT_GE(parameters.size(), expected.size());
    EXPECT_EQ(PostgresParameters(parameters.begin(), parameters.begin() + 6), expected);
    // The options come after the server's settings, and the driver takes the
    // last of a keyword's names: so must every session beside it.
    const PostgresParameters overridden = PostgresParametersFromOdbc(
        "DRIVER={PostgreSQL Unicode};SERVER=localhost;PWD=a;Servername=10.0.0.6;Password=b;",
        "listener");
    EXPECT_EQ(PostgresParameters(overridden.begin(), overridden.begin() + 2),
              (PostgresParameters{{"host", "10.0.0.6"}, {"password", "b"}}));
}

// What the listener's thread tells, for the test's thread to wait on.
class ListenerEvents {
  public:
    void Wake() {
        std::lock_guard lock(mutex_);
        ++wakes_;
        changed_.notify_all();
    }
    void Note(const std::string& line) {
        std::lock_guard lock(mutex_);
        notes_.push_back(line);
        changed_.notify_all();
    }
    // Waits (at most a generous bound) until `done` holds.
    template <typename Done>
    bool Await(Done done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(20), [&] { return done(); });
    }
    int wakes_ = 0;
    std::vector<std::string> notes_;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

class PostgresChangeListenerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TestDatabase::IsAvailable(Backend::Postgres)) {
            GTEST_SKIP() << "PostgreSQL is not started here";
        }
        database_ = std::make_unique<TestDatabase>(Backend::Postgres);
    }

    std::unique_ptr<TestDatabase> database_;
};

TEST_F(PostgresChangeListenerTest, WakesOnNewRowsAndAfterALostConnectionFallsBackAndComesBack) {
    GeneralSetup setup = database_->Setup();
    // A name of its own, so that only this test's listener is cut off.
    const std::string name = "kps listener test " + std::to_string(::getpid());
    const PostgresParameters parameters =
        PostgresParametersFromOdbc(OdbcConnectionStringFromAdo(AdoConnectionString(setup),
                                                               setup.OdbcDriver, setup.OdbcOptions),
                                   name);
    ListenerEvents events;
    PostgresChangeListener listener(
        parameters, [&] { events.Wake(); }, [&](const std::string& line) { events.Note(line); },
        std::chrono::milliseconds(300));
    ASSERT_TRUE(events.Await([&] { return events.wakes_ == 1; })) << "woken once listening";
    EXPECT_TRUE(listener.Live());

    auto terminal = Terminal(*database_);
    terminal->Execute(kNewItem);
    ASSERT_TRUE(events.Await([&] { return events.wakes_ == 2; }));

    database_->Exec(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
        "application_name = '" +
        name + "'");
    ASSERT_TRUE(events.Await([&] { return events.notes_.size() == 2; }));
    EXPECT_NE(events.notes_[0].find("read every second"), std::string::npos) << events.notes_[0];
    EXPECT_EQ(events.notes_[1], "The database's change signal is back");
    EXPECT_TRUE(listener.Live());
    // The wake for what came meanwhile follows the line saying it is back.
    ASSERT_TRUE(events.Await([&] { return events.wakes_ >= 3; })) << "woken when back";
    const int before = events.wakes_;
    terminal->Execute("UPDATE kelt_trs_printingdetails SET PrintStatus = 0");
    EXPECT_TRUE(events.Await([&] { return events.wakes_ > before; }));
}

TEST_F(PostgresChangeListenerTest, WithoutTheTriggersTheClockAloneAndOneLineSaysSo) {
    EXPECT_TRUE(PostgresChangeListener::TriggersPresent(database_->Db()));
    database_->Exec("DROP TRIGGER kps_waiting_notices ON kelt_trs_printkitchen");
    EXPECT_FALSE(PostgresChangeListener::TriggersPresent(database_->Db()));

    TempFolder folder;
    FakeClock clock;
    std::ostringstream journal;
    PrintLog log(folder.Path(), clock, 1252, &journal);
    GeneralSetup setup = database_->Setup();
    EXPECT_EQ(OpenChangeSignal(setup, database_->Db(), log, [] {}), nullptr);
    EXPECT_EQ(journal.str(),
              "<4>Warning: the waiting tables have no change trigger "
              "(schema/add-indexes-postgres.sql adds "
              "it): they are read every second\n");
}

}  // namespace
}  // namespace kps::test
