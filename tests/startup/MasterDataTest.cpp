#include <gtest/gtest.h>

#include <filesystem>

#include "CurrentFolder.h"
#include "startup/MasterData.h"
#include "support/FileBytes.h"
#include "support/TestDatabase.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

class MasterDataTest : public ::testing::Test {
  protected:
    void AddDevice(int code, const std::string& name, const std::string& fileSql) {
        db_.Exec("INSERT INTO Kelt_mt_Device (DeviceCode, DeviceName, WP_FileName) VALUES (" +
                 std::to_string(code) + ", '" + name + "', " + fileSql + ")");
    }
    void AddGroup(const std::string& code, const std::string& flagsSql) {
        db_.Exec("INSERT INTO Kelt_mt_PrinterGroup (PrinterGroupCode, RefPrinterGroup) VALUES ('" +
                 code + "', " + flagsSql + ")");
    }
    std::string Layout(const std::string& name) {
        std::string file = db_.Folder() + "/" + name;
        WriteBytes(file, "[Header]\n");
        return "'" + file + "'";
    }
    std::string Missing(const std::string& name) { return "'" + db_.Folder() + "/" + name + "'"; }

    TestDatabase db_;
};

TEST_F(MasterDataTest, OutletIsChosenByCodeOnlyForHq) {
    GeneralSetup setup;
    EXPECT_EQ(LoadOutlet(db_.Db(), setup), "");  // no outlet at all
    db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('A', 'XXO')");
    db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('B''s', 'OOX')");
    db_.Exec("INSERT INTO Kelt_mt_Outlet (OutletCode, RefOutlet) VALUES ('N', NULL)");

    setup.systemtype = "HQ";
    setup.OutletCode = "B's";
    EXPECT_EQ(LoadOutlet(db_.Db(), setup), "OOX");
    setup.OutletCode = "Z";
    EXPECT_EQ(LoadOutlet(db_.Db(), setup), "");
    setup.OutletCode = "N";
    EXPECT_EQ(LoadOutlet(db_.Db(), setup), "");

    // Anything but "HQ" exactly takes the first outlet, whatever the code.
    for (const char* type : {"hq", "", "Outlet"}) {
        setup.systemtype = type;
        EXPECT_EQ(LoadOutlet(db_.Db(), setup), "XXO") << type;
    }
}

// Only capital "O" flags count; a device of two groups is named twice;
// positions without a device row are skipped.
TEST_F(MasterDataTest, MissingLayoutsOfFlaggedDevicesAreNamed) {
    AddDevice(1, "Grill", Layout("grill.ini"));
    AddDevice(2, "Bar", Missing("bar.ini"));
    AddDevice(3, "Pastry", Missing("pastry.ini"));
    AddGroup("G1", "'XXO'");
    AddGroup("G2", "'xo0 '");
    AddGroup("G3", "''");
    EXPECT_EQ(LoadPrinterGroups(db_.Db(), ""), "Pastry,");

    AddGroup("G4", "'OXOXOO'");
    EXPECT_EQ(LoadPrinterGroups(db_.Db(), ""), "Pastry,Pastry,");
}

TEST_F(MasterDataTest, RelativeLayoutNamesAreFoundInTheCurrentFolderThenBesideTheSettings) {
    const std::string settings = db_.Folder() + "/etc";
    std::filesystem::create_directory(settings);
    WriteBytes(db_.Folder() + "/Kit001.ini", "");
    WriteBytes(settings + "/Kit002.ini", "");
    AddDevice(1, "Grill", "'Kit001.ini'");
    AddDevice(2, "Bar", "'Kit002.ini'");
    AddDevice(3, "Cook", "'Kit003.ini'");
    AddGroup("G1", "'OOO'");

    CurrentFolder here(db_.Folder());
    EXPECT_EQ(LoadPrinterGroups(db_.Db(), settings), "Cook,");
}

TEST_F(MasterDataTest, NullFlagsOrLayoutNameStopStartUpNamingTheCulprit) {
    AddGroup("HOT", "NULL");
    try {
        LoadPrinterGroups(db_.Db(), "");
        ADD_FAILURE() << "a Null RefPrinterGroup was accepted";
    } catch (const KpsError& error) {
        EXPECT_NE(error.Description().find("'HOT'"), std::string::npos) << error.Description();
    }

    db_.Exec("UPDATE Kelt_mt_PrinterGroup SET RefPrinterGroup='XO'");
    AddDevice(2, "Bar", "NULL");
    try {
        LoadPrinterGroups(db_.Db(), "");
        ADD_FAILURE() << "a Null WP_FileName was accepted";
    } catch (const KpsError& error) {
        EXPECT_NE(error.Description().find("device 2"), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace kps::test
