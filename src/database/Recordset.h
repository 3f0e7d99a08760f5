#pragma once

#include <cstddef>
#include <string>

#include "database/Connection.h"

namespace kps {

// A client-side static snapshot of one statement's rows: rows changed in the
// database are seen only after Requery. Field names are matched without regard
// to case; when two columns share a name the first one wins.
class Recordset {
  public:
    // Opens the statement at once (the rows are fetched now).
    Recordset(Connection& connection, std::string sql);

    // Runs the same statement again and moves to the first row.
    void Requery();

    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    long RecordCount() const;

    // "Column=number": searches forward from the current row; the first
    // matching row becomes current, with no match the set is at its end.
    void Find(const std::string& criterion);

    // The field of the current row; throws for a missing column or no row.
    const Value& Field(const std::string& name) const;
    bool HasField(const std::string& name) const;

    const std::string& Sql() const { return sql_; }
    const ResultTable& Rows() const { return table_; }

    void Close();
    bool IsOpen() const { return open_; }

  private:
    std::size_t ColumnIndex(const std::string& name) const;
    void RequireOpen() const;

    Connection& connection_;
    std::string sql_;
    ResultTable table_;
    std::size_t current_ = 0;
    bool open_ = false;
};

}  // namespace kps
