#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/EscPosNetworkPrinter.h"
#include "output/OposPrinterRoutines.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string kHealthQueries = "\x10\x04\x01\x10\x04\x02\x10\x04\x04"s;
const std::string kPrinterQuery = "\x10\x04\x01"s;
// GS r 1: answered once everything before it has been printed.
const std::string kReleaseQuery = "\x1dr\x01"s;
constexpr auto kJobWait = 3000ms;

FakeReceiptPrinter::Options LoopbackOptions() {
    FakeReceiptPrinter::Options options;
    options.address = "127.0.0.3";
    return options;
}

class EscPosNetworkPrinterTest : public ::testing::Test {
  protected:
    EscPosNetworkPrinterTest()
        : fake_(LoopbackOptions()),
          log_(folder_.Path(), clock_),
          registry_(folder_.Path() + "/PosPrinters.ini", 1252),
          printer_(registry_, log_,
                   {.statusMs = 300, .sendMs = 300, .confirmMs = 300, .confirmPerLineMs = 400}),
          routines_(printer_, pinger_, pause_, log_, op_) {
        Register("");
        pinger_.reachable = {"127.0.0.3"};
        PR_LoadOposSetting(codes_, "O");
        ticket_.List3 = {codes_.CodeCentre + codes_.FontCode4 + "TABLE 5\r\n",
                         codes_.FontCode1 + "1 Soup\r\n", codes_.FontCode2 + "2 Bread\r\n",
                         codes_.FontCode3 + "3 Salad\r\n",
                         codes_.CodeColourOn + "No salt" + codes_.CodeColourOff + "\r\n"};
        ticket_.RTF = "TABLE 5\r\n1 Soup\r\n2 Bread\r\n3 Salad\r\nNo salt\r\n";
    }

    // The registry entry of KITCHEN1: the printer's port (the fake's unless
    // given) and `extra` keys.
    void Register(const std::string& extra, std::uint16_t port = 0) {
        WriteBytes(
            folder_.File("PosPrinters.ini"),
            "[KITCHEN1]\r\nPort=" + std::to_string(port ? port : fake_.Port()) + "\r\n" + extra);
    }

    // The bytes of the one finished job.
    std::string OnlyJob() {
        EXPECT_TRUE(fake_.WaitForJobs(1, kJobWait));
        auto jobs = fake_.Jobs();
        EXPECT_EQ(jobs.size(), 1u);
        return jobs.empty() ? std::string() : jobs.front().bytes;
    }

    bool PrintTicket() {
        if (!routines_.OpenOpsLDN("KITCHEN1", "127.0.0.3")) {
            return false;
        }
        routines_.PrintOposTicket(ticket_, codes_);
        return true;
    }

    TempFolder folder_;
    FakeReceiptPrinter fake_;
    FakeClock clock_;
    PrintLog log_;
    PosPrinterRegistry registry_;
    EscPosNetworkPrinter printer_;
    FakePinger pinger_;
    FakeWaitPause pause_;
    FakeOperator op_;
    OposPrinterRoutines routines_;
    PrinterCodes codes_;
    TicketBuffers ticket_;
};

TEST_F(EscPosNetworkPrinterTest, ATicketArrivesAsEscPosAndIsCut) {
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    const std::string expected = kHealthQueries + kHealthQueries +
                                 "\x1b@\x1bt\x10"
                                 "\x1b"
                                 "a\x01\x1b!\x30TABLE 5\r\n\x1b"
                                 "a\x00"
                                 "\x1b!\x00"
                                 "1 Soup\r\n"
                                 "\x1b!\x20"
                                 "2 Bread\r\n"
                                 "\x1b!\x10"
                                 "3 Salad\r\n"
                                 "\x1br\x01No salt\x1br\x00\r\n"
                                 "\x1dV\x42\x00"s +
                                 kPrinterQuery + kReleaseQuery;
    EXPECT_EQ(OnlyJob(), expected);
    EXPECT_EQ(ReadBytes(log_.TodayFile()), "");
}

TEST_F(EscPosNetworkPrinterTest, TheEncodingOfTheSectionIsUsedAndAMissingCharacterLoggedOnce) {
    Register("Encoding=pc866\r\nReleasePause=0\r\n");
    ticket_.List3 = {"\u9EBB \u0411\u043E\u0440\u0449 \u9EBB\r\n"};
    ASSERT_TRUE(PrintTicket());
    ASSERT_TRUE(PrintTicket());
    ASSERT_TRUE(fake_.WaitForJobs(2, kJobWait));
    const std::string job = fake_.Jobs().front().bytes;
    EXPECT_NE(job.find("\x1b@\x1bt\x11? \x81\xAE\xE0\xE9 ?\r\n"s), std::string::npos);
    const std::string log = ReadBytes(log_.TodayFile());
    EXPECT_NE(log.find("U+9EBB"), std::string::npos) << log;
    EXPECT_EQ(log.find("U+9EBB"), log.rfind("U+9EBB")) << log;
}

TEST_F(EscPosNetworkPrinterTest, AFixedReleasePauseAsksForNoConfirmation) {
    Register("ReleasePause=10\r\n");
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    const std::string job = OnlyJob();
    EXPECT_EQ(job.find(kReleaseQuery), std::string::npos);
    EXPECT_TRUE(job.ends_with("\x1dV\x42\x00"s + kPrinterQuery));
}

TEST_F(EscPosNetworkPrinterTest, WithoutACutterTheTicketEndsWithALineEnd) {
    Register("Cutter=N\r\nCodePage=850\r\n");
    ticket_.List3 = {"Cr\xc3\xa8me\r\n"};
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    // Each piece may be the last, so each is followed by a status query.
    EXPECT_EQ(OnlyJob(), kHealthQueries + kHealthQueries +
                             "\x1b@\x1bt\x02"
                             "Cr\x8ame\r\n"s +
                             kPrinterQuery + "\r\n" + kPrinterQuery + kReleaseQuery);
}

TEST_F(EscPosNetworkPrinterTest, APrinterThatIsNotReadyRefusesTheTicket) {
    {
        SCOPED_TRACE("paper out when opening: closed quietly");
        fake_.SetState(FakePrinterState::PaperOut);
        EXPECT_FALSE(routines_.OpenOpsLDN("KITCHEN1", "127.0.0.3"));
        EXPECT_FALSE(printer_.CoverOpen());
        EXPECT_EQ(ReadBytes(log_.TodayFile()), "");
        EXPECT_EQ(pause_.pauses, 0);
    }
    {
        SCOPED_TRACE("cover opened after the open: nothing printed");
        fake_.SetState(FakePrinterState::Online);
        ASSERT_TRUE(routines_.OpenOpsLDN("KITCHEN1", "127.0.0.3"));
        fake_.SetState(FakePrinterState::CoverOpen);
        routines_.PrintOposTicket(ticket_, codes_);
        EXPECT_TRUE(ticket_.PrintFailed);
        EXPECT_TRUE(printer_.CoverOpen());
    }
    ASSERT_TRUE(fake_.WaitForJobs(2, kJobWait));
    const auto jobs = fake_.Jobs();
    EXPECT_EQ(jobs[0].bytes, kHealthQueries);
    EXPECT_EQ(jobs[1].bytes, kHealthQueries + kHealthQueries);
}

TEST_F(EscPosNetworkPrinterTest, ARefusedConnectionIsLoggedAndPaused) {
    fake_.SetRefusing(true);
    EXPECT_FALSE(routines_.OpenOpsLDN("KITCHEN1", "127.0.0.3"));
    EXPECT_EQ(ReadBytes(log_.TodayFile()), "07/12/26 22:05:09 Error Open 'KITCHEN1'\r\n");
    EXPECT_EQ(pause_.pauses, 1);
    EXPECT_EQ(printer_.ResultCode(), OPOS_SUCCESS);  // closed again
}

TEST_F(EscPosNetworkPrinterTest, SilenceAndLostConnectionsBecomeResultCodes) {
    {
        SCOPED_TRACE("a silent printer times out");
        fake_.SetState(FakePrinterState::Silent);
        EXPECT_FALSE(routines_.OpenOpsLDN("KITCHEN1", "127.0.0.3"));
        ASSERT_EQ(printer_.Open("KITCHEN1", "127.0.0.3"), OPOS_SUCCESS);
        ASSERT_EQ(printer_.ClaimDevice(1000), OPOS_SUCCESS);
        printer_.SetDeviceEnabled(true);
        EXPECT_EQ(printer_.CheckHealth(1), OPOS_E_TIMEOUT);
        printer_.Close();
    }
    {
        SCOPED_TRACE("the printer drops the job half way");
        fake_.SetState(FakePrinterState::Online);
        fake_.SetDropAfter(kHealthQueries.size() * 2 + 12);
        ASSERT_TRUE(PrintTicket());
        EXPECT_TRUE(ticket_.PrintFailed);
    }
}

TEST_F(EscPosNetworkPrinterTest, ConfirmationWaitsForThePrintersWord) {
    Register("ConfirmPrinted=Y\r\n");
    ticket_.List3.resize(1);
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    const std::string job = OnlyJob();
    EXPECT_EQ(job.substr(job.size() - 15),
              "\x1dV\x42\x00\x1d(H\x06\x00\x30\x30"
              "0001"s);
}

TEST_F(EscPosNetworkPrinterTest, AReportLaterThanTheBareWaitCountsWithinTheTicketsAllowance) {
    // 600 ms after the last byte: past the 300 ms every ticket gets, within
    // what its five lines add.
    FakeReceiptPrinter::Options options = LoopbackOptions();
    options.printMs = 600;
    FakeReceiptPrinter slow(options);
    Register("ConfirmPrinted=Y\r\n", slow.Port());
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    EXPECT_EQ(ReadBytes(log_.TodayFile()), "");
}

TEST_F(EscPosNetworkPrinterTest, AConnectionLostBeforeTheReportFailsTheTicketWithBytesLeft) {
    Register("ConfirmPrinted=Y\r\n");
    ASSERT_TRUE(PrintTicket());
    ASSERT_FALSE(ticket_.PrintFailed);
    // The same ticket again; the printer hangs up once it holds all of it
    // and the request for the report.
    fake_.SetDropAfter(OnlyJob().size());
    ASSERT_TRUE(PrintTicket());
    EXPECT_TRUE(ticket_.PrintFailed);
    EXPECT_TRUE(routines_.SentTicket());
    EXPECT_EQ(ReadBytes(log_.TodayFile()), "");
}

TEST_F(EscPosNetworkPrinterTest, ASilentWaitOnAnOpenConnectionCountsAsPrintedAndIsLogged) {
    Register("ConfirmPrinted=Y\r\n");
    fake_.SetAnswersProcessId(false);
    ticket_.List3.resize(1);
    ASSERT_TRUE(PrintTicket());
    EXPECT_FALSE(ticket_.PrintFailed);
    EXPECT_EQ(ReadBytes(log_.TodayFile()),
              "07/12/26 22:05:09 Printer 'KITCHEN1' did not confirm the ticket\r\n");
}

TEST_F(EscPosNetworkPrinterTest, APrinterInTroubleWhenTheWaitEndsFailsTheTicket) {
    Register("ConfirmPrinted=Y\r\n");
    ASSERT_EQ(printer_.Open("KITCHEN1", "127.0.0.3"), OPOS_SUCCESS);
    ASSERT_EQ(printer_.ClaimDevice(1000), OPOS_SUCCESS);
    printer_.SetDeviceEnabled(true);
    fake_.SetState(FakePrinterState::PaperOut);  // holds the report back and says it is offline
    EXPECT_EQ(printer_.PrintNormal(PTR_S_RECEIPT, codes_.CodeFeedCut), OPOS_E_OFFLINE);
    EXPECT_EQ(printer_.Fault(), PrintFault::Offline);
    EXPECT_EQ(ReadBytes(log_.TodayFile()), "");
    printer_.Close();
}

TEST_F(EscPosNetworkPrinterTest, TheControlKeepsItsRules) {
    EXPECT_EQ(printer_.PrintNormal(2, "x"), OPOS_E_CLOSED);
    EXPECT_EQ(printer_.Open("NOWHERE", ""), OPOS_E_NOEXIST);
    ASSERT_EQ(printer_.Open("KITCHEN1", "127.0.0.3"), OPOS_SUCCESS);
    EXPECT_EQ(printer_.Open("KITCHEN1", "127.0.0.3"), OPOS_E_ILLEGAL);
    EXPECT_EQ(printer_.CheckHealth(1), OPOS_E_NOTCLAIMED);
    ASSERT_EQ(printer_.ClaimDevice(1000), OPOS_SUCCESS);
    EXPECT_EQ(printer_.PrintNormal(2, "x"), OPOS_E_DISABLED);
    printer_.SetDeviceEnabled(true);
    EXPECT_EQ(printer_.PrintNormal(1, "journal"), OPOS_E_ILLEGAL);
    EXPECT_EQ(printer_.ResultCode(), OPOS_E_ILLEGAL);
    EXPECT_TRUE(printer_.CapRecPapercut());
    EXPECT_EQ(printer_.Close(), OPOS_SUCCESS);
    EXPECT_EQ(printer_.Close(), OPOS_E_CLOSED);
    EXPECT_EQ(OnlyJob(), "");
}

}  // namespace
}  // namespace kps::test
