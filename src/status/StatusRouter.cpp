#include "status/StatusRouter.h"

#include <functional>
#include <optional>

#include "status/StatusApi.h"
#include "status/StatusHealth.h"
#include "status/StatusMetrics.h"
#include "status/StatusPage.h"
#include "status/TicketPage.h"

namespace kps {

namespace {

constexpr std::string_view kHtml = "text/html; charset=utf-8";
constexpr std::string_view kJson = "application/json";
constexpr std::string_view kText = "text/plain; charset=utf-8";
constexpr std::string_view kMetrics = "text/plain; version=0.0.4; charset=utf-8";
constexpr std::string_view kTicketsPage = "/tickets/";
constexpr std::string_view kTicketsApi = "/api/v1/tickets/";

// The pages load nothing from anywhere, and nothing but their own API.
constexpr std::string_view kPagePolicy =
    "default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

using Handler = std::function<StatusResponse()>;

StatusResponse Text(int status, const std::string& text) {
    return {status, std::string(kText), text + "\n", {}};
}

// "1" to the number of kept tickets, digits only.
std::optional<std::size_t> TicketNumber(std::string_view text, std::size_t kept) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    std::size_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n >= 1 && n <= kept ? std::optional(n) : std::nullopt;
}

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
        return StatusResponse{
            200,
            std::string(kHtml),
            TicketPageHtml(device, static_cast<long>(n), ticket, snapshot.codePage),
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
            return Text(health.healthy ? 200 : 503, health.text);
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
                200, std::string(kJson), TicketsJson(device, *tickets, snapshot.codePage), {}};
        };
    }
    if (path.starts_with(kTicketsPage)) {
        return TicketPage(path.substr(kTicketsPage.size()), snapshot);
    }
    return nullptr;
}

StatusResponse Answer(std::string_view method, std::string_view path,
                      const StatusSnapshot* snapshot, SteadyTime now) {
    if (snapshot == nullptr) {
        return Text(503, "Starting");
    }
    const Handler handler = Find(path, *snapshot, now);
    if (!handler) {
        return Text(404, "Not found");
    }
    if (method != "GET" && method != "HEAD") {
        StatusResponse refused = Text(405, "Only GET and HEAD");
        refused.headers.emplace_back("Allow", "GET, HEAD");
        return refused;
    }
    return handler();
}

}  // namespace

StatusResponse RouteStatusRequest(std::string_view method, std::string_view path,
                                  const StatusSnapshot* snapshot, SteadyTime now) {
    StatusResponse response = Answer(method, path, snapshot, now);
    response.headers.emplace_back("Cache-Control", "no-store");
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    if (response.contentType == kHtml) {
        response.headers.emplace_back("Content-Security-Policy", std::string(kPagePolicy));
    }
    return response;
}

}  // namespace kps
