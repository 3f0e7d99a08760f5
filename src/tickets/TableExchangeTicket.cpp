#include "tickets/TableExchangeTicket.h"

#include "reprint/ReprintLabel.h"
#include "text/KpsError.h"

namespace kps {

namespace {

constexpr const char* kCrLf = "\r\n";

// Grid columns of a notice row.
constexpr int kFirstRemark = 1;
constexpr int kLastPrintedRemark = 4;  // Remark5 is kept in the grid, never printed
constexpr int kFromTable = 6;
constexpr int kToTable = 7;
constexpr int kDate = 8;
constexpr int kTime = 9;

bool IsTextPath(const std::string& printingType) {
    return printingType == "O" || printingType == "D";
}

}  // namespace

void TableExchangeTicket::PrintTableExchangeTicket(int k, const std::string& noticeId) {
    const auto& grid = ctx_.ticket.PrtData;
    if (k < 0 || static_cast<std::size_t>(k) >= grid.size()) {
        throw KpsError(kErrNoCurrentRecord, "No notice in row " + std::to_string(k));
    }
    auto lines = ComposeLines(grid[static_cast<std::size_t>(k)]);
    // A device that may have printed this notice already says so after the
    // heading.
    const bool reprint = ctx_.records.MayBeOnPaper(NoticeCopyKey(noticeId, ctx_.device.DeviceName));
    if (reprint) {
        lines.insert(lines.begin() + 1, Line{"", "", 4, kReprintLabel});
    }

    ctx_.ticket.List3.clear();
    ctx_.ticket.RTF.clear();
    if (IsTextPath(ctx_.device.PrintingType)) {
        // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
        ctx_.ticket.OutputMode = std::string(1, 'O');
        WriteTextLines(lines);
        sending_.SendNotice(noticeId);
        return;
    }
    ctx_.ticket.OutputMode = std::string(1, 'W');
    ctx_.ticket.Page = SystemLines(lines);
    sending_.SendNotice(noticeId);
}

std::vector<TableExchangeTicket::Line> TableExchangeTicket::ComposeLines(
    const std::vector<std::string>& row) const {
    auto cell = [&row](int column) {
        auto index = static_cast<std::size_t>(column);
        return index < row.size() ? row[index] : std::string();
    };
    const PrinterCodes& codes = ctx_.codes;
    const std::string big = codes.FontCode4;
    const std::string normal = codes.FontCode1;

    auto line = [](std::string lineCodes, std::string text, int fontSlot) {
        return Line{std::move(lineCodes), text, fontSlot, text};
    };

    // The blank second line is a bare line end on the text path and a
    // printed line end on a system printer.
    std::vector<Line> lines = {
        line(big + codes.CodeCentre, "*TABLE EXCHANGE*", 4),
        Line{"", "", 4, kCrLf},
        line(big, "From -> " + cell(kFromTable), 4),
        line(big, "To   -> " + cell(kToTable), 4),
        line(big, "", 4),
    };
    for (int column = kFirstRemark; column <= kLastPrintedRemark; ++column) {
        if (!cell(column).empty()) {
            lines.push_back(line(normal, cell(column), 4));
        }
    }
    lines.push_back(line(normal + codes.CodeCentre, cell(kDate) + " " + cell(kTime), 1));
    // The closing line is an extra line end: the feed before the cut.
    lines.push_back(line(normal + codes.CodeCentre, kCrLf, 1));
    return lines;
}

void TableExchangeTicket::WriteTextLines(const std::vector<Line>& lines) {
    for (const auto& line : lines) {
        std::string entry = line.systemText == kReprintLabel
                                ? ReprintLabelLine(ctx_.device.PrintingType, ctx_.codes)
                                : line.codes + line.text + kCrLf;
        ctx_.ticket.RTF += entry;
        ctx_.ticket.List3.push_back(std::move(entry));
    }
}

std::vector<SystemPrinterLine> TableExchangeTicket::SystemLines(
    const std::vector<Line>& lines) const {
    SystemPrinterPage page;
    for (const auto& line : lines) {
        page.SetFontName(ctx_.device.PrinterFont(line.fontSlot));
        page.PrintLine(line.systemText);
    }
    return page.Lines();
}

}  // namespace kps
