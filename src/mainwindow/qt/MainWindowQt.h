#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

#include "mainwindow/MDIForm1.h"
#include "mainwindow/MainWindowObserver.h"
#include "mainwindow/TicketTools.h"
#include "mainwindow/WindowCommands.h"
#include "mainwindow/WindowShell.h"
#include "mainwindow/qt/PrinterStatesModelQt.h"
#include "mainwindow/qt/QtPollTimer.h"
#include "mainwindow/qt/TrayIconQt.h"
#include "mainwindow/qt/WaitingGridModelQt.h"
#include "sending/DivertState.h"
#include "sending/PrintPasses.h"
#include "sending/PrinterStates.h"
#include "startup/Operator.h"
#include "startup/PrintLog.h"
#include "wake/PassScheduler.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSocketNotifier;
class QTableView;

namespace kps {

// The main window on screen. It shows MDIForm1's state, drives its ticks
// from the Qt timer and its passes as the scheduler says, and forwards the
// operator's clicks; the rules live in MDIForm1, the scheduler and
// WindowCommands.
class MainWindowQt final : public QWidget,
                           public MainWindowObserver,
                           public WindowShell,
                           public PrinterStatesListener {
    Q_OBJECT

  public:
    // `form` must have been built on `timer`. `trayAvailable` empty: ask the
    // platform whether it has a notification area. The window listens to
    // `states` and hands them to `form` for the waiting counts.
    MainWindowQt(MDIForm1& form, PrintPasses& passes, QtPollTimer& timer, Operator& op,
                 DivertState& divert, PrinterStates& states, const PrintLog& log,
                 std::optional<bool> trayAvailable = std::nullopt, QWidget* parent = nullptr);
    ~MainWindowQt() override;

    // The load handler; false after an error, which has then been reported
    // and has emitted Finished(kExitFatalError).
    bool Load();

    // One tick of Timer1 (a second of the clock); an error is reported and
    // ends the run.
    void Tick();

    // Passes run when `scheduler` says, woken through the event loop;
    // without one, at every tick.
    void SetScheduler(PassScheduler& scheduler);

    // Enables the Preview action of the grid and the Reprint button of the
    // printer panel.
    void SetTicketTools(TicketTools* tools);

    // Preview of grid row `row` (0: the first item): the tickets of the next
    // pass that carry it, in a dialog of their own.
    void PreviewRow(int row);

    // The designed size, never larger than `available` (the screen's
    // available area); the window may then be made no larger.
    void FitToScreen(const QRect& available);

    // MainWindowObserver
    void StatusChanged() override;
    void CycleChanged() override;
    void CloseReady() override;

    // WindowShell
    void RequestClose() override;
    void CloseDivertDialog() override;
    bool TrayAvailable() const override;
    void ShowWindow() override;
    void HideWindow() override;
    void MinimizeWindow() override;
    void ShowTrayIcon() override;
    void DeleteTrayIcon() override;

    // PrinterStatesListener
    void Changed(const PrinterStatus&) override {}
    void Changed() override;

    QLabel* Label3() const { return label3_; }
    QLabel* Lbltime() const { return lbltime_; }
    QLabel* Label2() const { return label2_; }
    QLabel* Dis() const { return dis_; }
    QTableView* FlxData() const { return flxData_; }
    // Under the grid when it shows only the first of the waiting items.
    QLabel* ShownNote() const { return shownNote_; }
    const WaitingGridModelQt& GridModel() const { return model_; }
    QRadioButton* Option1() const { return option1_; }
    QRadioButton* Option2() const { return option2_; }
    QPushButton* Command3() const { return command3_; }
    QPushButton* Command4() const { return command4_; }
    QPushButton* PCLOSE() const { return pclose_; }
    QLabel* Image1() const { return image1_; }
    QTableView* Printers() const { return printers_; }
    const PrinterStatesModelQt& PrintersModel() const { return printersModel_; }
    QPushButton* Resume() const { return resume_; }
    QPushButton* Reprint() const { return reprint_; }
    QLabel* PrinterNote() const { return printerNote_; }
    TrayIconQt& Tray() { return tray_; }
    WindowCommands& Commands() { return commands_; }

  signals:
    // The run is over: kExitNormal after a confirmed close, or
    // kExitFatalError after the fatal error report.
    void Finished(int exitStatus);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void BuildPrinterPanel();
    void ShowOptions();
    void ShowTrayState();
    void EnableResume();
    void ResumeSelectedPrinter();
    void ReprintSelectedPrinter();
    void ShowGridMenu(const QPoint& at);
    template <typename Action>
    bool Guarded(Action action);
    void ListenToScheduler();
    void RunDuePass();

    MDIForm1& form_;
    PrintPasses& passes_;
    QtPollTimer& timer_;
    Operator& operator_;
    PrinterStates& states_;
    TicketTools* tools_ = nullptr;
    WindowCommands commands_;
    std::optional<bool> trayAvailable_;
    WaitingGridModelQt model_;
    PrinterStatesModelQt printersModel_;
    TrayIconQt tray_;
    bool finished_ = false;
    PassScheduler everyTick_;
    PassScheduler* scheduler_ = &everyTick_;
    std::unique_ptr<QSocketNotifier> bell_;
    std::unique_ptr<QSocketNotifier> changes_;  // the change signal's descriptor, when it has one
    QTimer signalPoll_;

    QLabel* label3_ = nullptr;
    QLabel* lbltime_ = nullptr;
    QLabel* label2_ = nullptr;
    QLabel* dis_ = nullptr;
    QTableView* flxData_ = nullptr;
    QLabel* shownNote_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    QPushButton* pclose_ = nullptr;
    QLabel* image1_ = nullptr;
    QTableView* printers_ = nullptr;
    QPushButton* resume_ = nullptr;
    QPushButton* reprint_ = nullptr;
    QLabel* printerNote_ = nullptr;
};

}  // namespace kps
