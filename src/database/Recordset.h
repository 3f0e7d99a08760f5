#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "database/Connection.h"
#include "database/RowSink.h"

namespace kps {

// A client-side static snapshot of one statement's rows: rows changed in the
// database are seen only after Requery. Field names are matched without regard
// to case; when two columns share a name the first one wins.
class Recordset {
  public:
    // Prepares the statement and runs it at once (the rows are fetched now).
    Recordset(Connection& connection, std::string sql);

    // Prepares a statement with "?" parameters without running it: Bind
    // them, then Requery, as often as needed.
    struct Unrun {};
    Recordset(Connection& connection, std::string sql, Unrun);
    void Bind(int index, const Value& value);

    // Runs the prepared statement again and moves to the first row.
    void Requery();

    // The same for a result too large to hold: every row goes to `sink` as
    // it is fetched, and only the first `keep` rows stay to be walked
    // (RecordCount counts those).
    void Requery(RowSink& sink, std::size_t keep);

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

    // Column positions, to look a name up once and read rows with At. The
    // first throws for a missing column, as Field does.
    std::size_t ColumnIndex(const std::string& name) const;
    std::optional<std::size_t> FindColumn(const std::string& name) const;

    // The field at a column position of the current row; throws with no row.
    const Value& At(std::size_t column) const;

    const std::string& Sql() const { return sql_; }
    const ResultTable& Rows() const { return table_; }

    void Close();
    bool IsOpen() const { return open_; }

  private:
    // Names compared without regard to (ASCII) case.
    struct NoCaseHash {
        std::size_t operator()(const std::string& name) const;
    };
    struct NoCaseEqual {
        bool operator()(const std::string& a, const std::string& b) const;
    };

    void Load(ResultTable table);
    void RequireOpen() const;

    std::string sql_;
    std::unique_ptr<Statement> statement_;
    ResultTable table_;
    // Built when the columns change, not per lookup.
    std::unordered_map<std::string, std::size_t, NoCaseHash, NoCaseEqual> index_;
    std::size_t current_ = 0;
    bool open_ = false;
};

}  // namespace kps
