#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "tickets/LayoutFile.h"

namespace kps::test {
namespace {

class LayoutFileTest : public ::testing::Test {
  protected:
    LayoutFile ReadText(const std::string& text) {
        const std::string path = folder_.File("Kit001.ini");
        WriteBytes(path, text);
        return LayoutFile::Read(path, 1252);
    }

    TempFolder folder_;
};

TEST_F(LayoutFileTest, ReadsEveryKey) {
    const LayoutFile layout = ReadText(
        "[BODY]\r\nFont=3\r\nFormat=4\r\nPosDescriptionLine=ItemName\r\n"
        "PosDescriptionLine1=PosDescription1\r\nPosDescriptionLine2=PosDescription2\r\n"
        "PosDescriptionLine3=BasedMeasure\r\nSkipline=Y\r\n"
        "[GENERAL]\r\nRowPerLine=32\r\n"
        "[HEADER]\r\nL1=0C4=KITCHEN\r\nL2=X\r\nL10=1L1=Table [VarTableNo]\r\n"
        "[FOOTER]\r\nL3=0L1=END\r\n");
    EXPECT_EQ(layout.BodyFont, 3);
    EXPECT_EQ(layout.Format, 4);
    EXPECT_EQ(layout.PosDescriptionLine, "ItemName");
    EXPECT_EQ(layout.PosDescriptionLine1, "PosDescription1");
    EXPECT_EQ(layout.PosDescriptionLine2, "PosDescription2");
    EXPECT_EQ(layout.PosDescriptionLine3, "BasedMeasure");
    EXPECT_TRUE(layout.Skipline);
    EXPECT_EQ(layout.RowPerLine, 32);
    EXPECT_EQ(layout.HeaderLines,
              (std::vector<std::string>{"0C4=KITCHEN", "1L1=Table [VarTableNo]"}));
    EXPECT_EQ(layout.FooterLines, (std::vector<std::string>{"0L1=END"}));
}

TEST_F(LayoutFileTest, BadValuesFallBack) {
    struct Case {
        std::string rowPerLine;
        int width;
    };
    for (const Case& c :
         {Case{"0", 40}, Case{"abc", 40}, Case{"", 40}, Case{"-5", 40}, Case{"48", 48}}) {
        EXPECT_EQ(ReadText("[GENERAL]\r\nRowPerLine=" + c.rowPerLine + "\r\n").RowPerLine, c.width)
            << c.rowPerLine;
    }
    for (const std::string font : {"7", "0", "x", "", "1"}) {
        EXPECT_EQ(ReadText("[BODY]\r\nFont=" + font + "\r\n").BodyFont, 1) << font;
    }
    EXPECT_EQ(ReadText("[BODY]\r\nFormat=two\r\n").Format, 0);
    EXPECT_FALSE(ReadText("[BODY]\r\nSkipline=y\r\n").Skipline);
}

TEST_F(LayoutFileTest, OnlyLinesStartingWithADigitArePrinted) {
    const LayoutFile layout = ReadText(
        "[HEADER]\r\nL1=X\r\nL2=\r\nL4=AL1=letter first\r\n"
        "L6=9L1=[VarTableNo]\r\nL11=0L1=beyond ten\r\n");
    EXPECT_EQ(layout.HeaderLines, (std::vector<std::string>{"9L1=[VarTableNo]"}));
    EXPECT_FALSE(IsEnabledLayoutLine("X0L1=x"));
    EXPECT_TRUE(IsEnabledLayoutLine("0"));
}

// The current folder first, then the settings file's folder; else the name.
TEST_F(LayoutFileTest, FindLayoutFileLooksInTheCurrentFolderThenBesideTheSettings) {
    const std::string settings = folder_.File("etc");
    std::filesystem::create_directory(settings);
    WriteBytes(settings + "/Kit001.ini", "");
    const std::string here = folder_.File("Kit001.ini");
    EXPECT_EQ(FindLayoutFile("Kit001.ini", settings), settings + "/Kit001.ini");
    EXPECT_EQ(FindLayoutFile("Kit002.ini", settings), "Kit002.ini");

    WriteBytes(here, "");
    EXPECT_EQ(FindLayoutFile(here, settings), here);
}

}  // namespace
}  // namespace kps::test
