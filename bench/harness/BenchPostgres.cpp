#include "harness/BenchPostgres.h"

#include <cstdlib>

#include "database/OdbcConnection.h"
#include "harness/Program.h"
#include "text/KpsError.h"

namespace kps::bench {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? "" : value;
}

}  // namespace

PostgresLogin PostgresLogin::FromEnvironment() {
    const std::string port = Env("KPS_TEST_PG_PORT");
    if (port.empty()) {
        throw KpsError(kErrSettings,
                       "PostgreSQL is not started (KPS_TEST_PG_PORT unset); run the front script");
    }
    return {std::stoi(port), Env("KPS_TEST_PG_USER"), Env("KPS_TEST_PG_PASSWORD")};
}

std::string PostgresLogin::Conninfo(const std::string& database) const {
    return "host=127.0.0.1 port=" + std::to_string(port) + " user=" + user +
           " password=" + password + " dbname=" + database;
}

std::unique_ptr<Connection> PostgresLogin::Open(const std::string& database) const {
    std::string text = "DRIVER={";
    text += kPostgresOdbcDriver;
    text += "};SERVER=127.0.0.1;PORT=" + std::to_string(port) + ";DATABASE=" + database +
            ";UID=" + user + ";PWD=" + password + ";";
    return std::make_unique<OdbcConnection>(text);
}

void PostgresLogin::RunScript(const std::string& database, const std::string& file,
                              const std::string& log) const {
    RunProgramOrThrow(
        {"psql", "-q", "-X", "-v", "ON_ERROR_STOP=1", "-d", Conninfo(database), "-f", file}, log);
}

void PostgresLogin::RunStatement(const std::string& database, const std::string& sql,
                                 const std::string& log) const {
    RunProgramOrThrow(
        {"psql", "-q", "-X", "-v", "ON_ERROR_STOP=1", "-d", Conninfo(database), "-c", sql}, log);
}

}  // namespace kps::bench
