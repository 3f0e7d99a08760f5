#include <gtest/gtest.h>

#include "startup/IniFile.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/Text.h"

namespace kps::test {
namespace {

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder folder_;
    std::string file_ = folder_.File("GSetup.ini");
};

TEST_F(IniFileTest, FindsValuesByCaseFreeSectionAndKeyAndUnquotesThem) {
    WriteBytes(file_,
               "; a comment\r\n[generalsetup]\r\nSERVERNAME=db01\r\n;Key=commented\r\n"
               "Next=x=y\r\n[S]\n"
               "  Blanks =\t  two words \t\n"
               "Double=\"  quoted  \"\n"
               "Single='kept inside'\n"
               "Nested=\"\"twice\"\"\n"
               "Unmatched=\"open\n"
               "Mixed=\"a'\n"
               "Lone=\"\n"
               "Key=first\nkey=second\nEmpty=\n"
               "[s]\nKey=third\nLate=late\n[T]\nKey=other\nLast=end");
    EXPECT_EQ(ReadIniValue("GeneralSetup", "ServerName", file_), "db01");
    EXPECT_EQ(ReadIniValue("GENERALSETUP", "Key", file_), "");  // commented out
    EXPECT_EQ(ReadIniValue("GeneralSetup", "Next", file_), "x=y");
    EXPECT_EQ(ReadIniValue("S", "Blanks", file_), "two words");
    EXPECT_EQ(ReadIniValue("S", "Double", file_), "  quoted  ");
    EXPECT_EQ(ReadIniValue("S", "Single", file_), "kept inside");
    EXPECT_EQ(ReadIniValue("S", "Nested", file_), "\"twice\"");
    EXPECT_EQ(ReadIniValue("S", "Unmatched", file_), "\"open");
    EXPECT_EQ(ReadIniValue("S", "Mixed", file_), "\"a'");
    EXPECT_EQ(ReadIniValue("S", "Lone", file_), "\"");
    EXPECT_EQ(ReadIniValue("S", "Key", file_),
              "first");  // the first key of the first matching section wins
    EXPECT_EQ(ReadIniValue("S", "Late", file_), "");
    EXPECT_EQ(ReadIniValue("S", "Empty", file_), "");
    EXPECT_EQ(ReadIniValue("T", "Key", file_), "other");
    EXPECT_EQ(ReadIniValue("T", "Last", file_), "end");
    EXPECT_EQ(ReadIniValue("T", "Blanks", file_), "");
    EXPECT_EQ(ReadIniValue("Missing", "Key", file_), "");
    EXPECT_EQ(ReadIniValue("S", "Key", folder_.File("none.ini")), "");
}

TEST_F(IniFileTest, CutsLongValuesTo254CharactersOfTheCodePage) {
    std::string ascii(300, 'x');
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        ascii[i] = static_cast<char>('a' + i % 26);
    }
    WriteBytes(file_, "[S]\nAscii=" + ascii + "\nAccents=" + std::string(300, '\xE9') +
                          "\nName=Caf\xE9\n");
    EXPECT_EQ(ReadIniValue("S", "Ascii", file_), ascii.substr(0, 254));

    // Characters, not bytes: each é takes two bytes in UTF-8.
    std::string accents = ReadIniValue("S", "Accents", file_);
    EXPECT_EQ(CharCount(accents), 254u);
    EXPECT_EQ(accents.substr(0, 2), "\xC3\xA9");

    EXPECT_EQ(ReadIniValue("S", "Name", file_), "Caf\xC3\xA9");
    EXPECT_EQ(ReadIniValue("S", "Name", file_, 437), "Caf\xCE\x98");  // Θ
}

}  // namespace
}  // namespace kps::test
