#pragma once

#include <string>

#include "database/Recordset.h"
#include "printing/LayoutFile.h"
#include "printing/PrintContext.h"
#include "printing/TicketSender.h"

namespace kps {

// Builds one kitchen ticket: the waiting items of one ticket key and printer
// group, laid out for one device by its layout file, into the ticket buffers
// (or straight onto the system printer), then hands it to the sending step.
class KitchenTicketComposer {
  public:
    KitchenTicketComposer(PrintContext& ctx, TicketSender& sender);

    // `ticketKeyColumn` is "ItemCode" or "TableCode", `ticketKeyValue` its
    // value. Nothing is printed, collected or sent when no item is waiting.
    // The items' IDs are collected in List1/List2 for every printing type:
    // the sending step marks them printed once the printer has the ticket.
    void ComposeKitchenTicket(const std::string& deviceName, const std::string& printingType,
                              const std::string& printerGroupCode,
                              const std::string& ticketKeyValue, int optionPrinter1,
                              const std::string& layoutFile, const std::string& ticketKeyColumn);

  private:
    // One ticket line in a font slot.
    void Emit(const std::string& text, int slot);
    // A HEADER or FOOTER line, expanded.
    void EmitLayoutLine(const std::string& line);
    // A note line in the note colour; `red` on a system printer.
    void EmitColoured(const std::string& text, bool red);
    void EmitServiceLine(const std::string& serviceName);
    void EmitSkipLine();
    void EmitClientBlock(const Recordset& rows);
    void EmitItem(const Recordset& row);

    PrintContext& ctx_;
    TicketSender& sender_;
    LayoutFile layout_;
    std::string printingType_;
    bool systemPrinterMode_ = false;
};

}  // namespace kps
