#pragma once

#include <string>

#include "database/Statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kps {

// One compiled SQLite statement. INTEGER, REAL, TEXT and NULL become
// Integer, Real, Text and Null values; text in a column declared DATE, TIME
// or DATETIME carries that kind, and a whole number in a NUMERIC or DECIMAL
// column is a Real.
class SqliteStatement final : public Statement {
  public:
    // Compiles the first statement of `sql`; blank text gives a statement
    // that does nothing and returns no columns.
    SqliteStatement(sqlite3* db, const std::string& sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void Bind(int index, const Value& value) override;
    void Execute() override;
    ResultTable Query() override;
    void QueryInto(RowSink& sink) override;

  private:
    [[noreturn]] void Fail(int code) const;

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace kps
