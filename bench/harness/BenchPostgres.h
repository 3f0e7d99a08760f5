#pragma once

#include <memory>
#include <string>

#include "database/Connection.h"

namespace kps::bench {

// A throw-away PostgreSQL server on 127.0.0.1 that the front script started
// (scripts/lib/bench-postgres.sh), reached with a login that may create
// databases and read every statistics view.
struct PostgresLogin {
    int port = 0;
    std::string user;
    std::string password;

    // From KPS_TEST_PG_PORT, KPS_TEST_PG_USER and KPS_TEST_PG_PASSWORD; an
    // error when the port is unset.
    static PostgresLogin FromEnvironment();

    // libpq's connection string for psql.
    std::string Conninfo(const std::string& database) const;
    // Through the same ODBC driver the server uses.
    std::unique_ptr<Connection> Open(const std::string& database) const;
    // Runs a script file whole with psql (function bodies and all), stopping
    // at its first error; psql's output is appended to `log`.
    void RunScript(const std::string& database, const std::string& file,
                   const std::string& log) const;
    void RunStatement(const std::string& database, const std::string& sql,
                      const std::string& log) const;
};

constexpr const char* kPostgresOdbcDriver = "PostgreSQL Unicode";

}  // namespace kps::bench
