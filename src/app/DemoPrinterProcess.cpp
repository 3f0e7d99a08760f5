#include "app/DemoPrinterProcess.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <filesystem>
#include <thread>

#include "text/KpsError.h"

namespace kps {
namespace {

// A port nobody listens on now; the child binds it a moment later.
int FreeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
        port = ntohs(addr.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (port == 0) {
        throw KpsError(kErrPrinter, "No free loopback port for the demo printer");
    }
    return port;
}

bool Listening(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return ok;
}

}  // namespace

DemoPrinterProcess::DemoPrinterProcess(const std::string& program, const std::string& jobFolder) {
    std::filesystem::create_directories(jobFolder);
    port_ = FreeLoopbackPort();
    std::string listen = "127.0.0.1:" + std::to_string(port_);
    pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) {
        throw KpsError(kErrPrinter, "Cannot start the demo printer");
    }
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(0);
        }
        ::execl(program.c_str(), program.c_str(), "--listen", listen.c_str(), "--output",
                jobFolder.c_str(), "--decode", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // The demo's first tickets follow at once; wait (bounded) until it listens.
    for (int i = 0; i < 50 && !Listening(port_); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

DemoPrinterProcess::~DemoPrinterProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

}  // namespace kps
