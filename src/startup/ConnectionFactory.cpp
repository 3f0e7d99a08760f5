#include "startup/ConnectionFactory.h"

#include <strings.h>

#include <filesystem>

#include "database/OdbcConnection.h"
#include "database/OdbcConnectionString.h"
#include "database/SqliteConnection.h"
#include "text/Text.h"

namespace kps {

std::string SqliteDatabaseFile(const GeneralSetup& setup) {
    if (strcasecmp(Trim(setup.Database).c_str(), "SQLite") != 0) {
        return "";
    }
    std::filesystem::path file(setup.DatabaseName);
    if (file.is_relative()) {
        file = std::filesystem::path(setup.SettingsFolder()) / file;
    }
    return file.string();
}

std::unique_ptr<Connection> OpenDatabaseConnection(const GeneralSetup& setup,
                                                   const std::string& adoConnectionString) {
    const std::string file = SqliteDatabaseFile(setup);
    if (!file.empty()) {
        return std::make_unique<SqliteConnection>(file);
    }
    return std::make_unique<OdbcConnection>(
        OdbcConnectionStringFromAdo(adoConnectionString, setup.OdbcDriver, setup.OdbcOptions));
}

}  // namespace kps
