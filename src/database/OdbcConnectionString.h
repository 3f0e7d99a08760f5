#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kps {

using ConnectionAttributes = std::vector<std::pair<std::string, std::string>>;

// Splits "Key=Value;Key2=Value2" into its pairs, keys and values trimmed.
// A value may be wrapped in {braces} (a "}}" inside stands for "}") or in
// double or single quotes (a doubled quote stands for one); parts without
// "=" are dropped.
ConnectionAttributes ParseConnectionAttributes(const std::string& text);

// A value as a connection string holds it: one holding ";", a brace, blanks
// at either end or a leading quote is written as {value} with every "}" doubled, so any
// password survives; any other value as it stands.
std::string QuoteConnectionValue(const std::string& value);

// Joins pairs as "Key=Value;", each value quoted by QuoteConnectionValue.
std::string FormatConnectionAttributes(const ConnectionAttributes& attributes);

// The value of `key` (without regard to case), or "" when absent.
std::string FindConnectionAttribute(const ConnectionAttributes& attributes, const std::string& key);

// Translates the OLE DB connection string the start-up builds into an ODBC
// one: DRIVER={odbcDriver} first (FreeTDS when empty, with TDS_Version=7.4
// and Port=1433 unless the options name them), Password -> PWD, User ID ->
// UID, Initial Catalog -> DATABASE, Data Source -> SERVER, Provider and
// Persist Security Info dropped, other keys kept; then the extra attributes
// of `odbcOptions`, which win over a key of the same name.
std::string OdbcConnectionStringFromAdo(const std::string& adoConnectionString,
                                        const std::string& odbcDriver,
                                        const std::string& odbcOptions);

// `text` with the value of every PWD= or Password= attribute, and every
// occurrence of `password` itself, replaced by asterisks, so that an error
// message can be shown or logged safely.
std::string ScrubPassword(const std::string& text, const std::string& password);

}  // namespace kps
