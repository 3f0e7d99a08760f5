#pragma once

#include "database/ResultTable.h"
#include "database/RowSink.h"
#include "database/Value.h"

namespace kps {

// One prepared statement, re-run with bound values. It belongs to the
// connection that prepared it and must not outlive it.
class Statement {
  public:
    virtual ~Statement() = default;

    // Parameters are numbered from 1, as "?" markers in the SQL text. A Null
    // value binds SQL NULL, Integer a 64-bit integer, Real a double, every
    // other kind its text. A bound value stays for every later run until it
    // is bound again.
    virtual void Bind(int index, const Value& value) = 0;

    // Runs a statement that returns no rows.
    virtual void Execute() = 0;

    // Runs the statement and returns all of its rows, columns as
    // Connection::Query gives them.
    virtual ResultTable Query() = 0;

    // Runs the statement and hands each row to `sink` as it is fetched,
    // keeping none. Back ends that can read forward only override it; this
    // one runs Query and hands its rows on.
    virtual void QueryInto(RowSink& sink);
};

}  // namespace kps
