#pragma once

#include <string>

namespace kps {

// The per-ticket printing context, refilled from the device list before
// every ticket.
struct PrintDeviceSetting {
    std::string DeviceName;
    std::string PrintingType;  // "O" OPOS printer, "D" direct port, "W" system printer
    int OptionPrinter1 = 0;    // device code of the divert printer
    std::string DirectPort = "LPT1";
    std::string LDNName;  // the printer's IPv4 address
    std::string PrinterFont1 = "FONTB1X1";
    std::string PrinterFont2 = "FONTB1X2";
    std::string PrinterFont3 = "FONTB2X1";
    std::string PrinterFont4 = "FONTB2X1";
    int PrinterRowLine = 40;
    std::string WP_FileName = "Kit001.ini";

    // The printer group of the ticket being dispatched.
    std::string PrinterGroupCode;
    // A later device of the group can take what this one cannot print.
    bool GroupContinues = false;

    // Slot 1..4; any other slot gives slot 1.
    const std::string& PrinterFont(int slot) const;
};

}  // namespace kps
