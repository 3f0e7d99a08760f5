#include "sending/LaneJobRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "output/EscPosPaper.h"
#include "support/FailAfterPrintPrinter.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
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
        codes.CodeCentre = "<C>";
        codes.CodeFeedCut = "<CUT>";
    }

    // A held ticket of K1 printed on its divert printer K2 at 127.0.0.5.
    JobReport Divert(PosPrinter& on, std::vector<std::string> lines = {"L1\r\n", "L2\r\n"},
                     std::string banner = "*Divert From K1") {
        PrintJob job;
        job.kind = JobKind::Divert;
        job.device = "K2";
        job.printingType = "O";
        job.address = "127.0.0.5";
        job.codes = codes;
        job.lines = std::move(lines);
        job.banner = std::move(banner);
        LaneJobRunner divertRunner(on, pinger, pause, log);
        return divertRunner.Run(job);
    }
    std::string LogText() const { return ReadBytes(log.TodayFile()); }

    TempFolder folder;
    FakeClock clock;
    PrintLog log;
    FakePosPrinter printer;
    FakePinger pinger;
    FakeWaitPause pause;
    LaneJobRunner runner{printer, pinger, pause, log};
    PrintJob probe;
    PrinterCodes codes;
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

TEST_F(LaneJobRunnerTest, DivertPrintsTheBannerCentredAndCutsWithAShortClaim) {
    const JobReport report = Divert(printer);
    EXPECT_TRUE(report.printed);
    EXPECT_THAT(printer.Printed(),
                ::testing::ElementsAre("<C>*Divert From K1\r\n", "L1\r\n", "L2\r\n", "<CUT>"));
    EXPECT_EQ(printer.calls.front(), "Open K2");
    EXPECT_THAT(printer.calls, ::testing::Contains("ClaimDevice 50"));
    EXPECT_EQ(printer.calls.back(), "Close");
    EXPECT_THAT(LogText(), ::testing::HasSubstr("Printing Success divert to 'K2'\r\n"));
}

TEST_F(LaneJobRunnerTest, DivertNoCutterEndsWithALineEndAndAnEmptyBannerIsLeftOut) {
    printer.canCut = false;
    EXPECT_TRUE(Divert(printer, {"L1\r\n", "L2\r\n"}, "").printed);
    EXPECT_THAT(printer.Printed(), ::testing::ElementsAre("L1\r\n", "L2\r\n", "\r\n"));
}

TEST_F(LaneJobRunnerTest, DivertRefusedBadResultOrEmptyTicketIsNoSuccess) {
    printer.coverOpen = true;
    JobReport report = Divert(printer);
    EXPECT_FALSE(report.printed);
    EXPECT_FALSE(report.bytesLeft);
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_EQ(report.failureText, "ERROR Open Printer 'K2'");

    printer.coverOpen = false;
    EXPECT_FALSE(Divert(printer, {}).printed);
    EXPECT_TRUE(printer.Printed().empty());

    FailAfterPrintPrinter failing(printer);
    report = Divert(failing);
    EXPECT_FALSE(report.printed);
    EXPECT_TRUE(report.bytesLeft);
    EXPECT_EQ(report.failureText, "ERROR Printing at 'K2'");
    EXPECT_THAT(LogText(), ::testing::Not(::testing::HasSubstr("Printing Success")));
}

// A runner whose lease was confirmed at the fake steady time's start.
TEST_F(LaneJobRunnerTest, ARasterDirectPortGetsItsDishAsAnImageWithinItsPaper) {
    EncodingResources text("", log);
    LaneJobRunner drawing(printer, pinger, pause, log, nullptr, nullptr, &text);
    PrintJob job;
    job.device = "KITCHEN1";
    job.printingType = "D";
    job.directPort = folder.Path() + "/lpt1";
    job.encoding = ParsePrinterEncoding("KITCHEN1", "raster", 1252, -1);
    job.paperDots = 384;
    job.text = std::string("\x1b!\x00", 3) + "2  \u0E15\u0E49\u0E21\u0E22\u0E33\r\n\r\n";
    ASSERT_EQ(drawing.Run(job).fault, PrintFault::None);

    const std::string bytes = ReadBytes(job.directPort);
    EXPECT_TRUE(bytes.starts_with("\x1b@\x1bt\x10"));
    EXPECT_TRUE(bytes.ends_with(std::string("\x1dVB\x00", 4)));
    std::vector<RasterImage> images;
    for (const PaperLine& line : ReadEscPosPaper(bytes, 32)) {
        EXPECT_EQ(line.Text().find("2  "), std::string::npos);  // nothing of it as text
        if (!line.image.Empty()) {
            images.push_back(line.image);
        }
    }
    // One line drawn at single size (the blank line is only its line end).
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].height, kRowDots);
    EXPECT_LE(images[0].widthBytes * 8, 384);
}

class FencedLaneJobRunnerTest : public LaneJobRunnerTest {
  protected:
    FencedLaneJobRunnerTest() {
        fence.Confirm(steady.now.load());
        fence.Publish(true);
        ticket.device = "K1";
        ticket.printingType = "O";
        ticket.address = "127.0.0.5";
        ticket.codes = codes;
        ticket.text = "Soup";
        ticket.lines = {"Soup\r\n"};
    }
    void Age(std::chrono::milliseconds by) { steady.now = steady.now.load() + by; }

    FakeSteadyTime steady;
    LeaseFence fence{kLeaseFenceBound, steady.Source()};
    SecondsHistogram latency;
    LaneJobRunner fenced{printer, pinger, pause, log, nullptr, &fence, nullptr, &latency};
    PrintJob ticket;
};

TEST_F(FencedLaneJobRunnerTest, ATicketStartsOnlyWhileTheLastConfirmationIsYoungerThanTheBound) {
    Age(kLeaseFenceBound - std::chrono::milliseconds(1));
    ticket.found = std::chrono::steady_clock::now() - std::chrono::seconds(2);
    EXPECT_TRUE(fenced.Run(ticket).printed);
    EXPECT_THAT(printer.Printed(), ::testing::ElementsAre("Soup\r\n", "<CUT>"));
    EXPECT_EQ(latency.Read().count, 1);
    EXPECT_GE(latency.Read().sumSeconds, 2.0);

    printer.calls.clear();
    Age(std::chrono::milliseconds(1));
    const JobReport report = fenced.Run(ticket);
    EXPECT_EQ(report.fault, PrintFault::NotLeased);
    EXPECT_FALSE(report.printed);
    EXPECT_FALSE(report.bytesLeft);
    // Refused after the printer's status replies, just before the first byte.
    EXPECT_THAT(printer.calls, ::testing::Contains("CheckHealth 1"));
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_EQ(printer.calls.back(), "Close");
    // A ticket that did not start has no first byte to count.
    EXPECT_EQ(latency.Read().count, 1);
}

TEST_F(FencedLaneJobRunnerTest, AStaleConfirmationSendsNothingOfADivertOrADirectPortTicket) {
    Age(kLeaseFenceBound);
    PrintJob divert = ticket;
    divert.kind = JobKind::Divert;
    EXPECT_EQ(fenced.Run(divert).fault, PrintFault::NotLeased);
    EXPECT_TRUE(printer.Printed().empty());
    EXPECT_FALSE(printer.open);

    PrintJob direct = ticket;
    direct.printingType = "D";
    direct.directPort = folder.Path() + "/lpt1";
    const JobReport report = fenced.Run(direct);
    EXPECT_EQ(report.fault, PrintFault::NotLeased);
    EXPECT_FALSE(report.bytesLeft);
    EXPECT_FALSE(std::filesystem::exists(direct.directPort));
}

}  // namespace
}  // namespace kps::test
