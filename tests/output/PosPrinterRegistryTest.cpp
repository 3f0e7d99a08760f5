#include <gtest/gtest.h>

#include "output/PosPrinterRegistry.h"
#include "startup/GeneralSetup.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {

TEST(PosPrinterRegistryTest, ReadsEachDevicesSection) {
    TempFolder folder;
    const std::string file = folder.File("PosPrinters.ini");
    WriteBytes(file,
               "[KITCHEN1]\r\nHost=127.0.0.7\r\nPort=9101\r\n"
               "CodePage=850\r\nCutter=n\r\nConfirmPrinted=Y\r\n"
               "[BAR]\r\nPort=abc\r\nCodePage=999\r\nCutter=maybe\r\n");
    PosPrinterRegistry registry(file, 437);

    PosDevice kitchen = registry.Resolve("kitchen1", "10.0.0.1");
    EXPECT_EQ(kitchen.name, "kitchen1");
    EXPECT_EQ(kitchen.host, "127.0.0.7");
    EXPECT_EQ(kitchen.port, 9101);
    EXPECT_EQ(kitchen.codePage, 850);
    EXPECT_FALSE(kitchen.cutter);
    EXPECT_TRUE(kitchen.confirmPrinted);

    // Values that make no sense keep their defaults.
    PosDevice bar = registry.Resolve("BAR", "127.0.0.8");
    EXPECT_EQ(bar.host, "127.0.0.8");
    EXPECT_EQ(bar.port, 9100);
    EXPECT_EQ(bar.codePage, 437);
    EXPECT_TRUE(bar.cutter);
    EXPECT_FALSE(bar.confirmPrinted);
}

TEST(PosPrinterRegistryTest, ANameWithoutAnEntryIsReachedAtTheCheckedAddress) {
    GeneralSetup setup;
    TempFolder folder;
    setup.IniPath = folder.Path() + "/GSetup.ini";
    setup.CodePage = 850;
    PosPrinterRegistry registry = PosPrinterRegistry::BesideSettings(setup);
    EXPECT_EQ(registry.File(), folder.Path() + "/PosPrinters.ini");

    PosDevice device = registry.Resolve("GRILL", " 127.0.0.9 ");
    EXPECT_EQ(device.host, "127.0.0.9");
    EXPECT_EQ(device.port, 9100);
    EXPECT_EQ(device.codePage, 850);
    EXPECT_TRUE(device.cutter);
    EXPECT_FALSE(device.confirmPrinted);
}

TEST(PosPrinterRegistryTest, EncodingTakesThePlaceOfTheCodePage) {
    TempFolder folder;
    const std::string file = folder.File("PosPrinters.ini");
    WriteBytes(file,
               "[WOK]\r\nEncoding=gb18030\r\nCodePage=850\r\nPaperDots=384\r\n"
               "[BAR]\r\nEncoding=WPC1251\r\nCodePage=850\r\nCodePageNumber=73\r\n"
               "[GRILL]\r\nEncoding=Raster\r\n");
    const PosPrinterRegistry registry(file, 1252);
    registry.CheckEncodings();

    const PosDevice wok = registry.Resolve("WOK", "127.0.0.1");
    EXPECT_EQ(wok.encoding.mode, EncodingMode::DoubleByte);
    EXPECT_EQ(wok.encoding.doubleByte, "GB18030");
    EXPECT_EQ(wok.codePage, 850);  // single-byte text stays in the page
    EXPECT_EQ(wok.encoding.table, 2);
    EXPECT_EQ(wok.paperDots, 384);
    const PosDevice bar = registry.Resolve("BAR", "127.0.0.1");
    EXPECT_EQ(bar.codePage, 1251);
    EXPECT_EQ(bar.encoding.table, 73);
    EXPECT_EQ(registry.Resolve("grill", "127.0.0.1").encoding.mode, EncodingMode::Raster);
    EXPECT_EQ(registry.Resolve("OTHER", "127.0.0.1").encoding, PrinterEncoding::OfCodePage(1252));
}

TEST(PosPrinterRegistryTest, AnUnknownEncodingStopsTheStartWithTheDevicesName) {
    GeneralSetup setup;
    TempFolder folder;
    setup.IniPath = folder.Path() + "/GSetup.ini";
    WriteBytes(folder.File("PosPrinters.ini"),
               "[WOK]\r\nEncoding=GB18030\r\n[SUSHI]\r\nEncoding=UTF8\r\n");
    try {
        PosPrinterRegistry::BesideSettings(setup);
        FAIL() << "the unknown Encoding was taken";
    } catch (const KpsError& error) {
        EXPECT_NE(error.Description().find("SUSHI"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("SHIFT_JIS"), std::string::npos) << error.Description();
    }
}

}  // namespace kps::test
