#pragma once

#include <functional>
#include <string>

#include "status/StatusActions.h"
#include "status/StatusReplies.h"
#include "status/StatusSnapshot.h"

namespace kps {

// What the router needs of an HTTP request.
struct StatusRequest {
    std::string method;
    std::string path;   // percent-decoded, without the query
    std::string query;  // as sent, without the '?'
    std::string body;
    std::string contentType;
    std::string cookie;
    std::string authorization;
    std::string origin;
    std::string host;
    std::string fetchSite;  // Sec-Fetch-Site
    std::string client;     // the peer's address
};

// What lets a request act on the printers. Without one, every action is
// refused.
struct ActionDoor {
    std::string token;
    bool answersQuestions = false;  // the window build asks divert questions
    // Hands the action to the tick thread and tells what came of it.
    std::function<StatusActionOutcome(StatusAction)> act;
};

// The status server's answer to `request` from the latest snapshot (null
// before the first) at `now`. Reading: "/", "/tickets/<device>/<n>",
// "/api/v1/status", "/api/v1/tickets/<device>", "/metrics" and "/healthz",
// for GET and HEAD (the caller leaves a HEAD's body out); "/?token=…" with
// the right token keeps it in a cookie. Acting, by POST with the token:
// "/api/v1/printers/<device>/resume", ".../test-print", ".../answer"
// (answer=divert|every|cancel) and "/api/v1/tickets/<device>/<n>/reprint".
// Device names and ticket numbers are only looked up in the snapshot; any
// other path is 404, any other method 405.
StatusResponse RouteStatusRequest(const StatusRequest& request, const StatusSnapshot* snapshot,
                                  SteadyTime now, const ActionDoor* door);

}  // namespace kps
