#pragma once

#include <memory>
#include <string>

#include "database/Connection.h"
#include "startup/GeneralSetup.h"

namespace kps {

// "Provider=SQLOLEDB.1;Password=...;Persist Security Info=True;User ID=...;
// Initial Catalog=...;Data Source=...", a value that holds ";", braces or
// blanks at either end wrapped in braces (QuoteConnectionValue).
std::string BuildAdoConnectionString(const GeneralSetup& setup, const std::string& plainPassword);

// The ODBC connection string an ODBC database of these settings is opened
// with, setup.Password taken as the plain password.
std::string OdbcConnectionString(const GeneralSetup& setup);

// Decodes setup.Password in place to the plain password (the stored form is
// in the settings' code page), then opens the database the settings name.
// Throws KpsError when the database cannot be opened.
std::unique_ptr<Connection> OpenConnection(GeneralSetup& setup);

}  // namespace kps
