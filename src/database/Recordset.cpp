#include "database/Recordset.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

#include "text/KpsError.h"
#include "text/Text.h"

namespace kps {

namespace {

// Keeps the first rows of a result and hands every row on.
class FirstRowsSink final : public RowSink {
  public:
    FirstRowsSink(RowSink& inner, std::size_t keep) : inner_(inner), keep_(keep) {}

    void Columns(const std::vector<std::string>& names) override {
        table.columns = names;
        inner_.Columns(names);
    }
    void Row(std::vector<Value>& values) override {
        if (table.rows.size() < keep_) {
            table.rows.push_back(values);  // copied: the inner sink may move the values out
        }
        inner_.Row(values);
    }

    ResultTable table;

  private:
    RowSink& inner_;
    std::size_t keep_;
};

}  // namespace

std::unique_ptr<Recordset> Connection::OpenRecordset(const std::string& sql) {
    return std::make_unique<Recordset>(*this, sql);
}

Recordset::Recordset(Connection& connection, std::string sql)
    : sql_(std::move(sql)), statement_(connection.Prepare(sql_)) {
    Load(statement_->Query());
    open_ = true;
}

Recordset::Recordset(Connection& connection, std::string sql, Unrun)
    : sql_(std::move(sql)), statement_(connection.Prepare(sql_)) {
    open_ = true;
}

void Recordset::Bind(int index, const Value& value) {
    RequireOpen();
    statement_->Bind(index, value);
}

void Recordset::Requery() {
    RequireOpen();
    Load(statement_->Query());
    current_ = 0;
}

void Recordset::Requery(RowSink& sink, std::size_t keep) {
    RequireOpen();
    FirstRowsSink first(sink, keep);
    statement_->QueryInto(first);
    Load(std::move(first.table));
    current_ = 0;
}

void Recordset::Load(ResultTable table) {
    bool sameShape = table.columns == table_.columns && !index_.empty();
    table_ = std::move(table);
    if (sameShape) {
        return;
    }
    index_.clear();
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        index_.emplace(table_.columns[i], i);  // the first of two equal names stays
    }
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
    return At(ColumnIndex(name));
}

const Value& Recordset::At(std::size_t column) const {
    RequireOpen();
    if (current_ >= table_.rows.size()) {
        throw KpsError(kErrNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted.");
    }
    if (column >= table_.columns.size()) {
        throw KpsError(kErrFieldNotFound,
                       "Item cannot be found in the collection corresponding to the requested "
                       "name or ordinal: " +
                           std::to_string(column));
    }
    return table_.rows[current_][column];
}

bool Recordset::HasField(const std::string& name) const {
    return FindColumn(name).has_value();
}

void Recordset::Close() {
    open_ = false;
    statement_.reset();
    table_ = {};
    index_.clear();
    current_ = 0;
}

std::optional<std::size_t> Recordset::FindColumn(const std::string& name) const {
    auto found = index_.find(name);
    if (found == index_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::size_t Recordset::ColumnIndex(const std::string& name) const {
    if (auto index = FindColumn(name)) {
        return *index;
    }
    throw KpsError(kErrFieldNotFound,
                   "Item cannot be found in the collection corresponding to the requested name "
                   "or ordinal: " +
                       name);
}

std::size_t Recordset::NoCaseHash::operator()(const std::string& name) const {
    // FNV-1a over the lower-case bytes.
    std::size_t hash = 14695981039346656037ULL;
    for (unsigned char c : name) {
        hash = (hash ^ static_cast<unsigned char>(std::tolower(c))) * 1099511628211ULL;
    }
    return hash;
}

bool Recordset::NoCaseEqual::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

void Recordset::RequireOpen() const {
    if (!open_) {
        throw KpsError(kErrRecordsetClosed, "Operation is not allowed when the object is closed.");
    }
}

}  // namespace kps
