#include "output/DirectPort.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "text/Text.h"

namespace kps {
namespace {

// ESC "@" initialises the printer, ESC "!" "0" selects double height and width.
const std::string kDoubleSize = "\x1b!0\r\n";
const std::string kTicketStart = "\x1b@\r\n" + kDoubleSize;
// GS "V" 66 0: feed to the cutting position and cut partially.
const std::string kTicketEnd = std::string("\x1dV\x42", 3) + std::string(1, '\0');

constexpr std::chrono::milliseconds kOpenRetry{20};

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// A pipe without a reader refuses a non-blocking open (ENXIO) until one comes.
// A file created in place of a port holds tickets: the server's user and
// group only (the group of a device such as lp keeps its own mode).
int OpenWithin(const std::string& path, Clock::time_point deadline) {
    while (true) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0660);
        if (fd >= 0 || errno != ENXIO || MillisecondsLeft(deadline) == 0) {
            return fd;
        }
        std::this_thread::sleep_for(kOpenRetry);
    }
}

bool WriteWithin(int fd, const std::string& bytes, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        pollfd waiting{fd, POLLOUT, 0};
        if (::poll(&waiting, 1, MillisecondsLeft(deadline)) <= 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string DirectTicketBytes(const std::string& ticketText, int codePage) {
    // The control codes in the text are ASCII, so the conversion keeps them.
    return kTicketStart + ToCodePage(ticketText, codePage) + "\r\n" + kTicketEnd;
}

std::string DirectTicketBytes(const std::string& ticketText, EscPosTranslator& translator) {
    std::string bytes = translator.JobStart();
    bytes += "\r\n";
    std::string text = kDoubleSize;
    text += ticketText;
    text += "\r\n";
    bytes += translator.Translate(text);
    return bytes + kTicketEnd;
}

PrintFault WriteDirectPort(const std::string& directPort, const std::string& bytes,
                           std::chrono::milliseconds limit, bool* opened) {
    const auto deadline = Clock::now() + limit;
    const int fd = OpenWithin(directPort, deadline);
    if (opened != nullptr) {
        *opened = fd >= 0;
    }
    if (fd < 0) {
        return PrintFault::PortNotWritable;
    }
    const bool written = WriteWithin(fd, bytes, deadline);
    const bool closed = ::close(fd) == 0;
    return written && closed ? PrintFault::None : PrintFault::PortNotWritable;
}

}  // namespace kps
