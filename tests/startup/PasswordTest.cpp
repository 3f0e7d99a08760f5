#include <gtest/gtest.h>

#include <random>
#include <set>

#include "startup/DecryptText.h"
#include "startup/EncryptText.h"
#include "startup/IniFile.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"
#include "text/Text.h"

namespace kps::test {
namespace {

// Scrambles by hand: keys K1 K2 K3, body, K4.
std::string Scramble(const std::string& plain, const std::string& keys) {
    std::string out = keys.substr(0, 3);
    for (std::size_t j = 0; j < plain.size(); ++j) {
        out += static_cast<char>(static_cast<unsigned char>(plain[j]) +
                                 static_cast<unsigned char>(keys[j % 4]));
    }
    return out + keys[3];
}

TEST(DecryptTextTest, SubtractsTheFourKeysInTurnAndRejectsWhatCannotBeDecoded) {
    EXPECT_EQ(DecryptText("ABC\xA9\xA7\xAF\xB0\xB0\x44"), "hello");  // h+A, e+B, l+C, l+D, o+A
    EXPECT_EQ(DecryptText(Scramble("\xE9t\xE9 \x01", "\x05!\x10\x02")), "\xE9t\xE9 \x01");
    EXPECT_EQ(DecryptText("AAAAA"), std::string(1, '\0'));
    EXPECT_EQ(DecryptText("abc"), "");
    EXPECT_EQ(DecryptText("abcd"), "");
    // Too short, or a body byte below its key (the first, the third).
    for (const char* bad : {"", "ab", "BBBAB", "AAAzz@A"}) {
        EXPECT_EQ(DecryptText(bad), kInvalidDecryptText) << bad;
    }
}

TEST(DecryptTextTest, PlainPasswordDropsTheElevenFillerCharacters) {
    EXPECT_EQ(PlainPassword(Scramble("elevencharss3cret", "!#%&")), "s3cret");
    EXPECT_EQ(PlainPassword(Scramble("elevenchars", "!#%&")), "");
    EXPECT_EQ(PlainPassword(Scramble("ten chars!", "!#%&")), "");
    EXPECT_EQ(PlainPassword("abc"), "");
    // An undecodable text keeps the tail of the error text, and the login fails.
    EXPECT_EQ(PlainPassword("x"), "lid text to Decrypt");
}

TEST(EncryptTextTest, RandomPasswordsSurviveTheSettingsFileAndDecodeBack) {
    TempFolder folder;
    const std::string ini = folder.File("GSetup.ini");
    std::mt19937 rng(20261207);
    std::set<std::string> formsOfOnePassword;
    for (int i = 0; i < 20; ++i) {
        formsOfOnePassword.insert(EncryptText("secret", rng));
    }
    EXPECT_GT(formsOfOnePassword.size(), 15u) << "keys and filler must be random";

    for (int codePage : {1252, 28591, 850}) {
        for (int round = 0; round < 100; ++round) {
            std::uniform_int_distribution<int> length(0, 40);
            std::uniform_int_distribution<int> byte(0x01, 0xBF);
            std::string bytes;
            for (int n = length(rng); n > 0; --n) {
                bytes += static_cast<char>(byte(rng));
            }
            const std::string password = FromCodePage(bytes, codePage);

            const std::string stored = EncryptText(password, rng, codePage);
            SCOPED_TRACE("code page " + std::to_string(codePage) + ", password " + password);
            ASSERT_EQ(stored.size(), bytes.size() + 15);
            for (char c : stored) {
                ASSERT_TRUE(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
            }
            for (char end : {stored.front(), stored.back()}) {
                EXPECT_NE(end, ' ');
                EXPECT_NE(end, '"');
                EXPECT_NE(end, '\'');
            }
            EXPECT_EQ(PlainPassword(stored), bytes);

            WriteBytes(ini, "[GeneralSetup]\r\nPassword=" + stored + "\r\n");
            EXPECT_EQ(ToCodePage(ReadIniValue("GeneralSetup", "Password", ini, codePage), codePage),
                      stored);
        }
    }
}

TEST(EncryptTextTest, RefusesPasswordsTheStoredFormCannotHold) {
    std::mt19937 rng(1);
    auto refused = [&](const std::string& password, int codePage) {
        try {
            EncryptText(password, rng, codePage);
        } catch (const KpsError& error) {
            return error.Number() == kErrSettings;
        }
        return false;
    };
    EXPECT_TRUE(refused("caf\xC3\xBF", 1252));    // ÿ is 0xFF: no printable key fits
    EXPECT_TRUE(refused("\xE2\x82\xAC", 28591));  // € is not in ISO 8859-1
    EXPECT_TRUE(refused(std::string(240, 'a'), 1252));
    EXPECT_FALSE(refused(std::string(239, 'a'), 1252));
    EXPECT_FALSE(refused("\xE2\x82\xAC", 1252));
    EXPECT_FALSE(refused("\xC3\x9E", 1252));  // Þ (0xDE) leaves K4 exactly one choice
}

}  // namespace
}  // namespace kps::test
