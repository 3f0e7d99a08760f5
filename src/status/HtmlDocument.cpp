#include "status/HtmlDocument.h"

#include "status/WebText.h"

namespace kps {

namespace {

constexpr std::string_view kSharedStyle =
    "body{font-family:system-ui,sans-serif;margin:0;padding:.5rem;background:#f3f3f3;"
    "color:#111}"
    "h1{font-size:1.3rem;margin:.3rem 0}h2{font-size:1.1rem;margin:1.2rem 0 .3rem}"
    "a{color:#036}";

}  // namespace

std::string HtmlDocument(std::string_view title, std::string_view style, std::string_view body) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<title>";
    page += EscapeHtml(title);
    page += "</title><style>";
    page += kSharedStyle;
    page += style;
    page += "</style></head>\n<body>\n";
    page += body;
    page += "</body></html>\n";
    return page;
}

}  // namespace kps
