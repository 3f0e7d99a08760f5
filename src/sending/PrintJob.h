#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "output/PrintFault.h"
#include "output/PrinterCodes.h"
#include "output/PrinterEncoding.h"
#include "output/SystemPrinterPage.h"

namespace kps {

enum class JobKind {
    Ticket,   // a kitchen ticket; its items are marked printed when it came out
    Notice,   // a table exchange ticket of one kitchen notice
    Divert,   // a held ticket offered to the divert printer by the divert dialog
    Reprint,  // a stored ticket printed again on request; it marks nothing
    Probe,    // opens and closes a network printer to see whether it answers; prints nothing
};

// One ticket for one printer, self-contained: a lane prints it without
// looking at anything the tick thread may change meanwhile.
struct PrintJob {
    unsigned long number = 0;  // given by the lanes when it is submitted
    JobKind kind = JobKind::Ticket;
    std::string device;        // DeviceName: the lane, and the OPOS logical device name
    std::string printingType;  // "O" network receipt printer, "D" direct port, "W" system printer
    std::string address;       // "O": LDNName, checked for reachability
    std::string directPort;    // "D": the port or file
    int codePage = 1252;       // "D": the code page of the port's bytes
    // "D": the encoding and paper width the port's PosPrinters.ini section
    // gives its printer; without one the text goes out in codePage.
    std::optional<PrinterEncoding> encoding;
    int paperDots = 576;
    PrinterCodes codes;  // the codes the lines were composed with

    std::string text;                 // RTF: the whole ticket text
    std::vector<std::string> lines;   // List3: one entry per printed line
    std::size_t headerEnd = 0;        // lines [0, headerEnd) are the client block and header
    std::size_t headerEndInText = 0;  // where they end in text
    std::string banner;               // Divert: "*Divert From " + the ticket's own printer
    std::string key;                  // Ticket: the table or item code it was composed for
    int columns = 40;                 // characters per line of the paper

    std::vector<std::string> itemIds;  // List1: printing-detail IDs
    std::vector<std::string> billIds;  // List2: bill-detail IDs, parallel to itemIds
    std::string noticeId;              // Notice: the notice's ID
    int optionPrinter1 = 0;            // Ticket: the divert printer's device code
    std::string owner;                 // Divert: the ticket's own printer (OriPrinter)
    unsigned long record = 0;          // the ticket record that owns it
    bool groupContinues = false;       // Ticket: a later device of its printer group may take it
    // Ticket: when the pass that first found its items waiting started.
    std::chrono::steady_clock::time_point found{};

    // "W": the page as composition drew it, and the DeviceName the lane's
    // system printer is selected by (SelectSystemPrinterByName).
    std::vector<SystemPrinterLine> page;
    std::string systemPrinterName;
};

// A trapped fault of a printer routine, for the operator's common error report.
struct RoutineFault {
    std::string where;
    long number = 0;
    std::string description;
    std::string routine;
};

// What became of one job, as its lane reports it to the tick thread.
struct JobReport {
    PrintJob job;
    bool opened = false;     // "O": the printer opened (false leads to the divert question)
    bool printed = false;    // the ticket came out as far as the printer told
    bool bytesLeft = false;  // some of it may have reached the printer
    PrintFault fault = PrintFault::None;
    std::string failureText;  // Divert: what the dialog shows after a failed print
    std::vector<RoutineFault> faults;
};

}  // namespace kps
