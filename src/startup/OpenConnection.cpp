#include "startup/OpenConnection.h"

#include "startup/ConnectionFactory.h"
#include "startup/DecryptText.h"
#include "text/Text.h"

namespace kps {

std::string BuildAdoConnectionString(const GeneralSetup& setup, const std::string& plainPassword) {
    return "Provider=SQLOLEDB.1;Password=" + plainPassword +
           ";Persist Security Info=True;User ID=" + setup.UserID +
           ";Initial Catalog=" + setup.DatabaseName + ";Data Source=" + setup.ServerName;
}

std::unique_ptr<Connection> OpenConnection(GeneralSetup& setup) {
    const std::string storedBytes = ToCodePage(setup.Password, setup.CodePage);
    setup.Password = FromCodePage(PlainPassword(storedBytes), setup.CodePage);
    return OpenDatabaseConnection(setup, BuildAdoConnectionString(setup, setup.Password));
}

}  // namespace kps
