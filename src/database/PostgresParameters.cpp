#include "database/PostgresParameters.h"

#include <strings.h>

#include <algorithm>

#include "database/OdbcConnectionString.h"

namespace kps {
namespace {

// What psqlODBC and its siblings call each libpq keyword.
const std::vector<std::pair<std::string, std::vector<std::string>>> kOdbcNames{
    {"host", {"SERVER", "Servername"}},   {"port", {"Port"}},
    {"dbname", {"DATABASE", "Database"}}, {"user", {"UID", "Username"}},
    {"password", {"PWD", "Password"}},    {"sslmode", {"SSLmode"}}};

}  // namespace

PostgresParameters PostgresParametersFromOdbc(const std::string& odbcConnectionString,
                                              const std::string& applicationName) {
    const ConnectionAttributes attributes = ParseConnectionAttributes(odbcConnectionString);
    PostgresParameters parameters;
    for (const auto& [keyword, names] : kOdbcNames) {
        // The driver takes the last of the names given (options come after
        // the server's own settings), so this session reaches the same server.
        std::string value;
        for (const auto& [name, given] : attributes) {
            if (std::any_of(names.begin(), names.end(), [&](const std::string& known) {
                    return strcasecmp(known.c_str(), name.c_str()) == 0;
                })) {
                value = given;
            }
        }
        if (!value.empty()) {
            parameters.emplace_back(keyword, value);
        }
    }
    // Of servers listed for fail-over only the primary: a standby grants
    // advisory locks of its own, and hears no notifications.
    parameters.insert(parameters.end(), {{"target_session_attrs", "primary"},
                                         {"connect_timeout", "5"},
                                         {"keepalives", "1"},
                                         {"keepalives_idle", "5"},
                                         {"keepalives_interval", "2"},
                                         {"keepalives_count", "2"},
                                         {"application_name", applicationName}});
    return parameters;
}

}  // namespace kps
