#include "database/OdbcStatementHandle.h"

#include <sql.h>
#include <sqlext.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <type_traits>

#include "database/OdbcConnectionString.h"
#include "database/OdbcText.h"
#include "database/ResultTableSink.h"
#include "text/KpsError.h"
#include "text/Text.h"
#include "text/Utf16.h"

namespace kps {
namespace {

static_assert(std::is_same_v<SQLHANDLE, void*>, "ODBC handles are kept as void*");

// SQL Server's TIME type, reported by its drivers beside the standard types.
constexpr SQLSMALLINT kSqlServerTime2 = -154;
constexpr SQLSMALLINT kMaxDiagnostics = 8;

// A statement the database has not answered within this is given up with an
// error (a lock wait, an overloaded server) rather than holding the tick
// past the service watchdog's 30 s.

enum class ColumnKind { Integer, WholeNumber, Real, Decimal, Date, Time, Timestamp, Text };

ColumnKind KindOf(SQLSMALLINT sqlType, SQLSMALLINT scale) {
    switch (sqlType) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIT:
            return ColumnKind::Integer;
        case SQL_BIGINT:
            return ColumnKind::WholeNumber;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return ColumnKind::Real;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return scale == 0 ? ColumnKind::WholeNumber : ColumnKind::Decimal;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return ColumnKind::Date;
        case SQL_TYPE_TIME:
        case SQL_TIME:
        case kSqlServerTime2:
            return ColumnKind::Time;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return ColumnKind::Timestamp;
        default:
            return ColumnKind::Text;
    }
}

struct Column {
    std::string name;
    ColumnKind kind;
};

// Reads a fixed-size field; no value for Null.
template <typename T>
std::optional<T> ReadFixed(OdbcStatementHandle& statement, SQLUSMALLINT column, SQLSMALLINT cType) {
    T value{};
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(statement.Get(), column, cType, &value, sizeof value, &indicator);
    if (!SQL_SUCCEEDED(rc)) {
        statement.Fail();
    }
    if (indicator == SQL_NULL_DATA) {
        return std::nullopt;
    }
    return value;
}

// Reads a text field of any length, in pieces; no value for Null.
std::optional<std::string> ReadText(OdbcStatementHandle& statement, SQLUSMALLINT column) {
    std::u16string text;
    SQLWCHAR buffer[1024];
    constexpr auto kBufferBytes = static_cast<SQLLEN>(sizeof buffer);
    while (true) {
        SQLLEN indicator = 0;
        SQLRETURN rc =
            SQLGetData(statement.Get(), column, SQL_C_WCHAR, buffer, kBufferBytes, &indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (!SQL_SUCCEEDED(rc)) {
            statement.Fail();
        }
        if (indicator == SQL_NULL_DATA) {
            return std::nullopt;
        }
        bool truncated = indicator == SQL_NO_TOTAL || indicator >= kBufferBytes;
        std::size_t chars = truncated ? std::size(buffer) - 1
                                      : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
        text.append(buffer, buffer + chars);
        if (!truncated) {
            break;
        }
    }
    return Utf16ToUtf8(text);
}

std::string TwoDigits(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02u", value % 100);
    return buf;
}

std::string IsoDate(SQLSMALLINT year, SQLUSMALLINT month, SQLUSMALLINT day) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-", static_cast<int>(year));
    return buf + TwoDigits(month) + "-" + TwoDigits(day);
}

std::string IsoTime(SQLUSMALLINT hour, SQLUSMALLINT minute, SQLUSMALLINT second) {
    return TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

// Fractions of a second in nanoseconds, without trailing zeros; "" for none.
std::string Fraction(SQLUINTEGER nanoseconds) {
    if (nanoseconds == 0) {
        return "";
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, ".%09u", static_cast<unsigned>(nanoseconds));
    std::string text = buf;
    return text.substr(0, text.find_last_not_of('0') + 1);
}

// A number the driver gave as text (its own conversions may follow the
// locale or pass through a double): whole numbers exactly when `whole`,
// else as a real number; text that is no number stays text.
Value NumberFromText(const std::string& text, bool whole) {
    std::string digits = Trim(text);
    if (whole) {
        if (auto exact = ExactInteger(Value::Text(digits))) {
            return Value::Integer(*exact);
        }
    }
    double number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return Value::Text(text);
    }
    return Value::Real(number);
}

Value ReadValue(OdbcStatementHandle& statement, SQLUSMALLINT column, ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Integer: {
            auto number = ReadFixed<SQLBIGINT>(statement, column, SQL_C_SBIGINT);
            return number ? Value::Integer(*number) : Value::Null();
        }
        case ColumnKind::Real: {
            auto number = ReadFixed<SQLDOUBLE>(statement, column, SQL_C_DOUBLE);
            return number ? Value::Real(*number) : Value::Null();
        }
        case ColumnKind::WholeNumber:
        case ColumnKind::Decimal: {
            auto text = ReadText(statement, column);
            return text ? NumberFromText(*text, kind == ColumnKind::WholeNumber) : Value::Null();
        }
        case ColumnKind::Date: {
            auto date = ReadFixed<SQL_DATE_STRUCT>(statement, column, SQL_C_TYPE_DATE);
            return date ? Value::Date(IsoDate(date->year, date->month, date->day)) : Value::Null();
        }
        case ColumnKind::Time: {
            auto time = ReadFixed<SQL_TIME_STRUCT>(statement, column, SQL_C_TYPE_TIME);
            return time ? Value::Time(IsoTime(time->hour, time->minute, time->second))
                        : Value::Null();
        }
        case ColumnKind::Timestamp: {
            auto stamp = ReadFixed<SQL_TIMESTAMP_STRUCT>(statement, column, SQL_C_TYPE_TIMESTAMP);
            if (!stamp) {
                return Value::Null();
            }
            return Value::DateTime(IsoDate(stamp->year, stamp->month, stamp->day) + " " +
                                   IsoTime(stamp->hour, stamp->minute, stamp->second) +
                                   Fraction(stamp->fraction));
        }
        case ColumnKind::Text:
            break;
    }
    auto text = ReadText(statement, column);
    return text ? Value::Text(*text) : Value::Null();
}

std::vector<Column> DescribeColumns(OdbcStatementHandle& statement, SQLSMALLINT count) {
    std::vector<Column> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        SQLWCHAR name[256] = {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT scale = 0;
        SQLSMALLINT nullable = 0;
        SQLRETURN rc =
            SQLDescribeColW(statement.Get(), i, name, static_cast<SQLSMALLINT>(std::size(name)),
                            &nameLength, &sqlType, &size, &scale, &nullable);
        if (!SQL_SUCCEEDED(rc)) {
            statement.Fail();
        }
        std::size_t chars =
            std::min<std::size_t>(static_cast<std::size_t>(nameLength), std::size(name) - 1);
        columns.push_back({OdbcNarrow(name, chars), KindOf(sqlType, scale)});
    }
    return columns;
}

// An update that touched no row answers "no data"; that is no failure.
bool Ran(SQLRETURN rc) {
    return SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
}

}  // namespace

void ThrowOdbcDiagnostics(short handleType, void* handle, long fallbackNumber,
                          const std::string& password) {
    long number = 0;
    std::string description;
    for (SQLSMALLINT record = 1; record <= kMaxDiagnostics; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &native, message,
                                      static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        if (number == 0) {
            number = native;
        }
        std::size_t chars =
            std::min<std::size_t>(static_cast<std::size_t>(length), std::size(message) - 1);
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on
        // "\n" + text at -O3.
        if (!description.empty()) {
            description += '\n';
        }
        description += OdbcNarrow(message, chars);
    }
    if (description.empty()) {
        description = "The ODBC driver reported an error without a message.";
    }
    throw KpsError(number != 0 ? number : fallbackNumber, ScrubPassword(description, password));
}

OdbcStatementHandle::OdbcStatementHandle(void* dbc, const std::string& password,
                                         OdbcStatementStyle style)
    : password_(password), style_(style) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle_))) {
        ThrowOdbcDiagnostics(SQL_HANDLE_DBC, dbc, kErrStatement, password_);
    }
    if (style_.timed) {
        // A driver that cannot time statements out runs them without a limit.
        SQLSetStmtAttr(handle_, SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kQueryTimeoutSeconds)), 0);
    }
}

OdbcStatementHandle::~OdbcStatementHandle() {
    SQLFreeHandle(SQL_HANDLE_STMT, handle_);
}

void OdbcStatementHandle::ExecDirect(const std::string& sql) {
    SQLRETURN rc;
    if (style_.narrow) {
        std::string text = sql;
        rc = SQLExecDirect(handle_, reinterpret_cast<SQLCHAR*>(text.data()),
                           static_cast<SQLINTEGER>(text.size()));
    } else {
        OdbcWideString text = OdbcWide(sql);
        rc = SQLExecDirectW(handle_, text.data(), static_cast<SQLINTEGER>(text.size()));
    }
    if (!Ran(rc)) {
        Fail();
    }
}

void OdbcStatementHandle::Prepare(const std::string& sql) {
    SQLRETURN rc;
    if (style_.narrow) {
        std::string text = sql;
        rc = SQLPrepare(handle_, reinterpret_cast<SQLCHAR*>(text.data()),
                        static_cast<SQLINTEGER>(text.size()));
    } else {
        OdbcWideString text = OdbcWide(sql);
        rc = SQLPrepareW(handle_, text.data(), static_cast<SQLINTEGER>(text.size()));
    }
    if (!SQL_SUCCEEDED(rc)) {
        Fail();
    }
}

void OdbcStatementHandle::ExecutePrepared() {
    CloseCursor();  // a run that failed while fetching may have left it open
    if (!Ran(SQLExecute(handle_))) {
        Fail();
    }
}

ResultTable OdbcStatementHandle::FetchAll() {
    ResultTableSink sink;
    FetchInto(sink);
    return std::move(sink.table);
}

void OdbcStatementHandle::FetchInto(RowSink& sink) {
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(handle_, &count))) {
        Fail();
    }
    std::vector<Column> columns = DescribeColumns(*this, count);
    std::vector<std::string> names;
    for (const auto& column : columns) {
        names.push_back(column.name);
    }
    sink.Columns(names);
    std::vector<Value> row;
    while (count > 0) {
        SQLRETURN rc = SQLFetch(handle_);
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (!SQL_SUCCEEDED(rc)) {
            Fail();
        }
        row.clear();
        row.reserve(columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            row.push_back(ReadValue(*this, static_cast<SQLUSMALLINT>(i + 1), columns[i].kind));
        }
        sink.Row(row);
    }
    CloseCursor();
}

void OdbcStatementHandle::CloseCursor() {
    SQLFreeStmt(handle_, SQL_CLOSE);
}

void OdbcStatementHandle::Fail() const {
    ThrowOdbcDiagnostics(SQL_HANDLE_STMT, handle_, kErrStatement, password_);
}

}  // namespace kps
