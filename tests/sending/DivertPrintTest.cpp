#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sending/LaneJobRunner.h"
#include "support/FailAfterPrintPrinter.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// A held ticket of K1 printed on its divert printer K2, as a lane runs it.
class DivertPrint : public ::testing::Test {
  protected:
    DivertPrint() : log(folder.Path(), clock) {
        codes.CodeCentre = "<C>";
        codes.CodeFeedCut = "<CUT>";
        pinger.reachable = {"127.0.0.2"};
    }

    JobReport Print(PosPrinter& on, std::vector<std::string> lines = {"L1\r\n", "L2\r\n"},
                    std::string banner = "*Divert From K1") {
        PrintJob job;
        job.kind = JobKind::Divert;
        job.device = "K2";
        job.printingType = "O";
        job.address = "127.0.0.2";
        job.codes = codes;
        job.lines = std::move(lines);
        job.banner = std::move(banner);
        LaneJobRunner runner(on, pinger, pause, log);
        return runner.Run(job);
    }
    std::string LogText() const { return ReadBytes(log.TodayFile()); }

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    FakePosPrinter printer;
    FakePinger pinger;
    FakeWaitPause pause;
    PrinterCodes codes;
};

TEST_F(DivertPrint, PrintsTheBannerCentredAndCutsWithAShortClaim) {
    const JobReport report = Print(printer);
    EXPECT_TRUE(report.printed);
    EXPECT_THAT(printer.Printed(),
                ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(printer.calls.front(), "Open K2");
    EXPECT_THAT(printer.calls, ::testing::Contains("ClaimDevice 50"));
    EXPECT_EQ(printer.calls.back(), "Close");
    EXPECT_THAT(LogText(), HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(DivertPrint, NoCutterEndsWithALineEndAndAnEmptyBannerIsLeftOut) {
    printer.canCut = false;
    EXPECT_TRUE(Print(printer, {"L1\r\n", "L2\r\n"}, "").printed);
    EXPECT_THAT(printer.Printed(), ElementsAre("L1\r\n", "L2\r\n", "\r\n"));
}

TEST_F(DivertPrint, RefusedBadResultOrEmptyTicketIsNoSuccess) {
    printer.coverOpen = true;
    JobReport report = Print(printer);
    EXPECT_FALSE(report.printed);
    EXPECT_FALSE(report.bytesLeft);
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_EQ(report.failureText, "ERROR Open Printer 'K2'");

    printer.coverOpen = false;
    EXPECT_FALSE(Print(printer, {}).printed);
    EXPECT_TRUE(printer.Printed().empty());

    FailAfterPrintPrinter failing(printer);
    report = Print(failing);
    EXPECT_FALSE(report.printed);
    EXPECT_TRUE(report.bytesLeft);
    EXPECT_EQ(report.failureText, "ERROR Printing at 'K2'");
    EXPECT_THAT(LogText(), Not(HasSubstr("Printing Success")));
}

}  // namespace
}  // namespace kps::test
