#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kps {

// libpq connection keywords and their values.
using PostgresParameters = std::vector<std::pair<std::string, std::string>>;

// The libpq keywords for the server the ODBC connection string names
// (SERVER, Port, DATABASE, UID, PWD, SSLmode), with keepalives that find a
// silent link within seconds, shown to the server as `applicationName`. Of
// several servers listed, only one that is not a standby is taken.
PostgresParameters PostgresParametersFromOdbc(const std::string& odbcConnectionString,
                                              const std::string& applicationName);

}  // namespace kps
