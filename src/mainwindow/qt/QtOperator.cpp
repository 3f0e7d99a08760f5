#include "mainwindow/qt/QtOperator.h"

#include <QMessageBox>

namespace kps {

namespace {

// A box that closes and frees itself; nothing waits for it.
void ShowOpenBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                 QWidget* parent) {
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtOperator::ShowMessage(const std::string& text, const std::string& caption,
                                      MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    QMessageBox::NoButton, parent_);
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

void QtOperator::Notify(const std::string& text, const std::string& caption, MessageIcon icon) {
    ShowOpenBox(BoxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                parent_);
}

void QtOperator::ShowErrorReport(const std::string& where, long number,
                                 const std::string& description, const std::string& routine) {
    const QString text =
        QStringLiteral(
            "Form / Module: %1\nError number: %2\nDescription: %3\n"
            "Routine: %4")
            .arg(QString::fromStdString(where))
            .arg(number)
            .arg(QString::fromStdString(description), QString::fromStdString(routine));
    ShowOpenBox(QMessageBox::Critical, QStringLiteral("Error"), text, parent_);
}

}  // namespace kps
