#include <gtest/gtest.h>

#include <string>

#include "output/EscPosPaper.h"
#include "output/LineRasterizer.h"

namespace kps::test {
namespace {

// Where the ink of an image begins and ends across, -1 when it has none.
std::pair<int, int> InkSpan(const RasterImage& image) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.widthBytes * 8; ++x) {
        for (int y = 0; y < image.height; ++y) {
            if (image.Dot(x, y)) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

class LineRasterizerTest : public ::testing::Test {
  protected:
    LineRasterizer rasterizer{""};
};

TEST_F(LineRasterizerTest, TheImageIsAsHighAsTheTextSize) {
    ASSERT_TRUE(rasterizer.HasFont());
    EXPECT_EQ(rasterizer.Draw({{"Soup 麻婆", 1, 1}}, PaperAlign::Left, 576).height, 30);
    EXPECT_EQ(rasterizer.Draw({{"Soup ", 1, 1}, {"麻婆", 2, 2}}, PaperAlign::Left, 576).height, 60);
    // Double width draws twice as wide.
    const auto single = InkSpan(rasterizer.Draw({{"ABC", 1, 1}}, PaperAlign::Left, 576));
    const auto wide = InkSpan(rasterizer.Draw({{"ABC", 2, 1}}, PaperAlign::Left, 576));
    EXPECT_NEAR(wide.second - wide.first, 2 * (single.second - single.first), 4);
}

TEST_F(LineRasterizerTest, NothingPassesTheEdgeOfThePaper) {
    const std::string longLine(120, 'W');
    for (int paper : {576, 384, 100}) {
        for (PaperAlign align : {PaperAlign::Left, PaperAlign::Centre, PaperAlign::Right}) {
            const RasterImage image = rasterizer.Draw({{longLine, 2, 1}}, align, paper);
            EXPECT_LE(image.widthBytes * 8, paper);
            EXPECT_EQ(image.dots.size(), static_cast<std::size_t>(image.widthBytes * image.height));
        }
    }
}

TEST_F(LineRasterizerTest, ABlankLineGivesNoImage) {
    EXPECT_TRUE(rasterizer.Draw({{"   ", 1, 1}}, PaperAlign::Centre, 576).Empty());
    EXPECT_TRUE(rasterizer.Draw({}, PaperAlign::Left, 576).Empty());
}

// Where the ink begins and ends on paper 576 dots wide once the printer has
// justified the image as the line asks.
std::pair<int, int> InkOnPaper(const RasterImage& image, PaperAlign align) {
    PaperLine line;
    line.align = align;
    line.image = image;
    const int left = line.ImageLeft(576);
    const auto [first, last] = InkSpan(image);
    return {left + first, left + last};
}

TEST_F(LineRasterizerTest, ACentredLineIsCentredWithinOneDotAndSentAsItsInkOnly) {
    for (const char* text : {"麻婆豆腐", "ต้มยำกุ้ง", "\u0634\u0627\u064A 20", "Fish & Chips"}) {
        const RasterImage image = rasterizer.Draw({{text, 1, 2}}, PaperAlign::Centre, 576);
        const auto [first, last] = InkOnPaper(image, PaperAlign::Centre);
        ASSERT_GE(first, 0) << text;
        EXPECT_LE(std::abs(first - (575 - last)), 1) << text;
        // No whole byte of blank columns on either side.
        const auto [inkFirst, inkLast] = InkSpan(image);
        EXPECT_LT(inkFirst, 8) << text;
        EXPECT_GT(inkLast, image.widthBytes * 8 - 9) << text;
    }
    // A right line ends at the paper's edge; a left one starts at its start.
    EXPECT_EQ(
        InkOnPaper(rasterizer.Draw({{"Tea", 1, 1}}, PaperAlign::Right, 576), PaperAlign::Right)
            .second,
        575);
    EXPECT_LT(InkSpan(rasterizer.Draw({{"Tea", 1, 1}}, PaperAlign::Left, 576)).first, 4);
}

TEST_F(LineRasterizerTest, ALineFarLongerThanThePaperDrawsAsItsStartDoes) {
    const std::string start = "Pad Thai \u0E1C\u0E31\u0E14\u0E44\u0E17\u0E22 ";
    std::string endless;
    std::string tenTimes;  // already some paper widths long
    while (endless.size() < 100000) {
        endless += start;
        tenTimes += tenTimes.size() < 10 * start.size() ? start : "";
    }
    for (PaperAlign align : {PaperAlign::Left, PaperAlign::Centre}) {
        const RasterImage drawn = rasterizer.Draw({{endless, 2, 2}}, align, 576);
        EXPECT_LE(drawn.widthBytes * 8, 576);
        EXPECT_EQ(drawn.dots, rasterizer.Draw({{tenTimes, 2, 2}}, align, 576).dots);
    }
}

}  // namespace
}  // namespace kps::test
