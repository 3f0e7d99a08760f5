#include <gtest/gtest.h>

#include "startup/IniFile.h"
#include "startup/Text.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

class IniFileTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& bytes) {
        WriteBytes(file_, bytes);
        return file_;
    }

    TempFolder folder_;
    std::string file_ = folder_.File("GSetup.ini");
};

TEST_F(IniFileTest, MatchesSectionAndKeyWithoutRegardToCase) {
    Write("[generalsetup]\nSERVERNAME=db01\n[CompanySettings]\nsystemType=HQ\n");
    EXPECT_EQ(ReadIniValue("GeneralSetup", "ServerName", file_), "db01");
    EXPECT_EQ(ReadIniValue("COMPANYSETTINGS", "systemtype", file_), "HQ");
}

TEST_F(IniFileTest, DropsBlanksAroundTheValueAndOnePairOfQuotes) {
    Write(
        "[S]\n"
        "  Blanks =\t  two words \t\n"
        "Double=\"  quoted  \"\n"
        "Single='kept inside'\n"
        "Nested=\"\"twice\"\"\n"
        "Unmatched=\"open\n"
        "Mixed=\"a'\n"
        "Lone=\"\n");
    EXPECT_EQ(ReadIniValue("S", "Blanks", file_), "two words");
    EXPECT_EQ(ReadIniValue("S", "Double", file_), "  quoted  ");
    EXPECT_EQ(ReadIniValue("S", "Single", file_), "kept inside");
    EXPECT_EQ(ReadIniValue("S", "Nested", file_), "\"twice\"");
    EXPECT_EQ(ReadIniValue("S", "Unmatched", file_), "\"open");
    EXPECT_EQ(ReadIniValue("S", "Mixed", file_), "\"a'");
    EXPECT_EQ(ReadIniValue("S", "Lone", file_), "\"");
}

TEST_F(IniFileTest, ReadsCrLfAndLfLinesAndSkipsComments) {
    Write("; a comment\r\n[S]\r\n;Key=commented\r\nKey=value\r\nNext=x=y\nLast=end");
    EXPECT_EQ(ReadIniValue("S", "Key", file_), "value");
    EXPECT_EQ(ReadIniValue("S", "Next", file_), "x=y");
    EXPECT_EQ(ReadIniValue("S", "Last", file_), "end");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGiveEmptyText) {
    Write("[A]\nKey=a\nEmpty=\n[B]\nOther=b\n");
    EXPECT_EQ(ReadIniValue("A", "Key", folder_.File("none.ini")), "");
    EXPECT_EQ(ReadIniValue("C", "Key", file_), "");
    EXPECT_EQ(ReadIniValue("A", "Other", file_), "");
    EXPECT_EQ(ReadIniValue("B", "Key", file_), "");
    EXPECT_EQ(ReadIniValue("A", "Empty", file_), "");
}

TEST_F(IniFileTest, FirstKeyOfTheFirstMatchingSectionWins) {
    Write("[S]\nKey=first\nkey=second\n[T]\nKey=other\n[s]\nKey=third\nLate=late\n");
    EXPECT_EQ(ReadIniValue("S", "Key", file_), "first");
    EXPECT_EQ(ReadIniValue("T", "Key", file_), "other");
    EXPECT_EQ(ReadIniValue("S", "Late", file_), "");
}

TEST_F(IniFileTest, CutsLongValuesTo254Characters) {
    std::string ascii(300, 'x');
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        ascii[i] = static_cast<char>('a' + i % 26);
    }
    Write("[S]\nAscii=" + ascii + "\nAccents=" + std::string(300, '\xE9') + "\n");
    EXPECT_EQ(ReadIniValue("S", "Ascii", file_), ascii.substr(0, 254));

    // Characters, not bytes: each é takes two bytes in UTF-8.
    std::string accents = ReadIniValue("S", "Accents", file_);
    EXPECT_EQ(CharCount(accents), 254u);
    EXPECT_EQ(accents.substr(0, 2), "\xC3\xA9");
}

TEST_F(IniFileTest, ConvertsFromTheCodePage) {
    Write("[S]\nName=Caf\xE9\n");
    EXPECT_EQ(ReadIniValue("S", "Name", file_), "Caf\xC3\xA9");
    EXPECT_EQ(ReadIniValue("S", "Name", file_, 437), "Caf\xCE\x98");  // Θ
}

}  // namespace
}  // namespace kps::test
