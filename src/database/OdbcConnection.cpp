#include "database/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

#include "database/OdbcConnectionString.h"
#include "database/OdbcStatement.h"
#include "database/OdbcStatementHandle.h"
#include "database/OdbcText.h"
#include "text/KpsError.h"

namespace kps {
namespace {

constexpr SQLULEN kLoginTimeoutSeconds = 15;

std::string InfoText(SQLHDBC dbc, SQLUSMALLINT what) {
    char text[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, what, text, sizeof text, &length))) {
        return "";
    }
    return text;
}

}  // namespace

OdbcConnection::OdbcConnection(const std::string& connectionString) {
    ConnectionAttributes attributes = ParseConnectionAttributes(connectionString);
    password_ = FindConnectionAttribute(attributes, "PWD");
    if (password_.empty()) {
        password_ = FindConnectionAttribute(attributes, "Password");
    }
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
        throw KpsError(kErrDatabaseOpen, "Cannot set up the ODBC environment.");
    }
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
        Release();
        throw KpsError(kErrDatabaseOpen, "Cannot set up an ODBC connection.");
    }
    SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0);
    OdbcWideString text = OdbcWide(connectionString);
    SQLRETURN rc =
        SQLDriverConnectW(dbc_, nullptr, text.data(), static_cast<SQLSMALLINT>(text.size()),
                          nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        try {
            ThrowOdbcDiagnostics(SQL_HANDLE_DBC, dbc_, kErrDatabaseOpen, password_);
        } catch (...) {
            Release();
            throw;
        }
    }
    connected_ = true;
    style_.narrow = InfoText(dbc_, SQL_DRIVER_NAME).find("sqlite") != std::string::npos;
    dbmsName_ = InfoText(dbc_, SQL_DBMS_NAME);
    if (dbmsName_ == "PostgreSQL") {
        // Its driver times a statement out by sending "SET statement_timeout"
        // before it and again after it: three round trips for each one. The
        // session's own limit does the same once.
        style_.timed = false;
        try {
            Execute("SET statement_timeout = " +
                    std::to_string(OdbcStatementHandle::kQueryTimeoutSeconds * 1000));
        } catch (...) {
            Release();
            throw;
        }
    }
}

OdbcConnection::~OdbcConnection() {
    Release();
}

void OdbcConnection::Release() {
    if (connected_) {
        SQLDisconnect(dbc_);
        connected_ = false;
    }
    if (dbc_ != nullptr) {
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        dbc_ = nullptr;
    }
    if (env_ != nullptr) {
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
        env_ = nullptr;
    }
}

void OdbcConnection::Execute(const std::string& sql) {
    OdbcStatementHandle statement(dbc_, password_, style_);
    statement.ExecDirect(sql);
}

ResultTable OdbcConnection::Query(const std::string& sql) {
    OdbcStatementHandle statement(dbc_, password_, style_);
    statement.ExecDirect(sql);
    return statement.FetchAll();
}

std::unique_ptr<Statement> OdbcConnection::Prepare(const std::string& sql) {
    return std::make_unique<OdbcStatement>(dbc_, password_, style_, sql);
}

void OdbcConnection::BeginTransaction() {
    SetAutocommit(false);
}

void OdbcConnection::CommitTransaction() {
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT))) {
        try {
            ThrowOdbcDiagnostics(SQL_HANDLE_DBC, dbc_, kErrStatement, password_);
        } catch (...) {
            RollbackTransaction();
            throw;
        }
    }
    SetAutocommit(true);
}

void OdbcConnection::RollbackTransaction() {
    SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                      0);
}

std::string OdbcConnection::DbmsName() const {
    return dbmsName_;
}

void OdbcConnection::SetAutocommit(bool on) {
    auto value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), 0))) {
        ThrowOdbcDiagnostics(SQL_HANDLE_DBC, dbc_, kErrStatement, password_);
    }
}

}  // namespace kps
