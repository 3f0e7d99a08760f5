#include "sending/LaneJobRunner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

class LaneJobRunnerTest : public ::testing::Test {
  protected:
    LaneJobRunnerTest() : log(folder.Path(), clock) {
        pinger.reachable = {"127.0.0.5"};
        probe.kind = JobKind::Probe;
        probe.device = "BAR1";
        probe.printingType = "O";
        probe.address = "127.0.0.5";
    }

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    FakePosPrinter printer;
    FakePinger pinger;
    FakeWaitPause pause;
    LaneJobRunner runner{printer, pinger, pause, log};
    PrintJob probe;
};

TEST_F(LaneJobRunnerTest, ProbeOpensAnAnsweringPrinterAndClosesItWithoutSendingAnything) {
    const JobReport report = runner.Run(probe);
    EXPECT_TRUE(report.opened);
    EXPECT_FALSE(report.printed);
    EXPECT_FALSE(report.bytesLeft);
    EXPECT_EQ(report.fault, PrintFault::None);
    EXPECT_EQ(printer.calls,
              (std::vector<std::string>{"Open BAR1", "ClaimDevice 1000", "DeviceEnabled 1",
                                        "CheckHealth 1", "DeviceEnabled 0", "Close"}));
    EXPECT_EQ(printer.releases, 0);  // nothing was sent, so nothing to wait for
}

TEST_F(LaneJobRunnerTest, ProbeOfARefusingPrinterReportsWhyAndLeavesItClosed) {
    printer.resultCode = OPOS_E_NOHARDWARE;
    printer.fault = PrintFault::Refused;
    const JobReport report = runner.Run(probe);
    EXPECT_FALSE(report.opened);
    EXPECT_EQ(report.fault, PrintFault::Refused);
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_FALSE(printer.open);
}

}  // namespace
}  // namespace kps::test
