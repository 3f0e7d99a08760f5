#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace kps {

// The tray icon and its pop-up menu MUexit. The icon's double-click and the
// menu's items are handed on as signals; the window decides what they do.
class TrayIconQt final : public QObject {
    Q_OBJECT

  public:
    explicit TrayIconQt(const QIcon& icon, QObject* parent = nullptr);
    ~TrayIconQt() override;

    // Adds the icon with its tip.
    void Tray_ShowProgramInTray();
    // Removes the icon.
    void Tray_DeleteIcon();

    bool IsShown() const { return icon_.isVisible(); }
    QMenu& Menu() { return menu_; }
    QAction* MURESTORE() const { return restore_; }
    QAction* MUSHUT() const { return shutDown_; }

  signals:
    void DoubleClicked();
    void RestoreRequested();
    void ShutDownRequested();

  private:
    QMenu menu_;
    QAction* restore_;
    QAction* shutDown_;
    QSystemTrayIcon icon_;
};

}  // namespace kps
