#include "harness/DirectPortReader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "output/EscPosDecoder.h"
#include "text/KpsError.h"

namespace kps::bench {

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

DirectPortReader::DirectPortReader(std::string printer, const std::string& fifo)
    : printer_(std::move(printer)) {
    fd_ = open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    int fds[2];
    if (fd_ < 0 || pipe2(fds, O_CLOEXEC) != 0) {
        throw KpsError(kErrFile, "Cannot read the port " + fifo);
    }
    stopRead_ = fds[0];
    stopWrite_ = fds[1];
    thread_ = std::thread([this] { Read(); });
}

DirectPortReader::~DirectPortReader() {
    close(stopWrite_);  // the reader sees the end of the pipe
    thread_.join();
    close(stopRead_);
    close(fd_);
}

void DirectPortReader::Read() {
    static const std::string kInit = "\x1b@";
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            return;
        }
        char buffer[4096];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        const std::int64_t now = NowUs();
        std::lock_guard lock(mutex_);
        // An ESC @ may straddle two reads.
        std::size_t from = bytes_.empty() ? 0 : bytes_.size() - 1;
        bytes_.append(buffer, static_cast<std::size_t>(n));
        for (auto at = bytes_.find(kInit, from); at != std::string::npos;
             at = bytes_.find(kInit, at + kInit.size())) {
            pieces_.push_back({now, at});
        }
    }
}

std::vector<PrintedTicket> DirectPortReader::Tickets() const {
    std::lock_guard lock(mutex_);
    std::vector<PrintedTicket> tickets;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        const std::size_t end = i + 1 < pieces_.size() ? pieces_[i + 1].offset : bytes_.size();
        tickets.push_back({printer_, pieces_[i].arrivedUs,
                           DecodeEscPos(std::string_view(bytes_).substr(pieces_[i].offset,
                                                                        end - pieces_[i].offset))});
    }
    return tickets;
}

}  // namespace kps::bench
