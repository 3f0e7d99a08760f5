#pragma once

#include <string>

#include "database/ResultTable.h"
#include "database/RowSink.h"

namespace kps {

// Throws every diagnostic record of an ODBC handle as one KpsError; the
// first native error number the driver gave wins over `fallbackNumber`, and
// `password` never appears in the description.
[[noreturn]] void ThrowOdbcDiagnostics(short handleType, void* handle, long fallbackNumber,
                                       const std::string& password);

// One ODBC statement handle of a connection, freed with the object. Text
// comes back as UTF-8; whole numbers (BIGINT and NUMERIC or DECIMAL without
// a scale too) as exact Integer values; other decimal and floating numbers
// as Real in plain form; dates, times and timestamps as ISO text of their
// kind.
// How a connection's driver wants its statements.
struct OdbcStatementStyle {
    // Statement text goes to the driver as UTF-8 through the narrow calls
    // (the SQLite ODBC driver reads wide text as Latin-1 bytes).
    bool narrow = false;
    // Each statement carries the query timeout; false where the session
    // already limits its statements.
    bool timed = true;
};

class OdbcStatementHandle {
  public:
    // Statements are limited to this long, by the driver or by the session.
    static constexpr int kQueryTimeoutSeconds = 10;

    OdbcStatementHandle(void* dbc, const std::string& password, OdbcStatementStyle style);
    ~OdbcStatementHandle();
    OdbcStatementHandle(const OdbcStatementHandle&) = delete;
    OdbcStatementHandle& operator=(const OdbcStatementHandle&) = delete;

    void ExecDirect(const std::string& sql);
    void Prepare(const std::string& sql);
    // Runs the prepared statement with the parameters bound now.
    void ExecutePrepared();

    // Every row of the current result, then the cursor is closed so the
    // statement can run again.
    ResultTable FetchAll();
    // The same, each row handed to `sink` as it is fetched and not kept.
    void FetchInto(RowSink& sink);
    void CloseCursor();

    [[noreturn]] void Fail() const;
    void* Get() const { return handle_; }
    bool Narrow() const { return style_.narrow; }

  private:
    void* handle_ = nullptr;
    const std::string& password_;
    OdbcStatementStyle style_;
};

}  // namespace kps
