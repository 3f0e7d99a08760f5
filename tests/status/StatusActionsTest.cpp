#include "status/StatusActions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "status/StatusFixture.h"
#include "status/StatusToken.h"
#include "status/StatusWords.h"
#include "status/WebText.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "text/KpsError.h"

namespace kps::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Pair;

using StatusActionTest = StatusFixture;

constexpr std::string_view kResume = "/api/v1/printers/PASS/resume";

TEST_F(StatusActionTest, AnActionNeedsTheTokenAndARequestFromThePagesOwnSite) {
    StatusRequest noCookie = PagePost(kResume);
    noCookie.cookie = "kps_token=" + std::string(64, 'b');
    StatusRequest otherSite = PagePost(kResume);
    otherSite.origin = "http://evil.example";
    StatusRequest otherSiteFetch = PagePost(kResume);
    otherSiteFetch.fetchSite = "cross-site";
    StatusRequest unsaid = PagePost(kResume);
    unsaid.origin.clear();
    unsaid.fetchSite.clear();
    StatusRequest wrongBearer = PagePost(kResume);
    wrongBearer.cookie.clear();
    wrongBearer.authorization = "Bearer " + std::string(63, 'a');
    for (const StatusRequest& refused :
         {noCookie, otherSite, otherSiteFetch, unsaid, wrongBearer}) {
        EXPECT_EQ(Route(refused).status, 403) << refused.cookie << refused.origin;
    }
    EXPECT_EQ(RouteStatusRequest(PagePost(kResume), &snapshot, now, nullptr).status, 403);
    EXPECT_TRUE(acted.empty());

    const StatusResponse done = Route(PagePost(kResume));
    EXPECT_EQ(done.status, 200);
    EXPECT_THAT(done.body, HasSubstr("<p>done &lt;now&gt;</p>"));
    EXPECT_THAT(done.headers, Contains(Pair("Refresh", "2; url=/")));
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0].kind, StatusActionKind::Resume);
    EXPECT_EQ(acted[0].device, "PASS");
    EXPECT_EQ(acted[0].client, "192.0.2.7");
}

TEST_F(StatusActionTest, AScriptActsWithTheBearerTokenAndGetsJson) {
    StatusRequest script;
    script.method = "POST";
    script.path = "/api/v1/tickets/BAR1/2/reprint";
    script.authorization = "Bearer " + kToken;
    const StatusResponse done = Route(script);
    EXPECT_EQ(done.status, 200);
    EXPECT_EQ(done.body, "{\"done\":true,\"message\":\"done \\u003cnow\\u003e\"}\n");
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0].kind, StatusActionKind::Reprint);
    EXPECT_EQ(acted[0].n, 2);

    door.act = [](StatusAction) { return StatusActionOutcome{false, "not suspended"}; };
    EXPECT_EQ(Route(script).status, 409);
}

TEST_F(StatusActionTest, ActionsNameOnlyWhatTheSnapshotHasAndTakeOnlyTheirOwnAnswers) {
    for (const char* path : {"/api/v1/printers/NOPE/resume", "/api/v1/tickets/BAR1/3/reprint",
                             "/api/v1/tickets/BAR1/0/reprint", "/api/v1/tickets/NOPE/1/reprint",
                             "/api/v1/printers/BAR1/answer", "/api/v1/printers/BAR1/shutdown",
                             "/api/v1/tickets/BAR1/reprint"}) {
        EXPECT_EQ(Route(PagePost(path)).status, 404) << path;
    }
    const StatusResponse get = Get(kResume);
    EXPECT_EQ(get.status, 405);
    EXPECT_THAT(get.headers, Contains(Pair("Allow", "POST")));

    snapshot.printers[0].status.state = PrinterState::QuestionPending;
    const std::string answer = "/api/v1/printers/BAR1/answer";
    for (const char* body : {"", "answer=later", "answer=div%2", "answer=%zzdivert"}) {
        EXPECT_EQ(Route(PagePost(answer, body)).status, 400) << body;
    }
    EXPECT_TRUE(acted.empty());
    EXPECT_EQ(Route(PagePost(answer, "x=1&answer=every")).status, 200);
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0].answer, QuestionAnswer::EveryTicket);

    door.answersQuestions = false;  // headless: it answers them itself
    EXPECT_EQ(Route(PagePost(answer, "answer=cancel")).status, 409);
    EXPECT_EQ(acted.size(), 1u);
}

TEST_F(StatusActionTest, TheTokenLinkKeepsTheTokenInAStrictCookieAndLeavesTheAddress) {
    StatusRequest link;
    link.method = "GET";
    link.path = "/";
    link.query = "token=" + kToken;
    const StatusResponse kept = Route(link);
    EXPECT_EQ(kept.status, 303);
    EXPECT_THAT(kept.headers, Contains(Pair("Location", "/")));
    EXPECT_THAT(kept.headers,
                Contains(Pair("Set-Cookie",
                              "kps_token=" + kToken + "; Path=/; HttpOnly; SameSite=Strict")));
    link.query = "token=" + std::string(64, 'b');
    EXPECT_EQ(Route(link).status, 200);
}

TEST_F(StatusActionTest, ThePageOffersWhatCanBeDoneAsFormsThatWorkWithoutScript) {
    snapshot.printers[0].status.state = PrinterState::QuestionPending;
    const std::string page = Get("/").body;
    EXPECT_THAT(page, HasSubstr("<form method=\"post\" action=\"/api/v1/printers/PASS/resume\">"
                                "<button>Resume</button></form>"));
    EXPECT_THAT(page, HasSubstr("<form method=\"post\" action=\"/api/v1/printers/BAR1/answer\">"
                                "<input type=\"hidden\" name=\"answer\" value=\"every\">"));
    EXPECT_THAT(page, HasSubstr("action=\"/api/v1/printers/Grill%20%22A%22%20%3Cb%3E%26/"
                                "test-print\""));
    EXPECT_THAT(page, HasSubstr("action=\"/api/v1/tickets/BAR1/2/reprint\""));
    EXPECT_THAT(Get("/api/v1/status").body,
                HasSubstr(R"("actions":[{"label":"Resume","path":"/api/v1/printers/PASS/resume")"));
}

TEST_F(StatusActionTest, AReprintFollowsTheTicketThePageShowedAsNewerOnesPushItDown) {
    const std::vector<StoredTicket>& kept = snapshot.tickets->at("BAR1");
    const std::string identity = TicketIdentity(kept[1]);
    EXPECT_THAT(Get("/").body, HasSubstr("<input type=\"hidden\" name=\"ticket\" value=\"" +
                                         EscapeHtml(identity) + "\">"));
    const std::string path = "/api/v1/tickets/BAR1/2/reprint";
    EXPECT_EQ(Route(PagePost(path, "ticket=" + EncodePathSegment(identity))).status, 200);
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0].ticket, identity);

    std::vector<StoredTicket> later = kept;
    later.insert(later.begin(), 2, StoredTicket{{"1 Tea\r\n"}, 0, {"9"}, {}, "T9", 40});
    EXPECT_EQ(KeptTicketNumber(later, identity), 4);
    later.pop_back();
    EXPECT_EQ(KeptTicketNumber(later, identity), std::nullopt);
}

StatusAction Action(const std::string& device) {
    StatusAction action;
    action.device = device;
    return action;
}

class ScriptedHandler final : public StatusActionHandler {
  public:
    StatusActionOutcome Run(const StatusAction& action) override {
        if (action.device == "THROWS") {
            throw KpsError(kErrPrinter, "broken");
        }
        ran.push_back(action.device);
        return {true, action.device};
    }
    std::vector<std::string> ran;
};

TEST(StatusActionDeskTest, TheTickRunsActionsInOrderAndEveryAskerHearsAnOutcome) {
    StatusActionDesk desk;
    ScriptedHandler handler;
    auto first = desk.Submit(Action("A"));
    auto second = desk.Submit(Action("B"));
    desk.RunWaiting(handler);
    EXPECT_EQ(handler.ran, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(first.get().message, "A");
    EXPECT_EQ(second.get().message, "B");

    auto throws = desk.Submit(Action("THROWS"));
    auto behind = desk.Submit(Action("C"));
    EXPECT_THROW(desk.RunWaiting(handler), KpsError);
    EXPECT_FALSE(throws.get().done);
    EXPECT_FALSE(behind.get().done);

    for (std::size_t i = 0; i < StatusActionDesk::kMaxWaiting; ++i) {
        desk.Submit(Action("D"));
    }
    EXPECT_FALSE(desk.Submit(Action("E")).get().done);
    EXPECT_THAT(SubmitAndWait(desk, Action("F"), std::chrono::milliseconds(0)).message,
                HasSubstr("Too many"));
}

TEST(StatusActionDeskTest, AnActionTheTickHasNotReachedIsOnItsWay) {
    StatusActionDesk desk;
    const StatusActionOutcome outcome =
        SubmitAndWait(desk, Action("A"), std::chrono::milliseconds(0));
    EXPECT_TRUE(outcome.done);
    EXPECT_THAT(outcome.message, HasSubstr("next polling cycle"));
}

TEST(StatusActionDeskTest, OnceTheServerStopsNoActionIsOnItsWay) {
    StatusActionDesk desk;
    auto waiting = desk.Submit(Action("A"));
    desk.Close();
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_FALSE(waiting.get().done);
    const StatusActionOutcome late = SubmitAndWait(desk, Action("B"), std::chrono::milliseconds(0));
    EXPECT_FALSE(late.done);
    EXPECT_THAT(late.message, HasSubstr("stopping"));
    ScriptedHandler handler;
    desk.RunWaiting(handler);
    EXPECT_TRUE(handler.ran.empty());
}

TEST(StatusTokenTest, IsMadeOnceForTheServersUserOnlyAndNeverThroughALink) {
    TempFolder folder;
    const std::string token = LoadStatusToken(folder.Path());
    EXPECT_EQ(token.size(), 64u);
    EXPECT_EQ(LoadStatusToken(folder.Path()), token);
    EXPECT_EQ(ReadStatusToken(folder.Path()), token);
    struct stat info {};
    ASSERT_EQ(::stat(StatusTokenFile(folder.Path()).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    WriteBytes(StatusTokenFile(folder.Path()), "short\n");
    EXPECT_NE(LoadStatusToken(folder.Path()), token);

    TempFolder linked;
    std::filesystem::create_symlink(StatusTokenFile(folder.Path()), StatusTokenFile(linked.Path()));
    EXPECT_THROW(LoadStatusToken(linked.Path()), KpsError);
    EXPECT_FALSE(TokensMatch("", ""));
    EXPECT_FALSE(TokensMatch(token, token.substr(1)));
}

}  // namespace
}  // namespace kps::test
