#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "database/Value.h"
#include "output/SystemPrinterPage.h"

namespace kps {

// The header values of the ticket being composed, taken from its first row.
struct TicketHeader {
    Value BillNo;
    Value TableCode;
    Value PaxNo;
    std::string StaffName;  // at most 20 characters
    std::string DeviceName;
};

// The main window's working buffers shared by the printing routines.
struct TicketBuffers {
    std::string RTF;                      // the whole ticket text, lines ended by CR LF
    std::string RTF2;                     // emptied by composition, never written
    std::vector<std::string> List1;       // printing-detail IDs waiting to be marked printed
    std::vector<std::string> List2;       // bill-detail IDs, parallel to List1
    std::vector<std::string> List3;       // one entry per ticket line, OPOS codes
    std::vector<std::string> List4;       // the same lines with ESC/POS codes
    std::vector<SystemPrinterLine> Page;  // "W": the lines for the system printer
    std::size_t HeaderEnd = 0;            // List3 entries of the client block and header
    std::size_t HeaderEndInRTF = 0;       // where the header ends in RTF

    // The notice grid PrtData: one row of 15 cells per notice of the pass.
    std::vector<std::vector<std::string>> PrtData;

    std::string OutputMode = "O";  // "O" text lines, "W" system printer
    int RowPerLine = 40;
    std::string TicketKey;  // the table or item code the ticket is composed for
    TicketHeader Header;
    std::string CurrentLayoutLine;  // the trimmed result of the last expansion

    // What composition leaves for the sending step.
    std::string DeviceName;
    std::string PrintingType;
    int OptionPrinter1 = 0;

    bool PrintFailed = false;
    std::string DivertAddress;
};

}  // namespace kps
