#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Value.h"

namespace kps {

// The complete result of one statement, as the database gave it.
struct ResultTable {
    std::vector<std::string> columns;
    std::vector<std::vector<Value>> rows;
};

class Recordset;

// The one database connection of the process. Back ends (SQLite, ODBC)
// implement Execute and Query; every failure is thrown as a KpsError whose
// description never holds the password.
class Connection {
  public:
    virtual ~Connection() = default;

    // Runs a statement that returns no rows.
    virtual void Execute(const std::string& sql) = 0;

    // Runs a statement and returns all of its rows.
    virtual ResultTable Query(const std::string& sql) = 0;

    // Opens a client-side static snapshot of the statement's rows.
    std::unique_ptr<Recordset> OpenRecordset(const std::string& sql);
};

}  // namespace kps
