#include "tickets/TicketPreview.h"

#include <gtest/gtest.h>

#include "output/LineRasterizer.h"
#include "tickets/SentTicketBytes.h"

namespace kps::test {
namespace {

// A raster printer's ticket of one line, drawn in `font` as RasterFont names it.
PreviewTicket RasterTicket(const std::string& font) {
    PreviewTicket ticket;
    ticket.job.printingType = "O";
    ticket.job.lines = {"\x1b|1CPad Thai\r\n"};
    ticket.job.codes.CodeFeedCut = "\x1b|fP";
    ticket.printer.encoding = ParsePrinterEncoding("WOK", "raster", 1252, -1);
    ticket.rasterFont = font;
    return ticket;
}

TEST(TicketPreviewTest, DrawsLinesInTheFontTheServerDrawsThemIn) {
    for (const char* font : {"DejaVu Serif", "DejaVu Sans Mono"}) {
        const PreviewTicket ticket = RasterTicket(font);
        LineRasterizer printers(font);
        EXPECT_EQ(PreviewBytes(ticket), SentTicketBytes(ticket.job, ticket.printer, &printers))
            << font;
    }
    EXPECT_NE(PreviewBytes(RasterTicket("DejaVu Serif")),
              PreviewBytes(RasterTicket("DejaVu Sans Mono")));
}

}  // namespace
}  // namespace kps::test
