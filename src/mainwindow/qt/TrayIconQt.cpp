#include "mainwindow/qt/TrayIconQt.h"

namespace kps {

TrayIconQt::TrayIconQt(const QIcon& icon, const QIcon& troubleIcon, QObject* parent)
    : QObject(parent),
      menu_(QStringLiteral("Exit")),
      restore_(menu_.addAction(QStringLiteral("Restore"))),
      shutDown_(menu_.addAction(QStringLiteral("Shut Down Print Server"))),
      icon_(icon),
      normalIcon_(icon),
      troubleIcon_(troubleIcon) {
    icon_.setToolTip(QStringLiteral("KELT Print Server"));
    icon_.setContextMenu(&menu_);
    connect(restore_, &QAction::triggered, this, &TrayIconQt::RestoreRequested);
    connect(shutDown_, &QAction::triggered, this, &TrayIconQt::ShutDownRequested);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    emit DoubleClicked();
                }
            });
}

// The icon must not outlive the process in the notification area.
TrayIconQt::~TrayIconQt() {
    icon_.hide();
}

void TrayIconQt::Tray_ShowProgramInTray() {
    icon_.show();
}

void TrayIconQt::Tray_DeleteIcon() {
    icon_.hide();
}

void TrayIconQt::ShowState(const QString& tip, bool trouble) {
    icon_.setToolTip(tip);
    if (trouble != trouble_) {
        trouble_ = trouble;
        icon_.setIcon(trouble ? troubleIcon_ : normalIcon_);
    }
}

}  // namespace kps
