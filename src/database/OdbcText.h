#pragma once

#include <sql.h>

#include <string>

namespace kps {

// Text as the wide ODBC calls take and give it (UTF-16 units).
using OdbcWideString = std::basic_string<SQLWCHAR>;

OdbcWideString OdbcWide(const std::string& utf8);
std::string OdbcNarrow(const SQLWCHAR* text, std::size_t length);

}  // namespace kps
