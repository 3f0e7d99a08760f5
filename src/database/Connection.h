#pragma once

#include <memory>
#include <string>

#include "database/ResultTable.h"
#include "database/Statement.h"

namespace kps {

class Recordset;

// The one database connection of the process. Back ends (SQLite, ODBC)
// implement the operations; every failure is thrown as a KpsError whose
// description never holds the password.
class Connection {
  public:
    virtual ~Connection() = default;

    // Runs a statement that returns no rows.
    virtual void Execute(const std::string& sql) = 0;

    // Runs a statement and returns all of its rows.
    virtual ResultTable Query(const std::string& sql) = 0;

    // Compiles a statement with "?" parameter markers once, to be run many
    // times with other values.
    virtual std::unique_ptr<Statement> Prepare(const std::string& sql) = 0;

    // Statements up to the commit or rollback form one transaction; SQLite
    // takes its write lock at once (BEGIN IMMEDIATE).
    virtual void BeginTransaction() = 0;
    virtual void CommitTransaction() = 0;
    // Never throws: it is called on error paths, and a transaction that is
    // already gone needs no undoing.
    virtual void RollbackTransaction() = 0;

    // The database product: "SQLite", or what the ODBC driver reports
    // ("PostgreSQL", "Microsoft SQL Server").
    virtual std::string DbmsName() const = 0;

    // Opens a client-side static snapshot of the statement's rows.
    std::unique_ptr<Recordset> OpenRecordset(const std::string& sql);
};

}  // namespace kps
