// A system printer's lane: its jobs are drawn on the lane's own printer, and
// a failing printer is left alone for a back-off that doubles.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "sending/DeviceLaneRunner.h"
#include "sending/SystemPrinterJobRunner.h"
#include "sending/ThreadedPrinterLanes.h"
#include "support/Fakes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::ElementsAre;

PrintJob SystemJob() {
    PrintJob job;
    job.device = "BAR";
    job.printingType = "W";
    job.systemPrinterName = " bar ";
    job.page = {{"FONTB1X2", 255, 0, 0, "*TABLE 5*"}, {"Arial", 0, 0, 0, "2 Soup"}};
    return job;
}

TEST(SystemPrinterLaneTest, DrawsTheRecordedPageOnAPrinterOfTheLanesOwn) {
    TempFolder folder;
    FakeClock clock;
    PrintLog log(folder.Path(), clock);
    PosPrinterRegistry registry(folder.File("PosPrinters.ini"), 1252);
    std::vector<FakeSystemPrinter*> made;
    ThreadedPrinterLanes lanes([&] {
        return std::make_unique<DeviceLaneRunner>(registry, log, nullptr, nullptr, [&] {
            auto printer = std::make_unique<FakeSystemPrinter>();
            printer->names = {"Kitchen", "Bar"};
            made.push_back(printer.get());
            return printer;
        });
    });

    lanes.Submit(SystemJob());
    ASSERT_TRUE(lanes.Finish(std::chrono::seconds(10)));

    const auto reports = lanes.TakeReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].printed);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_THAT(made[0]->calls,
                ElementsAre("select Bar", "font FONTB1X2", "colour 255,0,0", "line *TABLE 5*",
                            "font Arial", "colour 0,0,0", "line 2 Soup", "end"));
}

TEST(SystemPrinterJobRunnerTest, LeavesAFailingPrinterAloneForABackOffThatDoubles) {
    FakeSystemPrinter printer;
    printer.endSucceeds = false;
    FakeClock clock({2026, 12, 7, 22, 5, 0});
    SystemPrinterJobRunner runner(printer, clock);
    const PrintJob job = SystemJob();
    auto ranAt = [&](int second) {
        clock.Set({2026, 12, 7, 22, 5, second});
        printer.calls.clear();
        const JobReport report = runner.Run(job);
        EXPECT_EQ(report.bytesLeft, !printer.calls.empty()) << "at second " << second;
        EXPECT_EQ(report.printed, report.fault == PrintFault::None);
        return !printer.calls.empty();
    };

    EXPECT_TRUE(ranAt(0));   // fails: 1 s
    EXPECT_FALSE(ranAt(0));  // refused, nothing sent
    EXPECT_TRUE(ranAt(1));   // fails again: 2 s
    EXPECT_FALSE(ranAt(2));
    EXPECT_TRUE(ranAt(3));  // fails a third time: 4 s
    EXPECT_FALSE(ranAt(6));
    printer.endSucceeds = true;
    EXPECT_TRUE(ranAt(7));  // printed: the wait is over
    EXPECT_TRUE(ranAt(7));
    printer.endSucceeds = false;
    EXPECT_TRUE(ranAt(7));  // fails: back to 1 s
    EXPECT_FALSE(ranAt(7));
    EXPECT_TRUE(ranAt(8));
}

}  // namespace
}  // namespace kps::test
