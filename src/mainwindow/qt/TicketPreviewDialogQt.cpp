#include "mainwindow/qt/TicketPreviewDialogQt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

#include "tickets/qt/PreviewPictureQt.h"

namespace kps {

TicketPreviewDialogQt::TicketPreviewDialogQt(const std::vector<PreviewTicket>& tickets,
                                             QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Preview"));
    auto* page = new QWidget;
    auto* pictures = new QVBoxLayout(page);
    const TicketImageQt images;
    for (const PreviewTicket& ticket : tickets) {
        pictures->addWidget(
            new QLabel(QString::fromStdString(ticket.job.device + " - " + ticket.key)));
        auto* picture = new QLabel;
        picture->setPixmap(QPixmap::fromImage(PreviewPicture(images, ticket)));
        pictures->addWidget(picture);
    }
    if (tickets.empty()) {
        pictures->addWidget(
            new QLabel(QStringLiteral("No ticket of the next pass carries this item")));
    }
    pictures->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(close);
    resize(page->sizeHint().width() + 48, 600);
}

}  // namespace kps
