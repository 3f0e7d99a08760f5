#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "fake-receipt-printer/FakeReceiptPrinter.h"
#include "output/IcmpEcho.h"
#include "output/IcmpPinger.h"

namespace kps::test {
namespace {

using namespace std::string_literals;

// The reply a host gives to `request`: type 0, same identifier and sequence.
std::string ReplyTo(std::string request) {
    request[0] = 0;
    request[2] = request[3] = 0;
    const std::uint16_t checksum = InternetChecksum(request);
    request[2] = static_cast<char>(checksum >> 8);
    request[3] = static_cast<char>(checksum & 0xFF);
    return request;
}

TEST(IcmpEchoTest, RequestCarriesItsFieldsAndAValidChecksum) {
    const std::string request = BuildEchoRequest(0x1234, 0x0102);
    EXPECT_EQ(request.size(), 8u);
    EXPECT_EQ(request.substr(0, 2), "\x08\x00"s);
    EXPECT_EQ(request.substr(4), "\x12\x34\x01\x02"s);
    // Sum of 0x0800, 0x1234 and 0x0102 is 0x1B36; its complement is the checksum.
    EXPECT_EQ(request.substr(2, 2), "\xE4\xC9"s);
    EXPECT_EQ(InternetChecksum(request), 0);
    EXPECT_EQ(InternetChecksum(BuildEchoRequest(7, 9, "odd")), 0);
}

TEST(IcmpEchoTest, OnlyTheMatchingReplyIsTaken) {
    const std::string reply = ReplyTo(BuildEchoRequest(0x1234, 5));
    const std::string ipHeader = "\x45"s + std::string(19, '\0');
    EXPECT_TRUE(IsEchoReplyTo(reply, false, std::nullopt, 5));
    EXPECT_TRUE(IsEchoReplyTo(reply, false, 0x1234, 5));
    EXPECT_TRUE(IsEchoReplyTo(ipHeader + reply, true, 0x1234, 5));

    EXPECT_FALSE(IsEchoReplyTo(reply, false, std::nullopt, 6));
    EXPECT_FALSE(IsEchoReplyTo(ipHeader + reply, true, 0x4321, 5));
    EXPECT_FALSE(IsEchoReplyTo(BuildEchoRequest(0x1234, 5), false, std::nullopt, 5));
    std::string corrupt = reply;
    corrupt[7] = 6;
    EXPECT_FALSE(IsEchoReplyTo(corrupt, false, std::nullopt, 6));
    EXPECT_FALSE(IsEchoReplyTo(reply.substr(0, 6), false, std::nullopt, 5));
    EXPECT_FALSE(IsEchoReplyTo("\x46"s + reply, true, std::nullopt, 5));
}

// Opens every socket but ICMP ones, as on a machine that forbids them.
int NoIcmpSockets(int domain, int type, int protocol) {
    return protocol == IPPROTO_ICMP ? -1 : ::socket(domain, type, protocol);
}

// Runs `check` in a child process with a network of its own, where only
// loopback exists (down, unless `setup` brings it up); its exit code, or -1
// when a network namespace cannot be had here.
int InFreshNetwork(const std::string& setup, const std::function<int()>& check) {
    pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);
        if (::unshare(CLONE_NEWNET) != 0) {
            ::_exit(100);
        }
        if (!setup.empty() && std::system(setup.c_str()) != 0) {
            ::_exit(101);
        }
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) >= 100) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(IcmpPingerTest, LoopbackAnswersAndTextsThatAreNotAddressesAreNeverSent) {
    IcmpPinger pinger;
    EXPECT_TRUE(pinger.PingAddress("127.0.0.1"));
    EXPECT_EQ(pinger.Means(), EchoMeans::None);  // stopped again

    ASSERT_TRUE(pinger.StartSockets());
    for (const char* text : {"", "printer1", "1.2.3", "127.0.0.1 ", "256.1.1.1"}) {
        SCOPED_TRACE(text);
        IcmpEchoReply reply;
        reply.status = 99;
        EXPECT_EQ(pinger.SendIcmpEcho(text, "", reply), kIpInvalidAddress);
        EXPECT_EQ(reply.status, kIpInvalidAddress);
        EXPECT_FALSE(pinger.PingAddress(text));
    }
    pinger.StopSockets();
    IcmpEchoReply reply;
    EXPECT_EQ(pinger.SendIcmpEcho("127.0.0.1", "", reply), kIpGeneralFailure);
}

TEST(IcmpPingerTest, WithoutIcmpSocketsATcpConnectionDecidesAndSaysSoOnce) {
    FakeReceiptPrinter::Options options;
    options.address = "127.0.0.6";
    FakeReceiptPrinter listener(options);
    std::ostringstream notices;
    IcmpPinger pinger(listener.Port(), &notices, NoIcmpSockets);
    EXPECT_TRUE(pinger.PingAddress("127.0.0.6"));  // accepted
    ASSERT_TRUE(pinger.StartSockets());
    EXPECT_EQ(pinger.Means(), EchoMeans::TcpConnect);
    IcmpEchoReply reply;
    EXPECT_EQ(pinger.SendIcmpEcho("127.0.0.7", "", reply), kIpSuccess);  // refused: it answered
    EXPECT_EQ(reply.address, htonl(0x7F000007));
    EXPECT_EQ(notices.str(),
              "ICMP sockets are not permitted here; printers are checked by a TCP connection "
              "to port " +
                  std::to_string(listener.Port()) + " instead.\n");
}

TEST(IcmpPingerTest, NothingAnswersWhereThereIsNoNetwork) {
    const int code = InFreshNetwork("", [] {
        std::ostringstream quiet;
        IcmpPinger icmp;
        IcmpPinger tcp(9100, &quiet, NoIcmpSockets);
        return (icmp.PingAddress("127.0.0.1") ? 1 : 0) | (tcp.PingAddress("127.0.0.1") ? 2 : 0);
    });
    if (code < 0) {
        GTEST_SKIP() << "no network namespace can be made here";
    }
    EXPECT_EQ(code, 0);
}

TEST(IcmpPingerTest, ASilentHostTimesOut) {
    const int code = InFreshNetwork("ip link set lo up && ip route add 10.1.1.0/24 dev lo", [] {
        std::ostringstream quiet;
        IcmpPinger icmp;
        IcmpPinger tcp(9100, &quiet, NoIcmpSockets);
        IcmpEchoReply reply;
        int result = 0;
        if (!icmp.StartSockets() ||
            icmp.SendIcmpEcho("10.1.1.2", "", reply) != kIpRequestTimedOut) {
            result |= 1;
        }
        if (!tcp.StartSockets() || tcp.SendIcmpEcho("10.1.1.2", "", reply) != kIpRequestTimedOut) {
            result |= 2;
        }
        return result;
    });
    if (code < 0) {
        GTEST_SKIP() << "no network namespace with a route can be made here";
    }
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace kps::test
