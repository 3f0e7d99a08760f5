#include <gtest/gtest.h>

#include "output/PosPrinterRegistry.h"
#include "startup/GeneralSetup.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

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

}  // namespace kps::test
