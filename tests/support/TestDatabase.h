#pragma once

#include <memory>
#include <string>

#include "database/Connection.h"
#include "startup/GeneralSetup.h"
#include "support/TempFolder.h"

namespace kps::test {

enum class Backend { Sqlite, SqliteOdbc, Postgres };

std::string BackendName(Backend backend);

// The connection string OpenConnection builds from these settings, with
// setup.Password taken as the plain password.
std::string AdoConnectionString(const GeneralSetup& setup);

// A fresh order database with every table of schema/ and no rows, in a
// temporary folder removed with the object. Postgres uses the server that
// scripts/test starts (KPS_TEST_PG_* variables) and a schema of its own.
class TestDatabase {
  public:
    explicit TestDatabase(Backend backend = Backend::Sqlite);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // False when the back end cannot be reached here (no server started).
    static bool IsAvailable(Backend backend);

    Connection& Db();
    void Exec(const std::string& sql);
    // Runs a script of schema/ one statement at a time, as ODBC drivers take them.
    void RunScript(const std::string& name);
    Backend GetBackend() const { return backend_; }

    // A temporary folder for settings, layout files, ports and logs.
    const std::string& Folder() const { return folder_.Path(); }

    // Settings that open this database through OpenDatabaseConnection; the
    // Password field holds the plain password.
    GeneralSetup Setup() const;

  private:
    std::unique_ptr<Connection> OpenWithoutSchema() const;

    Backend backend_;
    TempFolder folder_;
    std::string pgSchema_;
    std::unique_ptr<Connection> db_;
};

}  // namespace kps::test
