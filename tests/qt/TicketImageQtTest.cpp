#include "output/qt/TicketImageQt.h"

#include <gtest/gtest.h>

#include <regex>

#include "output/EscPosDecoder.h"
#include "output/EscPosPaper.h"

namespace kps::test {
namespace {

const std::string kEsc = "\x1b";
const std::string kGs = "\x1d";

// Init, a plain line, a double-height line, a red line, a centred line
// long enough to wrap on 20 columns, and the cut.
const std::string kTicket = kEsc + "@" + "Table 5\r\n" + kEsc + "!\x10" + "BIG\n" + kEsc + "!" +
                            std::string(1, '\0') + kEsc + "r\x01" + "RED LINE\n" + kEsc + "r" +
                            std::string(1, '\0') + kEsc + "a\x01" + "centred and long enough\n" +
                            kGs + "V" + std::string(1, '\0');

bool IsRed(QRgb pixel) {
    return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

bool IsDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// How many pixels of the rows [top, top + height) satisfy `test`.
template <typename Test>
int CountPixels(const QImage& image, int top, int height, Test test) {
    int count = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += test(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

TEST(TicketImageQtTest, StripHasOneRowPerLineRedWhereTheRedLineIsAndADashedCut) {
    const TicketImageQt drawer;
    const int columns = 20;
    const QImage image = drawer.DrawEscPos(kTicket, columns);
    const int row = drawer.RowHeight();
    const int m = TicketImageQt::kMargin;
    // Table 5, BIG (two rows), RED LINE, the centred text on two lines, the cut.
    EXPECT_EQ(image.height(), 2 * m + 7 * row);
    EXPECT_EQ(image.width(), 2 * m + columns * drawer.CellWidth());

    const int redTop = m + 3 * row;
    EXPECT_GT(CountPixels(image, redTop, row, IsRed), 0);
    EXPECT_EQ(CountPixels(image, 0, redTop, IsRed), 0);
    EXPECT_EQ(CountPixels(image, redTop + row, image.height() - redTop - row, IsRed), 0);

    const int cutY = m + 6 * row + row / 2;
    const int dark = CountPixels(image, cutY, 1, IsDark);
    EXPECT_GT(dark, image.width() / 3);
    EXPECT_LT(dark, image.width());  // dashes, not a solid rule
}

TEST(TicketImageQtTest, PaperTextIsTheDecodersTextWithoutItsMarkers) {
    std::string paper;
    for (const PaperLine& line : ReadEscPosPaper(kTicket, 80)) {
        if (!line.cut) {
            paper += line.Text() + "\n";
        }
    }
    EXPECT_EQ(paper, std::regex_replace(DecodeEscPos(kTicket), std::regex(R"(\[[^\]]*\])"), ""));
    EXPECT_EQ(ReadEscPosPaper(kTicket, 80)[3].align, PaperAlign::Centre);
}

TEST(TicketImageQtTest, PageShowsEachLineInItsColour) {
    const TicketImageQt drawer;
    SystemPrinterPage page;
    page.SetFontName("FONTB1X1");
    page.PrintLine("Table 5");
    page.SetColour(255, 0, 0);
    page.PrintLine("RED");
    const QImage image = drawer.DrawPage(page.Lines());
    ASSERT_EQ(page.Lines().size(), 2u);
    EXPECT_EQ(page.Lines()[1].text, "RED");
    EXPECT_GT(CountPixels(image, 0, image.height(), IsRed), 0);
    EXPECT_GT(CountPixels(image, 0, image.height(), IsDark), 0);
}

}  // namespace
}  // namespace kps::test
