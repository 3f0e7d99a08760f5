#pragma once

#include <QImage>

#include "output/qt/TicketImageQt.h"
#include "tickets/TicketPreview.h"

namespace kps {

// A previewed ticket as it would come out: a receipt printer's strip of the
// bytes a network or direct-port printer would get, a system printer's page.
QImage PreviewPicture(const TicketImageQt& images, const PreviewTicket& ticket);

}  // namespace kps
