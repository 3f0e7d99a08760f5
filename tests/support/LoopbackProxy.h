#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <utility>
#include <vector>

namespace kps::test {

// Passes TCP connections from a port of its own on 127.0.0.1 to `target` on
// 127.0.0.1, on one thread of its own, until frozen.
class LoopbackProxy {
  public:
    explicit LoopbackProxy(std::uint16_t target);
    ~LoopbackProxy();
    LoopbackProxy(const LoopbackProxy&) = delete;
    LoopbackProxy& operator=(const LoopbackProxy&) = delete;

    std::uint16_t Port() const { return port_; }

    // Stops passing bytes either way and taking connections, and closes
    // nothing: to both ends it is as if the other machine had vanished.
    void Freeze() { frozen_ = true; }

  private:
    void Serve();
    void Accept();
    // False when the connection ended.
    static bool Pass(int from, int to);

    std::uint16_t target_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::vector<std::pair<int, int>> pairs_;  // client, server; the proxy's thread only
    std::atomic<bool> frozen_{false};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace kps::test
