#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "output/OposPrinterRoutines.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using Calls = std::vector<std::string>;

const std::string kErrorOpenLine = "07/12/26 22:05:09 Error Open 'KITCHEN1'\r\n";

const Calls kOpenSequence = {"Open KITCHEN1", "ClaimDevice 1000", "DeviceEnabled 1",
                             "CheckHealth 1"};

// A printer control that faults at the named call, as a broken driver would.
class FaultingPosPrinter final : public PosPrinter {
  public:
    explicit FaultingPosPrinter(std::string at, bool kpsError = true)
        : at_(std::move(at)), kpsError_(kpsError) {}

    long Open(const std::string& n, const std::string& a) override {
        return Fault("Open"), inner.Open(n, a);
    }
    long ClaimDevice(long ms) override { return Fault("ClaimDevice"), inner.ClaimDevice(ms); }
    void SetDeviceEnabled(bool on) override { Fault("DeviceEnabled"), inner.SetDeviceEnabled(on); }
    long CheckHealth(long level) override { return Fault("CheckHealth"), inner.CheckHealth(level); }
    long ResultCode() const override { return inner.ResultCode(); }
    long PrintNormal(long s, const std::string& d) override {
        return Fault("PrintNormal"), inner.PrintNormal(s, d);
    }
    bool CapRecPapercut() const override { return inner.CapRecPapercut(); }
    bool CoverOpen() const override { return inner.CoverOpen(); }
    long Close() override { return Fault("Close"), inner.Close(); }
    void AwaitRelease() override { inner.AwaitRelease(); }
    PrintFault Fault() const override { return inner.Fault(); }

    FakePosPrinter inner;

  private:
    void Fault(const std::string& name) {
        if (name != at_) {
            return;
        }
        inner.calls.push_back(name + " faulted");
        if (kpsError_) {
            throw KpsError(kErrPrinter, "The printer control failed");
        }
        throw std::runtime_error("control gone");
    }

    std::string at_;
    bool kpsError_;
};

class OposPrinterRoutinesTest : public ::testing::Test {
  protected:
    OposPrinterRoutinesTest() : log_(folder_.Path(), clock_) {
        pinger_.reachable = {"127.0.0.5"};
        PR_LoadOposSetting(codes_, "O");
        ticket_.RTF = "Soup\r\nBread\r\n";
        ticket_.List3 = {codes_.FontCode2 + "Soup\r\n", codes_.FontCode1 + "Bread\r\n"};
    }

    OposPrinterRoutines Routines(PosPrinter& printer, OposRoutineOptions options = {}) {
        return OposPrinterRoutines(printer, pinger_, pause_, log_, op_, std::move(options));
    }

    std::string LogText() const { return ReadBytes(log_.TodayFile()); }

    TempFolder folder_;
    FakeClock clock_;
    PrintLog log_;
    FakePinger pinger_;
    FakeWaitPause pause_;
    FakeOperator op_;
    FakePosPrinter printer_;
    PrinterCodes codes_;
    TicketBuffers ticket_;
};

TEST_F(OposPrinterRoutinesTest, OpenFailuresEachTakeTheirOwnPath) {
    {
        SCOPED_TRACE("unreachable: no control call, no log, no pause");
        auto routines = Routines(printer_);
        EXPECT_FALSE(routines.OpenOpsLDN("KITCHEN1", "127.0.0.9"));
        EXPECT_TRUE(printer_.calls.empty());
        EXPECT_EQ(pause_.pauses, 0);
    }
    {
        SCOPED_TRACE("health check fails: disabled and closed, no log, no pause");
        FakePosPrinter sick;
        sick.health = OPOS_E_OFFLINE;
        auto routines = Routines(sick);
        EXPECT_FALSE(routines.OpenOpsLDN("KITCHEN1", "127.0.0.5"));
        Calls expected = kOpenSequence;
        expected.insert(expected.end(), {"DeviceEnabled 0", "Close"});
        EXPECT_EQ(sick.calls, expected);
        EXPECT_FALSE(sick.open);
        EXPECT_EQ(pause_.pauses, 0);
    }
    EXPECT_EQ(LogText(), "");
    {
        SCOPED_TRACE("bad result code: logged, paused, disabled and closed");
        FakePosPrinter bad;
        bad.resultCode = OPOS_E_NOHARDWARE;
        auto routines = Routines(bad);
        EXPECT_FALSE(routines.OpenOpsLDN("KITCHEN1", "127.0.0.5"));
        Calls expected = kOpenSequence;
        expected.insert(expected.end(), {"DeviceEnabled 0", "Close"});
        EXPECT_EQ(bad.calls, expected);
        EXPECT_EQ(pause_.pauses, 1);
        EXPECT_EQ(LogText(), kErrorOpenLine);
        // Once per outage: the next failing try pauses but logs nothing more.
        EXPECT_FALSE(routines.OpenOpsLDN("KITCHEN1", "127.0.0.5"));
        EXPECT_EQ(pause_.pauses, 2);
        EXPECT_EQ(LogText(), kErrorOpenLine);
    }
    EXPECT_TRUE(op_.errorReports.empty());
}

TEST_F(OposPrinterRoutinesTest, CloseOpsLDNWaitsForTheReleaseBeforeItDisablesAndCloses) {
    FaultingPosPrinter printer("DeviceEnabled");
    auto routines = Routines(printer);
    routines.CloseOpsLDN();
    // The wait was taken although the first device call then faulted.
    EXPECT_EQ(printer.inner.releases, 1);
    EXPECT_EQ(op_.errorReports, Calls{"MDIForm1|7001|The printer control failed|CloseOpsLDN"});

    FakePosPrinter fine;
    Routines(fine).CloseOpsLDN();
    EXPECT_EQ(fine.calls, (Calls{"DeviceEnabled 0", "Close"}));
    EXPECT_EQ(fine.releases, 1);
    EXPECT_EQ(pause_.pauses, 0);  // the fixed pause is the printer's own setting now
}

TEST_F(OposPrinterRoutinesTest, OpensThenPrintsEveryLineInOrderThenTheCutAndCloses) {
    auto routines = Routines(printer_);
    ASSERT_TRUE(routines.OpenOpsLDN("KITCHEN1", "127.0.0.5"));
    EXPECT_EQ(pinger_.pinged, Calls{"127.0.0.5"});
    EXPECT_EQ(printer_.calls, kOpenSequence);
    EXPECT_TRUE(printer_.open && printer_.enabled);
    EXPECT_EQ(pause_.pauses, 0);
    printer_.calls.clear();
    ticket_.PrintFailed = true;
    routines.PrintOposTicket(ticket_, codes_);

    const Calls expected = {"CheckHealth 1",
                            "PrintNormal 2 \x1b|2CSoup\r\n",
                            "PrintNormal 2 \x1b|1C"
                            "Bread\r\n",
                            "PrintNormal 2 \x1b|fP",
                            "DeviceEnabled 0",
                            "Close"};
    EXPECT_EQ(printer_.calls, expected);
    EXPECT_FALSE(ticket_.PrintFailed);
    EXPECT_EQ(printer_.releases, 1);
}

TEST_F(OposPrinterRoutinesTest, ATicketWithoutLinesGetsOnlyTheCutAndFailsWithTheResult) {
    FakePosPrinter failing;
    failing.resultCode = OPOS_E_FAILURE;
    ticket_.List3.clear();
    Routines(failing).PrintOposTicket(ticket_, codes_);
    EXPECT_EQ(failing.Printed(), Calls{"\x1b|fP"});
    EXPECT_TRUE(ticket_.PrintFailed);
}

TEST_F(OposPrinterRoutinesTest, NothingIsPrintedWhenTheTicketCannotBe) {
    struct Case {
        const char* name;
        std::string rtf;
        long health;
        bool coverOpen;
        Calls calls;
    };
    const std::vector<Case> cases = {
        {"empty text", "", 0, false, {"DeviceEnabled 0", "Close"}},
        {"health fails",
         "x\r\n",
         OPOS_E_OFFLINE,
         false,
         {"CheckHealth 1", "DeviceEnabled 0", "Close"}},
        {"status flag set", "x\r\n", 0, true, {"CheckHealth 1", "DeviceEnabled 0", "Close"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePosPrinter printer;
        printer.health = c.health;
        printer.coverOpen = c.coverOpen;
        ticket_.RTF = c.rtf;
        ticket_.PrintFailed = false;
        Routines(printer).PrintOposTicket(ticket_, codes_);
        EXPECT_EQ(printer.calls, c.calls);
        EXPECT_TRUE(ticket_.PrintFailed);
        EXPECT_EQ(printer.releases, 1);
    }
}

TEST_F(OposPrinterRoutinesTest, FaultsOfTheControlAreReportedAndLeaveNothingOpen) {
    {
        SCOPED_TRACE("fault in the open sequence");
        FaultingPosPrinter printer("ClaimDevice");
        EXPECT_FALSE(Routines(printer).OpenOpsLDN("KITCHEN1", "127.0.0.5"));
        EXPECT_EQ(printer.inner.calls,
                  (Calls{"Open KITCHEN1", "ClaimDevice faulted", "DeviceEnabled 0", "Close"}));
        EXPECT_EQ(op_.errorReports.back(), "MDIForm1|7001|The printer control failed|OpenOpsLDN");
    }
    {
        SCOPED_TRACE("fault while printing: closed, failed, reported");
        FaultingPosPrinter printer("PrintNormal", false);
        ticket_.PrintFailed = false;
        Routines(printer, {50, false, "TRDIVET"}).PrintOposTicket(ticket_, codes_);
        EXPECT_EQ(printer.inner.calls,
                  (Calls{"CheckHealth 1", "PrintNormal faulted", "DeviceEnabled 0", "Close"}));
        EXPECT_TRUE(ticket_.PrintFailed);
        EXPECT_EQ(op_.errorReports.back(), "TRDIVET|7001|control gone|PrintOposTicket");
    }
    EXPECT_EQ(op_.errorReports.size(), 2u);
    EXPECT_EQ(LogText(), "");
}

}  // namespace
}  // namespace kps::test
