#pragma once

namespace kps {

// What rings the runner's event loop from any thread: an eventfd that the
// headless runner polls and the window watches with a socket notifier.
class WakeDoorbell {
  public:
    WakeDoorbell();
    ~WakeDoorbell();
    WakeDoorbell(const WakeDoorbell&) = delete;
    WakeDoorbell& operator=(const WakeDoorbell&) = delete;

    // Any thread; never blocks.
    void Ring();
    // Quiets the bell once it has been heard.
    void Clear();
    // Readable while rung.
    int Fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace kps
