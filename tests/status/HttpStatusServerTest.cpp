// The status server on real sockets, on the loopback only.

#include "status/HttpStatusServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include "status/StatusFixture.h"
#include "support/Fakes.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::HasSubstr;

class HttpStatusServerTest : public ::testing::Test {
  protected:
    HttpStatusServerTest() { board.Publish(std::make_shared<StatusSnapshot>(FixtureSnapshot())); }

    std::string LogText() const { return ReadBytes(log.TodayFile()); }

    TempFolder folder;
    FakeClock clock;
    PrintLog log{folder.Path(), clock};
    StatusBoard board;
};

httplib::Client ClientOf(const HttpStatusServer& server) {
    httplib::Client client("127.0.0.1", server.Port());
    client.set_connection_timeout(2);
    client.set_read_timeout(2);
    return client;
}

TEST_F(HttpStatusServerTest, ServesTheRouterOnAnyFreePortOfTheLoopback) {
    HttpStatusServer server("127.0.0.1:0", board, log);
    ASSERT_NE(server.Port(), 0);
    httplib::Client client = ClientOf(server);

    const auto page = client.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(page->get_header_value("Cache-Control"), "no-store");
    EXPECT_THAT(page->body, HasSubstr("<td class=\"state not_printing\">"));
    const auto ticket = client.Get("/tickets/OLD%201/1");  // the name arrives decoded
    ASSERT_TRUE(ticket);
    EXPECT_THAT(ticket->body, HasSubstr("<span>1 Soup</span>"));
    const auto head = client.Head("/metrics");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->status, 200);
    EXPECT_EQ(head->body, "");
    const auto post = client.Post("/", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(LogText(), "");
}

TEST_F(HttpStatusServerTest, AnActionReachesTheDoorWithTheTokenAndThePeersAddress) {
    std::vector<StatusAction> acted;
    const ActionDoor door{kToken, false, [&acted](StatusAction action) {
                              acted.push_back(action);
                              return StatusActionOutcome{true, "resumed"};
                          }};
    HttpStatusServer server("127.0.0.1:0", board, log, &door);
    httplib::Client client = ClientOf(server);
    EXPECT_EQ(client.Post("/api/v1/printers/PASS/resume")->status, 403);
    const auto big = client.Post("/api/v1/printers/PASS/resume", std::string(70 * 1024, 'x'),
                                 "application/x-www-form-urlencoded");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    client.set_bearer_token_auth(kToken);
    const auto done = client.Post("/api/v1/printers/PASS/resume");
    ASSERT_TRUE(done);
    EXPECT_EQ(done->status, 200);
    EXPECT_EQ(done->body, "{\"done\":true,\"message\":\"resumed\"}\n");
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0].client, "127.0.0.1");
}

TEST_F(HttpStatusServerTest, AnAddressThatCannotBeServedIsLoggedOnceAndServesNothing) {
    HttpStatusServer first("127.0.0.1:0", board, log);
    ASSERT_NE(first.Port(), 0);
    const std::string taken = "127.0.0.1:" + std::to_string(first.Port());
    HttpStatusServer second(taken, board, log);
    HttpStatusServer malformed("kitchen", board, log);
    EXPECT_EQ(second.Port(), 0);
    EXPECT_EQ(malformed.Port(), 0);
    const std::string text = LogText();
    EXPECT_THAT(text, HasSubstr("Status page cannot listen at " + taken + "\r\n"));
    EXPECT_EQ(text.find("cannot listen"), text.rfind("cannot listen"));
    EXPECT_THAT(text, HasSubstr("Status page address 'kitchen' is not host:port\r\n"));
    // The first one still serves.
    const auto health = ClientOf(first).Get("/api/v1/status");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
}

}  // namespace
}  // namespace kps::test
