#pragma once

#include <string>
#include <vector>

#include "output/PosPrinterRegistry.h"
#include "output/SystemPrinterPage.h"
#include "sending/PrintContext.h"
#include "sending/PrintJob.h"
#include "sending/TicketSender.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps {

// One ticket as the next pass would print it.
struct PreviewTicket {
    std::string key;                      // the table code or item code it was composed for
    PrintJob job;                         // "O" and "D": what the lane would be given
    std::vector<SystemPrinterLine> page;  // "W": the lines drawn on the system printer
    int columns = 40;                     // characters per line of the paper
    PosDevice printer;                    // "O" and "D": the printer's encoding and paper
    std::string rasterFont;               // the font its lines are drawn in, as RasterFont says
};

// A sending step that keeps each composed ticket instead of sending it. The
// ticket's items are held by a record of the context's, as on their way to
// a printer, so a later device of the same group composes what the server's
// would; nothing reaches the database or a printer.
class TicketPreview final : public TicketSender {
  public:
    explicit TicketPreview(PrintContext& ctx);

    void SendTicket() override;

    // The dispatch whose tickets are kept: it knows each ticket's key.
    void SetDispatcher(const PrintQueueDispatcher* dispatcher) { dispatcher_ = dispatcher; }

    const std::vector<PreviewTicket>& Tickets() const { return tickets_; }

  private:
    PrintContext& ctx_;
    const PrintQueueDispatcher* dispatcher_ = nullptr;
    std::vector<PreviewTicket> tickets_;
};

// Composes the tickets the next print queue pass would print, with a
// printing state of its own: nothing is sent, no item is marked and the
// running server's state is not touched.
// Layout files are looked for as the server does, the settings folder second;
// `printers` gives each printer's encoding and the font lines are drawn in
// (null: the registry beside the settings, without a RasterFont).
std::vector<PreviewTicket> PreviewPrintQueue(Connection& db, const PrintLog& log,
                                             const Clock& clock, Operator& op, PrintWindow& window,
                                             int codePage, const std::string& settingsFolder,
                                             const PosPrinterRegistry* printers = nullptr);

// A file name (without extension) a reader finds the ticket by: its number
// in the pass, device and key, e.g. "01-KITCHEN1-T5".
std::string PreviewFileStem(const PreviewTicket& ticket, int number);

// The bytes the ticket's printer would receive, lines drawn as images where
// its encoding asks for them.
std::string PreviewBytes(const PreviewTicket& ticket);

// The ticket as readable text: the decoded bytes, or the page's lines.
std::string PreviewText(const PreviewTicket& ticket);

}  // namespace kps
