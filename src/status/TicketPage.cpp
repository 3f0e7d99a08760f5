#include "status/TicketPage.h"

#include <cstdio>

#include "status/HtmlDocument.h"
#include "status/RasterImageSvg.h"
#include "status/StatusWords.h"
#include "status/TicketPaper.h"
#include "status/WebText.h"
#include "text/Text.h"

namespace kps {

namespace {

// A text row is 1.25 em high; a run of height h takes h rows and is drawn
// scaled from its bottom left corner, so it stands on the line's foot.
constexpr std::string_view kPaperStyle =
    ".paper{background:#fff;color:#000;font:15px/1.25 monospace;padding:1ch;"
    "box-shadow:0 1px 3px #999;max-width:100%;overflow-x:auto}"
    ".ln{white-space:pre;min-height:1.25em;display:flex;align-items:flex-end}"
    ".ln.c{justify-content:center}.ln.r{justify-content:flex-end}"
    ".big{display:inline-flex;align-items:flex-end;flex:none}"
    ".big>span{display:inline-block;transform-origin:0 100%}"
    ".red{color:#c00}.cut{border:0;border-top:1px dashed #000;margin:.6em -1ch}";

std::string Rows(int rows) {
    // 1.25 em per row, written without a floating point.
    return std::to_string(rows * 125 / 100) + "." + std::to_string(rows * 125 % 100) + "em";
}

std::string RunHtml(const PaperRun& run) {
    const std::string text = EscapeHtml(run.text);
    const std::string red = run.red ? " class=\"red\"" : "";
    if (run.width == 1 && run.height == 1) {
        return "<span" + red + ">" + text + "</span>";
    }
    const long cells = static_cast<long>(DisplayWidth(run.text)) * run.width;
    return "<span class=\"big\" style=\"width:" + std::to_string(cells) +
           "ch;height:" + Rows(run.height) + "\"><span" + red + " style=\"transform:scale(" +
           std::to_string(run.width) + "," + std::to_string(run.height) + ")\">" + text +
           "</span></span>";
}

// A drawn line at its size on the paper: a column is kColumnDots wide, a
// row kRowDots high.
std::string ImageHtml(const RasterImage& image, bool red) {
    const int dots = image.widthBytes * 8;
    char width[32];
    std::snprintf(width, sizeof width, "%d.%02dch", dots / kColumnDots,
                  dots % kColumnDots * 100 / kColumnDots);
    const int rows = (image.height + kRowDots - 1) / kRowDots;
    return RasterImageSvg(image, red,
                          std::string("width:") + width + ";height:" + Rows(rows) + ";flex:none");
}

std::string LineHtml(const PaperLine& line) {
    if (line.cut) {
        return "<hr class=\"cut\">\n";
    }
    std::string html = "<div class=\"ln";
    html += line.align == PaperAlign::Centre ? " c" : line.align == PaperAlign::Right ? " r" : "";
    html += "\">";
    if (!line.image.Empty()) {
        html += ImageHtml(line.image, line.imageRed);
    }
    for (const PaperRun& run : line.runs) {
        html += RunHtml(run);
    }
    return html + "</div>\n";
}

}  // namespace

std::string TicketPageHtml(const std::string& device, long n, const StoredTicket& ticket,
                           int codePage, const PosPrinterRegistry* printers) {
    const std::string title = device + ": ticket " + std::to_string(n);
    std::string body = "<p><a href=\"/\">All printers</a></p>\n<h1>" + EscapeHtml(title) +
                       "</h1>\n<p>" + EscapeHtml(TicketTitle(ticket)) + "</p>\n";
    body += "<div class=\"paper\" style=\"width:" + std::to_string(ticket.columns) + "ch\">\n";
    for (const PaperLine& line : KeptTicketReader(device, codePage, printers).Paper(ticket)) {
        body += LineHtml(line);
    }
    body += "</div>\n";
    return HtmlDocument(title, kPaperStyle, body);
}

}  // namespace kps
