#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "startup/KpsError.h"

namespace kps::test {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

constexpr auto kAnswerWait = 2000ms;
constexpr auto kSilenceWait = 300ms;
const std::string kStatusQueries = "\x10\x04\x01\x10\x04\x02\x10\x04\x04";
const std::string kProcessIdQuery =
    "\x1d(H\x06\x00\x30\x30"
    "AB12"s;

// A client of the fake printer: one connection, bounded reads.
class Client {
  public:
    explicit Client(std::uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        error_ = connected_ ? 0 : errno;
    }
    ~Client() { Close(); }

    bool Connected() const { return connected_; }
    int Error() const { return error_; }

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
                closedByPeer_ = n == 0;
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

    bool ClosedByPeer() const { return closedByPeer_; }

    void Close() {
        if (fd_ >= 0) {
            close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
    bool connected_ = false;
    int error_ = 0;
    bool closedByPeer_ = false;
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

TEST(FakeReceiptPrinterTest, AnswersAQuerySplitAcrossWrites) {
    FakeReceiptPrinter printer(Loopback());
    Client client(printer.Port());
    client.Send("TEXT\x10");
    std::this_thread::sleep_for(50ms);
    client.Send("\x04");
    std::this_thread::sleep_for(50ms);
    client.Send("\x01");
    EXPECT_EQ(client.Read(1, kAnswerWait), "\x12");
}

TEST(FakeReceiptPrinterTest, AnswersTheProcessIdOnlyWhenOnlineAndAllowed) {
    FakeReceiptPrinter printer(Loopback());
    {
        Client client(printer.Port());
        client.Send("Ticket\r\n\x1dV\x42\x00"s + kProcessIdQuery);
        EXPECT_EQ(client.Read(7, kAnswerWait),
                  "\x37\x22"
                  "AB12\x00"s);
    }
    printer.SetState(FakePrinterState::PaperOut);
    {
        Client client(printer.Port());
        client.Send(kProcessIdQuery);
        EXPECT_EQ(client.Read(1, kSilenceWait), "");
    }
    printer.SetState(FakePrinterState::Online);
    printer.SetAnswersProcessId(false);
    {
        Client client(printer.Port());
        client.Send(kProcessIdQuery + "\x10\x04\x01");
        EXPECT_EQ(client.Read(2, kSilenceWait), "\x12");  // the status only
    }
}

TEST(FakeReceiptPrinterTest, SilentPrinterRecordsButNeverAnswers) {
    FakeReceiptPrinter printer(Loopback());
    printer.SetState(FakePrinterState::Silent);
    Client client(printer.Port());
    client.Send(kStatusQueries + kProcessIdQuery);
    EXPECT_EQ(client.Read(1, kSilenceWait), "");
    client.Close();
    ASSERT_TRUE(printer.WaitForJobs(1, kAnswerWait));
    EXPECT_EQ(printer.Jobs().at(0).bytes, kStatusQueries + kProcessIdQuery);
}

TEST(FakeReceiptPrinterTest, RecordsEachConnectionAsOneJob) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("kps-fake-printer-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    auto options = Loopback();
    options.outputFolder = folder.string();
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

    std::ifstream file(folder / "job-0001.prn", std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(file)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(written, jobs[0].bytes);
    EXPECT_TRUE(std::filesystem::exists(folder / "job-0002.prn"));
    std::filesystem::remove_all(folder);
}

TEST(FakeReceiptPrinterTest, DropsTheConnectionAfterTheGivenBytes) {
    FakeReceiptPrinter printer(Loopback());
    printer.SetDropAfter(5);
    Client client(printer.Port());
    client.Send("0123456789");
    EXPECT_EQ(client.Read(1, kAnswerWait), "");
    EXPECT_TRUE(client.ClosedByPeer());
    ASSERT_TRUE(printer.WaitForJobs(1, kAnswerWait));
    EXPECT_EQ(printer.Jobs().at(0).bytes, "01234");
}

TEST(FakeReceiptPrinterTest, KeepsJobsAndTheirSizeBounded) {
    auto options = Loopback();
    options.maxJobs = 2;
    options.maxJobBytes = 4;
    FakeReceiptPrinter printer(options);
    for (const char* text : {"one", "two", "three"}) {
        Client client(printer.Port());
        client.Send(text);
    }
    ASSERT_TRUE(printer.WaitForJobs(3, kAnswerWait));
    const auto jobs = printer.Jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].number, 2);
    EXPECT_EQ(jobs[1].bytes, "thre");
}

TEST(FakeReceiptPrinterTest, RefusesConnectionsUntilToldToListenAgain) {
    FakeReceiptPrinter printer(Loopback());
    const auto port = printer.Port();
    printer.SetRefusing(true);
    {
        Client refused(port);
        EXPECT_FALSE(refused.Connected());
        EXPECT_EQ(refused.Error(), ECONNREFUSED);
    }
    printer.SetRefusing(false);
    EXPECT_EQ(printer.Port(), port);
    Client accepted(port);
    ASSERT_TRUE(accepted.Connected());
    accepted.Send("\x10\x04\x01");
    EXPECT_EQ(accepted.Read(1, kAnswerWait), "\x12");
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
