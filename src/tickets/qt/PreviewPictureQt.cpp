#include "tickets/qt/PreviewPictureQt.h"

namespace kps {

QImage PreviewPicture(const TicketImageQt& images, const PreviewTicket& ticket) {
    if (ticket.job.printingType == "O" || ticket.job.printingType == "D") {
        return images.DrawEscPos(PreviewBytes(ticket), ticket.columns,
                                 DoubleByteSetOf(ticket.printer.encoding));
    }
    return images.DrawPage(ticket.page);
}

}  // namespace kps
