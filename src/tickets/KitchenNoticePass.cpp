#include "tickets/KitchenNoticePass.h"

#include "reprint/ReprintLabel.h"
#include "startup/FlagText.h"
#include "startup/IsoDateTime.h"
#include "text/Text.h"

namespace kps {

namespace {

constexpr std::size_t kGridColumns = 15;

// The notice statement joins the group table after the notice's own columns,
// so the group's own PrinterGroupCode is the last column of that name: Null
// when no group row matched.
bool GroupExists(const Recordset& notice) {
    const auto& columns = notice.Rows().columns;
    for (std::size_t i = columns.size(); i-- > 0;) {
        if (UpperCase(columns[i]) == "PRINTERGROUPCODE") {
            return !notice.At(i).IsNull();
        }
    }
    return false;
}

}  // namespace

KitchenNoticePass::KitchenNoticePass(PrintContext& ctx, PrintQueueDispatcher& dispatcher,
                                     TicketSendingStep& sending)
    : ctx_(ctx), dispatcher_(dispatcher), sending_(sending), ticket_(ctx, sending) {}

void KitchenNoticePass::PrintKitchenNotices() {
    auto& grid = ctx_.ticket.PrtData;
    grid.clear();

    Recordset& notices = ctx_.window.PendingNotices();
    notices.Requery();
    for (int k = 0; !notices.IsEOF(); ++k, notices.MoveNext()) {
        // IDs are whole numbers; writing the exact number keeps the
        // statement free of whatever text a driver might hand back, and a
        // notice without one is never taken for another.
        const auto exact = ExactInteger(notices.Field("ID"));
        grid.emplace_back(kGridColumns);
        if (!exact) {
            continue;
        }
        const std::string id = std::to_string(*exact);
        FillGridRow(static_cast<std::size_t>(k), notices);

        // A notice of a group that does not exist has nowhere to go yet; it
        // waits rather than being marked printed unseen.
        if (!GroupExists(notices)) {
            if (withoutGroup_.insert(id).second) {
                ctx_.log.WriteLog("Notice " + id + " has no printer group");
            }
            continue;
        }
        ctx_.device.PrinterGroupCode = notices.Field("PrinterGroupCode").AsText();
        PrintOnFlaggedDevices(k, id, notices.Field("RefPrinterGroup").AsText());
        if (ctx_.records.AllDelivered(id)) {
            sending_.MarkNoticePrinted(id);
        }
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

void KitchenNoticePass::PrintOnFlaggedDevices(int k, const std::string& id,
                                              const std::string& flags) {
    std::set<std::string> devices;
    for (int p : FlaggedPositions(flags)) {
        // A flag without a usable device has nothing to print on.
        if (!dispatcher_.LoadDeviceSetting(p)) {
            continue;
        }
        const std::string device = ctx_.device.DeviceName;
        devices.insert(device);
        // A device that just failed takes it again at the next second.
        if (ctx_.records.Delivered(id, device) || ctx_.records.Holds(NoticeCopyKey(id, device)) ||
            ctx_.records.FailedThisSecond(device, ctx_.clock.Now())) {
            continue;
        }
        ticket_.PrintTableExchangeTicket(k, id);
    }
    // A notice no flagged device can take waits rather than being marked
    // printed unseen.
    if (devices.empty() && withoutPrinter_.insert(id).second) {
        ctx_.log.WriteLog("Notice " + id + " has no printer");
    }
    ctx_.records.ExpectNotice(id, std::move(devices));
}

}  // namespace kps
