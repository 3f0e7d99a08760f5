#include "status/HttpStatusServer.h"

#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/socket.h>

#include <chrono>

#include "status/StatusAddress.h"
#include "status/StatusRouter.h"

namespace kps {

namespace {

// A page for a few phones and a scraper: few threads, and connections let
// go soon so that a polling page does not hold a thread between its polls.
constexpr std::size_t kThreads = 4;
constexpr time_t kKeepAliveSeconds = 1;
constexpr time_t kReadWriteSeconds = 2;

// Bodies are a form field at most.
constexpr std::size_t kMaxBody = 64 * 1024;

StatusRequest RequestOf(const httplib::Request& request) {
    StatusRequest asked;
    asked.method = request.method;
    asked.path = request.path;
    const auto query = request.target.find('?');
    if (query != std::string::npos) {
        asked.query = request.target.substr(query + 1);
    }
    asked.body = request.body;
    asked.contentType = request.get_header_value("Content-Type");
    asked.cookie = request.get_header_value("Cookie");
    asked.authorization = request.get_header_value("Authorization");
    asked.origin = request.get_header_value("Origin");
    asked.host = request.get_header_value("Host");
    asked.fetchSite = request.get_header_value("Sec-Fetch-Site");
    asked.client = request.remote_addr;
    return asked;
}

httplib::Server::HandlerResponse Serve(const StatusBoard& board, const ActionDoor* door,
                                       const httplib::Request& request,
                                       httplib::Response& response) {
    const std::shared_ptr<const StatusSnapshot> snapshot = board.Latest();
    const StatusResponse answer = RouteStatusRequest(RequestOf(request), snapshot.get(),
                                                     std::chrono::steady_clock::now(), door);
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
        response.set_header(name, value);
    }
    response.set_content(answer.body, answer.contentType);
    return httplib::Server::HandlerResponse::Handled;
}

// Unlike the library's default, no SO_REUSEPORT: a second server on this
// machine must not share the port (and the requests) with the first. The
// socket stays out of the tools the lanes start.
void ListeningSocketOptions(int socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    fcntl(socket, F_SETFD, FD_CLOEXEC);
}

// Starts the thread with every signal blocked; it and the workers it
// starts keep that mask.
std::thread StartBlockingSignals(httplib::Server& server, std::atomic<bool>& ended) {
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    std::thread thread([&server, &ended] {
        server.listen_after_bind();
        ended = true;
    });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

}  // namespace

HttpStatusServer::HttpStatusServer(const std::string& address, const StatusBoard& board,
                                   const PrintLog& log, const ActionDoor* door) {
    const std::optional<StatusEndpoint> endpoint = ParseStatusAddress(address);
    if (!endpoint) {
        log.WriteLog("Status page address '" + address + "' is not host:port");
        return;
    }
    auto server = std::make_unique<httplib::Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    server->set_keep_alive_timeout(kKeepAliveSeconds);
    server->set_read_timeout(kReadWriteSeconds);
    server->set_write_timeout(kReadWriteSeconds);
    server->set_socket_options(ListeningSocketOptions);
    server->set_payload_max_length(kMaxBody);
    // Every request, whatever its method, is the router's. The library reads
    // a body only after its pre-routing, for a route of the method: a POST
    // goes that way, bounded by the payload limit.
    server->set_pre_routing_handler(
        [&board, door](const httplib::Request& request, httplib::Response& response) {
            return request.method == "POST" ? httplib::Server::HandlerResponse::Unhandled
                                            : Serve(board, door, request, response);
        });
    server->Post(".*",
                 [&board, door](const httplib::Request& request, httplib::Response& response) {
                     Serve(board, door, request, response);
                 });
    const int port = endpoint->port == 0 ? server->bind_to_any_port(endpoint->host)
                     : server->bind_to_port(endpoint->host, endpoint->port) ? endpoint->port
                                                                            : -1;
    if (port <= 0) {
        log.WriteLog("Status page cannot listen at " + address);
        return;
    }
    listener_ = StartBlockingSignals(*server, listenerEnded_);
    // stop() reaches only a server that runs.
    while (!server->is_running() && !listenerEnded_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    server_ = std::move(server);
    port_ = port;
}

HttpStatusServer::~HttpStatusServer() {
    if (listener_.joinable()) {
        server_->stop();
        listener_.join();
    }
}

}  // namespace kps
