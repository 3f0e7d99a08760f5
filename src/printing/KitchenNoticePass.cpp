#include "printing/KitchenNoticePass.h"

#include "printing/IsoDateTime.h"
#include "startup/FlagText.h"
#include "text/Text.h"

namespace kps {

namespace {

constexpr std::size_t kGridColumns = 15;

}  // namespace

KitchenNoticePass::KitchenNoticePass(PrintContext& ctx, PrintQueueDispatcher& dispatcher)
    : ctx_(ctx), dispatcher_(dispatcher), ticket_(ctx) {}

void KitchenNoticePass::PrintKitchenNotices() {
    auto& grid = ctx_.ticket.PrtData;
    grid.clear();

    Recordset& notices = ctx_.window.PendingNotices();
    notices.Requery();
    for (int k = 0; !notices.IsEOF(); ++k, notices.MoveNext()) {
        // IDs are whole numbers; writing the parsed number keeps the
        // statement free of whatever text a driver might hand back.
        const std::string id = std::to_string(LeadingNumber(notices.Field("ID").AsText()));
        grid.emplace_back(kGridColumns);
        FillGridRow(static_cast<std::size_t>(k), notices);

        ctx_.device.PrinterGroupCode = notices.Field("PrinterGroupCode").AsText();
        PrintOnFlaggedDevices(k, notices.Field("RefPrinterGroup").AsText());

        ctx_.db.Execute("Update Kelt_trs_PrintKitchen Set PrintStatus=1 Where ID=" + id);
    }
}

void KitchenNoticePass::FillGridRow(std::size_t k, const Recordset& notice) {
    auto& row = ctx_.ticket.PrtData[k];
    for (int i = 1; i <= 5; ++i) {
        row[static_cast<std::size_t>(i)] = notice.Field("Remark" + std::to_string(i)).AsText();
    }
    row[6] = notice.Field("FromTableCode").AsText();
    row[7] = notice.Field("ToTableCode").AsText();
    row[8] = FormatNoticeDate(notice.Field("TrsDate"));
    row[9] = FormatNoticeTime(notice.Field("TrsTime"));
}

void KitchenNoticePass::PrintOnFlaggedDevices(int k, const std::string& flags) {
    for (int p : FlaggedPositions(flags)) {
        // A flag without a usable device has nothing to print on.
        if (!dispatcher_.LoadDeviceSetting(p)) {
            continue;
        }
        if (!ticket_.PrintTableExchangeTicket(k)) {
            ctx_.log.WriteLog("Error Open Printer '" + ctx_.device.DeviceName + "'");
        }
        ctx_.window.ShowStatus("Last Printed on " + FormatGeneralDate(ctx_.clock.Now()));
    }
}

}  // namespace kps
