#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

constexpr auto kAnswerWait = 2000ms;
const std::string kStatusQueries = "\x10\x04\x01\x10\x04\x02\x10\x04\x04";

// A client of the fake printer: one connection, bounded reads.
class Client {
  public:
    explicit Client(std::uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { Close(); }

    bool Connected() const { return connected_; }

    void Send(const std::string& bytes) {
        ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `count` bytes came, the peer closed, or `wait` passed.
    std::string Read(std::size_t count, std::chrono::milliseconds wait) {
        std::string received;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (received.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{fd_, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
                break;
            }
            char buffer[64];
            const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    void Close() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
    bool connected_ = false;
};

FakeReceiptPrinter::Options Loopback() {
    FakeReceiptPrinter::Options options;
    options.address = "127.0.0.1";
    return options;
}

TEST(FakeReceiptPrinterTest, StatusAnswersFollowTheState) {
    struct Case {
        FakePrinterState state;
        std::string answers;  // to DLE EOT 1, 2 and 4
    };
    const Case cases[] = {
        {FakePrinterState::Online, "\x12\x12\x12"},
        {FakePrinterState::Offline, "\x1a\x12\x12"},
        {FakePrinterState::PaperOut, "\x1a\x32\x72"},
        {FakePrinterState::CoverOpen, "\x1a\x16\x12"},
    };
    FakeReceiptPrinter printer(Loopback());
    ASSERT_NE(printer.Port(), 0);
    for (const Case& c : cases) {
        printer.SetState(c.state);
        Client client(printer.Port());
        ASSERT_TRUE(client.Connected());
        client.Send(kStatusQueries);
        EXPECT_EQ(client.Read(3, kAnswerWait), c.answers) << static_cast<int>(c.state);
    }
}

TEST(FakeReceiptPrinterTest, RecordsEachConnectionAsOneJob) {
    TempFolder folder;
    auto options = Loopback();
    options.outputFolder = folder.Path();
    FakeReceiptPrinter printer(options);
    {
        Client first(printer.Port());
        first.Send("first\r\n");
        first.Send("\x1dV\x00"s);
    }
    ASSERT_TRUE(printer.WaitForJobs(1, kAnswerWait));
    {
        Client second(printer.Port());
        second.Send("second");
    }
    ASSERT_TRUE(printer.WaitForJobs(2, kAnswerWait));
    EXPECT_FALSE(printer.WaitForJobs(3, 50ms));

    const auto jobs = printer.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].number, 1);
    EXPECT_EQ(jobs[0].bytes, "first\r\n\x1dV\x00"s);
    EXPECT_TRUE(jobs[0].finished);
    EXPECT_EQ(jobs[1].bytes, "second");

    EXPECT_EQ(ReadBytes(folder.File("job-0001.prn")), jobs[0].bytes);
    EXPECT_EQ(ReadBytes(folder.File("job-0002.prn")), "second");
}

// A ticket, then GS r 1, GS ( H and DLE EOT 1: the real-time answer comes
// first, the in-sequence ones once the ticket is printed, in their order.
const std::string kTicketThenQueries =
    "\x1b@Soup\n\x1dr\x01\x1d(H\x06\x00\x30\x30"
    "0042\x10\x04\x01"s;

TEST(FakeReceiptPrinterTest, InSequenceRequestsAreAnsweredOnlyOnceTheTicketIsPrinted) {
    auto options = Loopback();
    options.printMs = 300;
    FakeReceiptPrinter printer(options);
    Client client(printer.Port());
    client.Send(kTicketThenQueries);
    EXPECT_EQ(client.Read(8, kAnswerWait),
              "\x12\x00\x37\x22"
              "0042\x00"s);
}

TEST(FakeReceiptPrinterTest, AStalledPrinterTakesTheTicketAndAnswersNothing) {
    FakeReceiptPrinter printer(Loopback());
    printer.SetState(ParseFakePrinterState("stall").value());
    {
        Client client(printer.Port());
        client.Send(kTicketThenQueries);
        EXPECT_EQ(client.Read(1, 300ms), "");
    }
    ASSERT_TRUE(printer.WaitForJobs(1, kAnswerWait));
    EXPECT_EQ(printer.Jobs()[0].bytes, kTicketThenQueries);
}

TEST(FakeReceiptPrinterTest, SplitsAJobIntoTicketsAtEachInitWithItsArrivalTime) {
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    };
    FakeReceiptPrinter printer(Loopback());
    const auto before = now();
    {
        Client client(printer.Port());
        client.Send("\x10\x04\x01\x1b@one\n");
        ASSERT_EQ(client.Read(1, kAnswerWait).size(), 1u);  // the first ticket is in
        client.Send("\x1b@two\n");
    }
    ASSERT_TRUE(printer.WaitForJobs(1, kAnswerWait));
    const auto after = now();
    const auto job = printer.Jobs()[0];
    const auto tickets = FakeReceiptPrinter::TicketBytes(job);
    ASSERT_EQ(tickets.size(), 2u);
    EXPECT_EQ(tickets[0], "\x1b@one\n");
    EXPECT_EQ(tickets[1], "\x1b@two\n");
    EXPECT_LE(before, job.tickets[0].arrivedUs);
    EXPECT_LE(job.tickets[0].arrivedUs, job.tickets[1].arrivedUs);
    EXPECT_LE(job.tickets[1].arrivedUs, after);
}

TEST(FakeReceiptPrinterTest, ListensOnlyOnLoopbackAddresses) {
    auto options = Loopback();
    options.address = "192.0.2.1";
    EXPECT_THROW(FakeReceiptPrinter{options}, KpsError);
    options.address = "localhost:9100";
    EXPECT_THROW(FakeReceiptPrinter{options}, KpsError);
}

}  // namespace
}  // namespace kps::test
