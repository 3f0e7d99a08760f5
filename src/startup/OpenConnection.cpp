#include "startup/OpenConnection.h"

#include "database/OdbcConnectionString.h"
#include "startup/ConnectionFactory.h"
#include "startup/DecryptText.h"
#include "text/Text.h"

namespace kps {

std::string BuildAdoConnectionString(const GeneralSetup& setup, const std::string& plainPassword) {
    // Quoted only when a value would otherwise break the string, so an
    // ordinary one is joined as it stands.
    return "Provider=SQLOLEDB.1;Password=" + QuoteConnectionValue(plainPassword) +
           ";Persist Security Info=True;User ID=" + QuoteConnectionValue(setup.UserID) +
           ";Initial Catalog=" + QuoteConnectionValue(setup.DatabaseName) +
           ";Data Source=" + QuoteConnectionValue(setup.ServerName);
}

std::string OdbcConnectionString(const GeneralSetup& setup) {
    return OdbcConnectionStringFromAdo(BuildAdoConnectionString(setup, setup.Password),
                                       setup.OdbcDriver, setup.OdbcOptions);
}

std::unique_ptr<Connection> OpenConnection(GeneralSetup& setup) {
    const std::string storedBytes = ToCodePage(setup.Password, setup.CodePage);
    setup.Password = FromCodePage(PlainPassword(storedBytes), setup.CodePage);
    return OpenDatabaseConnection(setup, BuildAdoConnectionString(setup, setup.Password));
}

}  // namespace kps
