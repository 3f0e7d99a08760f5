#pragma once

#include <string>

#include "database/Connection.h"

namespace kps {

// A database server reached through an ODBC driver (unixODBC). Every
// statement's rows are fetched at once (a snapshot). Text comes back as
// UTF-8; whole numbers as Integer; decimal and floating numbers as Real in
// plain form; dates, times and timestamps as ISO text of their kind.
// Errors carry the driver's native number and diagnostic text, with the
// password scrubbed out.
class OdbcConnection final : public Connection {
  public:
    // Connects with a complete ODBC connection string ("DRIVER={...};...").
    explicit OdbcConnection(const std::string& connectionString);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    void Execute(const std::string& sql) override;
    ResultTable Query(const std::string& sql) override;

  private:
    void Release();

    void* env_ = nullptr;  // SQLHENV
    void* dbc_ = nullptr;  // SQLHDBC
    bool connected_ = false;
    // The SQLite ODBC driver stores wide statement text as Latin-1 bytes, so
    // statements go to it as UTF-8 through the narrow call instead.
    bool narrowStatements_ = false;
    std::string password_;
};

}  // namespace kps
