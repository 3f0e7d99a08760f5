#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/EscPosDecoder.h"
#include "output/EscPosPaper.h"
#include "output/EscPosTranslator.h"
#include "output/LineRasterizer.h"
#include "output/PrinterEncoding.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

const std::string kFsOn = "\x1C&";
const std::string kFsOff = "\x1C.";

PrinterEncoding Named(const std::string& value, int tableNumber = -1) {
    return ParsePrinterEncoding("KITCHEN1", value, 1252, tableNumber);
}

// Job start and one line through a translator without raster lines.
std::string Printed(const std::string& encoding, const std::string& line,
                    std::vector<char32_t>* unprintable = nullptr) {
    TranslatorReport report;
    report.unprintable = [unprintable](char32_t c) {
        if (unprintable != nullptr) {
            unprintable->push_back(c);
        }
    };
    EscPosTranslator t(Named(encoding), nullptr, 576, report);
    return t.JobStart() + t.Translate(line);
}

TEST(PrinterEncodingTest, SingleBytePagesAreChosenWithEscT) {
    // ESC t 17 is PC866; Б о р щ are 81 AE E0 E9 there.
    EXPECT_EQ(Printed("pc866", "\x1b|1CБорщ 2\r\n"),
              "\x1b@\x1bt\x11\x1b!\x00\x81\xAE\xE0\xE9 2\r\n"s);
    // ESC t 18 is PC852; Ż is BD.
    EXPECT_EQ(Printed("PC852", "Żurek"), "\x1b@\x1bt\x12\xBDurek"s);
    // CodePageNumber replaces the table number of a printer that differs.
    EXPECT_EQ(EscPosTranslator(Named("WPC1251", 73), nullptr, 576, {}).JobStart(), "\x1b@\x1btI"s);
    EXPECT_EQ(Named(""), PrinterEncoding::OfCodePage(1252));
}

TEST(PrinterEncodingTest, HebrewAndArabicGoOutInVisualOrderWithTheirNumbers) {
    // "2 שניצל 150" in PC862 (ESC t 36): the name turned round, the numbers kept.
    EXPECT_EQ(Printed("PC862", "2 \u05E9\u05E0\u05D9\u05E6\u05DC 150\r\n"),
              "\x1b@\x1bt\x24"
              "2 150 \x8C\x96\x89\x90\x99\r\n"s);
    // "1 شاي 20" in PC864 (ESC t 37): joined forms, yeh (FD) alef (A8) sheen (D4).
    EXPECT_EQ(Printed("PC864", "1 \u0634\u0627\u064A 20\r\n"),
              "\x1b@\x1bt\x25"
              "1 20 \xFD\xA8\xD4\r\n"s);
}

TEST(PrinterEncodingTest, DoubleByteTextIsFramedByFsAmpersandAndFsDot) {
    EXPECT_EQ(Printed("GB18030", "2 麻婆豆腐 é\r\n"),
              "\x1b@\x1bt\x10"
              "2 " +
                  kFsOn + "\xC2\xE9\xC6\xC5\xB6\xB9\xB8\xAF" + kFsOff + " \xE9\r\n");
    EXPECT_EQ(Printed("Big5", "牛肉麵"),
              "\x1b@\x1bt\x10" + kFsOn + "\xA4\xFB\xA6\xD7\xC4\xD1" + kFsOff);
    EXPECT_EQ(Printed("ks x 1001", "불고기"),
              "\x1b@\x1bt\x10" + kFsOn + "\xBA\xD2\xB0\xED\xB1\xE2" + kFsOff);
    // Shift_JIS is selected with FS C 1 at the start of the job.
    EXPECT_EQ(Printed("Shift_JIS", "寿司"),
              "\x1b@\x1bt\x10\x1C\x43\x01" + kFsOn + "\x8E\xF5\x8E\x69" + kFsOff);
}

TEST(PrinterEncodingTest, ACharacterThatFitsNowhereIsOneQuestionMarkAndIsReported) {
    std::vector<char32_t> unprintable;
    EXPECT_EQ(Printed("PC437", "Tom ยำ!", &unprintable),
              "\x1b@\x1bt\x00Tom ?"
              "?!"s);
    EXPECT_EQ(unprintable, (std::vector<char32_t>{U'\u0E22', U'\u0E33'}));
    unprintable.clear();
    EXPECT_EQ(Printed("GB18030", "ยำ", &unprintable), "\x1b@\x1bt\x10??"s);
    EXPECT_EQ(unprintable.size(), 2u);
}

TEST(PrinterEncodingTest, AnUnknownValueNamesTheDeviceAndTheValidValues) {
    try {
        Named("UTF-8");
        FAIL() << "UTF-8 was taken";
    } catch (const KpsError& error) {
        EXPECT_EQ(error.Number(), kErrSettings);
        const std::string text = error.Description();
        EXPECT_NE(text.find("KITCHEN1"), std::string::npos) << text;
        EXPECT_NE(text.find("UTF-8"), std::string::npos) << text;
        EXPECT_NE(text.find(EncodingNames()), std::string::npos) << text;
    }
    EXPECT_NE(EncodingNames().find("RASTER, AUTO"), std::string::npos);
    EXPECT_THROW(Named("auto PC866"), KpsError);
    const PrinterEncoding autoChinese = Named("Auto GB18030");
    EXPECT_EQ(autoChinese.mode, EncodingMode::Auto);
    EXPECT_EQ(autoChinese.doubleByte, "GB18030");
}

TEST(PrinterEncodingTest, AutoPrintsALineAsTextWhenItFitsAndDrawsItWhenNot) {
    LineRasterizer rasterizer("");
    ASSERT_TRUE(rasterizer.HasFont());
    EscPosTranslator t(Named("auto"), &rasterizer, 576, {});
    EXPECT_EQ(t.Translate("\x1b|1CSoup\r\n"), "\x1b!\x00Soup\r\n"s);
    // With a double-byte set, what the font has stays text.
    EscPosTranslator chinese(Named("auto GB18030"), &rasterizer, 576, {});
    EXPECT_EQ(chinese.Translate("麻 1\r\n"), kFsOn + "\xC2\xE9" + kFsOff + " 1\r\n");
    const std::string drawn = t.Translate("\x1b|cA\x1b|4Cต้มยำ\r\n");
    // The commands (centring the image on the printer), then the image of
    // the ink alone, far narrower than the 72 bytes of the paper, 60 rows
    // for double height; then the alignment ends with the line.
    const std::string head = "\x1b\x61\x01\x1b!\x30\x1dv0\x00"s;
    ASSERT_GE(drawn.size(), head.size() + 4);
    EXPECT_EQ(drawn.substr(0, head.size()), head);
    const RasterImage image = RasterImageOf(drawn.substr(head.size() - 4));
    EXPECT_GT(image.widthBytes, 0);
    EXPECT_LT(image.widthBytes, 36);
    EXPECT_EQ(image.height, 60);
    EXPECT_EQ(drawn.substr(head.size() + 4 + image.dots.size()), "\x1b\x61\x00"s);
}

TEST(PrinterEncodingTest, WithoutAFontARasterLinePrintsInThePageAndSaysSoOnce) {
    int noFont = 0;
    int unprintable = 0;
    TranslatorReport report{[&](char32_t) { ++unprintable; }, [&] { ++noFont; }};
    EscPosTranslator t(Named("raster"), nullptr, 576, report);
    EXPECT_EQ(t.Translate("Pho \u1EDF\r\nBun\r\n"), "Pho ?\r\nBun\r\n");
    EXPECT_EQ(noFont, 1);
    EXPECT_EQ(unprintable, 0);
}

TEST(PrinterEncodingTest, DecoderAndPaperReadDoubleByteTextAndImages) {
    const std::string bytes = kFsOn + "\xC2\xE9\xC6\xC5\xB6\xB9\xB8\xAF" + kFsOff + "\n" +
                              "\x1dv0\x00\x02\x00\x01\x00\xFF\x00"s;
    EXPECT_EQ(DecodeEscPos(bytes), "麻婆豆腐\n[raster 16x1]\n");
    EXPECT_EQ(DecodeEscPos("\x1C\x43\x01" + kFsOn + "\x8E\xF5" + kFsOff), "寿");
    EXPECT_EQ(DecodeEscPos(kFsOn + "\xA4\xFB" + kFsOff, "Big5"), "牛");
    // Five columns hold two wide characters; the third starts a new line whole.
    const std::vector<PaperLine> paper = ReadEscPosPaper(bytes, 5);
    ASSERT_EQ(paper.size(), 3u);
    EXPECT_EQ(paper[0].Text(), "麻婆");
    EXPECT_EQ(paper[1].Text(), "豆腐");
    EXPECT_EQ(paper[2].image.widthBytes, 2);
    EXPECT_TRUE(paper[2].image.Dot(7, 0));
    EXPECT_FALSE(paper[2].image.Dot(8, 0));
}

}  // namespace
}  // namespace kps::test
