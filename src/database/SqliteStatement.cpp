#include "database/SqliteStatement.h"

#include <sqlite3.h>

#include <charconv>

#include "database/ResultTableSink.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {
namespace {

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
// row, so it is worked out once per run.
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

double RealOf(const std::string& text) {
    double number = 0;
    std::from_chars(text.data(), text.data() + text.size(), number);
    return number;
}

// Puts the statement back to its start, bindings kept, however a run ended.
class ResetOnExit {
  public:
    explicit ResetOnExit(sqlite3_stmt* statement) : statement_(statement) {}
    ~ResetOnExit() { sqlite3_reset(statement_); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

  private:
    sqlite3_stmt* statement_;
};

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
        Fail(sqlite3_errcode(db_));
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::Bind(int index, const Value& value) {
    if (statement_ == nullptr) {
        throw KpsError(kErrStatement, "The statement has no parameter " + std::to_string(index));
    }
    int rc = SQLITE_OK;
    switch (value.GetKind()) {
        case Value::Kind::Null:
            rc = sqlite3_bind_null(statement_, index);
            break;
        case Value::Kind::Integer:
            rc = sqlite3_bind_int64(statement_, index, ExactInteger(value).value_or(0));
            break;
        case Value::Kind::Real:
            rc = sqlite3_bind_double(statement_, index, RealOf(value.AsText()));
            break;
        default:
            rc = sqlite3_bind_text(statement_, index, value.AsText().data(),
                                   static_cast<int>(value.AsText().size()), SQLITE_TRANSIENT);
            break;
    }
    if (rc != SQLITE_OK) {
        Fail(rc);
    }
}

void SqliteStatement::Execute() {
    if (statement_ == nullptr) {
        return;
    }
    ResetOnExit reset(statement_);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(statement_);
    }
    if (rc != SQLITE_DONE) {
        Fail(rc);
    }
}

ResultTable SqliteStatement::Query() {
    ResultTableSink sink;
    QueryInto(sink);
    return std::move(sink.table);
}

void SqliteStatement::QueryInto(RowSink& sink) {
    if (statement_ == nullptr) {
        sink.Columns({});
        return;
    }
    ResetOnExit reset(statement_);
    int columns = sqlite3_column_count(statement_);
    std::vector<std::string> names;
    std::vector<ColumnType> types;
    for (int i = 0; i < columns; ++i) {
        names.emplace_back(sqlite3_column_name(statement_, i));
        types.push_back(DeclaredColumnType(statement_, i));
    }
    sink.Columns(names);
    std::vector<Value> row;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement_)) == SQLITE_ROW) {
        row.clear();
        row.reserve(static_cast<std::size_t>(columns));
        for (int i = 0; i < columns; ++i) {
            row.push_back(ColumnValue(statement_, i, types[static_cast<std::size_t>(i)]));
        }
        sink.Row(row);
    }
    if (rc != SQLITE_DONE) {
        Fail(rc);
    }
}

void SqliteStatement::Fail(int code) const {
    throw KpsError(code, sqlite3_errmsg(db_));
}

}  // namespace kps
