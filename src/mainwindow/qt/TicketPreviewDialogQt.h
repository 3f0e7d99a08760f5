#pragma once

#include <QDialog>
#include <vector>

#include "tickets/TicketPreview.h"

namespace kps {

// Shows previewed tickets as pictures of their paper, one under the other,
// each under its device and key.
class TicketPreviewDialogQt final : public QDialog {
    Q_OBJECT

  public:
    explicit TicketPreviewDialogQt(const std::vector<PreviewTicket>& tickets,
                                   QWidget* parent = nullptr);
};

}  // namespace kps
