#include "database/SqliteConnection.h"

#include <sqlite3.h>

#include <memory>

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

// Terminals write the same file; wait for their locks rather than failing.
constexpr int kBusyTimeoutMs = 5000;

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

// SQLite keeps dates and times as text; the declared type tells which.
Value::Kind TextKind(const char* declaredType) {
    if (declaredType == nullptr) {
        return Value::Kind::Text;
    }
    std::string type = UpperCase(Trim(declaredType));
    if (type == "DATE") {
        return Value::Kind::Date;
    }
    if (type.starts_with("TIME") && type != "TIMESTAMP") {
        return Value::Kind::Time;
    }
    if (type.starts_with("DATETIME") || type.starts_with("TIMESTAMP")) {
        return Value::Kind::DateTime;
    }
    return Value::Kind::Text;
}

// A whole number in a NUMERIC or DECIMAL column is a real number that happens
// to have no fraction; keep one kind per column for the callers.
bool IsDecimalType(const char* declaredType) {
    if (declaredType == nullptr) {
        return false;
    }
    std::string type = UpperCase(declaredType);
    for (const char* word : {"NUM", "DEC", "REAL", "FLOA", "DOUB", "MONEY"}) {
        if (type.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// What a column's declared type says about its values; the same for every
// row, so it is worked out once per statement.
struct ColumnType {
    Value::Kind textKind;
    bool decimal;
};

ColumnType DeclaredColumnType(sqlite3_stmt* statement, int column) {
    const char* declared = sqlite3_column_decltype(statement, column);
    return {TextKind(declared), IsDecimalType(declared)};
}

Value ColumnValue(sqlite3_stmt* statement, int column, const ColumnType& type) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return Value::Null();
        case SQLITE_INTEGER:
            if (type.decimal) {
                return Value::Real(sqlite3_column_double(statement, column));
            }
            return Value::Integer(sqlite3_column_int64(statement, column));
        case SQLITE_FLOAT:
            return Value::Real(sqlite3_column_double(statement, column));
        default: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            std::string value(text,
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            switch (type.textKind) {
                case Value::Kind::Date:
                    return Value::Date(std::move(value));
                case Value::Kind::Time:
                    return Value::Time(std::move(value));
                case Value::Kind::DateTime:
                    return Value::DateTime(std::move(value));
                default:
                    return Value::Text(std::move(value));
            }
        }
    }
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, bool createIfMissing) {
    int flags = SQLITE_OPEN_READWRITE | (createIfMissing ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw KpsError(rc, "Cannot open database '" + path + "': " + message);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

SqliteConnection::~SqliteConnection() {
    sqlite3_close_v2(db_);
}

void SqliteConnection::Execute(const std::string& sql) {
    const char* rest = sql.c_str();
    while (*rest != '\0') {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, rest, -1, &raw, &tail) != SQLITE_OK) {
            Fail(sqlite3_errcode(db_));
        }
        Statement statement(raw);
        rest = tail;
        if (!statement) {
            continue;  // blank text or a comment
        }
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW) {
            rc = sqlite3_step(statement.get());
        }
        if (rc != SQLITE_DONE) {
            Fail(rc);
        }
    }
}

ResultTable SqliteConnection::Query(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        Fail(sqlite3_errcode(db_));
    }
    Statement statement(raw);
    ResultTable table;
    if (!statement) {
        return table;
    }
    int columns = sqlite3_column_count(statement.get());
    std::vector<ColumnType> types;
    for (int i = 0; i < columns; ++i) {
        table.columns.emplace_back(sqlite3_column_name(statement.get(), i));
        types.push_back(DeclaredColumnType(statement.get(), i));
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i) {
            row.push_back(ColumnValue(statement.get(), i, types[static_cast<std::size_t>(i)]));
        }
        table.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        Fail(rc);
    }
    return table;
}

void SqliteConnection::Fail(int code) const {
    throw KpsError(code, sqlite3_errmsg(db_));
}

}  // namespace kps
