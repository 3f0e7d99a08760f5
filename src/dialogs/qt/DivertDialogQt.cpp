#include "dialogs/qt/DivertDialogQt.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "dialogs/TRDIVET.h"

namespace kps {

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

DivertDialogQt::DivertDialogQt(QWidget* parent)
    : QDialog(parent),
      label1_(new QLabel(this)),
      command1_(new QPushButton(this)),
      command2_(new QPushButton(this)),
      image1_(new QLabel(this)),
      oPrinterName_(new QLineEdit(this)),
      oIPAddress_(new QLineEdit(this)),
      oriPrinter_(new QLineEdit(this)),
      forEveryTicket_(new QCheckBox(this)) {
    setWindowTitle(tr("Print Server Message"));

    image1_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    image1_->installEventFilter(this);
    label1_->setWordWrap(true);

    auto* frame1 = new QGroupBox(this);
    auto* fields = new QFormLayout(frame1);
    fields->addRow(tr("Divert printer"), oPrinterName_);
    fields->addRow(tr("Address"), oIPAddress_);
    fields->addRow(tr("Printer"), oriPrinter_);

    auto* message = new QHBoxLayout;
    message->addWidget(image1_);
    message->addWidget(label1_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(command1_);
    buttons->addWidget(command2_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addWidget(frame1);
    layout->addWidget(forEveryTicket_);
    layout->addLayout(buttons);

    connect(command1_, &QPushButton::clicked, this, [this] { Run(&TRDIVET::Command1); });
    connect(command2_, &QPushButton::clicked, this, [this] { Run(&TRDIVET::Command2); });
}

void DivertDialogQt::Show(TRDIVET& dialog) {
    dialog_ = &dialog;
    dialog.Open(*this);
    show();
    raise();
}

bool DivertDialogQt::KeepAsking(TRDIVET& dialog) {
    if (dialog_ == &dialog) {
        Repaint();
    }
    return true;
}

void DivertDialogQt::Hide(TRDIVET& dialog) {
    if (dialog_ == &dialog) {
        dialog_ = nullptr;
        hide();
    }
}

void DivertDialogQt::reject() {
    // Closed by the window frame or Escape: the question ends without a
    // divert and without cancelling the printer.
    if (dialog_ != nullptr) {
        dialog_->Close();
    }
    QDialog::reject();
}

int DivertDialogQt::SetWindowTopmost(bool topmost) {
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    return topmost ? 1 : 0;
}

void DivertDialogQt::Repaint() {
    if (dialog_ == nullptr) {
        return;
    }
    label1_->setText(ToQt(dialog_->Label1));
    command1_->setText(ToQt(dialog_->Command1Caption));
    command2_->setText(ToQt(dialog_->Command2Caption));
    command1_->setEnabled(dialog_->Command1Enabled);
    command2_->setEnabled(dialog_->Command2Enabled);
    oPrinterName_->setText(ToQt(dialog_->OPrinterName));
    oIPAddress_->setText(ToQt(dialog_->oIPAddress));
    oriPrinter_->setText(ToQt(dialog_->OriPrinter));
    forEveryTicket_->setText(ToQt(dialog_->ForEveryTicketCaption));
    forEveryTicket_->setChecked(dialog_->ForEveryTicket);
    forEveryTicket_->setEnabled(dialog_->Command1Enabled);
    if (isVisible()) {
        label1_->repaint();
        command1_->repaint();
        command2_->repaint();
    }
}

bool DivertDialogQt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image1_ && event->type() == QEvent::MouseButtonDblClick) {
        Run(&TRDIVET::Image1DoubleClick);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

template <typename Handler>
void DivertDialogQt::Run(Handler handler) {
    if (dialog_ == nullptr) {
        return;
    }
    ReadFields();
    // A report settled while the handler waited (the "Stop divert ?" box)
    // may have ended the question and let go of the dialog.
    TRDIVET* dialog = dialog_;
    (dialog->*handler)();
    if (dialog_ == nullptr || dialog->Closed) {
        hide();
    }
}

void DivertDialogQt::ReadFields() {
    dialog_->OPrinterName = oPrinterName_->text().toStdString();
    dialog_->oIPAddress = oIPAddress_->text().toStdString();
    dialog_->OriPrinter = oriPrinter_->text().toStdString();
    dialog_->ForEveryTicket = forEveryTicket_->isChecked();
}

}  // namespace kps
