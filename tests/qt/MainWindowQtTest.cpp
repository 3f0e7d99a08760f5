#include "mainwindow/qt/MainWindowQt.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "mainwindow/FakePrintPasses.h"
#include "mainwindow/qt/TicketPreviewDialogQt.h"
#include "startup/ExitStatus.h"
#include "support/FakeChangeSignal.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TestDatabase.h"

namespace kps::test {
namespace {

// The window on an order database with three waiting items, a fake
// operator and passes that print nothing.
class MainWindowQtTest : public ::testing::Test {
  protected:
    explicit MainWindowQtTest(std::optional<bool> tray = true)
        : log(database.Folder(), clock),
          form(database.Db(), clock, op, ticket, timer, std::string(73, 'X') + "O"),
          window(form, passes, timer, op, divert, states, log, tray) {
        database.Exec("insert into Kelt_mt_PrinterGroup values ('KIT', 'Kitchen', 'O')");
        database.Exec(
            "insert into mrex_mt_item (ItemCode, ItemName, RefPrinterGroupCode) "
            "values ('I1', 'Rice', 'KIT')");
        database.Exec(
            "insert into kelt_trs_printingdetails (TableCode, ServiceType, BillNo, "
            "PosDescription, Quantity, ItemCode, PrintStatus) values "
            "('T1', 'D', 'B1', 'Fried rice', 2, 'I1', 0), "
            "(NULL, 'D', NULL, 'Soup', 1, 'I1', 0), "
            "('T3', 'T', 'B3', 'Noodles', 3, 'I1', 0)");
    }

    QString Cell(int row, int column) const {
        return window.GridModel().index(row, column).data().toString();
    }

    TestDatabase database;
    FakeClock clock;
    FakeOperator op;
    PrintLog log;
    TicketBuffers ticket;
    QtPollTimer timer;
    DivertState divert;
    PrinterStates states;
    FakePrintPasses passes;
    MDIForm1 form;
    MainWindowQt window;
};

// Hands back one ticket for any item; only KITCHEN1 has a ticket to reprint.
class RecordingTicketTools final : public TicketTools {
  public:
    std::vector<PreviewTicket> PreviewItem(const std::string& itemId) override {
        previewed.push_back(itemId);
        PreviewTicket ticket;
        ticket.key = "T1";
        ticket.job.device = "KITCHEN1";
        ticket.job.printingType = "O";
        PR_LoadOposSetting(ticket.job.codes, "O");
        ticket.job.lines = {"2  Fried rice\r\n"};
        return {ticket};
    }
    bool ReprintLast(const std::string& device) override {
        reprinted.push_back(device);
        return device == "KITCHEN1";
    }
    std::vector<std::string> previewed;
    std::vector<std::string> reprinted;
};

class MainWindowWithoutTrayTest : public MainWindowQtTest {
  protected:
    MainWindowWithoutTrayTest() : MainWindowQtTest(false) {}
};

TEST_F(MainWindowQtTest, ShowsCaptionLabelsGridAndOptionsAfterLoad) {
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(window.windowTitle(), "kELT Print Server [20090707]");
    EXPECT_EQ(window.Label3()->text(), "KITCHEN PRINT SERVER");
    EXPECT_EQ(window.Label3()->font().family(),
              QFontDatabase::hasFamily("Tahoma")
                  ? QString("Tahoma")
                  : QFontDatabase::systemFont(QFontDatabase::TitleFont).family());
    EXPECT_EQ(window.Dis()->text(), "3 Item(s) waiting to print");
    EXPECT_TRUE(window.Option1()->isChecked());
    EXPECT_FALSE(window.Option2()->isChecked());
    EXPECT_EQ(window.Option1()->text(), "Individual");
    EXPECT_EQ(window.Option2()->text(), "Table No");
    EXPECT_TRUE(timer.IsActive());

    const auto& model = window.GridModel();
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(WaitingGridModelQt::Check, Qt::Horizontal).toString(), "Check#");
    EXPECT_EQ(Cell(0, WaitingGridModelQt::ItemDescription), "Fried rice");
    EXPECT_EQ(Cell(1, WaitingGridModelQt::Table), "-");
    EXPECT_EQ(Cell(1, WaitingGridModelQt::Check), "-");
    EXPECT_EQ(Cell(2, WaitingGridModelQt::Quantity), "3");
    EXPECT_EQ(Cell(2, WaitingGridModelQt::Printer), "KIT");
    EXPECT_EQ(model.index(0, WaitingGridModelQt::Quantity)
                  .data(Qt::TextAlignmentRole)
                  .value<Qt::Alignment>(),
              Qt::Alignment(Qt::AlignCenter));
    EXPECT_TRUE(window.FlxData()->isColumnHidden(WaitingGridModelQt::Fixed));
    EXPECT_EQ(window.FlxData()->columnWidth(WaitingGridModelQt::ItemDescription), 7000 / 15);
    QAbstractItemModelTester tester(const_cast<WaitingGridModelQt*>(&model),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
}

TEST_F(MainWindowQtTest, ALongWaitingListShowsItsFirstRowsAndSaysSo) {
    database.Exec(
        "insert into kelt_trs_printingdetails (TableCode, ServiceType, BillNo, PosDescription, "
        "Quantity, ItemCode, PrintStatus) with recursive n(i) as (select 1 union all select i + "
        "1 from n where i < 1000) select 'T9', 'D', 'B9', 'Tea', 1, 'I1', 0 from n");
    ASSERT_TRUE(window.Load());
    EXPECT_EQ(window.Dis()->text(), "1003 Item(s) waiting to print");
    EXPECT_EQ(window.GridModel().rowCount(), static_cast<int>(WaitingGrid::kMaxRows));
    EXPECT_FALSE(window.ShownNote()->isHidden());
    EXPECT_EQ(window.ShownNote()->text(), "Showing the first 1000 of 1003 waiting items");
}

TEST_F(MainWindowQtTest, TickUpdatesTimeAndGridAndOptionClickSwitchesMode) {
    ASSERT_TRUE(window.Load());
    database.Exec("update kelt_trs_printingdetails set PrintStatus=1 where BillNo='B1'");
    window.Option2()->click();
    window.Tick();
    EXPECT_EQ(window.Lbltime()->text(), "07/12/2026 22:05:09");
    EXPECT_EQ(window.Dis()->text(), "2 Item(s) waiting to print");
    EXPECT_EQ(window.GridModel().rowCount(), 2);
    EXPECT_FALSE(form.IndividualMode());
    EXPECT_EQ(passes.dispatches, 1);

    form.ShowStatus("Sending to Printer 'KITCHEN1'");
    EXPECT_EQ(window.Label2()->text(), "Sending to Printer 'KITCHEN1'");
}

// A wake from another thread reaches the window through its event loop and
// runs a pass at once, and so does a change its signal's descriptor tells
// of; the clock's tick of an idle outlet behind a working signal only moves
// the time on.
TEST_F(MainWindowQtTest, AWakeRunsAPassThroughTheEventLoopAndAnIdleTickOnlyKeepsTime) {
    FakeChangeSignal signal;
    signal.withFd = true;
    PassScheduler scheduler([] { return true; });
    scheduler.UseSignal(&signal);
    window.SetScheduler(scheduler);
    ASSERT_TRUE(window.Load());
    window.Tick();
    ASSERT_EQ(passes.notices, 1) << "the first second passes";

    clock.Set({2026, 12, 7, 22, 5, 10});
    window.Tick();
    EXPECT_EQ(passes.notices, 1);
    EXPECT_EQ(window.Lbltime()->text(), "07/12/2026 22:05:10");

    std::thread([&] { scheduler.Wake(); }).join();
    for (int turn = 0; turn < 100 && passes.notices == 1; ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(passes.notices, 2);

    signal.changed = true;
    signal.told.Ring();
    for (int turn = 0; turn < 100 && passes.notices == 2; ++turn) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(passes.notices, 3);
    EXPECT_EQ(signal.clears, 1);
}

TEST_F(MainWindowQtTest, MinimizedHidesIntoTheTrayWhichRestoresOrShutsDown) {
    ASSERT_TRUE(window.Load());
    window.show();
    window.Command3()->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.Tray().IsShown());
    window.Tick();  // polling goes on while hidden
    EXPECT_EQ(window.Dis()->text(), "3 Item(s) waiting to print");

    emit window.Tray().DoubleClicked();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.Tray().IsShown());

    window.Command3()->click();
    window.Tray().MURESTORE()->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.Tray().IsShown());
    EXPECT_EQ(window.Tray().Menu().actions().size(), 2);
    EXPECT_EQ(window.Tray().MUSHUT()->text(), "Shut Down Print Server");

    // Shutting down from the tray, answered Yes, ends the run without a log line.
    window.Command3()->click();
    QSignalSpy finished(&window, &MainWindowQt::Finished);
    window.Tray().MUSHUT()->trigger();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), kExitNormal);
    EXPECT_FALSE(window.Tray().IsShown());
    EXPECT_FALSE(timer.IsActive());
    EXPECT_FALSE(std::filesystem::exists(log.TodayFile()));
}

TEST_F(MainWindowWithoutTrayTest, MinimizedKeepsTheWindowReachable) {
    ASSERT_TRUE(window.Load());
    window.show();
    window.Command3()->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(window.Tray().IsShown());
}

TEST_F(MainWindowQtTest, ShutDownAnsweredNoLogsAndKeepsRunning) {
    ASSERT_TRUE(window.Load());
    window.show();
    QSignalSpy finished(&window, &MainWindowQt::Finished);
    op.answer = MessageAnswer::No;
    window.PCLOSE()->click();
    EXPECT_EQ(ReadBytes(log.TodayFile()), "07/12/26 22:05:09 Shut Down Print Server\r\n");
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "Shut Down Print Server ?");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(timer.IsActive());
    EXPECT_EQ(finished.count(), 0);
}

TEST_F(MainWindowQtTest, PictureAsksToCloseAndRestartClearsTheCancelledPrinter) {
    ASSERT_TRUE(window.Load());
    window.show();
    op.answer = MessageAnswer::No;
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.Image1(), &doubleClick);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].caption, "Exit");
    EXPECT_TRUE(window.isVisible());

    divert.CancelledPrinters = {"KITCHEN1"};
    window.Command4()->click();
    EXPECT_TRUE(divert.CancelledPrinters.empty());
}

TEST_F(MainWindowQtTest, PrinterPanelShowsStatesAndResumesOneSuspendedPrinter) {
    database.Exec("insert into Kelt_mt_Device (DeviceCode, DeviceName) values (1, 'KITCHEN1')");
    ASSERT_TRUE(window.Load());
    states.OnFailed("KITCHEN1", PrintFault::CoverOpen);
    divert.CancelledPrinters = {"BAR1", "GRILL"};
    states.OnSuspended("BAR1");
    states.OnSuspended("GRILL");
    states.OnProbed("GRILL", true);

    const auto& model = window.PrintersModel();
    QAbstractItemModelTester tester(const_cast<PrinterStatesModelQt*>(&model),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(model.rowCount(), 3);
    auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
        return model.index(row, column).data(role);
    };
    EXPECT_EQ(cell(0, PrinterStatesModelQt::Printer).toString(), "KITCHEN1");
    EXPECT_EQ(cell(0, PrinterStatesModelQt::State).toString(), "not printing: cover open");
    EXPECT_EQ(cell(0, PrinterStatesModelQt::Waiting).toLongLong(), 3);
    EXPECT_EQ(cell(0, PrinterStatesModelQt::Mark, Qt::DecorationRole).value<QColor>(),
              PrinterStatesModelQt::MarkColour(PrinterState::NotPrinting));
    EXPECT_EQ(cell(1, PrinterStatesModelQt::State).toString(), "suspended");
    EXPECT_EQ(cell(2, PrinterStatesModelQt::State).toString(), "suspended, answers again: Resume?");
    EXPECT_EQ(window.Tray().ToolTip(),
              "KELT Print Server\n3 Item(s) waiting to print\n3 printer(s) not printing\n"
              "Printer 'GRILL' answers again: Resume?");
    EXPECT_TRUE(window.Tray().ShowsTrouble());

    window.Printers()->selectRow(0);
    EXPECT_FALSE(window.Resume()->isEnabled());
    window.Printers()->selectRow(1);
    ASSERT_TRUE(window.Resume()->isEnabled());
    window.Resume()->click();
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"GRILL"});
    EXPECT_EQ(cell(1, PrinterStatesModelQt::State).toString(), "printing");
    EXPECT_FALSE(window.Resume()->isEnabled());

    states.OnPrinted("KITCHEN1", clock.Now());
    states.OnResumed("GRILL");
    database.Exec("update kelt_trs_printingdetails set PrintStatus=1");
    window.Tick();
    EXPECT_EQ(cell(0, PrinterStatesModelQt::LastPrinted).toString(), "07/12/2026 22:05:09");
    EXPECT_EQ(window.Tray().ToolTip(), "KELT Print Server");
    EXPECT_FALSE(window.Tray().ShowsTrouble());
    EXPECT_EQ(window.Dis()->text(), "0 Item(s) waiting to print");
}

TEST_F(MainWindowQtTest, PreviewShowsTheRowsTicketAndReprintAsksForThePrintersLast) {
    database.Exec("insert into Kelt_mt_Device (DeviceCode, DeviceName) values (1, 'KITCHEN1')");
    RecordingTicketTools tools;
    ASSERT_TRUE(window.Load());
    states.OnFailed("BAR1", PrintFault::Failed);
    window.Printers()->selectRow(0);
    EXPECT_FALSE(window.Reprint()->isEnabled());
    window.SetTicketTools(&tools);

    window.PreviewRow(2);
    EXPECT_EQ(tools.previewed, std::vector<std::string>{"3"});
    const auto* dialog = window.findChild<TicketPreviewDialogQt*>();
    ASSERT_NE(dialog, nullptr);
    const auto labels = dialog->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](const QLabel* label) { return !label->pixmap().isNull(); }));

    for (int row = 0; row < 2; ++row) {
        window.Printers()->selectRow(row);
        ASSERT_TRUE(window.Reprint()->isEnabled());
        window.Reprint()->click();
    }
    std::sort(tools.reprinted.begin(), tools.reprinted.end());
    EXPECT_EQ(tools.reprinted, (std::vector<std::string>{"BAR1", "KITCHEN1"}));
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "No ticket of 'BAR1' is kept to reprint");
}

TEST_F(MainWindowQtTest, OnASmallScreenTheWindowFitsAndEveryButtonStaysVisible) {
    ASSERT_TRUE(window.Load());
    const QRect available(0, 0, 640, 400);
    window.FitToScreen(available);
    window.show();
    window.layout()->activate();
    EXPECT_LE(window.width(), available.width());
    EXPECT_LE(window.height(), available.height());
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.Command3(), window.Command4(), window.PCLOSE(), window.Resume(),
             window.Option1(), window.Option2(), window.Dis()}) {
        EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
        EXPECT_TRUE(
            window.rect().contains(QRect(control->mapTo(&window, QPoint(0, 0)), control->size())))
            << control->metaObject()->className();
        EXPECT_GE(control->width(), control->minimumSizeHint().width());
    }

    window.FitToScreen(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(window.size(), QSize(1016, 594));
}

TEST_F(MainWindowQtTest, LostTableEndsTheRunWithTheFatalReport) {
    ASSERT_TRUE(window.Load());
    QSignalSpy finished(&window, &MainWindowQt::Finished);
    database.Exec("drop table kelt_trs_printingdetails");
    window.Tick();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), kExitFatalError);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].icon, MessageIcon::Critical);
    EXPECT_NE(op.messages[0].text.find("Run-time error"), std::string::npos);
    EXPECT_FALSE(timer.IsActive());
    window.Tick();  // no second report
    EXPECT_EQ(op.messages.size(), 1u);
}

}  // namespace
}  // namespace kps::test
