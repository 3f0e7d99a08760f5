#include "support/TextStatement.h"

#include "text/KpsError.h"

namespace kps::test {
namespace {

std::string Literal(const Value& value) {
    switch (value.GetKind()) {
        case Value::Kind::Null:
            return "NULL";
        case Value::Kind::Integer:
        case Value::Kind::Real:
            return value.AsText();
        default:
            break;
    }
    std::string text = "'";
    for (char c : value.AsText()) {
        text += c;
        if (c == '\'') {
            text += '\'';
        }
    }
    return text + "'";
}

}  // namespace

std::string SqlWithValues(const std::string& sql, const std::vector<Value>& values) {
    std::string text;
    std::size_t next = 0;
    bool quoted = false;
    for (char c : sql) {
        if (c == '\'') {
            quoted = !quoted;
        }
        if (c != '?' || quoted) {
            text += c;
            continue;
        }
        if (next >= values.size()) {
            throw KpsError(kErrStatement, "No value bound for parameter " +
                                              std::to_string(next + 1) + " of: " + sql);
        }
        text += Literal(values[next++]);
    }
    return text;
}

TextStatement::TextStatement(Connection& connection, std::string sql)
    : connection_(connection), sql_(std::move(sql)) {}

void TextStatement::Bind(int index, const Value& value) {
    if (index < 1) {
        throw KpsError(kErrStatement, "Parameters are numbered from 1");
    }
    auto position = static_cast<std::size_t>(index - 1);
    if (values_.size() <= position) {
        values_.resize(position + 1);
    }
    values_[position] = value;
}

void TextStatement::Execute() {
    connection_.Execute(SqlWithValues(sql_, values_));
}

ResultTable TextStatement::Query() {
    return connection_.Query(SqlWithValues(sql_, values_));
}

}  // namespace kps::test
