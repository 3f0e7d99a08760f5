#include "database/Recordset.h"

#include <strings.h>
#include <cstdlib>

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {

std::unique_ptr<Recordset> Connection::OpenRecordset(const std::string& sql) {
    return std::make_unique<Recordset>(*this, sql);
}

Recordset::Recordset(Connection& connection, std::string sql)
    : connection_(connection), sql_(std::move(sql)) {
    table_ = connection_.Query(sql_);
    open_ = true;
}

void Recordset::Requery() {
    RequireOpen();
    table_ = connection_.Query(sql_);
    current_ = 0;
}

bool Recordset::IsEOF() const {
    RequireOpen();
    return current_ >= table_.rows.size();
}

void Recordset::MoveFirst() {
    RequireOpen();
    current_ = 0;
}

void Recordset::MoveNext() {
    RequireOpen();
    if (current_ >= table_.rows.size()) {
        throw KpsError(kErrNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted.");
    }
    ++current_;
}

long Recordset::RecordCount() const {
    RequireOpen();
    return static_cast<long>(table_.rows.size());
}

void Recordset::Find(const std::string& criterion) {
    RequireOpen();
    auto eq = criterion.find('=');
    if (eq == std::string::npos) {
        throw KpsError(kErrStatement, "Invalid Find criterion: " + criterion);
    }
    std::string column = Trim(criterion.substr(0, eq));
    std::string wanted = Trim(criterion.substr(eq + 1));
    char* end = nullptr;
    double number = std::strtod(wanted.c_str(), &end);
    if (wanted.empty() || *end != '\0') {
        throw KpsError(kErrStatement, "Invalid Find criterion: " + criterion);
    }
    std::size_t index = ColumnIndex(column);
    for (; current_ < table_.rows.size(); ++current_) {
        const Value& v = table_.rows[current_][index];
        if (v.IsNull()) {
            continue;
        }
        const std::string& text = v.AsText();
        char* valueEnd = nullptr;
        double found = std::strtod(text.c_str(), &valueEnd);
        if (!text.empty() && *valueEnd == '\0' && found == number) {
            return;
        }
    }
}

const Value& Recordset::Field(const std::string& name) const {
    RequireOpen();
    std::size_t index = ColumnIndex(name);
    if (current_ >= table_.rows.size()) {
        throw KpsError(kErrNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted.");
    }
    return table_.rows[current_][index];
}

bool Recordset::HasField(const std::string& name) const {
    for (const auto& column : table_.columns) {
        if (strcasecmp(column.c_str(), name.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

void Recordset::Close() {
    open_ = false;
    table_ = {};
    current_ = 0;
}

std::size_t Recordset::ColumnIndex(const std::string& name) const {
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        if (strcasecmp(table_.columns[i].c_str(), name.c_str()) == 0) {
            return i;
        }
    }
    throw KpsError(kErrFieldNotFound,
                   "Item cannot be found in the collection corresponding to the requested name "
                   "or ordinal: " +
                       name);
}

void Recordset::RequireOpen() const {
    if (!open_) {
        throw KpsError(kErrRecordsetClosed, "Operation is not allowed when the object is closed.");
    }
}

}  // namespace kps
