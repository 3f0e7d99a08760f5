#pragma once

#include <memory>
#include <string>

#include "database/Connection.h"
#include "startup/GeneralSetup.h"

namespace kps {

// Opens the database the settings name: SQLite when [PrintServer] Database is
// "SQLite" (DatabaseName is the file, relative to the settings file), else
// ODBC with the driver of OdbcDriver (Microsoft SQL Server through FreeTDS
// when empty). `adoConnectionString` is the string OpenConnection built
// ("Provider=SQLOLEDB.1;Password=...;User ID=...;Initial Catalog=...;Data
// Source=..."); the ODBC back end translates its keywords for the driver.
// The SQLite database file the settings name; empty for any other database.
std::string SqliteDatabaseFile(const GeneralSetup& setup);

std::unique_ptr<Connection> OpenDatabaseConnection(const GeneralSetup& setup,
                                                   const std::string& adoConnectionString);

}  // namespace kps
