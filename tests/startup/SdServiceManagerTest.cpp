#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "startup/SdServiceManager.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

// A notification socket of our own, named by NOTIFY_SOCKET while it lives.
class NotifySocket {
  public:
    explicit NotifySocket(const std::string& path) : fd_(socket(AF_UNIX, SOCK_DGRAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        // A lost message fails the test instead of hanging it.
        timeval bound{10, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            setenv("NOTIFY_SOCKET", path.c_str(), 1);
        }
    }
    ~NotifySocket() {
        unsetenv("NOTIFY_SOCKET");
        close(fd_);
    }
    NotifySocket(const NotifySocket&) = delete;
    NotifySocket& operator=(const NotifySocket&) = delete;

    std::string Receive() {
        char buffer[512];
        ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
        return n < 0 ? std::string("(nothing)") : std::string(buffer, static_cast<size_t>(n));
    }

  private:
    int fd_;
};

TEST(SdServiceManagerTest, SendsEachNotificationToTheNotifySocket) {
    TempFolder folder;
    NotifySocket socket(folder.File("notify"));
    ASSERT_NE(std::getenv("NOTIFY_SOCKET"), nullptr);
    SdServiceManager manager;

    manager.NotifyReady();
    manager.NotifyStatus("3 Item(s) waiting to print; Sending\nsecond line");
    manager.NotifyWatchdog();
    manager.NotifyStopping();

    std::vector<std::string> received;
    for (int i = 0; i < 4; ++i) {
        received.push_back(socket.Receive());
    }
    EXPECT_EQ(received,
              (std::vector<std::string>{"READY=1", "STATUS=3 Item(s) waiting to print; Sending",
                                        "WATCHDOG=1", "STOPPING=1"}));
}

}  // namespace
}  // namespace kps::test
