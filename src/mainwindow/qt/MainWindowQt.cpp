#include "mainwindow/qt/MainWindowQt.h"

#include "mainwindow/qt/TicketPreviewDialogQt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSocketNotifier>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "dialogs/qt/DivertDialogQt.h"
#include "mainwindow/TrayTip.h"
#include "mainwindow/qt/FallbackFontQt.h"
#include "sending/PrinterStateLine.h"
#include "startup/ExitStatus.h"
#include "text/KpsError.h"

namespace kps {

namespace {

constexpr long kInternalError = 51;
constexpr int kTwipsPerPixel = 15;
constexpr int kDesignedWidthTwips = 15240;
constexpr int kDesignedHeightTwips = 8910;

QIcon ServerIcon() {
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}

QIcon TroubleIcon() {
    return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
}

QString UnroutableNote(long items) {
    return items > 0 ? QString::number(items) + QStringLiteral(" Item(s) no printer can take")
                     : QString();
}

}  // namespace

MainWindowQt::MainWindowQt(MDIForm1& form, PrintPasses& passes, QtPollTimer& timer, Operator& op,
                           DivertState& divert, PrinterStates& states, const PrintLog& log,
                           std::optional<bool> trayAvailable, QWidget* parent)
    : QWidget(parent),
      form_(form),
      passes_(passes),
      timer_(timer),
      operator_(op),
      states_(states),
      commands_(*this, divert, states, log),
      trayAvailable_(trayAvailable),
      tray_(ServerIcon(), TroubleIcon()) {
    setWindowTitle(QStringLiteral("kELT Print Server [20090707]"));
    setWindowIcon(ServerIcon());
    BuildControls();
    FitToScreen(screen()->availableGeometry());
    form_.SetObserver(this);
    form_.SetPrinterStates(&states_);
    states_.SetListener(this);
    Changed();
    connect(&timer_.Timer(), &QTimer::timeout, this, &MainWindowQt::Tick);
    connect(&signalPoll_, &QTimer::timeout, this, [this] {
        if (!finished_) {
            Guarded([this] { scheduler_->PollSignal(); });
        }
    });
    ListenToScheduler();
    connect(&tray_, &TrayIconQt::DoubleClicked, this, [this] { commands_.NoSysIcon(true); });
    connect(&tray_, &TrayIconQt::RestoreRequested, this, [this] { commands_.Restore(); });
    connect(&tray_, &TrayIconQt::ShutDownRequested, this, [this] { commands_.ShutDownFromMenu(); });
}

MainWindowQt::~MainWindowQt() {
    states_.SetListener(nullptr);
    form_.SetPrinterStates(nullptr);
    form_.SetObserver(nullptr);
}

void MainWindowQt::FitToScreen(const QRect& available) {
    // Sizes are in device-independent pixels: Qt scales them by the
    // screen's device pixel ratio.
    const QSize designed(kDesignedWidthTwips / kTwipsPerPixel,
                         kDesignedHeightTwips / kTwipsPerPixel);
    setMaximumSize(available.size());
    resize(designed.boundedTo(available.size()));
}

void MainWindowQt::BuildControls() {
    label3_ = new QLabel(QStringLiteral("KITCHEN PRINT SERVER"), this);
    QFont titleFont = InstalledOrSystemFont(QStringLiteral("Tahoma"), QFontDatabase::TitleFont);
    titleFont.setPointSize(18);
    titleFont.setBold(true);
    label3_->setFont(titleFont);
    image1_ = new QLabel(this);
    image1_->setPixmap(ServerIcon().pixmap(48, 48));
    image1_->installEventFilter(this);
    lbltime_ = new QLabel(this);
    label2_ = new QLabel(this);
    dis_ = new QLabel(this);

    flxData_ = new QTableView(this);
    flxData_->setModel(&model_);
    flxData_->setFont(InstalledOrSystemFont(QStringLiteral("MS Reference Sans Serif"),
                                            QFontDatabase::GeneralFont));
    flxData_->verticalHeader()->hide();
    flxData_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flxData_->setSelectionMode(QAbstractItemView::NoSelection);
    flxData_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(flxData_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowGridMenu(at); });
    connect(flxData_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { PreviewRow(index.row()); });
    for (int column = 0; column < WaitingGridModelQt::ColumnCount; ++column) {
        flxData_->setColumnWidth(column, WaitingGridModelQt::ColumnWidthPixels(column));
    }
    flxData_->setColumnHidden(WaitingGridModelQt::Fixed, true);
    shownNote_ = new QLabel(this);
    shownNote_->hide();

    option1_ = new QRadioButton(QStringLiteral("Individual"), this);
    option2_ = new QRadioButton(QStringLiteral("Table No"), this);
    connect(option1_, &QRadioButton::clicked, this, [this] { form_.SelectIndividual(true); });
    connect(option2_, &QRadioButton::clicked, this, [this] { form_.SelectIndividual(false); });

    command3_ = new QPushButton(QStringLiteral("Minimized"), this);
    command4_ = new QPushButton(QStringLiteral("Restart"), this);
    pclose_ = new QPushButton(QStringLiteral("Shut Down"), this);
    connect(command3_, &QPushButton::clicked, this, [this] { commands_.Minimized(); });
    connect(command4_, &QPushButton::clicked, this, [this] { commands_.Restart(); });
    connect(pclose_, &QPushButton::clicked, this, [this] { commands_.ShutDown(); });

    auto* title = new QHBoxLayout;
    title->addWidget(image1_);
    title->addWidget(label3_, 1);
    title->addWidget(lbltime_);
    BuildPrinterPanel();
    auto* options = new QHBoxLayout;
    options->addWidget(option1_);
    options->addWidget(option2_);
    options->addStretch(1);
    options->addWidget(printerNote_);
    options->addSpacing(24);
    options->addWidget(dis_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(label2_, 1);
    buttons->addWidget(resume_);
    buttons->addWidget(reprint_);
    buttons->addWidget(command3_);
    buttons->addWidget(command4_);
    buttons->addWidget(pclose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(title);
    layout->addLayout(options);
    layout->addWidget(flxData_, 2);
    layout->addWidget(shownNote_);
    layout->addWidget(printers_, 1);
    layout->addLayout(buttons);
}

void MainWindowQt::BuildPrinterPanel() {
    printers_ = new QTableView(this);
    printers_->setModel(&printersModel_);
    printers_->verticalHeader()->hide();
    printers_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    printers_->setSelectionBehavior(QAbstractItemView::SelectRows);
    printers_->setSelectionMode(QAbstractItemView::SingleSelection);
    printers_->horizontalHeader()->setStretchLastSection(true);
    printers_->setColumnWidth(PrinterStatesModelQt::Mark, 24);
    printers_->setColumnWidth(PrinterStatesModelQt::Printer, 160);
    printers_->setColumnWidth(PrinterStatesModelQt::State, 260);
    printers_->setColumnWidth(PrinterStatesModelQt::LastPrinted, 160);
    printerNote_ = new QLabel(this);
    resume_ = new QPushButton(QStringLiteral("Resume"), this);
    resume_->setEnabled(false);
    connect(printers_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { EnableResume(); });
    connect(resume_, &QPushButton::clicked, this, [this] { ResumeSelectedPrinter(); });
    reprint_ = new QPushButton(QStringLiteral("Reprint"), this);
    reprint_->setToolTip(QStringLiteral("Print the selected printer's last ticket again"));
    reprint_->setEnabled(false);
    connect(reprint_, &QPushButton::clicked, this, [this] { ReprintSelectedPrinter(); });
}

void MainWindowQt::SetTicketTools(TicketTools* tools) {
    tools_ = tools;
    EnableResume();
}

void MainWindowQt::ShowGridMenu(const QPoint& at) {
    const QModelIndex index = flxData_->indexAt(at);
    if (tools_ == nullptr || !index.isValid()) {
        return;
    }
    QMenu menu(this);
    QAction* preview = menu.addAction(QStringLiteral("Preview"));
    if (menu.exec(flxData_->viewport()->mapToGlobal(at)) == preview) {
        PreviewRow(index.row());
    }
}

void MainWindowQt::PreviewRow(int row) {
    const auto& ids = form_.FlxData().ItemIds();
    if (tools_ == nullptr || row < 0 || static_cast<std::size_t>(row) >= ids.size()) {
        return;
    }
    Guarded([&] {
        auto* dialog = new TicketPreviewDialogQt(
            tools_->PreviewItem(ids[static_cast<std::size_t>(row)]), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
    });
}

void MainWindowQt::ReprintSelectedPrinter() {
    const QModelIndexList rows = printers_->selectionModel()->selectedRows();
    if (tools_ == nullptr || rows.isEmpty()) {
        return;
    }
    const std::string device = printersModel_.Status(rows.front().row()).device;
    Guarded([&] {
        if (!tools_->ReprintLast(device)) {
            operator_.Notify("No ticket of '" + device + "' is kept to reprint", "Reprint",
                             MessageIcon::Information);
        }
    });
}

void MainWindowQt::EnableResume() {
    const QModelIndexList rows = printers_->selectionModel()->selectedRows();
    resume_->setEnabled(!rows.isEmpty() &&
                        printersModel_.Status(rows.front().row()).state == PrinterState::Suspended);
    reprint_->setEnabled(tools_ != nullptr && !rows.isEmpty());
}

void MainWindowQt::ResumeSelectedPrinter() {
    const QModelIndexList rows = printers_->selectionModel()->selectedRows();
    if (!rows.isEmpty()) {
        commands_.ResumePrinter(printersModel_.Status(rows.front().row()).device);
    }
}

void MainWindowQt::Changed() {
    const QModelIndexList rows = printers_->selectionModel()->selectedRows();
    const int selected = rows.isEmpty() ? -1 : rows.front().row();
    printersModel_.Reset(states_);
    if (selected >= 0 && selected < printersModel_.rowCount()) {
        printers_->selectRow(selected);
    }
    EnableResume();
    QString note = states_.Standby() ? QString::fromStdString(StandbyLine(true))
                                     : UnroutableNote(states_.Unroutable());
    printerNote_->setText(note);
    ShowTrayState();
}

void MainWindowQt::ShowTrayState() {
    const long waiting = form_.FlxData().Waiting();
    const long notPrinting = states_.NotPrintingCount();
    tray_.ShowState(QString::fromStdString(TrayTip(waiting, states_)), notPrinting > 0);
}

template <typename Action>
bool MainWindowQt::Guarded(Action action) {
    long number = kInternalError;
    std::string description;
    try {
        action();
        return true;
    } catch (const KpsError& error) {
        number = error.Number();
        description = error.Description();
    } catch (const std::exception& error) {
        description = error.what();
    }
    timer_.Stop();
    finished_ = true;
    ShowFatalErrorReport(operator_, number, description);
    emit Finished(kExitFatalError);
    return false;
}

bool MainWindowQt::Load() {
    return Guarded([this] {
        form_.Load();
        ShowOptions();
    });
}

void MainWindowQt::Tick() {
    if (!finished_) {
        Guarded([this] {
            const auto now = std::chrono::steady_clock::now();
            if (!scheduler_->ClockSecond(now)) {
                form_.KeepTime();
            }
            scheduler_->RunDue([this] { form_.PollCycle(passes_); }, now);
        });
    }
}

void MainWindowQt::SetScheduler(PassScheduler& scheduler) {
    scheduler_ = &scheduler;
    ListenToScheduler();
}

void MainWindowQt::ListenToScheduler() {
    bell_ = std::make_unique<QSocketNotifier>(scheduler_->Doorbell().Fd(), QSocketNotifier::Read);
    connect(bell_.get(), &QSocketNotifier::activated, this, &MainWindowQt::RunDuePass);
    changes_.reset();
    if (scheduler_->SignalFd() >= 0) {
        changes_ = std::make_unique<QSocketNotifier>(scheduler_->SignalFd(), QSocketNotifier::Read);
        connect(changes_.get(), &QSocketNotifier::activated, this, [this] {
            if (finished_) {
                changes_->setEnabled(false);  // unheard, it would fire on and on
            } else {
                Guarded([this] { scheduler_->SignalHeard(); });
            }
        });
    }
    signalPoll_.stop();
    if (scheduler_->PollEvery().count() > 0) {
        signalPoll_.start(static_cast<int>(scheduler_->PollEvery().count()));
    }
}

void MainWindowQt::RunDuePass() {
    scheduler_->Doorbell().Clear();
    if (!finished_) {
        Guarded([this] {
            scheduler_->RunDue([this] { form_.PollCycle(passes_); },
                               std::chrono::steady_clock::now());
        });
    }
}

void MainWindowQt::ShowOptions() {
    option1_->setChecked(form_.Option1());
    option2_->setChecked(form_.Option2());
}

void MainWindowQt::StatusChanged() {
    // The tick is still at work (a ticket on its way, perhaps a dialog):
    // show its time and status now rather than when it ends.
    lbltime_->setText(QString::fromStdString(form_.Lbltime()));
    lbltime_->repaint();
    label2_->setText(QString::fromStdString(form_.Label2()));
    label2_->repaint();
}

void MainWindowQt::CycleChanged() {
    lbltime_->setText(QString::fromStdString(form_.Lbltime()));
    dis_->setText(QString::fromStdString(form_.Dis()));
    model_.Reset(form_.FlxData());
    const std::string note = form_.FlxData().ShownNote();
    shownNote_->setText(QString::fromStdString(note));
    shownNote_->setVisible(!note.empty());
    ShowTrayState();
}

void MainWindowQt::CloseReady() {
    close();
}

void MainWindowQt::RequestClose() {
    close();
}

void MainWindowQt::CloseDivertDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<DivertDialogQt*>(widget);
        if (dialog != nullptr && dialog->isVisible()) {
            dialog->close();
        }
    }
}

bool MainWindowQt::TrayAvailable() const {
    return trayAvailable_.value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void MainWindowQt::ShowWindow() {
    showNormal();
    raise();
    activateWindow();
}

void MainWindowQt::HideWindow() {
    hide();
}

void MainWindowQt::MinimizeWindow() {
    showMinimized();
}

void MainWindowQt::ShowTrayIcon() {
    tray_.Tray_ShowProgramInTray();
}

void MainWindowQt::DeleteTrayIcon() {
    tray_.Tray_DeleteIcon();
}

void MainWindowQt::closeEvent(QCloseEvent* event) {
    if (finished_) {
        event->accept();
        return;
    }
    if (!form_.Unload()) {
        event->ignore();
        return;
    }
    CloseDivertDialog();
    tray_.Tray_DeleteIcon();
    finished_ = true;
    event->accept();
    emit Finished(kExitNormal);
}

bool MainWindowQt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image1_ && event->type() == QEvent::MouseButtonDblClick) {
        commands_.Image1DoubleClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kps
