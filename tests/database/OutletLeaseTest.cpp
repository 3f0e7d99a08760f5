#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "database/FileOutletLease.h"
#include "database/OutletLease.h"
#include "database/PostgresLibpqSession.h"
#include "database/PostgresOutletLease.h"
#include "database/SqlServerOutletLease.h"
#include "mainwindow/ScriptedConnection.h"
#include "startup/ConnectionFactory.h"
#include "startup/OpenConnection.h"
#include "support/AsNobody.h"
#include "support/FakePostgresSession.h"
#include "support/FileBytes.h"
#include "support/LoopbackProxy.h"
#include "support/TempFolder.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

// Two servers of one outlet, each on a connection of its own.
struct TwoServers {
    explicit TwoServers(Backend backend) : database(backend) {
        const GeneralSetup setup = database.Setup();
        const std::string file =
            backend == Backend::Sqlite ? database.Folder() + "/" + setup.DatabaseName : "";
        for (auto* db : {&first, &second}) {
            *db = OpenDatabaseConnection(setup, AdoConnectionString(setup));
        }
        firstLease =
            MakeOutletLease(*first, setup.DatabaseName, "OUT01", file, OdbcConnectionString(setup));
        secondLease = MakeOutletLease(*second, setup.DatabaseName, "OUT01", file,
                                      OdbcConnectionString(setup));
    }

    // Only one holds the lease, however often each asks.
    void FirstHoldsIt() {
        ASSERT_TRUE(firstLease && secondLease);
        EXPECT_TRUE(firstLease->TryAcquire());
        EXPECT_TRUE(firstLease->TryAcquire());
        EXPECT_TRUE(firstLease->StillHeld());
        EXPECT_FALSE(secondLease->TryAcquire());
        EXPECT_FALSE(secondLease->StillHeld());
    }

    TestDatabase database;
    std::unique_ptr<Connection> first, second;
    std::unique_ptr<OutletLease> firstLease, secondLease;
};

TEST(OutletLeaseTest, EmbeddedDatabaseLeaseEndsWithTheHoldingServer) {
    TwoServers servers(Backend::Sqlite);
    servers.FirstHoldsIt();
    servers.firstLease.reset();
    servers.first.reset();
    EXPECT_TRUE(servers.secondLease->TryAcquire());
    EXPECT_TRUE(servers.secondLease->StillHeld());
}

TEST(OutletLeaseTest, EachOutletOfAnEmbeddedDatabaseHasALeaseOfItsOwn) {
    TwoServers servers(Backend::Sqlite);
    servers.FirstHoldsIt();
    const GeneralSetup setup = servers.database.Setup();
    auto otherOutlet = MakeOutletLease(*servers.second, setup.DatabaseName, "OUT02",
                                       servers.database.Folder() + "/" + setup.DatabaseName, "");
    EXPECT_TRUE(otherOutlet->TryAcquire());
    EXPECT_FALSE(servers.secondLease->TryAcquire()) << "OUT01 is still the first server's";
}

TEST(OutletLeaseTest, AUserWhoCannotWriteTheDatabaseCannotHoldItsLease) {
    if (!CanActAsAnotherUser()) {
        GTEST_SKIP() << "needs root to run a child as nobody";
    }
    TempFolder folder;
    OpenToEveryone(folder.Path());
    const std::string database = folder.File("orders.db");
    WriteBytes(database, "");
    ::chmod(database.c_str(), 0644);  // everyone may read the orders, only the owner write
    // Neither as a server would nor through a read-only descriptor, whose
    // lock would keep the real server on standby.
    auto cannotHold = [&] {
        const int readOnly = ::open((database + ".lease").c_str(), O_RDONLY);
        if (readOnly >= 0) {
            ::close(readOnly);
            return 2;
        }
        try {
            return FileOutletLease(database, "orders.db|OUT01").TryAcquire() ? 1 : 0;
        } catch (const KpsError&) {
            return 0;
        }
    };
    EXPECT_EQ(ExitStatusAsNobody(cannotHold), 0) << "with no lease file yet";

    FileOutletLease lease(database, "orders.db|OUT01");
    ASSERT_TRUE(lease.TryAcquire());
    struct stat info {};
    ASSERT_EQ(::stat(lease.LeaseFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    lease.Release();
    EXPECT_EQ(ExitStatusAsNobody(cannotHold), 0) << "with the server's lease file";
}

TEST(OutletLeaseTest, ServerLeaseEndsWithTheHoldingSession) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TwoServers servers(Backend::Postgres);
    servers.FirstHoldsIt();
    auto otherOutlet = MakeOutletLease(*servers.second, "kps_test", "OUT02", "",
                                       OdbcConnectionString(servers.database.Setup()));
    EXPECT_TRUE(otherOutlet->TryAcquire()) << "another outlet has a lease of its own";

    servers.firstLease->Release();
    EXPECT_FALSE(servers.firstLease->StillHeld());
    ASSERT_TRUE(servers.secondLease->TryAcquire());
    EXPECT_FALSE(servers.firstLease->TryAcquire());

    // The second server's lease session ends as in a crash; its lock goes
    // with it, and its next confirmation finds it gone.
    const auto key = OutletLeaseKey(OutletLeaseName("kps_test", "OUT01"));
    const ResultTable holders = servers.first->Query(
        "SELECT pg_terminate_backend(pid, 5000) FROM pg_locks WHERE locktype = 'advisory' AND "
        "granted AND ((classid::bigint << 32) | objid::bigint) = " +
        std::to_string(key));
    ASSERT_EQ(holders.rows.size(), 1u);
    EXPECT_FALSE(servers.secondLease->StillHeld());
    EXPECT_TRUE(servers.firstLease->TryAcquire());
}

// How both SQL Server lease tests see the outlet's application lock asked for.
const std::string kSqlServerAcquire =
    "SET NOCOUNT ON; DECLARE @result int; EXEC @result = sp_getapplock @Resource = "
    "'POSDB|OUT01', @LockMode = 'Exclusive', @LockOwner = 'Session', @LockTimeout = 0; "
    "SELECT @result";

TEST(OutletLeaseTest, SqlServerLeaseSendsTheApplicationLockStatements) {
    ScriptedConnection db;
    db.dbmsName = "Microsoft SQL Server";
    const std::string acquire = kSqlServerAcquire;
    const std::string held = "SELECT APPLOCK_MODE('public', 'POSDB|OUT01', 'Session')";
    auto answer = [](Value value) { return ResultTable{{""}, {{std::move(value)}}}; };

    auto lease = MakeOutletLease(db, "POSDB", "OUT01", "", "");
    ASSERT_TRUE(lease);
    db.tables[acquire] = answer(Value::Integer(-1));  // another session holds it
    EXPECT_FALSE(lease->TryAcquire());
    EXPECT_FALSE(lease->StillHeld());
    db.tables[acquire] = answer(Value::Integer(0));
    EXPECT_TRUE(lease->TryAcquire());
    db.tables[held] = answer(Value::Text("Exclusive"));
    EXPECT_TRUE(lease->StillHeld());
    // Without the lease table, the lock alone is the lease.
    const std::string table = "SELECT COUNT(*) FROM kps_outlet_lease WHERE 1 = 0";
    EXPECT_EQ(db.queried, (std::vector<std::string>{table, acquire, acquire, held}));

    lease->Release();
    EXPECT_EQ(db.executed, (std::vector<std::string>{"EXEC sp_releaseapplock @Resource = "
                                                     "'POSDB|OUT01', @LockOwner = 'Session'"}));
    EXPECT_TRUE(lease->TryAcquire());
    db.lost = true;
    EXPECT_FALSE(lease->StillHeld()) << "a session that is gone holds nothing";
    db.lost = false;
    EXPECT_TRUE(lease->TryAcquire());
    db.tables[held] = answer(Value::Text("NoLock"));
    EXPECT_FALSE(lease->StillHeld());
}

// With the lease table, a standby takes an expired row without the lock,
// keeps asking for the lock while it renews, and expires its row on release.
TEST(OutletLeaseTest, SqlServerLeaseRowLetsAStandbyTakeOverWithoutTheLock) {
    ScriptedConnection db;
    db.dbmsName = "Microsoft SQL Server";
    const std::string acquire = kSqlServerAcquire;
    const std::string claim =
        "UPDATE kps_outlet_lease SET Holder = 'me', Locked = 0, ExpiresAt = DATEADD(second, 10, "
        "SYSUTCDATETIME()) WHERE LeaseName = 'POSDB|OUT01' AND (Holder = 'me' OR ExpiresAt <= "
        "SYSUTCDATETIME() OR (Locked = 1 AND 0 = 1))";
    const std::string ours =
        "SELECT COUNT(*) FROM kps_outlet_lease WHERE LeaseName = 'POSDB|OUT01' AND Holder = 'me' "
        "AND ExpiresAt > SYSUTCDATETIME()";
    const std::string drop =
        "UPDATE kps_outlet_lease SET Locked = 0, ExpiresAt = SYSUTCDATETIME() WHERE LeaseName = "
        "'POSDB|OUT01' AND Holder = 'me'";
    auto answer = [](std::int64_t value) { return ResultTable{{""}, {{Value::Integer(value)}}}; };
    db.tables["SELECT COUNT(*) FROM kps_outlet_lease WHERE 1 = 0"] = ResultTable{{""}, {}};
    db.tables[acquire] = answer(-1);  // a lingering session holds the lock
    db.tables[ours] = answer(0);

    SqlServerOutletLease lease(db, "POSDB|OUT01", "me");
    EXPECT_FALSE(lease.TryAcquire());
    db.tables[ours] = answer(1);  // the holder stopped renewing, and its row expired
    EXPECT_TRUE(lease.TryAcquire());
    EXPECT_TRUE(lease.StillHeld());
    EXPECT_EQ(db.executed, (std::vector<std::string>{claim, claim, claim}));
    EXPECT_EQ(std::count(db.queried.begin(), db.queried.end(), acquire), 3);

    lease.Release();
    EXPECT_EQ(db.executed.back(), drop) << "nothing to release but the row";
}

// Behind a transaction pooler the statements reach other sessions, which
// could never hold the lock: refused before anything is taken, saying why.
TEST(OutletLeaseTest, PostgresSessionServedByAnotherProcessIsRefusedNamingThePooler) {
    std::vector<std::string> asked;
    PostgresOutletLease lease(
        [&] {
            auto session = std::make_unique<FakePostgresSession>(asked);
            session->backend = 4100;
            session->answers["SELECT pg_backend_pid()"] = {4200};
            return session;
        },
        OutletLeaseKey("POSDB|OUT01"));
    try {
        lease.TryAcquire();
        ADD_FAILURE() << "another process's answer was taken for the lease's session";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), kErrLeaseLost);
        EXPECT_NE(error.Description().find("transaction pooler"), std::string::npos);
    }
    EXPECT_FALSE(asked.empty());
    EXPECT_TRUE(std::none_of(asked.begin(), asked.end(), [](const std::string& sql) {
        return sql.find("advisory") != std::string::npos;
    }));
}

// A link that goes silent (the database's machine vanished) ends the
// confirmation after the answer limit instead of hanging the keeper.
TEST(OutletLeaseTest, ServerLeaseOnASilentLinkIsFoundLost) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TestDatabase database(Backend::Postgres);
    LoopbackProxy proxy(static_cast<std::uint16_t>(std::stoi(std::getenv("KPS_TEST_PG_PORT"))));
    GeneralSetup setup = database.Setup();
    setup.OdbcOptions = "Port=" + std::to_string(proxy.Port()) + ";";
    const PostgresParameters parameters =
        PostgresParametersFromOdbc(OdbcConnectionString(setup), "kps silent lease test");
    PostgresOutletLease lease(
        [&] {
            return std::make_unique<PostgresLibpqSession>(parameters,
                                                          std::chrono::milliseconds(300));
        },
        OutletLeaseKey("silent link " + std::to_string(::getpid())));
    ASSERT_TRUE(lease.TryAcquire());
    EXPECT_TRUE(lease.StillHeld());
    proxy.Freeze();
    EXPECT_FALSE(lease.StillHeld());
}

// Servers listed for fail-over may include a standby, which grants advisory
// locks of its own: a lease taken there keeps no other server off.
TEST(OutletLeaseTest, ServerLeaseSkipsAListedStandby) {
    const char* standbyPort = std::getenv("KPS_TEST_PG_STANDBY_PORT");
    if (!TestDatabase::IsAvailable(Backend::Postgres) || standbyPort == nullptr) {
        GTEST_SKIP() << "PostgreSQL and its standby are not started here";
    }
    TestDatabase database(Backend::Postgres);
    GeneralSetup setup = database.Setup();
    const std::string primaryPort = std::getenv("KPS_TEST_PG_PORT");
    auto leaseOn = [&](const std::string& servers, const std::string& ports) {
        setup.ServerName = servers;
        setup.OdbcOptions = "Port=" + ports + ";";
        const PostgresParameters parameters =
            PostgresParametersFromOdbc(OdbcConnectionString(setup), "kps standby lease test");
        return std::make_unique<PostgresOutletLease>(
            [parameters] {
                return std::make_unique<PostgresLibpqSession>(parameters, std::chrono::seconds(10));
            },
            OutletLeaseKey("standby listed " + std::to_string(::getpid())));
    };
    auto listed = leaseOn("127.0.0.1,127.0.0.1", std::string(standbyPort) + "," + primaryPort);
    auto direct = leaseOn("127.0.0.1", primaryPort);
    ASSERT_TRUE(listed->TryAcquire());
    EXPECT_FALSE(direct->TryAcquire()) << "two servers hold the outlet's lease";
}

TEST(OutletLeaseTest, OtherDatabasesHaveNone) {
    ScriptedConnection db;
    EXPECT_EQ(MakeOutletLease(db, "POSDB", "OUT01", "/tmp/orders.db", ""), nullptr);
    db.dbmsName = "SQLite";
    EXPECT_EQ(MakeOutletLease(db, "orders.db", "OUT01", "", ""), nullptr);
}

// Both servers must derive the same key on any machine: FNV-1a, 64 bits.
TEST(OutletLeaseTest, KeyIsTheFnv1aHashOfDatabaseAndOutlet) {
    EXPECT_EQ(OutletLeaseName("POSDB", "OUT01"), "POSDB|OUT01");
    EXPECT_EQ(static_cast<std::uint64_t>(OutletLeaseKey("")), 0xcbf29ce484222325ULL);
    EXPECT_EQ(static_cast<std::uint64_t>(OutletLeaseKey("a")), 0xaf63dc4c8601ec8cULL);
}

}  // namespace
}  // namespace kps::test
