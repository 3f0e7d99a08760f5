#include "mainwindow/WindowCommands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// Records the window system calls in order; `onClose` may look at the world
// when the close is requested.
class RecordingShell final : public WindowShell {
  public:
    void RequestClose() override {
        calls.push_back("close");
        if (onClose) {
            onClose();
        }
    }
    void CloseDivertDialog() override { calls.push_back("close divert"); }
    bool TrayAvailable() const override { return trayAvailable; }
    void ShowWindow() override {
        visible = true;
        calls.push_back("show");
    }
    void HideWindow() override {
        visible = false;
        calls.push_back("hide");
    }
    void MinimizeWindow() override { calls.push_back("minimize"); }
    void ShowTrayIcon() override {
        ++icons;
        calls.push_back("add icon");
    }
    void DeleteTrayIcon() override {
        --icons;
        calls.push_back("delete icon");
    }

    bool trayAvailable = true;
    bool visible = true;
    int icons = 0;
    std::vector<std::string> calls;
    std::function<void()> onClose;
};

class WindowCommandsTest : public ::testing::Test {
  protected:
    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    RecordingShell shell;
    DivertState divert;
    PrinterStates states;
    WindowCommands commands{shell, divert, states, log};
};

TEST_F(WindowCommandsTest, MinimizedHidesIntoTheTrayAndRestoreBringsItBack) {
    commands.Minimized();
    EXPECT_FALSE(shell.visible);
    EXPECT_EQ(shell.icons, 1);
    EXPECT_TRUE(commands.IsInTray());

    commands.Minimized();  // a second click adds no second icon
    EXPECT_EQ(shell.icons, 1);

    commands.NoSysIcon(false);  // only a true shows the window
    EXPECT_FALSE(shell.visible);
    commands.NoSysIcon(true);  // the icon's double-click
    EXPECT_TRUE(shell.visible);
    EXPECT_EQ(shell.icons, 0);
    EXPECT_FALSE(commands.IsInTray());

    commands.Minimized();
    commands.Restore();  // the menu's "Restore"
    EXPECT_TRUE(shell.visible);
    EXPECT_EQ(shell.icons, 0);
    commands.Restore();  // restoring a visible window removes nothing
    EXPECT_EQ(shell.icons, 0);
}

TEST_F(WindowCommandsTest, WithoutATrayMinimizedNeverHidesTheWindow) {
    shell.trayAvailable = false;
    commands.Minimized();
    EXPECT_TRUE(shell.visible);
    EXPECT_EQ(shell.icons, 0);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"minimize"}));
}

TEST_F(WindowCommandsTest, RestartClearsTheCancelledPrinters) {
    divert.CancelledPrinters = {"KITCHEN1", "BAR1"};
    states.OnSuspended("KITCHEN1");
    states.OnSuspended("BAR1");
    commands.Restart();
    EXPECT_TRUE(divert.CancelledPrinters.empty());
    EXPECT_EQ(states.NotPrintingCount(), 0);
    commands.Restart();
    EXPECT_TRUE(divert.CancelledPrinters.empty());
    EXPECT_TRUE(shell.calls.empty());
}

TEST_F(WindowCommandsTest, ResumeLetsOneCancelledPrinterPrintAgain) {
    divert.CancelledPrinters = {"KITCHEN1", "BAR1"};
    states.OnSuspended("KITCHEN1");
    states.OnSuspended("BAR1");
    commands.ResumePrinter("BAR1");
    EXPECT_EQ(divert.CancelledPrinters, std::set<std::string>{"KITCHEN1"});
    EXPECT_EQ(states.Printers().at(0).state, PrinterState::Suspended);
    EXPECT_EQ(states.Printers().at(1).state, PrinterState::Printing);
}

TEST_F(WindowCommandsTest, ShutDownButtonLogsBeforeAskingToClose) {
    std::string logAtClose;
    shell.onClose = [&] { logAtClose = ReadBytes(log.TodayFile()); };
    commands.ShutDown();
    EXPECT_EQ(logAtClose, "07/12/26 22:05:09 Shut Down Print Server\r\n");
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"close"}));
}

TEST_F(WindowCommandsTest, MenuAndPictureCloseWithoutLogging) {
    commands.ShutDownFromMenu();
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"close"}));
    shell.calls.clear();
    commands.Exit();
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"close divert", "close"}));
    shell.calls.clear();
    commands.Image1DoubleClick();
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"close divert", "close divert", "close"}));
    EXPECT_FALSE(std::filesystem::exists(log.TodayFile()));
}

}  // namespace
}  // namespace kps::test
