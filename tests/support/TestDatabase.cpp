#include "support/TestDatabase.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "database/SqliteConnection.h"
#include "startup/ConnectionFactory.h"
#include "startup/OpenConnection.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

constexpr const char* kDatabaseFile = "orders.db";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string ReadSchema(const std::string& name) {
    std::ifstream in(std::string(KPS_SOURCE_DIR) + "/schema/" + name);
    if (!in) {
        throw std::runtime_error("missing schema file " + name);
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string RandomSchemaName() {
    std::random_device device;
    std::uniform_int_distribution<unsigned long long> digits(0, 0xFFFFFFFFFFFFULL);
    std::ostringstream name;
    name << "kps_t_" << std::hex << digits(device);
    return name.str();
}

}  // namespace

std::string BackendName(Backend backend) {
    static constexpr const char* kNames[] = {"Sqlite", "SqliteOdbc", "Postgres"};
    return kNames[static_cast<int>(backend)];
}

std::string AdoConnectionString(const GeneralSetup& setup) {
    return BuildAdoConnectionString(setup, setup.Password);
}

TestDatabase::TestDatabase(Backend backend) : backend_(backend) {
    if (backend_ == Backend::Postgres) {
        if (!IsAvailable(backend_)) {
            throw std::runtime_error("PostgreSQL is not started (KPS_TEST_PG_PORT unset)");
        }
        pgSchema_ = RandomSchemaName();
        OpenWithoutSchema()->Execute("CREATE SCHEMA " + pgSchema_);
    } else {
        // Write-ahead logging keeps the many small commits of tests fast.
        SqliteConnection(folder_.File(kDatabaseFile), true)
            .Execute("PRAGMA journal_mode=WAL; BEGIN; " + ReadSchema("sqlite.sql") + " COMMIT;");
    }
    db_ = OpenDatabaseConnection(Setup(), AdoConnectionString(Setup()));
    if (backend_ == Backend::Postgres) {
        RunScript("postgres.sql");
    }
}

TestDatabase::~TestDatabase() {
    db_.reset();
    if (!pgSchema_.empty()) {
        try {
            OpenWithoutSchema()->Execute("DROP SCHEMA " + pgSchema_ + " CASCADE");
        } catch (const KpsError&) {
            // The server is gone with its throw-away schemas; nothing to clean.
        }
    }
}

// The search path would name a schema that may not exist (yet).
std::unique_ptr<Connection> TestDatabase::OpenWithoutSchema() const {
    GeneralSetup plain = Setup();
    plain.OdbcOptions = "Port=" + Env("KPS_TEST_PG_PORT") + ";";
    return OpenDatabaseConnection(plain, AdoConnectionString(plain));
}

bool TestDatabase::IsAvailable(Backend backend) {
    return backend != Backend::Postgres || !Env("KPS_TEST_PG_PORT").empty();
}

Connection& TestDatabase::Db() {
    return *db_;
}

void TestDatabase::Exec(const std::string& sql) {
    db_->Execute(sql);
}

// Comment lines are dropped; a statement ends with the line that ends in ";".
void TestDatabase::RunScript(const std::string& name) {
    std::istringstream lines(ReadSchema(name));
    std::string current;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("--")) {
            continue;
        }
        current += line + "\n";
        if (line.ends_with(";")) {
            db_->Execute(current.substr(0, current.size() - 2));
            current.clear();
        }
    }
}

GeneralSetup TestDatabase::Setup() const {
    GeneralSetup setup;
    setup.IniPath = folder_.File("GSetup.ini");
    switch (backend_) {
        case Backend::Sqlite:
            setup.Database = "SQLite";
            setup.DatabaseName = kDatabaseFile;
            break;
        case Backend::SqliteOdbc:
            setup.Database = "ODBC";
            setup.OdbcDriver = "SQLite3";
            setup.DatabaseName = folder_.File(kDatabaseFile);
            break;
        case Backend::Postgres:
            setup.Database = "ODBC";
            setup.OdbcDriver = "PostgreSQL Unicode";
            setup.ServerName = "127.0.0.1";
            setup.DatabaseName = Env("KPS_TEST_PG_DATABASE");
            setup.UserID = Env("KPS_TEST_PG_USER");
            setup.Password = Env("KPS_TEST_PG_PASSWORD");
            setup.OdbcOptions = "Port=" + Env("KPS_TEST_PG_PORT") +
                                ";ConnSettings=SET search_path TO " + pgSchema_ + ";";
            break;
    }
    return setup;
}

}  // namespace kps::test
