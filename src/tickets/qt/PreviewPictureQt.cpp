#include "tickets/qt/PreviewPictureQt.h"

#include "tickets/SentTicketBytes.h"

namespace kps {

QImage PreviewPicture(const TicketImageQt& images, const PreviewTicket& ticket) {
    if (ticket.job.printingType == "O" || ticket.job.printingType == "D") {
        return images.DrawEscPos(SentTicketBytes(ticket.job), ticket.columns);
    }
    return images.DrawPage(ticket.page);
}

}  // namespace kps
