#pragma once

#include <string>

#include "database/Connection.h"
#include "database/OdbcStatementHandle.h"

namespace kps {

// A database server reached through an ODBC driver (unixODBC). Every
// statement's rows are fetched at once (a snapshot); values come as
// OdbcStatementHandle describes. Errors carry the driver's native number and diagnostic text, with
// the password scrubbed out.
class OdbcConnection final : public Connection {
  public:
    // Connects with a complete ODBC connection string ("DRIVER={...};...").
    explicit OdbcConnection(const std::string& connectionString);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    void Execute(const std::string& sql) override;
    ResultTable Query(const std::string& sql) override;
    std::unique_ptr<Statement> Prepare(const std::string& sql) override;
    // Autocommit is off until the commit or rollback; a commit that fails
    // rolls back.
    void BeginTransaction() override;
    void CommitTransaction() override;
    void RollbackTransaction() override;
    // SQLGetInfo's DBMS name, read once at connect.
    std::string DbmsName() const override;

  private:
    void Release();
    void SetAutocommit(bool on);

    void* env_ = nullptr;  // SQLHENV
    void* dbc_ = nullptr;  // SQLHDBC
    bool connected_ = false;
    OdbcStatementStyle style_;
    std::string password_;
    std::string dbmsName_;
};

}  // namespace kps
