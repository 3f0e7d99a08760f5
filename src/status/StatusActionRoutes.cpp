#include "status/StatusActionRoutes.h"

#include <string_view>

#include "status/HtmlDocument.h"
#include "status/StatusToken.h"
#include "status/WebText.h"

namespace kps {

namespace {

constexpr std::string_view kPrinters = "/api/v1/printers/";
constexpr std::string_view kTickets = "/api/v1/tickets/";
constexpr std::string_view kReprint = "/reprint";
constexpr std::string_view kCookie = "kps_token";

// A request names its action before anything is checked; a path that
// names nothing is not found whoever asks.
struct Named {
    StatusAction action;
    bool found = false;
};

bool CutSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix)) {
        return false;
    }
    text.remove_suffix(suffix.size());
    return true;
}

std::optional<Named> PrinterAction(std::string_view rest, const StatusSnapshot& snapshot) {
    Named named;
    if (CutSuffix(rest, "/resume")) {
        named.action.kind = StatusActionKind::Resume;
    } else if (CutSuffix(rest, "/test-print")) {
        named.action.kind = StatusActionKind::TestPrint;
    } else if (CutSuffix(rest, "/answer")) {
        named.action.kind = StatusActionKind::Answer;
    } else {
        return std::nullopt;
    }
    named.action.device = std::string(rest);
    const PrinterSnapshot* printer = snapshot.FindPrinter(named.action.device);
    named.found = printer != nullptr && (named.action.kind != StatusActionKind::Answer ||
                                         printer->status.state == PrinterState::QuestionPending);
    return named;
}

std::optional<Named> TicketAction(std::string_view rest, const StatusSnapshot& snapshot) {
    if (!CutSuffix(rest, kReprint)) {
        return std::nullopt;
    }
    Named named;
    named.action.kind = StatusActionKind::Reprint;
    const auto slash = rest.rfind('/');
    if (slash == std::string_view::npos) {
        return named;
    }
    named.action.device = std::string(rest.substr(0, slash));
    const std::vector<StoredTicket>* tickets = snapshot.FindTickets(named.action.device);
    const auto n = tickets ? TicketNumber(rest.substr(slash + 1), tickets->size()) : std::nullopt;
    named.action.n = n ? static_cast<int>(*n) : 0;
    named.found = n.has_value();
    return named;
}

std::optional<Named> NameAction(std::string_view path, const StatusSnapshot& snapshot) {
    if (path.starts_with(kPrinters)) {
        return PrinterAction(path.substr(kPrinters.size()), snapshot);
    }
    if (path.starts_with(kTickets)) {
        return TicketAction(path.substr(kTickets.size()), snapshot);
    }
    return std::nullopt;
}

std::string BearerToken(std::string_view authorization) {
    constexpr std::string_view kBearer = "Bearer ";
    return authorization.starts_with(kBearer) ? std::string(authorization.substr(kBearer.size()))
                                              : std::string();
}

// Why the request may not act; empty when it may. A browser sends the
// cookie only to the page's own site (SameSite), and says where a request
// comes from: one from any other site is refused even with the cookie.
std::string Refusal(const StatusRequest& request, const ActionDoor* door) {
    if (door == nullptr) {
        return "This server takes no actions";
    }
    const bool crossSite = (!request.fetchSite.empty() && request.fetchSite != "same-origin" &&
                            request.fetchSite != "none") ||
                           (!request.origin.empty() && request.origin != "http://" + request.host &&
                            request.origin != "https://" + request.host);
    if (crossSite) {
        return "Refused: the request comes from another site";
    }
    const std::string bearer = BearerToken(request.authorization);
    if (!bearer.empty()) {
        return TokensMatch(door->token, bearer) ? "" : "Refused: the token is not this server's";
    }
    if (request.origin.empty() && request.fetchSite.empty()) {
        return "Refused: a page's request must say where it comes from";
    }
    return TokensMatch(door->token, FindCookie(request.cookie, kCookie))
               ? ""
               : "An action needs the status token: open the page from the link that "
                 "'kitchen-print-server --status-token' prints";
}

std::optional<QuestionAnswer> ParseAnswer(std::string_view text) {
    if (text == "divert") {
        return QuestionAnswer::Divert;
    }
    if (text == "every") {
        return QuestionAnswer::EveryTicket;
    }
    if (text == "cancel") {
        return QuestionAnswer::Cancel;
    }
    return std::nullopt;
}

// A script asked for JSON; a page's form gets a page that leads back.
StatusResponse Reply(const StatusRequest& request, int status, const std::string& message) {
    if (!BearerToken(request.authorization).empty()) {
        return {status,
                std::string(kJsonType),
                std::string("{\"done\":") + (status < 300 ? "true" : "false") +
                    ",\"message\":" + JsonString(message) + "}\n",
                {}};
    }
    const std::string body =
        "<p>" + EscapeHtml(message) + "</p>\n<p><a href=\"/\">Back to the printers</a></p>\n";
    StatusResponse page{
        status, std::string(kHtmlType), HtmlDocument("Kitchen printers", "", body), {}};
    if (status < 300) {
        page.headers.emplace_back("Refresh", "2; url=/");
    }
    return page;
}

}  // namespace

std::optional<StatusResponse> RouteStatusAction(const StatusRequest& request,
                                                const StatusSnapshot& snapshot,
                                                const ActionDoor* door) {
    std::optional<Named> named = NameAction(request.path, snapshot);
    if (!named) {
        return std::nullopt;
    }
    if (!named->found) {
        return TextReply(404, "Not found");
    }
    if (request.method != "POST") {
        StatusResponse refused = TextReply(405, "Only POST");
        refused.headers.emplace_back("Allow", "POST");
        return refused;
    }
    if (const std::string refusal = Refusal(request, door); !refusal.empty()) {
        return Reply(request, 403, refusal);
    }
    StatusAction& action = named->action;
    if (action.kind == StatusActionKind::Answer) {
        const FormField field = FindFormField(request.body, "answer");
        const std::optional<QuestionAnswer> answer =
            field.valid ? ParseAnswer(field.value) : std::nullopt;
        if (!answer) {
            return Reply(request, 400, "The answer must be divert, every or cancel");
        }
        if (!door->answersQuestions) {
            return Reply(request, 409, "This server answers its divert questions itself");
        }
        action.answer = *answer;
    }
    if (action.kind == StatusActionKind::Reprint) {
        const FormField ticket = FindFormField(request.body, "ticket");
        if (ticket.present && !ticket.valid) {
            return Reply(request, 400, "The ticket field is not form-encoded");
        }
        action.ticket = ticket.value;
    }
    action.client = request.client;
    const StatusActionOutcome outcome = door->act(action);
    return Reply(request, outcome.done ? 200 : 409, outcome.message);
}

std::optional<StatusResponse> KeepStatusToken(const StatusRequest& request,
                                              const ActionDoor* door) {
    if (door == nullptr || request.path != "/" || request.method != "GET") {
        return std::nullopt;
    }
    const FormField token = FindFormField(request.query, "token");
    if (!token.present || !TokensMatch(door->token, token.value)) {
        return std::nullopt;
    }
    StatusResponse kept = TextReply(303, "See /");
    kept.headers.emplace_back("Location", "/");
    kept.headers.emplace_back("Set-Cookie", std::string(kCookie) + "=" + token.value +
                                                "; Path=/; HttpOnly; SameSite=Strict");
    return kept;
}

}  // namespace kps
