#pragma once

#include <string>
#include <vector>

#include "printing/PrintContext.h"

namespace kps {

// The fixed kitchen ticket that tells a station that the guests of one table
// have moved to another, printed on the device PrintDeviceSetting holds.
class TableExchangeTicket {
  public:
    explicit TableExchangeTicket(PrintContext& ctx) : ctx_(ctx) {}

    // Composes the ticket from row k of the notice grid and prints it on the
    // loaded device. True when the device took the ticket; false when an OPOS
    // printer did not open, a print failed, or a system printer job failed.
    bool PrintTableExchangeTicket(int k);

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
    bool Finish();

    PrintContext& ctx_;
};

}  // namespace kps
