#include "tickets/TicketPreview.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "output/EncodingResources.h"
#include "output/EscPosDecoder.h"
#include "sending/ComposedJob.h"
#include "sending/DirectPortEncoding.h"
#include "tickets/KitchenTicketComposer.h"
#include "tickets/SentTicketBytes.h"

namespace kps {
namespace {

// Letters, digits, '-' and '_' stay; anything else becomes '_'.
std::string FileNamePart(const std::string& text) {
    std::string part;
    for (unsigned char c : text) {
        part += (std::isalnum(c) != 0 || c == '-' || c == '_') ? static_cast<char>(c) : '_';
    }
    return part;
}

// The window's lists and mode, without its status line: a preview says
// nothing about sending.
class QuietWindow final : public PrintWindow {
  public:
    explicit QuietWindow(PrintWindow& window) : window_(window) {}
    Recordset& DeviceList() override { return window_.DeviceList(); }
    Recordset& PendingNotices() override { return window_.PendingNotices(); }
    bool IndividualMode() const override { return window_.IndividualMode(); }
    void ShowStatus(const std::string&) override {}

  private:
    PrintWindow& window_;
};

}  // namespace

TicketPreview::TicketPreview(PrintContext& ctx) : ctx_(ctx) {}

void TicketPreview::SendTicket() {
    TicketBuffers& ticket = ctx_.ticket;
    PreviewTicket kept;
    kept.key = dispatcher_ != nullptr ? dispatcher_->TicketKeyValue().Or("") : std::string();
    kept.columns = ticket.RowPerLine;
    // The same job the sending step would hand to the device's lane.
    PrintJob& job = kept.job;
    job = ComposedJob(ctx_, JobKind::Ticket);
    job.device = ticket.DeviceName;
    job.printingType = ticket.PrintingType;
    job.itemIds = std::move(ticket.List1);
    job.billIds = std::move(ticket.List2);
    if (ticket.OutputMode == "W") {
        kept.page = ticket.Page;
    }
    const PosPrinterRegistry beside(
        (std::filesystem::path(ctx_.settingsFolder) / "PosPrinters.ini").string(), ctx_.codePage);
    const PosPrinterRegistry& printers = ctx_.printers != nullptr ? *ctx_.printers : beside;
    kept.rasterFont = printers.RasterFont();
    if (job.printingType == "O") {
        kept.printer = printers.Resolve(job.device, "");
    } else if (job.printingType == "D") {
        SetDirectPortEncoding(job, &printers);
        kept.printer.encoding = job.encoding.value_or(PrinterEncoding::OfCodePage(job.codePage));
        kept.printer.paperDots = job.paperDots;
    }
    ctx_.records.Compose(job);
    ticket.List1.clear();
    ticket.List2.clear();
    tickets_.push_back(std::move(kept));
}

std::vector<PreviewTicket> PreviewPrintQueue(Connection& db, const PrintLog& log,
                                             const Clock& clock, Operator& op, PrintWindow& window,
                                             int codePage, const std::string& settingsFolder,
                                             const PosPrinterRegistry* printers) {
    PrinterCodes codes;
    PrintDeviceSetting device;
    TicketBuffers ticket;
    DivertState divert;
    TicketRecords records;
    PrinterStates states;
    ReprintJournal noJournal("", log);  // nothing is sent, so nothing may be on paper
    QuietWindow quiet(window);
    PrintContext ctx{db,     log,     clock,  op,        quiet,    codes,          device,  ticket,
                     divert, records, states, noJournal, codePage, settingsFolder, printers};
    TicketPreview preview(ctx);
    KitchenTicketComposer composer(ctx, preview);
    PrintQueueDispatcher dispatcher(ctx, composer);
    preview.SetDispatcher(&dispatcher);
    dispatcher.DispatchPrintQueue();
    return preview.Tickets();
}

std::string PreviewFileStem(const PreviewTicket& ticket, int number) {
    char counter[16];
    std::snprintf(counter, sizeof counter, "%02d", number);
    return std::string(counter) + "-" + FileNamePart(ticket.job.device) + "-" +
           FileNamePart(ticket.key);
}

std::string PreviewBytes(const PreviewTicket& ticket) {
    std::unique_ptr<LineRasterizer> rasterizer;
    if (DrawsLines(ticket.printer.encoding)) {
        rasterizer = std::make_unique<LineRasterizer>(ticket.rasterFont);
    }
    return SentTicketBytes(ticket.job, ticket.printer, rasterizer.get());
}

std::string PreviewText(const PreviewTicket& ticket) {
    if (ticket.job.printingType == "O" || ticket.job.printingType == "D") {
        return DecodeEscPos(PreviewBytes(ticket), DoubleByteSetOf(ticket.printer.encoding));
    }
    std::string text;
    for (const SystemPrinterLine& line : ticket.page) {
        text += line.text + "\n";
    }
    return text;
}

}  // namespace kps
