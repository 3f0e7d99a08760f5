#pragma once

#include <string>
#include <vector>

#include "output/SystemPrinterPage.h"
#include "sending/PrintContext.h"
#include "sending/TicketSendingStep.h"

namespace kps {

// The fixed kitchen ticket that tells a station that the guests of one table
// have moved to another, printed on the device PrintDeviceSetting holds.
class TableExchangeTicket {
  public:
    TableExchangeTicket(PrintContext& ctx, TicketSendingStep& sending)
        : ctx_(ctx), sending_(sending) {}

    // Composes the ticket from row k of the notice grid, the notice
    // `noticeId`, for the loaded device and hands it to the device's lane;
    // its report tells whether it came out.
    void PrintTableExchangeTicket(int k, const std::string& noticeId);

  private:
    // One ticket line: its codes and text on the text path, its font slot
    // and text on a system printer.
    struct Line {
        std::string codes;
        std::string text;
        int fontSlot;
        std::string systemText;
    };

    std::vector<Line> ComposeLines(const std::vector<std::string>& row) const;
    void WriteTextLines(const std::vector<Line>& lines);
    std::vector<SystemPrinterLine> SystemLines(const std::vector<Line>& lines) const;
    PrintContext& ctx_;
    TicketSendingStep& sending_;
};

}  // namespace kps
