#pragma once

#include <string>
#include <vector>

#include "sending/PrintContext.h"
#include "sending/TicketSendingStep.h"

namespace kps {

// The fixed kitchen ticket that tells a station that the guests of one table
// have moved to another, printed on the device PrintDeviceSetting holds.
class TableExchangeTicket {
  public:
    enum class Outcome { HandedOver, Printed, Failed };

    TableExchangeTicket(PrintContext& ctx, TicketSendingStep& sending)
        : ctx_(ctx), sending_(sending) {}

    // Composes the ticket from row k of the notice grid, the notice
    // `noticeId`, for the loaded device: a network printer or direct port
    // gets it through its lane (its report tells whether it came out), a
    // system printer prints it at once.
    Outcome PrintTableExchangeTicket(int k, const std::string& noticeId);

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
    void PrintSystemLines(const std::vector<Line>& lines);
    PrintContext& ctx_;
    TicketSendingStep& sending_;
};

}  // namespace kps
