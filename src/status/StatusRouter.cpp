#include "status/StatusRouter.h"

#include <functional>

#include "status/StatusActionRoutes.h"
#include "status/StatusApi.h"
#include "status/StatusHealth.h"
#include "status/StatusMetrics.h"
#include "status/StatusPage.h"
#include "status/TicketPage.h"

namespace kps {

namespace {

constexpr std::string_view kHtml = kHtmlType;
constexpr std::string_view kJson = kJsonType;
constexpr std::string_view kMetrics = "text/plain; version=0.0.4; charset=utf-8";
constexpr std::string_view kTicketsPage = "/tickets/";
constexpr std::string_view kTicketsApi = "/api/v1/tickets/";

// The pages load nothing from anywhere, and nothing but their own API.
constexpr std::string_view kPagePolicy =
    "default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
    "connect-src 'self'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'";

using Handler = std::function<StatusResponse()>;

Handler TicketPage(std::string_view rest, const StatusSnapshot& snapshot) {
    const auto slash = rest.rfind('/');
    if (slash == std::string_view::npos) {
        return nullptr;
    }
    const std::string device(rest.substr(0, slash));
    const std::vector<StoredTicket>* tickets = snapshot.FindTickets(device);
    const auto n = tickets ? TicketNumber(rest.substr(slash + 1), tickets->size()) : std::nullopt;
    if (!n) {
        return nullptr;
    }
    return [device, n = *n, &ticket = (*tickets)[*n - 1], &snapshot] {
        return StatusResponse{200,
                              std::string(kHtml),
                              TicketPageHtml(device, static_cast<long>(n), ticket,
                                             snapshot.codePage, snapshot.registry),
                              {}};
    };
}

// Nothing for a path that names nothing.
Handler Find(std::string_view path, const StatusSnapshot& snapshot, SteadyTime now) {
    if (path == "/") {
        return [&snapshot, now] {
            return StatusResponse{200, std::string(kHtml), StatusPageHtml(snapshot, now), {}};
        };
    }
    if (path == "/api/v1/status") {
        return [&snapshot, now] {
            return StatusResponse{200, std::string(kJson), StatusJson(snapshot, now), {}};
        };
    }
    if (path == "/metrics") {
        return [&snapshot, now] {
            return StatusResponse{200, std::string(kMetrics), MetricsText(snapshot, now), {}};
        };
    }
    if (path == "/healthz") {
        return [&snapshot, now] {
            const Health health = HealthOf(snapshot, now);
            return TextReply(health.healthy ? 200 : 503, health.text);
        };
    }
    if (path.starts_with(kTicketsApi)) {
        const std::string device(path.substr(kTicketsApi.size()));
        const std::vector<StoredTicket>* tickets = snapshot.FindTickets(device);
        if (tickets == nullptr) {
            return nullptr;
        }
        return [device, tickets, &snapshot] {
            return StatusResponse{
                200,
                std::string(kJson),
                TicketsJson(device, *tickets, snapshot.codePage, snapshot.registry),
                {}};
        };
    }
    if (path.starts_with(kTicketsPage)) {
        return TicketPage(path.substr(kTicketsPage.size()), snapshot);
    }
    return nullptr;
}

StatusResponse Answer(const StatusRequest& request, const StatusSnapshot* snapshot, SteadyTime now,
                      const ActionDoor* door) {
    if (snapshot == nullptr) {
        return TextReply(503, "Starting");
    }
    if (std::optional<StatusResponse> acted = RouteStatusAction(request, *snapshot, door)) {
        return *acted;
    }
    if (std::optional<StatusResponse> kept = KeepStatusToken(request, door)) {
        return *kept;
    }
    const Handler handler = Find(request.path, *snapshot, now);
    if (!handler) {
        return TextReply(404, "Not found");
    }
    if (request.method != "GET" && request.method != "HEAD") {
        StatusResponse refused = TextReply(405, "Only GET and HEAD");
        refused.headers.emplace_back("Allow", "GET, HEAD");
        return refused;
    }
    return handler();
}

}  // namespace

StatusResponse RouteStatusRequest(const StatusRequest& request, const StatusSnapshot* snapshot,
                                  SteadyTime now, const ActionDoor* door) {
    StatusResponse response = Answer(request, snapshot, now, door);
    response.headers.emplace_back("Cache-Control", "no-store");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    if (response.contentType == kHtml) {
        response.headers.emplace_back("Content-Security-Policy", std::string(kPagePolicy));
    }
    return response;
}

}  // namespace kps
