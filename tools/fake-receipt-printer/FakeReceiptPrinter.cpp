#include "fake-receipt-printer/FakeReceiptPrinter.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string_view>

#include "output/EscPosCommand.h"
#include "text/KpsError.h"

namespace kps {

namespace {

using SteadyTime = std::chrono::steady_clock::time_point;

// An answer that waits until the data before its request is printed.
struct QueuedAnswer {
    SteadyTime due;
    std::string bytes;
};

}  // namespace

struct FakeReceiptPrinter::Connection {
    int fd = -1;
    int job = 0;
    std::string bytes;
    std::size_t scanned = 0;  // bytes already looked at for queries
    std::size_t limit = 0;    // the job ends when it holds this many bytes
    std::vector<Ticket> tickets;
    SteadyTime printedBy{};  // everything scanned so far is on paper by then
    std::deque<QueuedAnswer> answers;
};

namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr auto kChangeTimeout = std::chrono::seconds(5);
constexpr char kPaperPresent = 0x00;  // GS r 1: paper there; GS r 2: drawer closed

std::int64_t EpochMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void ThrowSystemError(const std::string& what) {
    throw KpsError(kErrPrinter, "Fake receipt printer: " + what + ": " + std::strerror(errno));
}

sockaddr_in LoopbackAddress(const std::string& address, std::uint16_t port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &socketAddress.sin_addr) != 1) {
        throw KpsError(kErrPrinter, "Fake receipt printer: not an IPv4 address: " + address);
    }
    // A fake printer has no business on a real network.
    if ((ntohl(socketAddress.sin_addr.s_addr) >> 24) != 127) {
        throw KpsError(kErrPrinter, "Fake receipt printer: not a loopback address: " + address);
    }
    return socketAddress;
}

void SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return;  // the peer is gone or not reading; the job records what came
        }
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
}

void WriteJobFile(const std::string& folder, const FakeReceiptPrinter::Job& job) {
    char name[32];
    std::snprintf(name, sizeof name, "/job-%04d.prn", job.number);
    std::ofstream file(folder + name, std::ios::binary | std::ios::trunc);
    file.write(job.bytes.data(), static_cast<std::streamsize>(job.bytes.size()));
    if (!file) {
        std::cerr << "fake-receipt-printer: cannot write " << folder << name << "\n";
    }
}

}  // namespace

FakeReceiptPrinter::FakeReceiptPrinter(Options options)
    : options_(std::move(options)), port_(options_.port) {
    int fds[2];
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
        ThrowSystemError("pipe");
    }
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
    try {
        Listen();
    } catch (...) {
        close(wakeRead_);
        close(wakeWrite_);
        throw;
    }
    listening_ = true;
    thread_ = std::thread([this] { Serve(); });
}

FakeReceiptPrinter::~FakeReceiptPrinter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    Wake();
    thread_.join();
    close(wakeRead_);
    close(wakeWrite_);
}

void FakeReceiptPrinter::Listen() {
    const sockaddr_in address = LoopbackAddress(options_.address, port_);
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        ThrowSystemError("socket");
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, 16) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        const int error = errno;
        close(fd);
        errno = error;
        ThrowSystemError("cannot listen on " + options_.address + ":" + std::to_string(port_));
    }
    if (port_ == 0) {
        port_ = ntohs(bound.sin_port);  // listening again keeps the port
    }
    listenFd_ = fd;
}

void FakeReceiptPrinter::Wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = write(wakeWrite_, &byte, 1);
}

void FakeReceiptPrinter::SetState(FakePrinterState state) {
    {
        std::lock_guard lock(mutex_);
        state_ = state;
    }
    Wake();  // answers held back while not online may go now
}

FakePrinterState FakeReceiptPrinter::State() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void FakeReceiptPrinter::SetRefusing(bool refusing) {
    std::unique_lock lock(mutex_);
    refusing_ = refusing;
    lock.unlock();
    Wake();
    lock.lock();
    if (!changed_.wait_for(lock, kChangeTimeout, [&] { return listening_ == !refusing_; })) {
        throw KpsError(kErrPrinter, "Fake receipt printer: cannot listen again on port " +
                                        std::to_string(port_));
    }
}

void FakeReceiptPrinter::SetDropAfter(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    dropAfter_ = bytes;
}

void FakeReceiptPrinter::SetAnswersProcessId(bool answers) {
    std::lock_guard lock(mutex_);
    answersProcessId_ = answers;
}

void FakeReceiptPrinter::SetJobListener(std::function<void(const Job&)> listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

std::vector<FakeReceiptPrinter::Job> FakeReceiptPrinter::Jobs() const {
    std::lock_guard lock(mutex_);
    return {jobs_.begin(), jobs_.end()};
}

std::vector<std::string_view> FakeReceiptPrinter::TicketBytes(const Job& job) {
    std::vector<std::string_view> tickets;
    const std::string_view bytes = job.bytes;
    for (std::size_t i = 0; i < job.tickets.size(); ++i) {
        const std::size_t begin = std::min(job.tickets[i].offset, bytes.size());
        const std::size_t end =
            i + 1 < job.tickets.size() ? job.tickets[i + 1].offset : bytes.size();
        tickets.push_back(bytes.substr(begin, std::max(end, begin) - begin));
    }
    return tickets;
}

bool FakeReceiptPrinter::WaitForJobs(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return finishedJobs_ >= count; });
}

void FakeReceiptPrinter::ApplyListening() {
    std::lock_guard lock(mutex_);
    if (refusing_ && listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
    } else if (!refusing_ && listenFd_ < 0) {
        try {
            Listen();
        } catch (const KpsError&) {
            // SetRefusing reports it when its wait runs out.
        }
    }
    listening_ = listenFd_ >= 0;
    changed_.notify_all();
}

void FakeReceiptPrinter::Serve() {
    std::vector<Connection> connections;
    std::vector<pollfd> fds;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                break;
            }
        }
        ApplyListening();
        fds.assign({pollfd{wakeRead_, POLLIN, 0}, pollfd{listenFd_, POLLIN, 0}});
        for (const Connection& connection : connections) {
            fds.push_back({connection.fd, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), PollTimeoutMs(connections)) < 0) {
            continue;  // EINTR
        }
        if (fds[0].revents != 0) {
            char drain[64];
            while (read(wakeRead_, drain, sizeof drain) > 0) {
            }
        }
        // Only the connections polled above; Accept appends new ones.
        const std::size_t polled = connections.size();
        for (std::size_t i = 0; i < polled; ++i) {
            if (fds[i + 2].revents != 0 && !Receive(connections[i])) {
                Finish(connections[i]);
            } else {
                SendPrinted(connections[i]);
            }
        }
        std::erase_if(connections, [](const Connection& c) { return c.fd < 0; });
        if (fds[1].revents != 0) {
            Accept(connections);
        }
    }
    for (Connection& connection : connections) {
        Finish(connection);
    }
    if (listenFd_ >= 0) {
        close(listenFd_);
        listenFd_ = -1;
    }
}

int FakeReceiptPrinter::PollTimeoutMs(const std::vector<Connection>& connections) const {
    {
        std::lock_guard lock(mutex_);
        if (state_ != FakePrinterState::Online) {
            return -1;  // nothing is printed; SetState wakes the thread
        }
    }
    std::optional<SteadyTime> next;
    for (const Connection& connection : connections) {
        if (!connection.answers.empty() && (!next || connection.answers.front().due < *next)) {
            next = connection.answers.front().due;
        }
    }
    if (!next) {
        return -1;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*next - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

void FakeReceiptPrinter::Accept(std::vector<Connection>& connections) {
    for (;;) {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        if (connections.size() >= options_.maxConnections) {
            close(fd);
            continue;
        }
        std::lock_guard lock(mutex_);
        Connection connection;
        connection.fd = fd;
        connection.job = nextJobNumber_++;
        connection.limit =
            dropAfter_ == 0 ? options_.maxJobBytes : std::min(dropAfter_, options_.maxJobBytes);
        jobs_.push_back({connection.job, {}, false, {}});
        while (jobs_.size() > options_.maxJobs) {
            jobs_.pop_front();
        }
        connections.push_back(std::move(connection));
    }
}

bool FakeReceiptPrinter::Receive(Connection& connection) {
    char buffer[kReadChunk];
    const ssize_t received = recv(connection.fd, buffer, sizeof buffer, 0);
    if (received < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }
    if (received == 0) {
        return false;
    }
    const std::size_t kept =
        std::min(static_cast<std::size_t>(received), connection.limit - connection.bytes.size());
    connection.bytes.append(buffer, kept);
    Answer(connection);
    {
        std::lock_guard lock(mutex_);
        const auto job = std::find_if(jobs_.begin(), jobs_.end(),
                                      [&](const Job& j) { return j.number == connection.job; });
        if (job != jobs_.end()) {
            job->bytes.append(buffer, kept);
            job->tickets = connection.tickets;
        }
    }
    return connection.bytes.size() < connection.limit;
}

void FakeReceiptPrinter::Answer(Connection& connection) {
    const auto now = std::chrono::steady_clock::now();
    const auto printTime = std::chrono::milliseconds(options_.printMs);
    const std::string_view bytes = connection.bytes;
    while (connection.scanned < bytes.size()) {
        const EscPosCommand command = ReadEscPosCommand(bytes.substr(connection.scanned));
        if (command.kind == EscPosKind::Incomplete) {
            return;  // wait for the rest
        }
        const std::size_t offset = connection.scanned;
        connection.scanned += command.bytes.size();
        FakePrinterState state;
        bool answersProcessId;
        {
            std::lock_guard lock(mutex_);
            state = state_;
            answersProcessId = answersProcessId_;
        }
        switch (command.kind) {
            case EscPosKind::StatusQuery:
                // Real-time: answered on arrival, ahead of anything queued.
                if (const auto status = RealTimeStatus(state, command.parameter)) {
                    SendAll(connection.fd, std::string(1, static_cast<char>(*status)));
                }
                break;
            case EscPosKind::TransmitStatus:
                connection.answers.push_back({connection.printedBy, std::string(1, kPaperPresent)});
                break;
            case EscPosKind::ProcessIdQuery:
                if (answersProcessId) {
                    connection.answers.push_back(
                        {connection.printedBy,
                         "\x37\x22" + std::string(command.bytes.substr(7)) + std::string(1, '\0')});
                }
                break;
            case EscPosKind::Init:
                // A new ticket prints once the one before it is out.
                connection.tickets.push_back({offset, EpochMicroseconds()});
                connection.printedBy = std::max(connection.printedBy, now) + printTime;
                break;
            default:
                connection.printedBy = std::max(connection.printedBy, now + printTime);
                break;
        }
    }
}

void FakeReceiptPrinter::SendPrinted(Connection& connection) {
    {
        std::lock_guard lock(mutex_);
        if (state_ != FakePrinterState::Online) {
            return;  // a printer in trouble or stalled prints nothing
        }
    }
    const auto now = std::chrono::steady_clock::now();
    while (!connection.answers.empty() && connection.answers.front().due <= now) {
        SendAll(connection.fd, connection.answers.front().bytes);
        connection.answers.pop_front();
    }
}

void FakeReceiptPrinter::Finish(Connection& connection) {
    close(connection.fd);
    connection.fd = -1;
    Job finished{connection.job, std::move(connection.bytes), true, std::move(connection.tickets)};
    std::function<void(const Job&)> listener;
    {
        std::lock_guard lock(mutex_);
        const auto job = std::find_if(jobs_.begin(), jobs_.end(),
                                      [&](const Job& j) { return j.number == connection.job; });
        if (job != jobs_.end()) {
            job->finished = true;
        }
        listener = listener_;
    }
    if (!options_.outputFolder.empty()) {
        WriteJobFile(options_.outputFolder, finished);
    }
    if (listener) {
        listener(finished);
    }
    // Waiters count the job only once its file is written.
    std::lock_guard lock(mutex_);
    ++finishedJobs_;
    changed_.notify_all();
}

}  // namespace kps
