#include "database/OdbcStatement.h"

#include <sql.h>
#include <sqlext.h>

#include <charconv>
#include <variant>

#include "database/OdbcText.h"
#include "text/KpsError.h"

namespace kps {
namespace {

// The buffer of one bound value; it must stay in place until the run ends.
struct Parameter {
    std::variant<SQLBIGINT, SQLDOUBLE, std::string, OdbcWideString> data;
    SQLLEN indicator = 0;
};

Parameter ParameterOf(const Value& value, bool narrow) {
    Parameter parameter;
    switch (value.GetKind()) {
        case Value::Kind::Null:
            parameter.data = std::string();
            parameter.indicator = SQL_NULL_DATA;
            return parameter;
        case Value::Kind::Integer:
            parameter.data = static_cast<SQLBIGINT>(ExactInteger(value).value_or(0));
            return parameter;
        case Value::Kind::Real: {
            SQLDOUBLE number = 0;
            const std::string& text = value.AsText();
            std::from_chars(text.data(), text.data() + text.size(), number);
            parameter.data = number;
            return parameter;
        }
        default:
            if (narrow) {
                parameter.data = value.AsText();
                parameter.indicator = static_cast<SQLLEN>(value.AsText().size());
            } else {
                OdbcWideString text = OdbcWide(value.AsText());
                parameter.indicator = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
                parameter.data = std::move(text);
            }
            return parameter;
    }
}

SQLRETURN BindParameter(SQLHSTMT statement, SQLUSMALLINT index, Parameter& parameter) {
    if (auto* number = std::get_if<SQLBIGINT>(&parameter.data)) {
        return SQLBindParameter(statement, index, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                number, 0, &parameter.indicator);
    }
    if (auto* number = std::get_if<SQLDOUBLE>(&parameter.data)) {
        return SQLBindParameter(statement, index, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0,
                                number, 0, &parameter.indicator);
    }
    if (auto* text = std::get_if<std::string>(&parameter.data)) {
        auto size = static_cast<SQLULEN>(std::max<std::size_t>(text->size(), 1));
        return SQLBindParameter(statement, index, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, size, 0,
                                text->data(), static_cast<SQLLEN>(text->size()),
                                &parameter.indicator);
    }
    auto& wide = std::get<OdbcWideString>(parameter.data);
    auto size = static_cast<SQLULEN>(std::max<std::size_t>(wide.size(), 1));
    return SQLBindParameter(statement, index, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, size, 0,
                            wide.data(), parameter.indicator, &parameter.indicator);
}

}  // namespace

OdbcStatement::OdbcStatement(void* dbc, const std::string& password, OdbcStatementStyle style,
                             const std::string& sql)
    : handle_(dbc, password, style) {
    handle_.Prepare(sql);
}

void OdbcStatement::Bind(int index, const Value& value) {
    if (index < 1) {
        throw KpsError(kErrStatement,
                       "Parameters are numbered from 1, not " + std::to_string(index));
    }
    if (values_.size() < static_cast<std::size_t>(index)) {
        values_.resize(static_cast<std::size_t>(index));
    }
    values_[static_cast<std::size_t>(index - 1)] = value;
}

void OdbcStatement::Execute() {
    Run();
    handle_.CloseCursor();
}

ResultTable OdbcStatement::Query() {
    Run();
    return handle_.FetchAll();
}

void OdbcStatement::QueryInto(RowSink& sink) {
    Run();
    handle_.FetchInto(sink);
}

void OdbcStatement::Run() {
    std::vector<Parameter> parameters;
    parameters.reserve(values_.size());
    for (const Value& value : values_) {
        parameters.push_back(ParameterOf(value, handle_.Narrow()));
    }
    SQLFreeStmt(handle_.Get(), SQL_RESET_PARAMS);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (!SQL_SUCCEEDED(
                BindParameter(handle_.Get(), static_cast<SQLUSMALLINT>(i + 1), parameters[i]))) {
            handle_.Fail();
        }
    }
    handle_.ExecutePrepared();
}

}  // namespace kps
