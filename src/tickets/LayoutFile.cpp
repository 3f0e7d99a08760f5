#include "tickets/LayoutFile.h"

#include "startup/IniFile.h"
#include "text/Text.h"

namespace kps {
namespace {

bool StartsWithDigit(const std::string& text) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

std::vector<std::string> ReadEnabledLines(const IniFile& ini, const std::string& section) {
    std::vector<std::string> lines;
    for (int n = 1; n <= 10; ++n) {
        // Not a one-letter literal: GCC 12 warns falsely (-Wrestrict) on it at -O3.
        std::string line = ini.Value(section, std::string(1, 'L') + std::to_string(n));
        if (IsEnabledLayoutLine(line)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace

bool IsEnabledLayoutLine(const std::string& line) {
    return StartsWithDigit(line);
}

LayoutFile LayoutFile::Read(const std::string& file, int codePage) {
    // Read afresh for every ticket, so an edit shows on the next one.
    const IniFile ini = IniFile::Load(file, codePage);
    auto body = [&](const std::string& key) { return ini.Value("BODY", key); };

    LayoutFile layout;
    const std::string font = body("Font");
    if (font == "2" || font == "3" || font == "4") {
        layout.BodyFont = font[0] - '0';
    }
    layout.Format = static_cast<int>(LeadingNumber(Trim(body("Format"))));
    layout.PosDescriptionLine = body("PosDescriptionLine");
    layout.PosDescriptionLine1 = body("PosDescriptionLine1");
    layout.PosDescriptionLine2 = body("PosDescriptionLine2");
    layout.PosDescriptionLine3 = body("PosDescriptionLine3");
    layout.Skipline = body("Skipline") == "Y";

    // A width of 0 or less could not hold a character; the printers' usual 40 is used.
    const long rowPerLine = LeadingNumber(Trim(ini.Value("GENERAL", "RowPerLine")));
    layout.RowPerLine = rowPerLine > 0 && rowPerLine < 10000 ? static_cast<int>(rowPerLine) : 40;

    layout.HeaderLines = ReadEnabledLines(ini, "HEADER");
    layout.FooterLines = ReadEnabledLines(ini, "FOOTER");
    return layout;
}

}  // namespace kps
