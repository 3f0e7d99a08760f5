#include "status/PrinterAlerts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "status/AlertCommand.h"
#include "status/StatusFixture.h"
#include "status/StatusHealth.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// BAR1 went down at the tick kTickEnded; its one item waits since then.
class PrinterAlertsTest : public StatusFixture {
  protected:
    PrinterAlertsTest() {
        snapshot.server.alertAfter = 120s;
        snapshot.printers.resize(1);
        snapshot.printers[0].notPrintingSince = kTickEnded;
    }

    std::vector<std::string> At(std::chrono::seconds later) {
        std::vector<std::string> lines;
        for (const AlertEvent& event : alerts.Check(snapshot, kTickEnded + later)) {
            lines.push_back(AlertLine(event));
        }
        return lines;
    }

    PrinterAlerts alerts;
};

TEST_F(PrinterAlertsTest, OneAlertPerOutageAndOneWhenItEnds) {
    EXPECT_THAT(At(120s), ElementsAre());
    EXPECT_THAT(At(121s),
                ElementsAre("Alert: 'BAR1' has not printed for 121 s (not printing: cover open)"));
    EXPECT_THAT(At(300s), ElementsAre());
    snapshot.printers[0].notPrintingSince.reset();
    EXPECT_THAT(At(301s), ElementsAre("Alert ended: 'BAR1' prints again"));
    EXPECT_THAT(At(302s), ElementsAre());
    EXPECT_EQ(LogPriority("Alert: 'BAR1' has not printed"), 3);
}

TEST_F(PrinterAlertsTest, ItemsThatWaitWithoutATicketPrintedAreAnAlertOfTheirOwn) {
    snapshot.printers[0].notPrintingSince.reset();
    snapshot.printers[0].waitingSince = kTickEnded;
    EXPECT_THAT(At(200s), ElementsAre("Alert: 1 item(s) waiting for 'BAR1' for 200 s"));
    snapshot.printers[0].waitingSince.reset();
    EXPECT_THAT(At(201s), ElementsAre("Alert ended: the items for 'BAR1' are printing"));

    snapshot.server.alertAfter = 0s;  // off
    snapshot.printers[0].notPrintingSince = kTickEnded;
    EXPECT_THAT(At(1000s), ElementsAre());
}

TEST_F(PrinterAlertsTest, HealthFailsWhileAPrinterIsDownLongerThanTheAlertTime) {
    now = kTickEnded + 2s;
    snapshot.server.lastTickEnded = now;
    EXPECT_TRUE(HealthOf(snapshot, now).healthy);
    now = kTickEnded + 121s;
    snapshot.server.lastTickEnded = now;
    const Health health = HealthOf(snapshot, now);
    EXPECT_FALSE(health.healthy);
    EXPECT_EQ(health.text, "'BAR1' has not printed for 121 s: not printing: cover open");
}

TEST(AlertCommandTest, RunsWithoutAShellAndTellsTheAlertThroughItsEnvironment) {
    TempFolder folder;
    const std::string script = folder.File("alert.sh");
    const std::string out = folder.File("out");
    WriteBytes(script,
               "#!/bin/sh\nenv | grep '^KPS_ALERT' | sort > \"$1.tmp\"; mv \"$1.tmp\" \"$1\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    FakeClock clock;
    PrintLog log(folder.Path(), clock);
    // A value the server was started with must not hide the alert's own.
    ::setenv("KPS_ALERT_PRINTER", "stale", 1);
    {
        AlertCommand command(script + " " + out, log);
        command.Run({AlertEvent::Kind::NotPrinting, true, "BAR1; rm -rf /", "paper out", 130});
        for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) {
            std::this_thread::sleep_for(10ms);
        }
    }
    ::unsetenv("KPS_ALERT_PRINTER");
    EXPECT_EQ(ReadBytes(out),
              "KPS_ALERT=raised\nKPS_ALERT_PRINTER=BAR1; rm -rf /\nKPS_ALERT_REASON=paper out\n"
              "KPS_ALERT_SECONDS=130\nKPS_ALERT_TEXT=Alert: 'BAR1; rm -rf /' has not printed for "
              "130 s (paper out)\n");

    AlertCommand missing(folder.File("no-such-command"), log);
    missing.Run({});
    // The file is there before its line is.
    for (int i = 0; i < 500 && ReadBytes(log.TodayFile()).empty(); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_THAT(ReadBytes(log.TodayFile()), HasSubstr("Error Alert command '"));
}

}  // namespace
}  // namespace kps::test
