#include "mainwindow/qt/TrayIconQt.h"

namespace kps {

TrayIconQt::TrayIconQt(const QIcon& icon, QObject* parent)
    : QObject(parent),
      menu_(QStringLiteral("Exit")),
      restore_(menu_.addAction(QStringLiteral("Restore"))),
      shutDown_(menu_.addAction(QStringLiteral("Shut Down Print Server"))),
      icon_(icon) {
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

}  // namespace kps
