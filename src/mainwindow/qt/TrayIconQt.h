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
    // `troubleIcon` stands in for `icon` while a printer is not printing.
    TrayIconQt(const QIcon& icon, const QIcon& troubleIcon, QObject* parent = nullptr);
    ~TrayIconQt() override;

    // Adds the icon with its tip.
    void Tray_ShowProgramInTray();
    // Removes the icon.
    void Tray_DeleteIcon();

    // The tip and which of the two icons shows.
    void ShowState(const QString& tip, bool trouble);

    bool IsShown() const { return icon_.isVisible(); }
    QString ToolTip() const { return icon_.toolTip(); }
    bool ShowsTrouble() const { return trouble_; }
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
    QIcon normalIcon_;
    QIcon troubleIcon_;
    bool trouble_ = false;
};

}  // namespace kps
