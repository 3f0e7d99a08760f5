#include <gtest/gtest.h>

#include <cstdlib>

#include "database/OdbcConnectionString.h"
#include "startup/ConnectionFactory.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

const std::string kAdo =
    "Provider=SQLOLEDB.1;Password=s3cret;Persist Security Info=True;User ID=sa;"
    "Initial Catalog=POSDB;Data Source=KITCHENSRV";

TEST(OdbcConnectionStringTest, TranslatesTheOleDbKeywordsForTheDriver) {
    EXPECT_EQ(OdbcConnectionStringFromAdo(kAdo, "", ""),
              "DRIVER={FreeTDS};PWD=s3cret;UID=sa;DATABASE=POSDB;SERVER=KITCHENSRV;"
              "TDS_Version=7.4;Port=1433;");
    EXPECT_EQ(OdbcConnectionStringFromAdo(kAdo, "freetds", "TDS_Version=7.3;port=1533"),
              "DRIVER={freetds};PWD=s3cret;UID=sa;DATABASE=POSDB;SERVER=KITCHENSRV;"
              "TDS_Version=7.3;port=1533;");
    // A named driver takes the options and no server defaults.
    EXPECT_EQ(OdbcConnectionStringFromAdo(kAdo, " PostgreSQL Unicode ",
                                          "Port=5432;ConnSettings=SET search_path TO s1;"),
              "DRIVER={PostgreSQL Unicode};PWD=s3cret;UID=sa;DATABASE=POSDB;SERVER=KITCHENSRV;"
              "Port=5432;ConnSettings=SET search_path TO s1;");
    // An option naming a translated key replaces it; the driver is the setting's alone.
    EXPECT_EQ(OdbcConnectionStringFromAdo(kAdo, "SQLite3", "database=/tmp/x.db;Driver={Other}"),
              "DRIVER={SQLite3};PWD=s3cret;UID=sa;SERVER=KITCHENSRV;database=/tmp/x.db;");
    // A server with an instance or a port gets no default port.
    std::string ado = "Provider=SQLOLEDB.1;Password=;User ID=;Initial Catalog=D;Data Source=";
    EXPECT_EQ(OdbcConnectionStringFromAdo(ado + "SRV\\SQL1", "", ""),
              "DRIVER={FreeTDS};PWD=;UID=;DATABASE=D;SERVER=SRV\\SQL1;TDS_Version=7.4;");
    EXPECT_EQ(OdbcConnectionStringFromAdo(ado + "10.0.0.5,1500", "", ""),
              "DRIVER={FreeTDS};PWD=;UID=;DATABASE=D;SERVER=10.0.0.5,1500;TDS_Version=7.4;");
}

TEST(OdbcConnectionStringTest, BracesValuesThatWouldBreakTheString) {
    std::string ado = "Password=\"a;b}c\";User ID=' lead';Connect Timeout=30;junk;Provider=X";
    EXPECT_EQ(OdbcConnectionStringFromAdo(ado, "SQLite3", ""),
              "DRIVER={SQLite3};PWD={a;b}}c};UID={ lead};Connect Timeout=30;");
}

TEST(OdbcConnectionStringTest, QuotesOnlyValuesThatNeedIt) {
    EXPECT_EQ(QuoteConnectionValue("plain pass"), "plain pass");
    EXPECT_EQ(QuoteConnectionValue(""), "");
    EXPECT_EQ(QuoteConnectionValue("a;b"), "{a;b}");
    EXPECT_EQ(QuoteConnectionValue("}x}"), "{}}x}}}");
    EXPECT_EQ(QuoteConnectionValue("{"), "{{}");
    EXPECT_EQ(QuoteConnectionValue(" lead"), "{ lead}");
    EXPECT_EQ(QuoteConnectionValue("trail "), "{trail }");
    EXPECT_EQ(QuoteConnectionValue("'q"), "{'q}");
    for (const std::string value : {"a;b}}c{", " x ", "}", "\"q\"", "k=v"}) {
        EXPECT_EQ(ParseConnectionAttributes("PWD=" + QuoteConnectionValue(value) + ";UID=u"),
                  (ConnectionAttributes{{"PWD", value}, {"UID", "u"}}));
    }
}

// Logins over TCP check the password, so only the exact one gets in.
TEST(OdbcConnectionStringTest, ServerAcceptsAPasswordWithSemicolonsAndBraces) {
    if (!TestDatabase::IsAvailable(Backend::Postgres)) {
        GTEST_SKIP() << "PostgreSQL is not started here";
    }
    TestDatabase database(Backend::Postgres);
    GeneralSetup setup = database.Setup();
    const char* user = std::getenv("KPS_TEST_PG_ODD_USER");
    const char* password = std::getenv("KPS_TEST_PG_ODD_PASSWORD");
    ASSERT_TRUE(user != nullptr && password != nullptr) << "scripts/lib/postgres.sh sets them";
    setup.UserID = user;
    setup.Password = password;
    ASSERT_NE(setup.Password.find_first_of(";}"), std::string::npos);
    auto connection = OpenDatabaseConnection(setup, AdoConnectionString(setup));
    EXPECT_EQ(connection->Query("SELECT current_user").rows.at(0).at(0).AsText(), setup.UserID);

    setup.Password.pop_back();
    EXPECT_THROW(OpenDatabaseConnection(setup, AdoConnectionString(setup)), KpsError);
}

TEST(OdbcConnectionStringTest, ParsesQuotedAndBracedValues) {
    auto attributes = ParseConnectionAttributes(
        " Key1 = plain ;K2={x;y}}z};K3='it''s';K4=\"q\"\"q\";noequals;K5=");
    ConnectionAttributes expected{
        {"Key1", "plain"}, {"K2", "x;y}z"}, {"K3", "it's"}, {"K4", "q\"q"}, {"K5", ""}};
    EXPECT_EQ(attributes, expected);
    EXPECT_EQ(FindConnectionAttribute(attributes, "k3"), "it's");
    EXPECT_EQ(FindConnectionAttribute(attributes, "missing"), "");
    EXPECT_EQ(ParseConnectionAttributes(FormatConnectionAttributes(attributes)), attributes);
}

TEST(OdbcConnectionStringTest, ScrubsEveryFormOfThePassword) {
    EXPECT_EQ(ScrubPassword("DRIVER={X};pwd=s3cret;UID=sa", "s3cret"),
              "DRIVER={X};pwd=****;UID=sa");
    EXPECT_EQ(ScrubPassword("Password={a;b};User ID=sa", "a;b"), "Password=****;User ID=sa");
    EXPECT_EQ(ScrubPassword("login failed for s3cret and s3cret", "s3cret"),
              "login failed for **** and ****");
    EXPECT_EQ(ScrubPassword("PWD=other", ""), "PWD=****");
    EXPECT_EQ(ScrubPassword("PWD={a}}b;c};UID=sa", ""), "PWD=****;UID=sa");
    EXPECT_EQ(ScrubPassword("nothing to hide", "s3cret"), "nothing to hide");
}

}  // namespace
}  // namespace kps::test
