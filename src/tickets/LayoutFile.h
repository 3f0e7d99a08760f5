#pragma once

#include <string>
#include <vector>

#include "startup/LayoutFilePath.h"

namespace kps {

// A device's kitchen ticket layout, read afresh for every ticket. A damaged
// file never stops the server: what cannot be read takes a safe default.
struct LayoutFile {
    int BodyFont = 1;  // BODY Font: slot 1..4, any other value slot 1
    int Format = 0;    // BODY Format: 1..4, anything else prints no item line
    std::string PosDescriptionLine;
    std::string PosDescriptionLine1;
    std::string PosDescriptionLine2;
    std::string PosDescriptionLine3;
    bool Skipline = false;  // BODY Skipline "Y"
    int RowPerLine = 40;    // GENERAL RowPerLine; missing, non-numeric or 0 is 40

    // The enabled HEADER and FOOTER lines L1..L10, in key order.
    std::vector<std::string> HeaderLines;
    std::vector<std::string> FooterLines;

    // Reads `file` (the name as the device stores it) in `codePage`.
    static LayoutFile Read(const std::string& file, int codePage);
};

// True for a layout line that is printed: it starts with a digit. Missing,
// empty and "X" lines, and lines starting with anything else, are disabled.
bool IsEnabledLayoutLine(const std::string& line);

}  // namespace kps
